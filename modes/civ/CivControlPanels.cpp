#include "modes/civ/CivControlPanels.h"

#include "app/AppGlobals.h"
#include "camera/CameraControl.h"
#include "glf/DebugWindow.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivDebugVehicle.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/cCivGameMode.h"
#include "platform/glui/glui.h"
#include "sim/gamedata/DataManager.h"

namespace {
GLUI* gKinestheticPanel = nullptr;
GLUI* gDebugPanel = nullptr;

void OnPoleMarkers(int) { ShowCivPoleMarkers(gCivShowPoleMarkers != 0); }
void OnPatrolPaths(int) {
  for (cCivModeDecoratedCity* city : GetCivCities()) city->UpdatePatrolMarkers();
}
void OnReloadCamera(int id) {
  SetCameraScriptFile(id == 0 ? ".\\Data\\Scripts\\civ_camera.txt" : ".\\Data\\Scripts\\civ_camera_experiment.txt");
}
void OnAddVehicle(int kind) { CivAddDebugVehicle(kind); }

void BuildKinestheticPanel() {
  GLUI* panel = gKinestheticPanel = GLUI_Master.create_glui("Civ Kinesthetic Control Panel", 0, -1, -1);
  panel->set_main_gfx_window(gMainWindow);
  panel->add_checkbox("Show North Pole/South Pole Markers", &gCivShowPoleMarkers, 0, OnPoleMarkers);
  panel->add_checkbox("Show Latitude Lines", &gCivShowLatitudeLines, -1);
  panel->add_checkbox("Show Longitude Lines", &gCivShowLongitudeLines, -1);
  panel->add_checkbox("Show Map", &gCivShowMap, -1);
  panel->add_checkbox("Show Influence", &gCivShowInfluence, -1);
  panel->add_checkbox("Camera Constraint: North Always Up", &gUseCivTestCamera, -1);
  panel->add_checkbox("Camera Constraint: Constrain Latitude", &gCivConstrainLatitude, -1);
  panel->add_button("Reload Original Camera", 0, OnReloadCamera);
  panel->add_button("Reload Experimental Camera", 1, OnReloadCamera);
}

void BuildDebugPanel() {
  GLUI* panel = gDebugPanel = GLUI_Master.create_glui("Civ Deubg Panel", 0, -1, -1);
  panel->set_main_gfx_window(gMainWindow);
  panel->add_checkbox("NPC AI                ", &gCivUseNPCAI, -1);
  panel->add_checkbox("Show Vehicle Paths", &gCivShowVehiclePaths, -1);
  panel->add_checkbox("Show City Patrol Paths", &gCivShowCityPatrolPaths, 0, OnPatrolPaths);
  panel->add_checkbox("Player Can Select NPC Objects", &gCivPlayerCanSelectNPCObjects, -1);
  panel->add_checkbox("Bullets Always Hit", &gCivBulletsAlwaysHit, -1);
  panel->add_spinner("Simulation Speed ", GLUI_SPINNER_INT, &gCivSimulationSpeed)->set_int_limits(0, 10, GLUI_LIMIT_CLAMP);
  panel->add_button("Add Land Vehicle", kCivLandVehicle, OnAddVehicle);
  panel->add_button("Add Amphibious Vehicle", kCivAmphibiousVehicle, OnAddVehicle);
  panel->add_button("Add Air Vehicle", kCivAirVehicle, OnAddVehicle);
  panel->add_spinner("Debug Vehicle Owner", GLUI_SPINNER_INT, &gCivDebugVehicleOwner)
      ->set_int_limits(0, cCivTuning::GetGeneral()->NumPlayers, GLUI_LIMIT_CLAMP);
}
}  // namespace

void OpenCivControlPanels() {
  if (!gKinestheticPanel) BuildKinestheticPanel();
  else gKinestheticPanel->show();
  if (!gDebugPanel) BuildDebugPanel();
  else gDebugPanel->show();
}

void HideCivControlPanels() {
  if (gKinestheticPanel) gKinestheticPanel->hide();
  if (gDebugPanel) gDebugPanel->hide();
}

GLUI* GetCivKinestheticPanel() { return gKinestheticPanel; }
GLUI* GetCivDebugPanel() { return gDebugPanel; }

// ---- the debug vehicle ----

sCivDebugVehicle& GetCivDebugVehicle() {
  static sCivDebugVehicle debug;
  return debug;
}

void ForgetCivDebugObject(Ko::cIGameData* object) {
  sCivDebugVehicle& debug = GetCivDebugVehicle();
  if (!debug.vehicle || (Ko::cIGameData*)debug.vehicle != object) return;
  cCivModeVehicle* vehicle = debug.vehicle;
  debug.vehicle = nullptr;
  debug.state = kCivDebugVehicleNone;
  vehicle->Release();
}

cCivModeVehicle* CivAddDebugVehicle(int kind) {
  sCivDebugVehicle& debug = GetCivDebugVehicle();
  // A vehicle still being placed from an earlier button goes: one is placed at a time.
  if (cCivModeVehicle* old = debug.vehicle) {
    GetDataManager()->Remove(old);
    if (debug.vehicle == old) ForgetCivDebugObject(old);  // a pending one is dropped without a notice
  }
  debug.state = kCivDebugVehiclePlacing;
  cCivModeDecoratedCity* home = nullptr;
  for (cCivModeDecoratedCity* city : GetCivCities())
    if (city->GetOwner() == gCivDebugVehicleOwner) {
      home = city;
      break;
    }
  auto* vehicle = home ? GetDataManager()->CreateObject<cCivModeVehicle>() : nullptr;
  if (!vehicle) {
    DebugPrintf("Cannot create a debug vehicle owned by %d", gCivDebugVehicleOwner);
    debug.state = kCivDebugVehicleNone;
    return nullptr;
  }
  vehicle->AddRef();  // the world's list takes this reference over when the vehicle is placed
  vehicle->Init(home, kind);
  vehicle->SetState(kCivVehicleGuard, vehicle->GetPosition(), nullptr, nullptr, kCivMissionPillage);
  debug.vehicle = vehicle;
  return vehicle;
}
