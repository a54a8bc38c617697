// A stress walker's cycle on a smooth planet (radius 510): a jump 2 up a frame
// to 150 and 1 down a frame, spinning 5 degrees a frame; a 30-degree turn and
// a target about 100 ahead on landing; a walk of 2 a frame; a jump within 5.
#include "tests/modes/dev/StressModeSupport.h"

using namespace Ru::Math;

class StressModeWalkerTest : public cStressWorldTest {
 protected:
  void SetUp() override {
    cStressWorldTest::SetUp();
    CreateStressWalkers();
  }
  cStressWalker& walker() { return GetStressWalkers()[7]; }
  float Height() { return Vector3Length(walker().object->GetPosition()) - kGround; }
  // One step; how far it moved and by how many degrees its heading turned about an unchanged up axis.
  void Step(float& moved, float& turned) {
    const Vector3 before = walker().object->GetPosition();
    const Quaternion q = walker().object->GetOrientation();
    walker().Step();
    moved = Vector3Length(Vector3Sub(walker().object->GetPosition(), before));
    turned = DegreesBetween(AxisOf(q, 2), AxisOf(walker().object->GetOrientation(), 2));
  }
};

TEST_F(StressModeWalkerTest, JumpsSpinningThenTurnsThirtyDegreesAndWalksToATargetAHundredAhead) {
  float moved, turned;
  for (int cycle = 0; cycle < 3; ++cycle) {
    // Up 2 a frame until at least 150 above the ground, then down 1 a frame until on or under it.
    int rises = 0;
    for (float climb : {2.0f, -1.0f}) {
      int moves = 0;
      for (float before = Height(); moves < 200; before = Height()) {
        Step(moved, turned);
        if (moved == 0.0f) break;  // the top, or the ground
        ++moves;
        ASSERT_NEAR(Height() - before, climb, 0.01f);
        ASSERT_NEAR(turned, 5.0f, 0.05f);
      }
      if (climb > 0) rises = moves;
      EXPECT_NEAR(moves, climb > 0 ? 75.5 : 2 * rises, 1) << "the top is 150 or 152 up";
    }
    ASSERT_TRUE(walker().landed);
    ASSERT_NEAR(Height(), 0.0f, 1.0f);
    Step(moved, turned);  // landed: turn and aim
    EXPECT_NEAR(turned, 30.0f, 0.05f);
    const Vector3 toTarget = Vector3Sub(walker().target, walker().object->GetPosition());
    EXPECT_NEAR(Vector3Length(toTarget), 99.0f, 1.0f);  // 100 ahead, brought down to the ground
    EXPECT_LT(DegreesBetween(toTarget, Vector3Negate(AxisOf(walker().object->GetOrientation(), 2))), 6.0f);
    for (float left = Vector3Length(toTarget); left > 5.0f;) {
      Step(moved, turned);
      const float now = Vector3Length(Vector3Sub(walker().target, walker().object->GetPosition()));
      ASSERT_NEAR(moved, 2.0f, 0.25f);  // the first step also comes up from under the ground
      ASSERT_NEAR(Height(), 0.0f, 0.01f) << "walks on the ground";
      ASSERT_NEAR(left - now, 2.0f, 0.25f);
      left = now;
    }
  }
}

TEST_F(StressModeWalkerTest, AClickInMidJumpTurnsEveryWalkerAndDropsItToTheGroundAtItsNextStep) {
  for (int frame = 0; frame < 40; ++frame) StepStressWalkers();
  ASSERT_NEAR(Height(), 80.0f, 0.01f);
  TurnStressWalkers();
  StepStressWalkers();
  for (cStressWalker& each : GetStressWalkers())
    ASSERT_NEAR(Vector3Length(each.object->GetPosition()), kGround, 0.01f) << "every walker is back on the ground";
  EXPECT_FALSE(walker().landed);
}
