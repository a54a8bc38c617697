#include "modes/civ/cCivGameMode.h"

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/DebugWindow.h"
#include "math/Scalar.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivControlPanels.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivHudView.h"
#include "modes/civ/CivInputController.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivSerializationController.h"
#include "modes/civ/CivWorld.h"

int32_t gCivSimulationSpeed = 1;
int32_t gCivConstrainLatitude = 0;
int32_t gCivShowMap = 1;
cGameStopwatch gCivPressStopwatch;

// 1 at 500 and closer, falling linearly to 0 at 1100 and beyond.
float CivCameraLatitudeLimit(float cameraDistance) {
  if (!gCivConstrainLatitude) return 1.0f;
  float d = ClampFloat(cameraDistance, 500.0f, 1100.0f);
  return 1.0f + (500.0f - d) / 600.0f;
}

cCivGameMode::cCivGameMode() : tDataModeShell("Civ") {
  mSerializationController = new cCivSerializationController();
  mWorld = new cCivWorld();
  mPlayers = new cCivPlayers(cCivTuning::GetGeneral()->NumPlayers, GetCivHumanPlayer());
  SetCivPlayers(mPlayers);
  mPlayers->GetRelationships()->SetExpelEmbassiesHook([this](int a, int b) { mWorld->ExpelEmbassies(a, b); });
  mInput = new cCivInputController(this);  // its menus read the debug switches
  mHud = new cCivHud();
  SetCivHud(mHud);
}

cCivGameMode::~cCivGameMode() {
  if (GetCivPlayers() == mPlayers) SetCivPlayers(nullptr);
  if (GetCivHud() == mHud) SetCivHud(nullptr);
  delete mHud;
  cCivInputController* input = mInput;
  mInput = nullptr;  // its pending road leaves the data manager, whose notice comes back here
  delete input;
  delete mPlayers;
  delete mWorld;
  delete mSerializationController;
}


void cCivGameMode::Update(unsigned int ms) {
  // The product is taken in floating point and truncated: speed 0 runs the tick with no time.
  uint32_t scaledMs = (uint32_t)((double)ms * (double)gCivSimulationSpeed);
  mInput->Update();
  PublishHudView();
  mWorld->Update(scaledMs, gCivSimulationSpeed == 0);  // at 0 the simulation stands still
  mHud->Update(scaledMs);
  tDataModeShell::Update(ms);
}

// The HUD draws what the controller holds: the hovered city or vehicle at its
// label point, and the ground under the cursor for the influence marker.
void cCivGameMode::PublishHudView() {
  sCivHudView& view = GetCivHudView();
  view.hoveredCity = mInput->GetHoveredCity();
  view.hoveredVehicle = mInput->GetHoveredVehicle();
  mInput->GetLabelPoint(view.labelX, view.labelY);
  view.groundPoint = mInput->GetCursorGroundPoint();
  const Ru::Math::Vector3& g = view.groundPoint;  // the origin: the cursor is off the planet
  view.hasGroundPoint = mInput->IsInfluenceMarkerAllowed() && (g.x != 0.0f || g.y != 0.0f || g.z != 0.0f);
}

void cCivGameMode::OnMouseMove(int x, int y) { mInput->OnMouseMove(x, y); }
void cCivGameMode::OnLeftButtonUp(int x, int y) {
  tDataModeShell::OnLeftButtonUp(x, y);
  mInput->OnLeftButtonUp(x, y);
}
void cCivGameMode::OnLeftButtonDown(int x, int y) {
  tDataModeShell::OnLeftButtonDown(x, y);
  mInput->OnLeftButtonDown(x, y);
}
// The middle and the right button both work the camera.
void cCivGameMode::OnMiddleButtonUp(int x, int y) {
  tDataModeShell::OnMiddleButtonUp(x, y);
  mInput->OnCameraButtonUp(x, y);
}
void cCivGameMode::OnMiddleButtonDown(int x, int y) {
  tDataModeShell::OnMiddleButtonDown(x, y);
  mInput->OnCameraButtonDown(x, y);
}
void cCivGameMode::OnRightButtonUp(int x, int y) {
  tDataModeShell::OnRightButtonUp(x, y);
  mInput->OnCameraButtonUp(x, y);
}
void cCivGameMode::OnRightButtonDown(int x, int y) {
  tDataModeShell::OnRightButtonDown(x, y);
  mInput->OnCameraButtonDown(x, y);
}
void cCivGameMode::OnKeyPress(unsigned char key, int x, int y) {
  tDataModeShell::OnKeyPress(key, x, y);
  mInput->OnKeyPress(key);
}

void cCivGameMode::Enter() {
  mWorld->Enter();
  mInput->Enter();
  // The camera opens over the human's nearest city.
  mHud->Enter(mWorld->NextPlayerCity());
  OpenCivControlPanels();
  tDataModeShell::Enter();
}

void cCivGameMode::Leave() {
  mInput->Leave();
  mWorld->Leave();
  mHud->Leave();
  HideCivControlPanels();
  tDataModeShell::Leave();
}

void cCivGameMode::OnRender() {
  cGameMode::OnRender();
  mWorld->Render();
  mInput->OnRender();
  mHud->Draw();
}

void cCivGameMode::PreSniffTest() {
  mWorld->PrepareSniffTest();
  tDataModeShell::PreSniffTest();
}

bool cCivGameMode::SniffTest() {
  for (int tick = 0; tick < 1200; ++tick) mWorld->Update(50);
  return true;
}

void cCivGameMode::ObjectAdded(Ko::cIGameData* object) { mSerializationController->ObjectAdded(object); }

void cCivGameMode::ObjectRemoved(Ko::cIGameData* object) {
  if (mInput) mInput->OnObjectRemoved(object);
  mWorld->ForgetObject(object);
  ForgetCivHudObject(object);
}

void cCivGameMode::BeforeLoad() {
  mInput->ResetBeforeLoad();
  mSerializationController->BeforeLoad();
  mWorld->ClearFocusCycle();
}
