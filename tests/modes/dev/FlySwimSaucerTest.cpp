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
  struct sRow {
    int level, wheel, after;
  } rows[] = {
      {0, +1, 0}, {0, -1, 1}, {6, -1, 7}, {7, +1, 6}, {15, -1, 15}, {15, +1, 14}, {3, 0, 3},
  };
  for (const sRow& row : rows) {
    saucer->level = row.level;
    StepSaucer(*saucer, row.wheel);
    EXPECT_EQ(saucer->level, row.after) << row.level << " wheel " << row.wheel;
  }
  for (int wheel : {-1, +1}) {  // however far it turns
    for (int i = 0; i < 40; ++i) StepSaucer(*saucer, wheel);
    EXPECT_EQ(saucer->level, wheel < 0 ? 15 : 0);
  }
}

// Below level 7 the saucer's target hovers 15 + 30 x level / 6 (truncated) up
// and the camera trails at a pitch and distance growing with the level; from 7
// it looks straight down from 300 + 150 x (level - 7), on the saucer's anchor.
TEST_F(FlySwimStage, SaucerHoverHeightAndCameraFollowTheLevel) {
  std::unique_ptr<cFlySwimSaucer> saucer(CreateSaucer());
  const Vector3 ground{kGroundRadius, 0.0f, 0.0f};
  struct sRow {
    int level, hover;
    float pitch, distance;
  } rows[] = {
      {0, 15, 20.0f, 51.0f},  {1, 20, 24.0f, 72.0f},   {3, 30, 32.0f, 115.0f},  {5, 40, 40.0f, 158.0f},
      {6, 45, 45.0f, 180.0f}, {7, 45, 90.0f, 300.0f},  {8, 45, 90.0f, 450.0f},  {15, 45, 90.0f, 1500.0f},
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(row.level);
    AimCamera(ground, 60.0f, 200.0f);
    CursorOn(ground);
    saucer->level = row.level;
    Vector3 picked;
    ASSERT_TRUE(PickSaucerTarget(*saucer, picked));
    EXPECT_NEAR(HeightAboveGround(picked), (float)row.hover, 0.01f);
    SetSaucerTarget(*saucer, picked);
    saucer->target = Vector3{0.0f, kGroundRadius, 0.0f};  // the step brings any target to the hover height
    StepSaucer(*saucer, 0);
    if (row.level < 7) EXPECT_NEAR(HeightAboveGround(saucer->target), (float)row.hover, 0.01f);
    SteerSaucerCamera(*saucer);
    float pitch = 0.0f, distance = 0.0f;
    GetCameraTargetAngles(nullptr, &pitch, &distance);
    EXPECT_EQ(pitch, row.pitch);
    EXPECT_EQ(distance, row.distance);
    if (row.level >= 7) {
      const float* anchor = GetCameraPosition();
      EXPECT_NEAR(Distance(Vector3{anchor[0], anchor[1], anchor[2]}, ground), 0.0f, 0.2f) << "on the clicked ground (to the pixel)";
    }
  }
}

// Faults mended: deeper than twice its cushion the ground's push turned into
// a pull, and a camera frame kept from the other side of the planet trailed
// the saucer upside down, the eye inside the ground.
TEST_F(FlySwimStage, SaucerAndItsTrailingCameraStandUpWhereTheSaucerIs) {
  std::unique_ptr<cFlySwimSaucer> saucer(CreateSaucer());
  const Vector3 out{1.0f, 0.0f, 0.0f};
  saucer->position = Vector3Scale(out, kGroundRadius - 40.0f);
  saucer->target = saucer->position;
  saucer->velocity = Vector3{};
  StepSaucer(*saucer, 0);
  EXPECT_NEAR(Vector3Dot(saucer->velocity, out), 4.0f, 1e-4f) << "rises at full speed";

  AimCamera(Vector3{0.0f, kGroundRadius, 0.0f}, 30.0f, 51.0f);
  saucer->position = saucer->target = Vector3Scale(out, kGroundRadius + 15.0f);
  SteerSaucerCamera(*saucer);
  float anchor[3], q[4];
  GetCameraPositionOrientation(anchor, q);
  const Vector3 up = QuatRotateVector(Quaternion{q[0], q[1], q[2], q[3]}, Vector3{0.0f, 1.0f, 0.0f});
  EXPECT_GT(Vector3Dot(up, out), 0.999f);
}
