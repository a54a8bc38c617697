// A paused game, or one whose window cannot be seen, draws only when what it
// shows changes: input, the camera, a panel setting, the objects. The panels
// draw only when their picture changes.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameClock.h"
#include "camera/Camera.h"
#include "glf/DebugWindow.h"
#include "glf/MessageBoard.h"
#include "platform/glui/GLUITest.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/StartedProgram.h"

namespace {
// Frames drawn while pumping `frames` frames of 16 ms.
uint32_t DrawnOver(cStartedProgram& program, int frames) {
  const uint32_t before = GetFramesDrawn();
  for (int i = 0; i < frames; ++i) program.Frame(16);
  return GetFramesDrawn() - before;
}
void Pause(bool paused) {
  gPaused = paused ? 1 : 0;
  ApplyPause();
}
// Puts the camera where it glides to, so it comes to rest within a few frames.
void SnapCamera() {
  cCameraState& camera = GetCameraState();
  SetCameraAngles(camera.targetYaw, camera.targetPitch, camera.targetDistance);
  SetCameraAnchorFrame(camera.targetAnchor, camera.targetFrame);
}
}  // namespace

TEST(FrameRest, APausedGameDrawsOnlyWhenWhatItShowsChanges) {
  RunIsolated([] {
    [[maybe_unused]] cIgnoreDriverAllocations driver;
    cStartedProgram program({"-noautopause", "-tribemode"});
    EXPECT_EQ(DrawnOver(program, 3), 3u) << "a running game draws every frame";
    Pause(true);
    SnapCamera();
    DrawnOver(program, 10);  // the pause itself and the camera coming to rest
    EXPECT_EQ(DrawnOver(program, 20), 0u) << "at rest";

    OnPassiveMotion(40, 40);
    EXPECT_EQ(DrawnOver(program, 20), 1u) << "the mouse moved";

    float yaw, pitch, distance;
    GetCameraTargetAngles(&yaw, &pitch, &distance);
    SetCameraTargetAngles(yaw + 30.0f, pitch, distance);
    EXPECT_EQ(DrawnOver(program, 20), 20u) << "the camera glides: every frame draws";
    SnapCamera();
    DrawnOver(program, 10);
    EXPECT_EQ(DrawnOver(program, 20), 0u) << "the camera came to rest";

    gWireframe = 1;
    EXPECT_EQ(DrawnOver(program, 20), 1u) << "a panel setting changed the picture";
    GetDebugWindow()->RunTypedCommand("mode");
    EXPECT_EQ(DrawnOver(program, 20), 1u) << "a console command may change the picture";
    ShowMessageInGameWindow("Hunt Results", "Nobody came back.");
    EXPECT_EQ(DrawnOver(program, 20), 1u) << "a message appeared; while it only stays, nothing changes";
    ShowMessageInGameWindow("Hunt Results", "Nobody came back.");
    EXPECT_EQ(DrawnOver(program, 20), 1u) << "the same message again shows its count";
    EXPECT_EQ(DrawnOver(program, 400), 1u) << "6.4 s: it has left, and the frame it left in was drawn";
    EXPECT_EQ(DrawnOver(program, 20), 0u) << "at rest again";
    Pause(false);
    EXPECT_EQ(DrawnOver(program, 5), 5u);
  });
}

TEST(FrameRest, AHiddenWindowDrawsNothingButTheGamePlaysOn) {
  RunIsolated([] {
    [[maybe_unused]] cIgnoreDriverAllocations driver;
    cStartedProgram program({"-noautopause", "-spacemode"});
    program.Frame(16);
    for (int status : {GLUT_HIDDEN, GLUT_FULLY_COVERED}) {
      OnMainWindowStatus(status);
      program.log.clear();
      EXPECT_EQ(DrawnOver(program, 10), 0u) << status;
      EXPECT_EQ(program.Count("Space.Update"), 10) << status;
    }
    OnMainWindowStatus(GLUT_FULLY_RETAINED);
    EXPECT_EQ(DrawnOver(program, 3), 3u);
  });
}

TEST(FrameRest, PanelsDrawOnlyWhenTheirPictureChanges) {
  RunIsolated([] {
    [[maybe_unused]] cIgnoreDriverAllocations driver;
    cStartedProgram program({"-noautopause"});
    for (int i = 0; i < 10; ++i) AppPumpFrame();  // settled after start-up
    const size_t settled = GLUI_TestPresentedFrames(gControlPanel);
    for (int i = 0; i < 10; ++i) AppPumpFrame();
    EXPECT_EQ(GLUI_TestPresentedFrames(gControlPanel), settled) << "nothing changed";
    gShowDebugInfo = !gShowDebugInfo;  // its check box follows the variable
    for (int i = 0; i < 3; ++i) AppPumpFrame();
    EXPECT_GT(GLUI_TestPresentedFrames(gControlPanel), settled);
  });
}
