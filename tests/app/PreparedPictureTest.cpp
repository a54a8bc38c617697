// Prepared sphere meshes must not change the picture: the tribe and default
// start views drawn with them match the same frame drawn through gluSphere.
// A lone sphere matches pixel for pixel (see the scene tests); plants are
// drawn in groups from meshes placed in world space beforehand, so rounding
// may differ: a flat-lit face whose colour sits on a rounding edge comes out
// one step darker or lighter here and there, which is not counted; at most
// 0.1 % of the pixels may differ by more than that step, and at most 0.01 %
// by more than 8 in a channel (a pixel on an edge turning over).
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

// Pixels whose largest channel difference exceeds `by`; -1 for pictures of different sizes.
int DifferingPixels(const cFrame& a, const cFrame& b, int by = 0) {
  if (a.rgb.size() != b.rgb.size()) return -1;
  int differing = 0;
  for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
    int largest = 0;
    for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(a.rgb[i + c] - b.rgb[i + c]));
    differing += largest > by;
  }
  return differing;
}

void ExpectWithinRounding(const cFrame& reference, const cFrame& picture) {
  const int pixels = reference.width * reference.height;
  const int differing = DifferingPixels(reference, picture, 1);
  ASSERT_GE(differing, 0);
  EXPECT_LE(differing, pixels / 1000);
  EXPECT_LE(DifferingPixels(reference, picture, 8), pixels / 10000);
}

uint32_t FixedCalendar() { return 1700000000u; }

void ExpectSamePictureBothWays(std::vector<std::string> options) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  Sys_SetCalendarForTest(&FixedCalendar);  // the same tribe world on every run
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
  ExpectWithinRounding(immediate, compiling);
  ExpectWithinRounding(immediate, replayed);
  EXPECT_EQ(DifferingPixels(compiling, replayed), 0) << "the meshes are made once and drawn the same every time";
  KeepPictureIfAsked("QV_PREPARED_SHOT", replayed.rgb, replayed.width, replayed.height);
}

}  // namespace

TEST(PreparedPicture, TribeStartViewMatchesTheGluSphereFrame) {
  RunIsolated([] { ExpectSamePictureBothWays({"-noautopause", "-tribemode"}); });
}

TEST(PreparedPicture, DefaultStartViewMatchesTheGluSphereFrame) {
  RunIsolated([] { ExpectSamePictureBothWays({"-noautopause"}); });
}
