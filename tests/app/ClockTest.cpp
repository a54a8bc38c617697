#include <gtest/gtest.h>

#include <memory>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "app/ModeCallLog.h"
#include "app/Startup.h"
#include "modes/city/cCityGameMode.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "modes/tribe/cTribeGameMode.h"
#include "tests/support/TestSupport.h"

// The nine mode shells as globals, without a window, for clock and pause checks.
class GameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameClockForTest();
    ConstructGameModes();
    gUserPause = 0;
    gAutoPause = 1;
    gMouseInWindow = 1;
    gPaused = 0;
    SetModeCallLog(&log);
  }
  void TearDown() override {
    SetModeCallLog(nullptr);
    DeleteGameModesForTest();
  }
  int CountOf(const std::string& call) const {
    int n = 0;
    for (const std::string& c : log) n += c == call;
    return n;
  }
  cFakeClock clock{5000};
  std::vector<std::string> log;
};

TEST_F(GameClockTest, PauseStopsGameTimeAndGameStopwatchesButNotRealStopwatches) {
  StartGameClock();
  cGameStopwatch game;
  cStopwatch real;
  game.Start();
  real.Start();
  clock.Advance(1000);
  gUserPause = 1;
  OnPauseCheckbox(0);
  EXPECT_EQ(gPaused, 1);
  clock.Advance(10000);
  EXPECT_EQ(GetGameTime(), 1000u);
  EXPECT_EQ(game.GetElapsed(), 1000u);
  EXPECT_EQ(real.GetElapsed(), 11000u);
  gUserPause = 0;
  OnPauseCheckbox(0);
  clock.Advance(500);
  EXPECT_EQ(GetGameTime(), 1500u);
  EXPECT_EQ(game.Stop(), 1500u);
  EXPECT_EQ(game.Stop(), 0u);  // stopping a stopped watch changes nothing
  EXPECT_EQ(game.GetElapsed(), 1500u);
  EXPECT_EQ(real.GetElapsed(), 11500u);
}

TEST_F(GameClockTest, EveryModeHearsEveryPauseChangeInCreationOrder) {
  StartGameClock();
  OnPauseCheckbox(0);  // nothing changed: still announced
  const char* order[] = {"Creature", "Tribe", "City", "Civ", "Space", "Test", "Pels", "Tovans", "FlockTest"};
  ASSERT_EQ(log.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(log[i], std::string(order[i]) + ".OnPauseChanged(0)");
}

TEST_F(GameClockTest, LeavingTheWindowPausesOnlyWithAutomaticPausing) {
  StartGameClock();
  OnEntry(0);
  EXPECT_EQ(gPaused, 1);
  EXPECT_EQ(CountOf("Tribe.OnPauseChanged(1)"), 1);
  OnEntry(0);  // no change: nothing happens
  EXPECT_EQ(log.size(), 9u);
  // Ticking Pause outside the window keeps the pause and announces it again.
  gUserPause = 1;
  OnPauseCheckbox(0);
  EXPECT_EQ(CountOf("Tribe.OnPauseChanged(1)"), 2);
  gUserPause = 0;
  OnEntry(1);
  EXPECT_EQ(gPaused, 0);

  gAutoPause = 0;
  log.clear();
  OnEntry(0);
  EXPECT_EQ(gPaused, 0);
  EXPECT_EQ(CountOf("City.OnPauseChanged(0)"), 1);
}

// With a fixed frame step, game time is the played frames' steps alone: the
// real clock racing ahead (a slow frame on a busy machine) adds nothing, and a
// paused frame steps nothing.
TEST_F(GameClockTest, AFixedFrameStepCountsPlayedFramesNotTheRealClock) {
  SetFixedFrameStep(16);
  StartGameClock();
  cGameStopwatch game;
  game.Start();
  for (uint32_t slow : {16u, 90u, 500u}) {
    clock.Advance(slow);
    StepGameClock();
  }
  EXPECT_EQ(GetGameTime(), 48u);
  gUserPause = 1;
  OnPauseCheckbox(0);
  clock.Advance(1000);
  StepGameClock();
  EXPECT_EQ(game.GetElapsed(), 48u);
  gUserPause = 0;
  OnPauseCheckbox(0);
  StepGameClock();
  EXPECT_EQ(game.GetElapsed(), 64u);
}

// QUORVEL_FRAME_STEP_MS as written: 1 to 500 ms, digits only.
TEST(FrameStep, TakesWholeMillisecondsFromOneTo500) {
  const struct {
    const char* text;
    bool taken;
    uint32_t ms;
  } rows[] = {{"16", true, 16}, {"1", true, 1}, {"500", true, 500}, {"0", false, 0}, {"501", false, 0},
              {"16ms", false, 0}, {"-16", false, 0}, {"", false, 0}, {"99999999999", false, 0}};
  for (const auto& row : rows) {
    uint32_t ms = 0;
    EXPECT_EQ(ParseFrameStep(row.text, ms), row.taken) << row.text;
    EXPECT_EQ(ms, row.ms) << row.text;
  }
}

TEST_F(GameClockTest, ClockAndStopwatchesWrapAt32Bits) {
  clock.Set(0xFFFFFF00u);
  StartGameClock();
  cGameStopwatch game;
  game.Start();
  cStopwatch real;
  real.Start();
  clock.Advance(0x200);  // the millisecond timer wraps past zero
  EXPECT_EQ(GetGameTime(), 0x200u);
  EXPECT_EQ(game.GetElapsed(), 0x200u);
  EXPECT_EQ(real.GetElapsed(), 0x200u);
}

TEST_F(GameClockTest, StopwatchesThatNeverStartedReadZero) {
  cGameStopwatch game;
  cStopwatch real;
  EXPECT_EQ(game.GetElapsed(), 0u);
  EXPECT_EQ(real.GetElapsed(), 0u);
  EXPECT_FALSE(game.IsRunning());
  StartGameClock();
  game.Restart();
  clock.Advance(30);
  game.Start();  // already running: keeps its start
  clock.Advance(30);
  EXPECT_EQ(game.GetElapsed(), 60u);
}

TEST(GameModeDefaults, BaseModeIsNamedQuorvel) {
  cCityGameMode city;
  EXPECT_EQ(city.GetName(), "Quorvel");
}

TEST(CivCamera, LatitudeLimitFallsWithDistanceOnlyWhenConstrained) {
  gCivConstrainLatitude = 0;
  EXPECT_FLOAT_EQ(CivCameraLatitudeLimit(2000.0f), 1.0f);
  gCivConstrainLatitude = 1;
  EXPECT_FLOAT_EQ(CivCameraLatitudeLimit(300.0f), 1.0f);
  EXPECT_FLOAT_EQ(CivCameraLatitudeLimit(800.0f), 0.5f);
  EXPECT_FLOAT_EQ(CivCameraLatitudeLimit(1500.0f), 0.0f);
  gCivConstrainLatitude = 0;
}
