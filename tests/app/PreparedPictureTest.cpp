// Prepared sphere meshes (the plants' fruit among them) must not change the
// picture: the tribe and default start views drawn with them match, pixel for
// pixel, the same frame drawn through gluSphere.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameClock.h"
#include "camera/Camera.h"
#include "glf/PreparedGeometry.h"
#include "tests/support/CameraPicture.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/StartedProgram.h"

namespace {

struct cFrame {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  int LitPixels() const {
    int lit = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) lit += rgb[i] + rgb[i + 1] + rgb[i + 2] > 30;
    return lit;
  }
};

// One frame from the same camera state every time (drawing glides the camera).
cFrame DrawFrom(const cCameraState& camera, bool prepared) {
  SetPreparedGeometryEnabled(prepared);
  GetCameraState() = camera;
  RenderFrame();
  cFrame frame;
  frame.width = glutGet(GLUT_WINDOW_WIDTH);
  frame.height = glutGet(GLUT_WINDOW_HEIGHT);
  frame.rgb = ReadBackBuffer(frame.width, frame.height);
  return frame;
}

int DifferingPixels(const cFrame& a, const cFrame& b) {
  if (a.rgb.size() != b.rgb.size()) return -1;
  int differing = 0;
  for (size_t i = 0; i + 2 < a.rgb.size(); i += 3)
    differing += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
  return differing;
}

void ExpectSamePictureBothWays(std::vector<std::string> options) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  cStartedProgram program(std::move(options));
  ASSERT_EQ(program.startResult, 0);
  for (int i = 0; i < 3; ++i) program.Frame(16);  // the mode places its world
  gPaused = 1;  // nothing moves between the pictures
  ApplyPause();
  const cCameraState camera = GetCameraState();

  const cFrame immediate = DrawFrom(camera, false);
  const cFrame again = DrawFrom(camera, false);
  ASSERT_EQ(DifferingPixels(immediate, again), 0) << "the frame itself is not repeatable";
  ASSERT_GT(immediate.LitPixels(), immediate.width * immediate.height / 4) << "the planet is not in view";

  const cFrame compiling = DrawFrom(camera, true);  // meshes made on the way
  const cFrame replayed = DrawFrom(camera, true);   // meshes reused
  EXPECT_EQ(DifferingPixels(immediate, compiling), 0);
  EXPECT_EQ(DifferingPixels(immediate, replayed), 0);
  KeepPictureIfAsked("QV_PREPARED_SHOT", replayed.rgb, replayed.width, replayed.height);
}

}  // namespace

TEST(PreparedPicture, TribeStartViewMatchesTheImmediateFrame) {
  RunIsolated([] {
    ExpectSamePictureBothWays({"-noautopause", "-tribemode"});
    EXPECT_GT(PreparedSphereCount(), 0) << "the fruit did not go through prepared spheres";
  });
}

TEST(PreparedPicture, DefaultStartViewMatchesTheImmediateFrame) {
  RunIsolated([] { ExpectSamePictureBothWays({"-noautopause"}); });
}
