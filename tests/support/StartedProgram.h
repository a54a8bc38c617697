// The whole program started in-process, for tests that run start-up and pump
// frames themselves: AppStartup with the given options on a hand-driven clock,
// message boxes captured, the modes' calls logged ("Tribe.Enter", ...).
//
// Start-up runs once per process, so each case runs it in a child process of
// its own through RunIsolated and reports through the child's exit code:
//
//   TEST(MyMode, Starts) {
//     RunIsolated([] {
//       cStartedProgram program({"-noautopause", "-tribemode"});
//       program.Frame(16);
//       EXPECT_EQ(program.Count("Tribe.Enter"), 1);
//     });
//   }
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/FrameLoop.h"
#include "app/ModeCallLog.h"
#include "app/Startup.h"
#include "app/WindowLayout.h"
#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "platform/glui/glui.h"
#include "tests/support/TestSupport.h"

// Where a GLUT window (the game's, a panel's) stands on the screen now. The
// panels draw first: a new panel takes its place after its first frame, which
// a test frame does not draw (the game's idle hook does) and the X server's
// expose may or may not have brought yet. Then the moves asked for are carried out.
inline sWindowBox ScreenBox(int glutWindow) {
  GLUI_PumpFrame();
  glutMainLoopEvent();
  const int previous = glutGetWindow();
  glutSetWindow(glutWindow);
  const sWindowBox box = {glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH),
                          glutGet(GLUT_WINDOW_HEIGHT)};
  if (previous > 0) glutSetWindow(previous);
  return box;
}

inline bool Overlap(const sWindowBox& a, const sWindowBox& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

inline void RunIsolated(const std::function<void()>& body) {
  ASSERT_TRUE(EnsureTestDisplay());
  RunInFreshProcess(body);
}

struct cStartedProgram {
  explicit cStartedProgram(std::vector<std::string> args, uint32_t clockStart = 100000) : clock(clockStart) {
    SetModeCallLog(&log);
    Sys_SetFocusProbeForTest([] { return true; });
    // A case that faults must not leave a crash report in the folder the
    // suite runs from (the source tree): the fault goes to the test runner.
    setenv("QUORVEL_NO_CRASH_GUARD", "1", 1);
    args.insert(args.begin(), "quorvel");
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    startResult = AppStartup((int)args.size(), argv.data());
    GetDebugWindow()->SetMirrorToStdout(false);
    storage = std::move(args);
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const std::string& c : log) n += c == call;
    return n;
  }
  void Frame(uint32_t ms) {
    clock.Advance(ms);
    OnIdle();
  }
  cMessageCapture boxes;
  cFakeClock clock;
  std::vector<std::string> log;
  std::vector<std::string> storage;
  std::vector<char*> argv;
  int startResult = -1;
};

