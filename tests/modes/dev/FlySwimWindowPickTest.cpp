// A "Bird Tribe" bird clicked where the game window shows it, in the running
// program at two window sizes: the pixel comes from the drawn picture, not
// from the camera's own projection, so picking and drawing must agree on the
// window size and the matrices.
#include <GL/freeglut.h>

#include <cmath>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "camera/Camera.h"
#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimDraw.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/StartedProgram.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {

// The centre of the red pixels of the frame just drawn (the bird's body and
// wing are the only pure red things on screen), y counted from the top.
bool RedCentre(int width, int height, int& x, int& y) {
  const std::vector<unsigned char> rgb = ReadBackBuffer(width, height);
  double sx = 0.0, sy = 0.0;
  int n = 0;
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      const unsigned char* p = &rgb[((size_t)row * width + column) * 3];
      if (p[0] > 60 && p[1] < 20 && p[2] < 20) {
        sx += column;
        sy += height - 1 - row;
        ++n;
      }
    }
  if (n == 0) return false;
  x = (int)(sx / n + 0.5);
  y = (int)(sy / n + 0.5);
  return true;
}

// The main window's size as X has it (GLUT's events make other windows current).
bool MainWindowIs(int width, int height) {
  glutSetWindow(gMainWindow);
  return glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height;
}

// The shared X server answers in its own time: on a busy machine it may take
// seconds, so the wait gives up only after at least 120 s of naps.
bool ResizeMainWindow(int width, int height) {
  glutSetWindow(gMainWindow);
  glutReshapeWindow(width, height);
  for (int i = 0; i < 120000 && !MainWindowIs(width, height); ++i) {
    glutMainLoopEvent();
    usleep(1000);
  }
  glutMainLoopEvent();  // GLUT's own reshape of the new size
  return MainWindowIs(width, height);
}

}  // namespace

TEST(FlySwimWindowPick, ABirdClickedWhereItIsDrawnIsSelectedAtTwoWindowSizes) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    gPendingGameMode = gTovansGameMode;
    program.Frame(16);
    ASSERT_EQ(gCurrentGameMode, static_cast<cIGameMode*>(gTovansGameMode));
    State().mode = kBirdTribe;
    cTovansGameMode::OnModeChanged(kBirdTribe);
    RemoveUnits(19);  // one bird, so the red on screen is its own
    ASSERT_EQ(State().units.size(), 1u);
    for (int frame = 0; frame < 30; ++frame) program.Frame(16);

    const struct {
      int width, height;
    } sizes[] = {{1024, 768}, {800, 600}};
    for (const auto& size : sizes) {
      SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
      EXPECT_TRUE(ResizeMainWindow(size.width, size.height));
      // The bird off the middle of the view, the camera at rest.
      const Vector3 bird = GetUnitPosition(*State().units.front());
      const Vector3 anchor = PointAtHeight(Vector3Add(bird, Vector3{0.0f, 6.0f, 4.0f}), 0.0f);
      Quaternion q;
      cPlanetModel::MakeSurfaceOrientation(q, anchor, Vector3{0.0f, 0.0f, 1.0f});
      SetCameraAnchorFrame(&anchor.x, &q.x);
      SetCameraAngles(0.0f, 40.0f, 40.0f);
      SetCameraTargetAngles(0.0f, 40.0f, 40.0f);
      // GLUT applies a new window size to the viewport only at its next
      // reshape; a frame can be drawn before that: here the viewport is left
      // at another size, as such a frame finds it.
      glViewport(0, 0, size.width * 7 / 10, size.height * 7 / 10);
      RenderFrame();
      int shownWidth = 0, shownHeight = 0;  // the size the reshape noted, which the overlay draws at too
      GetWindowSize2D(&shownWidth, &shownHeight);
      EXPECT_EQ(shownWidth, size.width);
      EXPECT_EQ(shownHeight, size.height);
      int x = 0, y = 0;
      EXPECT_TRUE(RedCentre(size.width, size.height, x, y)) << "the bird is on screen";
      glutSwapBuffers();

      gTovansGameMode->OnLeftButtonDown(x, y);
      EXPECT_EQ(State().selectionState, kSelecting) << "pressed at " << x << "," << y;
      EXPECT_TRUE(State().units.front()->selected);
      gTovansGameMode->OnLeftButtonUp(x, y);
      EXPECT_EQ(State().selectionState, kTargeting);
      SetAllSelected(false);
      State().selectionState = kIdle;
    }
  });
}

// "Fish" entered as the program runs (from the creature mode, whose camera
// script stays the creature's): the view ends 3 from the fish and upright,
// with the planet's up in the picture's vertical plane.
TEST(FlySwimWindowPick, FishOpensAtDistanceThreeUpright) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    program.Frame(16);
    State().mode = kFish;
    gPendingGameMode = gTovansGameMode;
    program.Frame(16);
    ASSERT_EQ(gCurrentGameMode, static_cast<cIGameMode*>(gTovansGameMode));
    for (int frame = 0; frame < 120; ++frame) {
      program.Frame(16);
      if (frame != 0 && frame != 119) continue;
      SCOPED_TRACE(frame);
      float yaw = 0.0f, pitch = 0.0f, distance = 0.0f;
      GetCameraTargetAngles(&yaw, &pitch, &distance);
      EXPECT_FLOAT_EQ(distance, 3.0f);
      float view[16];
      ComputeCameraView(view);
      const Vector3 right{view[0], view[4], view[8]};
      const float* anchor = GetCameraAnchor();
      const Vector3 up = Vector3Normalized(Vector3{anchor[0], anchor[1], anchor[2]});
      EXPECT_LT(std::fabs(Vector3Dot(right, up)), 0.05f) << "the view's sideways axis leans off the ground";
    }
    float distance = 0.0f;
    GetCameraAngles(nullptr, nullptr, &distance);
    EXPECT_NEAR(distance, 3.0f, 0.05f);
  });
}

// The sea is drawn only where it can show: under it, no farther than the fog
// reaches; from anywhere, not behind the planet. The pictures are the ones the
// whole sphere gives.
TEST(FlySwimPicture, TheSeaLooksAsWhenTheWholeSphereIsDrawn) {
  RunIsolated([] {
    cStartedProgram program({"-noautopause"});
    State().mode = kFish;
    gPendingGameMode = gTovansGameMode;
    for (int frame = 0; frame < 30; ++frame) program.Frame(16);
    int width = 0, height = 0;
    ASSERT_TRUE(GetFrameWindowSize(width, height));
    const struct {
      int mode;
      float above;  // the anchor's height over the sea (negative: under it)
      float pitch, distance;
      bool eyeUnderSea;
    } views[] = {
        {kFish, -2.0f, -20.0f, 20.0f, true},       // looking up at the surface from just under it
        {kFishTribe, -25.0f, 40.0f, 120.0f, false},  // the tribe's view, from high over the sea
        {kBirdTribe, -25.0f, 60.0f, 400.0f, false},  // the whole planet's limb in view
    };
    for (const auto& v : views) {
      SCOPED_TRACE(testing::Message() << std::hex << v.mode);
      State().mode = v.mode;
      cTovansGameMode::OnModeChanged(v.mode);
      for (int frame = 0; frame < 5; ++frame) program.Frame(16);
      const Vector3 at = GetUnitPosition(*State().units.front());
      const Vector3 anchor = Vector3Scale(Vector3Normalized(at), WaterShellRadius() + v.above);
      Quaternion q;
      cPlanetModel::MakeSurfaceOrientation(q, anchor, Vector3{0.0f, 0.0f, 1.0f});
      SetCameraAnchorFrame(&anchor.x, &q.x);
      SetCameraAngles(0.0f, v.pitch, v.distance);
      SetCameraTargetAngles(0.0f, v.pitch, v.distance);
      const cCameraState view = GetCameraState();  // each picture starts from the same camera
      auto picture = [&](bool culled) {
        SetSeaCullingEnabled(culled);
        GetCameraState() = view;
        RenderFrame();
        std::vector<unsigned char> rgb = ReadBackBuffer(width, height);
        SetSeaCullingEnabled(true);
        return rgb;
      };
      const std::vector<unsigned char> cut = picture(true), whole = picture(false);
      EXPECT_EQ(Vector3Length(GetViewEyePosition()) < WaterShellRadius(), v.eyeUnderSea);
      EXPECT_EQ(glIsEnabled(GL_FOG) == GL_TRUE, v.eyeUnderSea) << "a fog under the sea only";
      if (v.eyeUnderSea) {
        float start = 0.0f, end = 0.0f;
        glGetFloatv(GL_FOG_START, &start);
        glGetFloatv(GL_FOG_END, &end);
        EXPECT_EQ(start, 20.0f);
        EXPECT_EQ(end, 100.0f);
      }
      int differing = 0;
      for (size_t i = 0; i < cut.size(); ++i) differing += cut[i] != whole[i];
      EXPECT_EQ(differing, 0);
    }
  });
}
