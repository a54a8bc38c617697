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
      {{-10, 2, 0}, {1, 0, 0}, 1, {0, 2, 0}},    // touching: one point
      {{10, 2, 0}, {1, 0, 0}, 1, {0, 2, 0}},     // touching behind the origin counts too
      {{-10, 2.001f, 0}, {1, 0, 0}, 0, {}},      // just past touching
      {{-2, 0, 0}, {1, 0, 0}, 1, {2, 0, 0}},     // from on the sphere inwards: the far point only
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.origin.x << " " << c.origin.y << " towards " << c.direction.x);
    Vector3 hits[2];
    EXPECT_EQ(RaySphere(c.origin, c.direction, Vector3{}, 2.0f, hits), c.count);
    if (c.count > 0) {
      EXPECT_TRUE(Vector3NearEqual(hits[0], c.first, 1e-4f));
    }
  }
}

TEST_F(FlySwimStage, RayPlaneFailsOnlyWhenParallel) {
  struct sRow {
    Vector3 direction;
    bool hits;
    float t;
  } rows[] = {
      {{1, 0, 0}, false, 0.0f},          // parallel
      {{0, 0, 1}, true, -5.0f},          // behind counts too
      {{1, 0, 0.001f}, true, -5000.0f},  // all but parallel
  };
  for (const sRow& row : rows) {
    Vector3 point;
    float t = 0.0f;
    EXPECT_EQ(RayPlane({0, 0, 5}, row.direction, {0, 0, 0}, {0, 0, 1}, &point, &t), row.hits) << row.t;
    if (!row.hits) continue;
    EXPECT_FLOAT_EQ(t, row.t);
    EXPECT_NEAR(point.z, 0.0f, 1e-3f) << row.t;
  }
}

// Below the terrain is strictly under the ground (plus a margin); under water
// is at the shell or under it (plus a margin), the shell of 500 in flying
// experiments whatever the sea level.
TEST_F(FlySwimStage, TheGroundAndTheShellCountTheirOwnRadius) {
  ASSERT_EQ(GetPlanetModel().GetSurfaceRadius(Vector3{1, 0, 0}), kGroundRadius);
  struct sRow {
    int mode;
    float radius, margin;
    bool belowTerrain, underWater;
  } rows[] = {
      {kFish, kGroundRadius, 0.0f, false, true},        {kFish, kGroundRadius - 0.01f, 0.0f, true, true},
      {kFish, kGroundRadius + 1.0f, 1.0f, false, true},  {kFish, kGroundRadius + 0.99f, 1.0f, true, true},
      {kFish, 540.0f, 0.0f, false, true},               {kFish, 540.01f, 0.0f, false, false},
      {kFish, 541.0f, 1.0f, false, true},               {kFish, 541.01f, 1.0f, false, false},
      {kBird, 500.0f, 0.0f, true, true},                {kBird, 500.01f, 0.0f, true, false},
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.mode << std::dec << " at " << row.radius << " margin " << row.margin);
    ResetState(row.mode);
    const Vector3 p{row.radius, 0.0f, 0.0f};
    EXPECT_EQ(IsBelowTerrain(p, row.margin), row.belowTerrain);
    EXPECT_EQ(IsUnderWater(p, row.margin), row.underWater);
    if (row.margin == 0.0f) { EXPECT_EQ(IsUnderwater(p), row.underWater && !row.belowTerrain); }
  }
}

// The lag is the distance to the target held to 4.0; the target's marker
// shows from 1.0 away, fading in until 4.0.
TEST_F(FlySwimStage, TheLagAndTheTargetMarkerFollowTheDistanceToTheTarget) {
  const float rows[][3] = {
      // distance, lag, marker alpha
      {0.0f, 0.0f, 0.0f}, {0.99f, 0.99f, 0.0f}, {1.0f, 1.0f, 0.25f}, {2.0f, 2.0f, 0.5f},
      {4.0f, 4.0f, 1.0f}, {4.04f, 4.0f, 1.0f},
  };
  for (const auto& row : rows) {
    sUnit unit;  // no body: it stands at the centre
    unit.target = Vector3{0.0f, row[0], 0.0f};
    EXPECT_FLOAT_EQ(UnitLag(unit), row[1]) << row[0];
    EXPECT_FLOAT_EQ(TargetMarkerAlpha(unit), row[2]) << row[0];
  }
  // A flyer's marker stands at least 1.0 over the ground; a swimmer's where its target is.
  const struct {
    int mode;
    float targetHeight, markerHeight;
  } heights[] = {{kBird, 0.5f, 1.0f}, {kBird, 1.0f, 1.0f}, {kBird, 1.01f, 1.01f}, {kFish, 0.5f, 0.5f}};
  for (const auto& row : heights) {
    ResetState(row.mode);
    sUnit unit;
    unit.target = PointAtHeight(Vector3{1.0f, 0.0f, 0.0f}, row.targetHeight);
    EXPECT_NEAR(HeightAboveGround(TargetMarkerPoint(unit)), row.markerHeight, 1e-4f) << std::hex << row.mode << std::dec << " " << row.targetHeight;
  }
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
