// The "UFO" saucer's rules, headless: the wheel's level, the hover height and
// the camera's angles at each level.
#include <memory>

#include "modes/dev/flyswim/cFlySwimSaucer.h"
#include "tests/modes/dev/FlySwimTestSupport.h"

using namespace Ru::Math;
using namespace nFlySwim;

TEST_F(FlySwimStage, SaucerLevelMovesAgainstTheWheelAndStaysInZeroToFifteen) {
  std::unique_ptr<cFlySwimSaucer> saucer(CreateSaucer());
  EXPECT_EQ(saucer->level, 0);
  const int rows[][3] = {{0, +1, 0}, {0, -1, 1}, {6, -1, 7}, {7, +1, 6}, {15, -1, 15}, {15, +1, 14}, {3, 0, 3}};
  for (const auto& row : rows) {  // level, wheel, level after
    saucer->level = row[0];
    StepSaucer(*saucer, row[1]);
    EXPECT_EQ(saucer->level, row[2]) << row[0] << " wheel " << row[1];
  }
}

// Below level 7 the saucer hovers 15 + 30 x level / 6 (truncated) up and the
// camera trails at a pitch and distance growing with the level; from 7 it
// looks straight down from 300 + 150 x (level - 7) on the clicked ground.
TEST_F(FlySwimStage, SaucerHoverHeightAndCameraFollowTheLevel) {
  std::unique_ptr<cFlySwimSaucer> saucer(CreateSaucer());
  const Vector3 ground{kGroundRadius, 0.0f, 0.0f};
  const float rows[][4] = {{0, 15, 20, 51},  {1, 20, 24, 72},  {3, 30, 32, 115}, {5, 40, 40, 158},
                           {6, 45, 45, 180}, {7, 45, 90, 300}, {8, 45, 90, 450}, {15, 45, 90, 1500}};
  for (const auto& row : rows) {  // level, hover height, pitch, distance
    SCOPED_TRACE(row[0]);
    AimCamera(ground, 60.0f, 200.0f);
    CursorOn(ground);
    saucer->level = (int)row[0];
    Vector3 picked;
    ASSERT_TRUE(PickSaucerTarget(*saucer, picked));
    EXPECT_NEAR(HeightAboveGround(picked), row[1], 0.01f);
    SetSaucerTarget(*saucer, picked);
    saucer->target = Vector3{0.0f, kGroundRadius, 0.0f};  // a step brings any target to the hover height
    StepSaucer(*saucer, 0);
    if (row[0] < 7) { EXPECT_NEAR(HeightAboveGround(saucer->target), row[1], 0.01f); }
    SteerSaucerCamera(*saucer);
    float pitch = 0.0f, distance = 0.0f;
    GetCameraTargetAngles(nullptr, &pitch, &distance);
    EXPECT_EQ(pitch, row[2]);
    EXPECT_EQ(distance, row[3]);
    const float* anchor = GetCameraPosition();
    if (row[0] >= 7) { EXPECT_LT(Distance(Vector3{anchor[0], anchor[1], anchor[2]}, ground), 0.2f); }
  }
}

// Faults mended: deeper than twice its cushion the ground's push turned into
// a pull, and a camera frame kept from the other side of the planet trailed
// the saucer upside down, the eye inside the ground.
TEST_F(FlySwimStage, SaucerAndItsTrailingCameraStandUpWhereTheSaucerIs) {
  std::unique_ptr<cFlySwimSaucer> saucer(CreateSaucer());
  const Vector3 out{1.0f, 0.0f, 0.0f};
  saucer->position = saucer->target = Vector3Scale(out, kGroundRadius - 40.0f);
  saucer->velocity = Vector3{};
  StepSaucer(*saucer, 0);
  EXPECT_NEAR(Vector3Dot(saucer->velocity, out), 4.0f, 1e-4f) << "rises at full speed";
  // Hovering at level 0 (15 up): higher than 67.5 it first closes a quarter of
  // the way at once; lower than 18.0 the ground pushes it up.
  const float steps[][3] = {
      // height, height after, upward speed after
      {67.5f, 67.5f, -4.0f}, {68.0f, 54.75f, -4.0f},  // 68 to 15: a quarter is 13.25
      {18.0f, 18.0f, -0.6f}, {17.0f, 17.0f, -0.18395f},  // 2 x (1 - (17 / 18)^2) up against 0.4 down
  };
  for (const auto& row : steps) {
    saucer->position = Vector3Scale(out, kGroundRadius + row[0]);
    saucer->target = Vector3Scale(out, kGroundRadius);
    saucer->velocity = Vector3{};
    StepSaucer(*saucer, 0);
    EXPECT_NEAR(HeightAboveGround(saucer->position), row[1], 1e-3f) << row[0];
    EXPECT_NEAR(Vector3Dot(saucer->velocity, out), row[2], 1e-4f) << row[0];
  }

  AimCamera(Vector3{0.0f, kGroundRadius, 0.0f}, 30.0f, 51.0f);
  saucer->position = saucer->target = Vector3Scale(out, kGroundRadius + 15.0f);
  SteerSaucerCamera(*saucer);
  float anchor[3], q[4];
  GetCameraPositionOrientation(anchor, q);
  EXPECT_GT(Vector3Dot(QuatRotateVector(Quaternion{q[0], q[1], q[2], q[3]}, Vector3{0, 1, 0}), out), 0.999f);

  // The trailing camera turns to look along the way only when the target's
  // ground is more than 9.0 from the saucer's; its anchor catches up halfway
  // only when the eye is more than 270.0 from the saucer.
  const Vector3 ground = Vector3Scale(out, kGroundRadius);
  const float ways[][2] = {{8.95f, 0.0f}, {9.05f, 1.0f}};  // along the ground, turns
  for (const auto& row : ways) {
    AimCamera(ground, 30.0f, 51.0f);
    Quaternion before;
    GetCameraPositionOrientation(anchor, &before.x);
    saucer->position = Vector3Scale(out, kGroundRadius + 15.0f);
    saucer->target = PointAtHeight(Vector3Add(ground, Vector3{0.0f, row[0], 0.0f}), 15.0f);
    SteerSaucerCamera(*saucer);
    GetCameraPositionOrientation(anchor, q);
    EXPECT_EQ(!QuatNearEqual(Quaternion{q[0], q[1], q[2], q[3]}, before, 1e-4f), row[1] == 1.0f) << row[0];
  }
  const float eyes[][2] = {{269.9f, 0.0f}, {270.1f, 1.0f}};  // from the eye, catches up
  for (const auto& row : eyes) {
    AimCamera(ground, 30.0f, 51.0f);
    const Vector3 eye = GetViewEyePosition();
    saucer->position = saucer->target = Vector3Add(eye, Vector3{0.0f, 0.0f, row[0]});
    SteerSaucerCamera(*saucer);
    const float* a = GetCameraAnchor();
    EXPECT_EQ(Distance(Vector3{a[0], a[1], a[2]}, ground) > 1.0f, row[1] == 1.0f) << row[0];
  }
}

// The right button calls the saucer under the eye of the camera where it is
// going, not of the view still on screen: below level 7 as its target, from 7
// as the ground the top-down camera looks at. (Headless, the click's own move
// over the clicked ground needs the drawn frame's matrices: the running
// program's wheel test clicks it; here the camera is already on its way.)
TEST_F(FlySwimStage, TheRightButtonCallsTheSaucerUnderTheEye) {
  cTovansGameMode mode;
  const Vector3 ground{kGroundRadius, 0.0f, 0.0f};
  const Vector3 goal = PointAtHeight(Vector3{kGroundRadius, 20.0f, 30.0f}, 0.0f);
  const float rows[][3] = {{0, 20, 51}, {5, 40, 158}, {7, 90, 300}, {12, 90, 1050}};
  for (const auto& row : rows) {  // level, pitch, distance as the level sets them
    const int level = (int)row[0];
    SCOPED_TRACE(level);
    ResetState(kUfo);
    std::unique_ptr<cFlySwimSaucer> saucer(CreateSaucer());
    State().saucer = saucer.get();
    saucer->level = level;
    const Vector3 before = saucer->target;
    AimCamera(ground, row[1], row[2]);
    Quaternion q;
    cPlanetModel::MakeSurfaceOrientation(q, goal, Vector3{0.0f, 0.0f, 1.0f});
    SetCameraPositionOrientation(&goal.x, &q.x);
    mode.OnRightButtonDown(kWindowWidth / 2, kWindowHeight / 2);
    mode.OnRightButtonUp(kWindowWidth / 2, kWindowHeight / 2);
    State().saucer = nullptr;
    AimCamera(goal, row[1], row[2]);  // arrived
    const Vector3 eye = GetViewEyePosition();
    if (level < 7) {
      EXPECT_LT(Distance(saucer->cameraAnchor, PointAtHeight(eye, 0.0f)), 1e-2f);
      StepSaucer(*saucer, 0);  // a step brings the target to the hover height
      EXPECT_LT(Distance(saucer->target, PointAtHeight(eye, (float)SaucerHoverHeight(level))), 1e-2f);
    } else {
      EXPECT_LT(Distance(saucer->cameraAnchor, goal), 1e-2f) << "straight under the eye";
      EXPECT_EQ(Distance(saucer->target, before), 0.0f) << "from 7 the view's centre leads it";
    }
  }
}
