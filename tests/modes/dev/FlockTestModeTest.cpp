// The flock test mode's herd formations, their weighted mix, the herd layout
// with its separation, and the mode's rebuild and weight fields. Seeded, headless.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/SniffTest.h"
#include "math/Math.h"
#include "modes/dev/flocktest/HerdFormation.h"
#include "modes/dev/flocktest/HerdLayout.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "tests/support/StartedProgram.h"
#include "tests/support/TestSupport.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {

const Vector3 kPoint = Vector3Scale(Vector3Normalized(Vector3{1.0f, 2.0f, 3.0f}), 510.0f);

Quaternion TiltedFrame() {
  Quaternion q;
  cPlanetModel::AlignOrientationToSurface(q, kPoint, QuatIdentity());
  return q;
}

// The offset from `from` to `to` in the frame's own axes.
Vector3 Local(const Quaternion& frame, const Vector3& from, const Vector3& to) {
  return QuatRotateVector(QuatInverse(frame), Vector3Sub(to, from));
}

// Records what it was handed and steps one unit along world x.
struct cRecordingOperator : tHerdFormationOperator {
  using tHerdFormationOperator::Apply;
  int calls = 0;
  void Apply(const Vector3& anchor, const Quaternion& facing, Vector3& member, Quaternion& memberFacing, Vector3& next,
             Quaternion& nextFacing) override {
    ++calls;
    member = next = Vector3Add(anchor, Vector3{1.0f, 0.0f, 0.0f});
    memberFacing = nextFacing = facing;
  }
};

// A herd of scene objects without owner or scene listing.
struct cLooseHerd {
  cSceneShapePyramid shape;
  std::vector<cSceneObject*> members;
  explicit cLooseHerd(int count) {
    for (int i = 0; i < count; ++i) members.push_back(new cSceneObject(nullptr, &shape));
  }
  ~cLooseHerd() {
    for (cSceneObject* member : members) delete member;
  }
};

void ExpectNoPairCloserThanSpacing(const std::vector<cSceneObject*>& herd) {
  for (size_t i = 0; i < herd.size(); ++i)
    for (size_t j = i + 1; j < herd.size(); ++j) {
      const float d = Vector3Length(Vector3Sub(herd[i]->GetPosition(), herd[j]->GetPosition()));
      EXPECT_TRUE(d == 0.0f || d >= kHerdSpacing - 1e-3f) << i << "-" << j << " at " << d;
    }
}

}  // namespace

TEST(HerdFormation, StepsOfLineScatterAndJumpStayInTheirRangesInTheAnchorsGroundPlane) {
  struct Case {
    const char* name;
    bool line;
    float minimum, maximum;
  } cases[] = {{"Line Formation", true, 4.0f, 6.0f}, {"Scatter", false, 3.0f, 7.0f}, {"Big Jump", false, 15.0f, 20.0f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sys_SeedRandom(7);
    tHerdFormationOperatorLine line(c.minimum, c.maximum);
    tHerdFormationOperatorRandom walk(c.minimum, c.maximum);
    tHerdFormationOperator& formation = c.line ? (tHerdFormationOperator&)line : walk;
    Vector3 position = kPoint;
    Quaternion facing = TiltedFrame();
    const Vector3 up = QuatRotateVector(facing, Vector3{0, 1, 0});
    for (int step = 0; step < 200; ++step) {
      const Vector3 before = position;
      const Quaternion facingBefore = facing;
      formation.Apply(position, facing);  // in place: the member is the next anchor
      const Vector3 offset = Local(facingBefore, before, position);
      const float distance = Vector3Length(offset);
      EXPECT_GE(distance, c.minimum - 1e-3f);
      EXPECT_LE(distance, c.maximum + 1e-3f);
      EXPECT_NEAR(offset.y, 0.0f, 1e-3f);  // never off the anchor's ground plane
      if (c.line) {
        EXPECT_NEAR(offset.x, 0.0f, 1e-3f);  // straight along local z
        EXPECT_GT(offset.z, 0.0f);
        EXPECT_TRUE(QuatNearEqual(facing, facingBefore, 0.0f));
      }
      // A walk turns only about the anchor's own up.
      EXPECT_NEAR(Vector3Length(Vector3Sub(QuatRotateVector(facing, Vector3{0, 1, 0}), up)), 0.0f, 1e-3f);
    }
  }
}

TEST(HerdFormation, HuddleRingsTheAnchorAndKeepsIt) {
  Sys_SeedRandom(11);
  tHerdFormationOperatorHuddle huddle(4.0f, 8.0f);
  Vector3 anchor = kPoint;
  Quaternion facing = TiltedFrame();
  const Quaternion anchorFacing = facing;
  for (int i = 0; i < 100; ++i) {
    Vector3 member;
    Quaternion memberFacing;
    huddle.Apply(anchor, facing, member, memberFacing, anchor, facing);
    EXPECT_EQ(anchor.x, kPoint.x);
    EXPECT_EQ(anchor.y, kPoint.y);
    EXPECT_EQ(anchor.z, kPoint.z);
    EXPECT_TRUE(QuatNearEqual(facing, anchorFacing, 0.0f));
    const float d = Vector3Length(Vector3Sub(member, anchor));
    EXPECT_GE(d, 4.0f - 1e-3f);
    EXPECT_LE(d, 8.0f + 1e-3f);
    // Upright on the planet and facing away from the anchor.
    const Vector3 up = QuatRotateVector(memberFacing, Vector3{0, 1, 0});
    EXPECT_GT(Vector3Dot(up, Vector3Normalized(member)), 0.999f);
    Quaternion expected;
    cPlanetModel::MakeSurfaceOrientation(expected, member, Vector3Sub(member, anchor));
    EXPECT_TRUE(QuatNearEqual(memberFacing, expected, 1e-6f));
  }
}

TEST(HerdFormation, AggregateEitherMovesTheAnchorFirstOrLetsTheFirstOperatorDoBoth) {
  cRecordingOperator first, second;
  struct Case {
    float probability;
    int secondCalls;
    float memberX, nextX;
  } cases[] = {{1.0f, 1, 2.0f, 1.0f},   // r < p: first moves the anchor, second places the member from there
               {0.0f, 0, 1.0f, 1.0f}};  // r >= p: first alone
  for (const Case& c : cases) {
    SCOPED_TRACE(c.probability);
    first.calls = second.calls = 0;
    tHerdFormationAggregateModOperator aggregate(&first, &second, c.probability);
    Vector3 anchor{0, 0, 0}, member;
    Quaternion facing = QuatIdentity(), memberFacing;
    aggregate.Apply(anchor, facing, member, memberFacing, anchor, facing);
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, c.secondCalls);
    EXPECT_EQ(member.x, c.memberX);
    EXPECT_EQ(anchor.x, c.nextX);
  }
}

TEST(HerdFormation, SelectionFollowsTheWeightsAndDrawsNothingWithoutWeight) {
  cRecordingOperator bigJump, huddle, line, scatter;
  tHerdFormationSelectOperator select;
  select.AddOperator(1, &bigJump);
  select.AddOperator(6, &huddle);
  select.AddOperator(6, &line);
  select.AddOperator(1, &scatter);
  EXPECT_EQ(select.GetTotalWeight(), 14);
  // r = rand % 14 picks 0 -> big jump, 1-6 -> huddle, 7-12 -> line, 13 -> scatter.
  Sys_SeedRandom(3);
  std::vector<int> expected;
  for (int i = 0; i < 500; ++i) {
    const int r = Sys_Random() % 14;
    expected.push_back(r == 0 ? 0 : r <= 6 ? 1 : r <= 12 ? 2 : 3);
  }
  Sys_SeedRandom(3);
  int counts[4] = {};
  for (int i = 0; i < 500; ++i) {
    const int chosen = select.Choose();
    ASSERT_EQ(chosen, expected[i]) << "draw " << i;
    ++counts[chosen];
  }
  for (int count : counts) EXPECT_GT(count, 0);

  // No weight at all (every field at 0) or a negative total: no draw, no division, nothing written.
  for (const std::vector<int32_t>& weights : {std::vector<int32_t>{0, 0, 0, 0}, {-3, 1, 0, 1}}) {
    for (size_t i = 0; i < weights.size(); ++i) select.SetWeight(i, weights[i]);
    Sys_SeedRandom(5);
    const int firstDraw = Sys_Random();
    Sys_SeedRandom(5);
    EXPECT_EQ(select.Choose(), -1);
    Vector3 member{9, 9, 9}, anchor{0, 0, 0};
    Quaternion facing = QuatIdentity(), memberFacing = QuatIdentity();
    select.Apply(anchor, facing, member, memberFacing, anchor, facing);
    EXPECT_EQ(member.x, 9.0f);
    EXPECT_EQ(Sys_Random(), firstDraw);
  }
}

TEST(HerdLayout, NoTwoMembersEndCloserThanTheSpacingUnlessTheyCoincide) {
  tHerdFormationOperatorRandom bigJump(15, 20), scatter(3, 7);
  tHerdFormationOperatorHuddle huddle(4, 8);
  tHerdFormationOperatorLine line(4, 6);
  tHerdFormationSelectOperator select;
  select.AddOperator(1, &bigJump);
  select.AddOperator(6, &huddle);
  select.AddOperator(6, &line);
  select.AddOperator(1, &scatter);
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    Sys_SeedRandom(seed);
    cLooseHerd herd(10);
    ASSERT_TRUE(LayOutHerd(herd.members, kPoint, select));
    ExpectNoPairCloserThanSpacing(herd.members);
  }
}

TEST(HerdLayout, SeparationPushesHalfTheSpacingEachWayLeavesCoincidentMembersAndStopsAtItsCap) {
  cLooseHerd pair(2);
  pair.members[0]->SetPosition({1, 0, 0});
  EXPECT_EQ(SeparateHerd(pair.members), 2);  // one pass pushes, the next finds nothing
  EXPECT_FLOAT_EQ(pair.members[0]->GetPosition().x, 3.0f);
  EXPECT_FLOAT_EQ(pair.members[1]->GetPosition().x, -2.0f);

  cLooseHerd together(3);  // all at the origin: never separated, one pass
  EXPECT_EQ(SeparateHerd(together.members), 1);

  cLooseHerd crowd(60);
  for (size_t i = 0; i < crowd.members.size(); ++i) crowd.members[i]->SetPosition({0.01f * (float)i, 0, 0});
  EXPECT_EQ(SeparateHerd(crowd.members, 25), 25);
  EXPECT_EQ(SeparateHerd({}), 0);
}

namespace {

// The mode's state is static: each case starts from the initial weights.
struct FlockTestModeTest : ::testing::Test {
  cFlockTestMode mode;
  void SetUp() override {
    mode.Init();
    cFlockTestMode::GetWeightFields() = {3, 1, 1, 6};
    tHerdFormationSelectOperator& select = cFlockTestMode::GetFormation();
    const int32_t initial[4] = {1, 6, 6, 1};
    for (size_t i = 0; i < 4; ++i) select.SetWeight(i, initial[i]);
    cFlockTestMode::GetMarker()->SetPosition(kPoint);
    Sys_SeedRandom(21);
  }
  static std::vector<Vector3> Positions() {
    std::vector<Vector3> out;
    for (cSceneObject* member : cFlockTestMode::GetHerd()) out.push_back(member->GetPosition());
    return out;
  }
};

}  // namespace

// The first case of the fixture, so no herd exists yet in this process.
TEST_F(FlockTestModeTest, EditsBeforeTheFirstClickLayNothingOutAndARebuildMakesTenPyramidsOfTwoSizes) {
  cFlockTestMode::OnWeightFieldsChanged(0);
  EXPECT_TRUE(cFlockTestMode::GetHerd().empty());

  const uint32_t listedBefore = GetSceneManager().GetObjectCount();
  for (int rebuild = 0; rebuild < 3; ++rebuild) {
    cFlockTestMode::RebuildHerd();
    ASSERT_EQ(cFlockTestMode::GetHerd().size(), 10u);
    EXPECT_EQ(GetSceneManager().GetObjectCount(), listedBefore + 10);
  }
  bool sizes[2] = {false, false};
  Sys_SeedRandom(1);
  for (int i = 0; i < 20; ++i) {
    cFlockTestMode::RebuildHerd();
    for (cSceneObject* member : cFlockTestMode::GetHerd()) {
      sizes[member->GetScale().x == 2.0f] = true;
      EXPECT_EQ(member->GetColour().x, 1.0f);
      EXPECT_LT(Vector3Length(Vector3Sub(member->GetPosition(), kPoint)), 250.0f);
    }
    ExpectNoPairCloserThanSpacing(cFlockTestMode::GetHerd());
  }
  EXPECT_TRUE(sizes[0] && sizes[1]);
  EXPECT_EQ(cFlockTestMode::GetLastAnchor().x, kPoint.x);
}

TEST_F(FlockTestModeTest, EditedWeightsReLayTheSameHerdAtTheLastAnchorOnly) {
  cFlockTestMode::RebuildHerd();
  const std::vector<cSceneObject*> members = cFlockTestMode::GetHerd();
  cFlockTestMode::GetMarker()->SetPosition(Vector3Scale(kPoint, -1.0f));  // the marker moved away since
  cFlockTestMode::GetWeightFields() = {0, 0, 0, 1};  // huddle only: every member rings the last anchor
  cFlockTestMode::OnWeightFieldsChanged(0);
  EXPECT_EQ(cFlockTestMode::GetHerd(), members);
  for (const Vector3& p : Positions()) EXPECT_LT(Vector3Length(Vector3Sub(p, kPoint)), 40.0f);
}

TEST_F(FlockTestModeTest, WeightsAllZeroOrNegativeAreClampedAndLayNothingOut) {
  cFlockTestMode::RebuildHerd();
  const std::vector<Vector3> before = Positions();
  cFlockTestMode::GetWeightFields() = {0, -4, 0, -1};
  cFlockTestMode::OnWeightFieldsChanged(0);
  const cFlockTestMode::sWeightFields& fields = cFlockTestMode::GetWeightFields();
  EXPECT_EQ(fields.bigJump, 0);
  EXPECT_EQ(fields.huddle, 0);
  EXPECT_EQ(cFlockTestMode::GetFormation().GetTotalWeight(), 0);
  const std::vector<Vector3> after = Positions();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].x, before[i].x);
  cFlockTestMode::RebuildHerd();  // a click with no weight still makes the herd, laid out nowhere new
  EXPECT_EQ(cFlockTestMode::GetHerd().size(), 10u);
}

TEST(FlockTestMode, StartedByItsOptionItFollowsThePointerDropsAHerdAndPassesTheSniffTest) {
  RunIsolated([] {
    cScratchDir dir;
    cStartedProgram program({"-noautopause", "-flocktestmode"});
    ASSERT_EQ(program.startResult, 0);
    for (int i = 0; i < 30; ++i) program.Frame(16);
    EXPECT_EQ(gPlanetGridFlag, 1u);
    const int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    OnPassiveMotion(w / 2, h / 2);
    const Vector3 onPlanet = cFlockTestMode::GetMarker()->GetPosition();
    EXPECT_NEAR(Vector3Length(onPlanet), GetPlanetModel().GetSurfaceRadius(onPlanet), 2.0f);  // the drawn mesh, not the height map
    OnPassiveMotion(2, 2);  // past the planet's rim: the marker stays
    EXPECT_TRUE(Vector3Equal(cFlockTestMode::GetMarker()->GetPosition(), onPlanet));

    OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 2, 2);  // the herd drops at the marker, not at the click
    OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, 2, 2);
    ASSERT_EQ(cFlockTestMode::GetHerd().size(), 10u);
    EXPECT_TRUE(Vector3Equal(cFlockTestMode::GetLastAnchor(), onPlanet));

    EXPECT_TRUE(RunSniffTestIn(dir.Path()));
    EXPECT_EQ(gCurrentGameMode, (cIGameMode*)gFlockTestMode);
  });
}
