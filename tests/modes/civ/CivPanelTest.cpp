// The civ control panels in the started program: their controls in order,
// the spinners' limits, controls following their variables every frame, the
// buttons' effects, and the windows hidden and shown with the mode.
#include <algorithm>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivControlPanels.h"
#include "modes/civ/CivStartPlaces.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivDebugVehicle.h"
#include "modes/civ/CivHudView.h"
#include "modes/civ/CivVehicle.h"
#include "sim/gamedata/DataManager.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/GLUITest.h"
#include "tests/support/StartedProgram.h"

namespace {

std::vector<std::string> Names(GLUI* panel) {
  std::vector<std::string> names;
  for (const auto& control : panel->controls()) names.push_back(control->get_name());
  return names;
}

TEST(CivPanels, ControlsLimitsLiveVariablesAndButtons) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-civmode"});
    program.Frame(16);
    GLUI* view = GetCivKinestheticPanel();
    GLUI* debug = GetCivDebugPanel();
    ASSERT_TRUE(view && debug);
    EXPECT_STREQ(view->get_name(), "Civ Kinesthetic Control Panel");
    EXPECT_STREQ(debug->get_name(), "Civ Deubg Panel");
    // Both stand in the column under the control panel, one under the other,
    // covering neither the game window, the control panel nor the debug window.
    const sWindowBox viewBox = ScreenBox(view->get_glut_window_id()), debugBox = ScreenBox(debug->get_glut_window_id());
    EXPECT_FALSE(Overlap(viewBox, debugBox));
    for (int fixed : {gMainWindow, gControlPanel->get_glut_window_id(), GLUI_GetDebugView()->get_glut_window_id()}) {
      EXPECT_FALSE(Overlap(viewBox, ScreenBox(fixed))) << fixed;
      EXPECT_FALSE(Overlap(debugBox, ScreenBox(fixed))) << fixed;
    }
    EXPECT_LE(std::max(viewBox.width, debugBox.width), kModePanelColumnWidth) << "the column is wide enough";
    EXPECT_EQ(Names(view), (std::vector<std::string>{
                               "Show North Pole/South Pole Markers", "Show Latitude Lines", "Show Longitude Lines",
                               "Show Map", "Show Influence", "Camera Constraint: North Always Up",
                               "Camera Constraint: Constrain Latitude", "Reload Original Camera",
                               "Reload Experimental Camera"}));
    EXPECT_EQ(Names(debug), (std::vector<std::string>{
                                "NPC AI                ", "Show Vehicle Paths", "Show City Patrol Paths",
                                "Player Can Select NPC Objects", "Bullets Always Hit", "Simulation Speed ",
                                "Add Land Vehicle", "Add Amphibious Vehicle", "Add Air Vehicle",
                                "Debug Vehicle Owner"}));

    // Each control and the variable the mode reads, both ways.
    struct Row {
      GLUI* panel;
      const char* label;
      int32_t* variable;
      int set, shown;  // asked for, then what the control and the variable hold
    } rows[] = {
        {debug, "Simulation Speed ", &gCivSimulationSpeed, 15, 10},
        {debug, "Simulation Speed ", &gCivSimulationSpeed, -3, 0},
        {debug, "Debug Vehicle Owner", &gCivDebugVehicleOwner, 99, cCivTuning::GetGeneral()->NumPlayers},
        {view, "Show Map", &gCivShowMap, 0, 0},
        {view, "Camera Constraint: North Always Up", &gUseCivTestCamera, 1, 1},
        {debug, "NPC AI                ", &gCivUseNPCAI, 1, 1},
    };
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(r.label) + " " + std::to_string(r.set));
      GLUI_Control* control = r.panel->find_control(r.label);
      ASSERT_NE(control, nullptr);
      control->set_int_val(r.set);
      EXPECT_EQ(control->get_int_val(), r.shown);
      EXPECT_EQ(*r.variable, r.shown);
      *r.variable = r.shown == 0 ? 1 : 0;  // changed elsewhere: the panel follows by the next frame
      program.Frame(16);
      GLUI_PumpFrame();
      EXPECT_EQ(control->get_int_val(), *r.variable);
    }
    gUseCivTestCamera = 0;
    gCivSimulationSpeed = 1;

    ASSERT_TRUE(GLUI_TestClick(view, "Show North Pole/South Pole Markers"));
    EXPECT_TRUE(CivPoleMarkersShown());
    gCivDebugVehicleOwner = cCivTuning::GetGeneral()->NumPlayers;
    program.Frame(16);
    ASSERT_TRUE(GLUI_TestClick(debug, "Add Land Vehicle"));
    const std::string printed = GetDebugWindow()->Lines().back();
    EXPECT_EQ(printed.substr(10),
              "Cannot create a debug vehicle owned by " + std::to_string(cCivTuning::GetGeneral()->NumPlayers));

    // A vehicle being placed, and hovered, that the data manager removes is let go by both.
    gCivDebugVehicleOwner = 0;
    ASSERT_TRUE(GLUI_TestClick(debug, "Add Amphibious Vehicle"));
    cCivModeVehicle* placed = GetCivDebugVehicle().vehicle;
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->GetKind(), kCivAmphibiousVehicle);
    GetCivHudView().hoveredVehicle = placed;
    program.Frame(16);
    GetDataManager()->Remove(placed);
    EXPECT_EQ(GetCivDebugVehicle().vehicle, nullptr);
    EXPECT_EQ(GetCivHudView().hoveredVehicle, nullptr);
    program.Frame(16);

    gPendingGameMode = gCreatureGameMode;
    program.Frame(16);
    EXPECT_FALSE(view->is_visible());
    EXPECT_FALSE(debug->is_visible());
    EXPECT_FALSE(CivPoleMarkersShown()) << "the poles leave with the mode";
    gPendingGameMode = gCivGameMode;
    program.Frame(16);
    EXPECT_EQ(GetCivKinestheticPanel(), view) << "made once, then shown again";
    EXPECT_TRUE(view->is_visible() && debug->is_visible());
    EXPECT_TRUE(CivPoleMarkersShown()) << "the box is still ticked";
  });
}

// "-usecivtestcamera": the cities on the test table's places, the
// experimental camera script, the map off and the latitude held in.
TEST(CivPanels, TestCameraOptionPlacesCitiesAndSwitchesTheView) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-civmode", "-usecivtestcamera"});
    program.Frame(16);
    EXPECT_EQ(1, gUseCivTestCamera);
    EXPECT_EQ(1, gCivConstrainLatitude);
    EXPECT_EQ(0, gCivShowMap);
    EXPECT_EQ(GetCameraState().scriptFile, ".\\Data\\Scripts\\civ_camera_experiment.txt");
    const std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
    ASSERT_FALSE(cities.empty());
    for (size_t k = 0; k < cities.size(); ++k) {
      const int place = k == 0 ? 0 : (int)k + 1;  // the table's second place is skipped
      const Ru::Math::Vector3 at = cities[k]->GetPosition();
      EXPECT_NEAR(at.x, kCivStartPlaces[place][0], 0.01f) << k;
      EXPECT_NEAR(at.z, kCivStartPlaces[place][2], 0.01f) << k;
    }
  });
}
}  // namespace
