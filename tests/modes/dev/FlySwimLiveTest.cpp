// Not a check: a way to look at the mode. Run it alone with
//   FLYSWIM_LIVE_SECONDS=60 tests_modes_dev --gtest_also_run_disabled_tests --gtest_filter='*Live*'
// under a display, then drive the window with xdotool and take screenshots.
#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdlib>

#include "app/AppGlobals.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "platform/glui/glui.h"
#include "tests/support/StartedProgram.h"

TEST(FlySwimLive, DISABLED_RunsTheModeForALook) {
  const char* seconds = std::getenv("FLYSWIM_LIVE_SECONDS");
  cStartedProgram program({"-noautopause"});
  gPendingGameMode = gTovansGameMode;
  program.Frame(16);
  ASSERT_EQ(gCurrentGameMode, static_cast<cIGameMode*>(gTovansGameMode));
  for (int frame = 0; frame < (seconds ? std::atoi(seconds) : 10) * 60; ++frame) {
    glutMainLoopEvent();
    program.Frame(16);
    GLUI_PumpFrame();
    usleep(16000);
  }
}
