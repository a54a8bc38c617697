#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "app/GameCommands.h"
#include "app/ModeCallLog.h"
#include "app/SniffTest.h"
#include "app/Startup.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "modes/dev/flyswim/FlySwimState.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/glui.h"
#include "sim/gamedata/DataManager.h"
#include "tests/sim/GameDataTestTypes.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TestSupport.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"

namespace {

// A flock test mode that, once entered, leaves one extra object behind after
// every load: the kind of fault the test exists to catch.
class cLeakyFlockTestMode : public cFlockTestMode {
 public:
  void Enter() override {
    cFlockTestMode::Enter();
    mLeaking = true;
  }
  void AfterLoad() override {
    if (mLeaking) MakeThing(*GetDataManager(), 1);
  }
  void PostSniffTest() override {
    cFlockTestMode::PostSniffTest();
    mLeaking = false;
  }

 private:
  bool mLeaking = false;
};

// The nine shells with the application state, the creature mode current;
// optionally the flock test mode replaced by the leaky one.
class SniffTestTest : public ::testing::Test {
 protected:
  void StartModes(bool leakyFlockTest) {
    data->ResetForTest();
    ConstructGameModes();
    if (leakyFlockTest) {
      delete gFlockTestMode;
      gFlockTestMode = new cLeakyFlockTestMode;
      data->RegisterType(&thingPrototype, &thingSerializer);
      data->AddClient(gFlockTestMode);
    }
    RegisterAppStateType();
    data->CommitPending();
    gCurrentGameMode = gCreatureGameMode;
    SetModeCallLog(&log);
  }
  void TearDown() override {
    SetModeCallLog(nullptr);
    gUserPause = 0;  // the cycles' loads set the pause
    gMouseInWindow = 1;
    gAutoPause = 1;
    gPaused = 0;
    data->ResetForTest();
    gAppState = nullptr;
    DeleteGameModesForTest();
  }
  std::string Report() const { return FileContents(dir.File("Quorvel Sniff Test Report.txt")); }
  // Runs the test, returning its verdict and keeping what it printed.
  bool Run() {
    cCapturedOutput captured;
    bool passed = RunSniffTestIn(dir.Path());
    console = captured.End();
    return passed;
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  cDataManager* data = GetDataManager();
  cThing thingPrototype;
  cThingSerializer thingSerializer;
  cScratchDir dir;
  cMessageCapture messages;
  std::vector<std::string> log;
  std::string console;
};

TEST_F(SniffTestTest, ShellsPassEveryCycleInOrderAndEveryRunWritesItsReport) {
  StartModes(false);
  ASSERT_TRUE(Run());
  const std::string report = Report();
  for (const char* mode : {"creature mode", "tribe mode", "space mode", "tovan's mode", "Flock Test Mode"})
    EXPECT_TRUE(Has(report, std::string(mode) + " passed!\n")) << mode;
  EXPECT_TRUE(Has(report, "Pre-Load2 Data Manager Object Count: 1\nPost-Load2 Data Manager Object Count: 1\n"));
  for (const std::string* text : std::vector<const std::string*>{&report, &console}) {
    EXPECT_TRUE(Has(*text, "Sniff Test Round 1Pass!\n"));
    EXPECT_TRUE(Has(*text, "\nLeaving Sniff Test Now.  Have a nice day :)\n"));
  }
  EXPECT_FALSE(Has(console, "Pre-Save1"));  // the counts go to the report only
  EXPECT_EQ(messages.Count("Sniff Test"), 0);
  EXPECT_TRUE(Sys_IsRegularFile(dir.File("snifftest_save")));

  // The modes are prepared, cycled and cleaned up in this order, and the
  // current mode is left first and entered last.
  std::vector<std::string> calls;
  for (const std::string& call : log)
    if (call.find("Update") == std::string::npos && call.find("OnPause") == std::string::npos) calls.push_back(call);
  const std::vector<std::string> expected = {
      "Creature.Leave",         "Creature.PreSniffTest",  "Tribe.PreSniffTest",     "City.PreSniffTest",
      "Civ.PreSniffTest",       "Space.PreSniffTest",     "Tovans.PreSniffTest",    "FlockTest.PreSniffTest",
      "Creature.Enter",         "Creature.Leave",         "Tribe.Enter",            "Tribe.Leave",
      "Space.Enter",            "Space.Leave",            "Tovans.Enter",           "Tovans.Leave",
      "FlockTest.Enter",        "FlockTest.Leave",        "Creature.PostSniffTest", "Tribe.PostSniffTest",
      "City.PostSniffTest",     "Civ.PostSniffTest",      "Space.PostSniffTest",    "Tovans.PostSniffTest",
      "FlockTest.PostSniffTest", "Creature.Enter"};
  EXPECT_EQ(calls, expected);

  // Fault mended: the report stream stayed open after the first run, so a
  // second run in the same session wrote nothing to the file.
  dir.Write("Quorvel Sniff Test Report.txt", "stale");
  ASSERT_TRUE(Run());
  EXPECT_EQ(Report(), report);
}

// Fault mended: the verdict was "Fail!" whatever the cycles found.
TEST_F(SniffTestTest, AModeThatLeaksAnObjectFailsItsCycleAndTheVerdict) {
  StartModes(true);
  EXPECT_FALSE(Run());
  const std::string report = Report();
  EXPECT_TRUE(Has(report, "tovan's mode passed!\n"));
  EXPECT_TRUE(Has(report, "Flock Test Mode failed!\n"));
  EXPECT_TRUE(Has(report, "Pre-Load1 Data Manager Object Count: 1\nPost-Load1 Data Manager Object Count: 2\n"));
  EXPECT_TRUE(Has(console, "Sniff Test Round 1Fail!\n"));
  EXPECT_EQ(messages.Count("Sniff Test"), 1);
}

// Each load makes the saved pause the player's, and a run started from the
// panel saves the pause the game made itself (the pointer off its window).
TEST_F(SniffTestTest, ARunFromThePanelLeavesThePlayersPauseAsItWas) {
  StartModes(false);
  gAutoPause = 1;
  OnEntry(0);  // the pointer on the Sniff Test button
  ASSERT_EQ(gPaused, 1);
  ASSERT_TRUE(Run());
  EXPECT_EQ(gUserPause, 0);
  OnEntry(1);
  EXPECT_EQ(gPaused, 0);
}

// Where the planet's plants stand, in order.
std::vector<float> PlantPlaces() {
  std::vector<float> places;
  for (const auto& plant : GetPlanetModel().GetPlants())
    for (float value : {plant->GetPosition().x, plant->GetPosition().y, plant->GetPosition().z}) places.push_back(value);
  return places;
}

// The whole program, the sniff test run with each mode current in turn (the
// city never founded): every cycle passes, and the mode is current again after.
// Fault mended: each run's new tribe games planted the tree stands again, so
// every run grew the planet; after the first run the plants stay as they are.
TEST(SniffTestFromEveryMode, EveryCyclePassesWhicheverModeIsCurrent) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    program.Frame(16);
    std::vector<float> plantsAfterFirstRun;
    const struct {
      int index;  // in AllGameModes()
      const char* name;
    } currents[] = {{0, "creature"},   {1, "tribe"},  {4, "space"},   {8, "flock test"},
                    {5, "test bench"}, {6, "stress"}, {7, "fly/swim"}};
    for (const auto& current : currents) {
      SCOPED_TRACE(current.name);
      cIGameMode* mode = AllGameModes()[current.index];
      gPendingGameMode = mode;
      program.Frame(16);
      EXPECT_EQ(gCurrentGameMode, mode);
      cScratchDir dir;
      cCapturedOutput captured;
      EXPECT_TRUE(RunSniffTestIn(dir.Path()));
      const std::string console = captured.End();
      const std::string report = FileContents(dir.File("Quorvel Sniff Test Report.txt"));
      EXPECT_FALSE(report.empty());
      int passedCycles = 0;
      for (size_t at = report.find(" passed!\n"); at != std::string::npos; at = report.find(" passed!\n", at + 1))
        ++passedCycles;
      EXPECT_EQ(passedCycles, 5) << report;
      EXPECT_NE(console.find("Sniff Test Round 1Pass!\n"), std::string::npos);
      program.Frame(16);
      EXPECT_EQ(gCurrentGameMode, mode);
      if (plantsAfterFirstRun.empty()) plantsAfterFirstRun = PlantPlaces();
      EXPECT_EQ(PlantPlaces(), plantsAfterFirstRun) << PlantPlaces().size() / 3 << " plants";
      // Only the current mode's panels are shown (the sniff test enters and
      // leaves the flock test and fly/swim modes), and none covers the game
      // window, the control panel or the debug window.
      const struct {
        GLUI* panel;
        int owner;
      } panels[] = {{cFlockTestMode::GetPanel(), 8},
                    {cPelsGameMode::GetControlPanel(), 6},
                    {cTestGameMode::GetPanel(), 5},
                    {nFlySwim::State().panel, 7}};
      for (const auto& p : panels) {
        if (!p.panel) continue;
        SCOPED_TRACE(p.panel->get_name());
        EXPECT_EQ(p.panel->is_visible(), p.owner == current.index);
        if (!p.panel->is_visible()) continue;
        const sWindowBox box = ScreenBox(p.panel->get_glut_window_id());
        for (int fixed : {gMainWindow, gControlPanel->get_glut_window_id(), GLUI_GetDebugView()->get_glut_window_id()})
          EXPECT_FALSE(Overlap(box, ScreenBox(fixed))) << fixed;
      }
    }
  });
}

}  // namespace

// The whole program in the city, played and then tested, running and again
// paused: once it was played, the sniff test's verdict is "Fail!" by design
// (city objects are never saved), but the run ends cleanly and the city the
// player returns to is a fresh founding, shown at once.
TEST(SniffTestAfterTheCity, EndsCleanlyAndTheNextEntryFoundsAFreshCity) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause", "-citymode"});
    const struct {
      const char* name;
      int32_t paused;
      int frames;  // of city life first (the paused row tests the city the running row played on)
    } rows[] = {{"running", 0, 500}, {"paused", 1, 0}};
    for (const auto& row : rows) {
      SCOPED_TRACE(row.name);
      for (int frame = 0; frame < row.frames; ++frame) program.Frame(20);
      EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gCityGameMode);
      cCityGameCity* played = gCityGameMode->GetCity();
      ASSERT_NE(played, nullptr);
      played->AddMoneySilently(250.0f);
      SetUserPause(row.paused);  // the sniff test gives the player's pause back
      cScratchDir dir;
      cCapturedOutput captured;
      EXPECT_FALSE(RunSniffTestIn(dir.Path()));
      captured.End();
      program.Frame(20);
      EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gCityGameMode);
      cCityGameCity* fresh = gCityGameMode->GetCity();
      ASSERT_NE(fresh, nullptr);
      EXPECT_FLOAT_EQ(fresh->GetMoney(), (float)GetCityGameTuning().initialWealth);
      std::vector<cCityGamePlayerCreature*> citizens;
      GetCityObjectRegistry().CollectObjectsOfClass(citizens);
      EXPECT_EQ(citizens.size(), 5u);
      // Fault mended: the HUD counted nobody until the city's first happiness
      // sample, which a paused game never takes.
      gCityGameMode->RefreshHud();
      EXPECT_EQ(gCityGameMode->GetHud().GetValue("Population:"), (float)citizens.size());
      SetUserPause(0);
      for (int frame = 0; frame < 250; ++frame) program.Frame(20);  // and it plays on
      EXPECT_EQ(gCityGameMode->GetCity(), fresh);
    }
  });
}
