// The fly/swim mode's geometry: sphere and plane hits, time waves, and the
// view read from the camera's stored matrices (rays and window points agree).
#include "tests/modes/dev/FlySwimTestSupport.h"

using namespace Ru::Math;
using namespace nFlySwim;

TEST_F(FlySwimStage, RaySphereCountsHitsAheadWithTheNearerFirst) {
  struct sCase {
    Vector3 origin, direction;
    int count;
    Vector3 first;
  } cases[] = {
      {{-10, 0, 0}, {1, 0, 0}, 2, {-2, 0, 0}},   // through from outside: the entry point first
      {{10, 0, 0}, {-1, 0, 0}, 2, {2, 0, 0}},    // the same from the other side
      {{0, 0, 0}, {0, 1, 0}, 1, {0, 2, 0}},      // from inside: the exit only
      {{-10, 0, 0}, {-1, 0, 0}, 0, {}},          // pointing away
      {{-10, 5, 0}, {1, 0, 0}, 0, {}},           // passing by
  };
  for (const sCase& c : cases) {
    Vector3 hits[2];
    ASSERT_EQ(RaySphere(c.origin, c.direction, Vector3{}, 2.0f, hits), c.count);
    if (c.count > 0) {
      EXPECT_TRUE(Vector3NearEqual(hits[0], c.first, 1e-4f));
    }
  }
}

TEST_F(FlySwimStage, RayPlaneFailsOnlyWhenParallel) {
  Vector3 point;
  float t = 0.0f;
  EXPECT_FALSE(RayPlane({0, 0, 5}, {1, 0, 0}, {0, 0, 0}, {0, 0, 1}, &point, &t));
  ASSERT_TRUE(RayPlane({0, 0, 5}, {0, 0, 1}, {0, 0, 0}, {0, 0, 1}, &point, &t));  // behind counts too
  EXPECT_FLOAT_EQ(t, -5.0f);
  EXPECT_TRUE(Vector3NearEqual(point, Vector3{0, 0, 0}, 1e-6f));
}

TEST_F(FlySwimStage, WavesFollowTheGameClock) {
  const float start = Now();
  EXPECT_FLOAT_EQ(CyclePhase(start, 2.0f), 0.0f);
  EXPECT_FLOAT_EQ(TriangleWave(start, 2.0f), 0.0f);
  mClock.Advance(500);  // a quarter of the period
  EXPECT_NEAR(CyclePhase(start, 2.0f), 0.25f, 1e-3f);
  EXPECT_NEAR(TriangleWave(start, 2.0f), 0.5f, 1e-3f);
  mClock.Advance(500);
  EXPECT_NEAR(TriangleWave(start, 2.0f), 1.0f, 1e-3f);
  mClock.Advance(2000);  // whole periods drop out
  EXPECT_NEAR(CyclePhase(start, 2.0f), 0.5f, 1e-3f);
}

TEST_F(FlySwimStage, StoredMatricesGiveRaysThroughTheWindowPointsTheyProject) {
  AimCamera(Vector3{kGroundRadius, 0, 0}, 30.0f, 40.0f);
  const Vector3 eye = GetViewEyePosition();
  EXPECT_NEAR(Distance(eye, Vector3{kGroundRadius, 0, 0}), 40.0f, 1e-2f);
  EXPECT_GT(Vector3Length(eye), kGroundRadius);  // pitched down: above the anchor
  // The window's centre looks at the anchor.
  const Ray centre = CameraScreenPointToRay(kWindowWidth / 2, kWindowHeight / 2);
  EXPECT_GT(Vector3Dot(centre.direction, GetViewDirection()), 0.9999f);
  // Any projected point lies on the ray back through its window point.
  for (const Vector3& p : {Vector3{kGroundRadius, 5, 3}, Vector3{kGroundRadius + 4, -6, 1}}) {
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(CameraProjectToWindow(p, x, y));
    const Ray ray = CameraScreenPointToRay((int)std::lround(x), (int)std::lround(y));
    const Vector3 along = Vector3Sub(p, ray.origin);
    const Vector3 off = Vector3Sub(along, Vector3Scale(ray.direction, Vector3Dot(along, ray.direction)));
    EXPECT_LT(Vector3Length(off), 0.1f);
  }
}
