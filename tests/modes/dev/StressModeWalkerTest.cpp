// Stress walkers' cycle on a smooth planet of radius 510, then ten minutes of
// the mode on the generated terrain.
#include <gtest/gtest.h>

#include "camera/Camera.h"
#include "math/Math.h"
#include "modes/dev/stresstest/StressCrowd.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "platform/Sys.h"
#include "tests/support/FreshCamera.h"
#include "tests/support/RunDigest.h"
#include "tests/world/planet/PlanetTestSupport.h"

using namespace Ru::Math;

class StressModeWalkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 10.0f; }, 32));
    Sys_SeedRandom(39);
    CreateStressWalkers();
  }
  void TearDown() override {
    DeleteStressWalkers();
    GetPlanetModel().SetHeightMap(nullptr);
  }
  cFreshCamera mCamera;  // the visit installs its camera script
  cStressWalker& walker() { return GetStressWalkers()[7]; }
  float Height() { return Vector3Length(walker().object->GetPosition()) - 510.0f; }
  Vector3 Heading() { return QuatRotateVector(walker().object->GetOrientation(), Vector3{0.0f, 0.0f, -1.0f}); }
  void Step(float& moved, float& turned) {  // how far one step moved the walker and turned its heading
    const Vector3 position = walker().object->GetPosition(), heading = Heading();
    walker().Step();
    moved = Vector3Length(Vector3Sub(walker().object->GetPosition(), position));
    turned = RadToDeg(std::acos(std::fmin(1.0f, Vector3Dot(heading, Heading()))));
  }
};

TEST_F(StressModeWalkerTest, JumpsSpinningThenTurnsThirtyDegreesAndWalksToATargetAHundredAhead) {
  float moved, turned;
  for (int cycle = 0; cycle < 3; ++cycle) {
    int rises = 0;  // up 2 a frame to at least 150, then down 1 a frame to the ground
    for (float climb : {2.0f, -1.0f}) {
      int moves = 0;
      for (float before = Height(); moves < 200; before = Height(), ++moves) {
        Step(moved, turned);
        if (moved == 0.0f) break;  // the top, or the ground
        ASSERT_NEAR(Height() - before, climb, 0.01f);
        ASSERT_NEAR(turned, 5.0f, 0.05f);
      }
      if (climb > 0) rises = moves;
      EXPECT_NEAR(moves, climb > 0 ? 75.5 : 2.0 * rises, 1.0) << "the top is 150 or 152";
    }
    ASSERT_TRUE(walker().landed);
    Step(moved, turned);
    EXPECT_NEAR(turned, 30.0f, 0.05f);
    const Vector3 toTarget = Vector3Sub(walker().target, walker().object->GetPosition());
    EXPECT_NEAR(Vector3Length(toTarget), 99.0f, 1.0f);  // 100 ahead, brought down to the ground
    EXPECT_GT(Vector3Dot(Vector3Normalized(toTarget), Heading()), 0.99f) << "the target lies ahead";
    for (float left = Vector3Length(toTarget); left > 5.0f;) {  // walks while farther than 5
      Step(moved, turned);
      const float now = Vector3Length(Vector3Sub(walker().target, walker().object->GetPosition()));
      ASSERT_NEAR(Height(), 0.0f, 0.01f);
      ASSERT_NEAR(left - now, 2.0f, 0.25f);  // the first step also comes up from under the ground
      left = now;
    }
  }
}

// 50 ms frames, the automatic camera on, a click every 50 s (most walkers are then in
// mid-jump; the next step puts every one of them on the ground).
TEST_F(StressModeWalkerTest, TenMinutesOnTheTerrainStayFiniteAndRepeatWithTheSameSeed) {
  std::string error;
  ASSERT_TRUE(GetPlanetModel().LoadTerrain("./Data/Terrain/terrain.bin", error)) << error;
  auto tenMinutes = [] {
    DeleteStressWalkers();
    Sys_SeedRandom(2026);
    const float anchor[3] = {0.0f, 0.0f, 510.0f}, frame[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    SetCameraAnchorFrame(anchor, frame);
    StartStressVisit();
    cPelsGameMode mode;
    sRunDigest digest;
    for (int frameNumber = 1; frameNumber <= 10 * 60 * 20 && !::testing::Test::HasFailure(); ++frameNumber) {
      const bool clicked = frameNumber % 1000 == 0;
      if (clicked) mode.OnLeftButtonDown(0, 0);
      mode.Update(50);
      UpdateCameraFrame();
      for (int i = 0; frameNumber % 100 == 0 && i < 3; ++i) digest.Mix(GetCameraAnchor()[i]);
      for (const cStressWalker& walker : GetStressWalkers()) {
        const Vector3& p = walker.object->GetPosition();
        EXPECT_TRUE(std::isfinite(p.x + p.y + p.z)) << "frame " << frameNumber;
        EXPECT_TRUE(!clicked || std::fabs(Vector3Length(p) - GetPlanetModel().GetSurfaceRadius(p)) < 0.01f) << frameNumber;
        for (int i = 0; frameNumber % 100 == 0 && i < 3; ++i) digest.Mix(p[i]);
      }
    }
    return digest.value;
  };
  EXPECT_EQ(tenMinutes(), tenMinutes());
}
