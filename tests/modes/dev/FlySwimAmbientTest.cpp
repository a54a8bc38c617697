// The scenery and ambient life around the camera: specks wrapping through the
// faces of their cube, perches recycled from far away to near the eye, and
// units pushed apart when they stand too close.
#include "tests/modes/dev/FlySwimTestSupport.h"

using namespace Ru::Math;
using namespace nFlySwim;

TEST_F(FlySwimStage, SpecksWrapThroughTheCubeFacesAndFadeBackIn) {
  const Vector3 centre{525.0f, 0.0f, 0.0f};
  CreateSpecks(centre);
  sSpeck* specks = State().specks;
  for (int i = 0; i < kSpeckCount; ++i) {
    const Vector3 offset = Vector3Sub(specks[i].position, centre);
    for (int a = 0; a < 3; ++a) ASSERT_LE(std::fabs(offset[a]), 37.5f);
    // Floating specks hang where they are; the others sit on the floor or the shell.
    const float length = Vector3Length(specks[i].position);
    const float anchor = Vector3Length(specks[i].anchor);
    switch (specks[i].side) {
      case 0: EXPECT_TRUE(Vector3Equal(specks[i].anchor, specks[i].position)); break;
      case 1: EXPECT_NEAR(anchor, WaterShellRadius(), 0.01f); break;
      default: EXPECT_LT(length, kGroundRadius + 0.01f); break;
    }
  }
  StepSpecks(centre);
  EXPECT_NEAR(specks[0].fade, 0.1f, 1e-6f);
  StepSpecks(centre);
  EXPECT_NEAR(specks[0].fade, 0.19f, 1e-6f);
  // The centre moves 10 along x: the specks left behind by more than 37.5 come in at the far face.
  const Vector3 moved = Vector3Add(centre, Vector3{10.0f, 0.0f, 0.0f});
  std::vector<float> before(kSpeckCount);
  for (int i = 0; i < kSpeckCount; ++i) before[i] = specks[i].position.x - moved.x;
  StepSpecks(moved);
  int wrapped = 0;
  for (int i = 0; i < kSpeckCount; ++i) {
    if (before[i] < -37.5f) {
      ++wrapped;
      EXPECT_NEAR(specks[i].position.x - moved.x, before[i] + 75.0f, 1e-3f);
      EXPECT_EQ(specks[i].fade, 0.0f);
    } else {
      EXPECT_GT(specks[i].fade, 0.19f);
    }
  }
  EXPECT_GT(wrapped, 150);  // about 10 / 75 of them
  delete[] State().specks;
  State().specks = nullptr;
}

TEST_F(FlySwimStage, PerchesFartherThanFiftyFiveComeBackNearTheEye) {
  State().seaLevel = 0.5f;
  AimCamera(Vector3{525.0f, 0.0f, 0.0f}, 10.0f, 5.0f);
  const Vector3 eye = GetViewEyePosition();
  AddPerches(60);
  ASSERT_EQ(State().perches.size(), 60u);
  // Put every other perch far away; the rest stay where they were put.
  std::vector<Vector3> kept(State().perches.size());
  for (size_t i = 0; i < State().perches.size(); ++i) {
    sPerch& perch = *State().perches[i];
    if (i % 2 == 0) SetPerchPosition(perch, PointAtHeight(Vector3{0.0f, 500.0f, (float)i}, 0.0f));
    kept[i] = perch.body->GetPosition();
  }
  RecyclePerches(false);
  for (size_t i = 0; i < State().perches.size(); ++i) {
    const sPerch& perch = *State().perches[i];
    const Vector3 p = perch.body->GetPosition();
    if (i % 2 == 1) {
      EXPECT_TRUE(Vector3Equal(p, kept[i]));
      continue;
    }
    // Placed 40 to 44 from the eye, then seated up or down along its own vertical: that
    // vertical passes within 44 of the eye, and the perch stands in the water column.
    const Vector3 up = Normalize(p);
    const float across = Vector3Length(Vector3Sub(eye, Vector3Scale(up, Vector3Dot(eye, up))));
    EXPECT_LE(across, 44.0f + 1e-3f);
    EXPECT_LE(Vector3Length(p), WaterShellRadius() + 1e-3f);
    EXPECT_GE(Vector3Length(p), kGroundRadius - 0.05f * (WaterShellRadius() - kGroundRadius) - 1e-2f);
    EXPECT_NEAR(Distance(perch.shadow->GetPosition(), PointAtHeight(p, -0.75f)), 0.0f, 1e-3f);
  }
}

TEST_F(FlySwimStage, UnitsStandingTogetherArePushedApart) {
  ResetState(kBirdTribe);
  AddUnits(2);
  sUnit& a = *State().units[0];
  sUnit& b = *State().units[1];
  ASSERT_TRUE(Vector3Equal(GetUnitPosition(a), GetUnitPosition(b)));
  SeparateUnits();  // one place: a random direction, pushes of 0.5 each way
  EXPECT_NEAR(Vector3Length(a.velocity), 0.5f, 1e-5f);
  EXPECT_TRUE(Vector3NearEqual(a.velocity, Vector3Negate(b.velocity), 1e-6f));
  a.velocity = b.velocity = Vector3{};
  b.body->SetPosition(Vector3Add(GetUnitPosition(a), Vector3{0.0f, 1.0f, 0.0f}));
  SeparateUnits();  // 1.0 apart: pushes of 0.25 along the line between them
  EXPECT_TRUE(Vector3NearEqual(a.velocity, Vector3{0.0f, -0.25f, 0.0f}, 1e-6f));
  EXPECT_TRUE(Vector3NearEqual(b.velocity, Vector3{0.0f, 0.25f, 0.0f}, 1e-6f));
}
