// The flock test mode: its formations, their mix by weight, the herd layout,
// the rebuild and the weight fields. Seeded; the last case runs the program.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/FrameLoop.h"
#include "app/SniffTest.h"
#include "math/Math.h"
#include "modes/dev/flocktest/HerdFormation.h"
#include "modes/dev/flocktest/HerdLayout.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "tests/support/StartedProgram.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

using namespace Ru::Math;

namespace {
const Vector3 kPoint = Vector3Scale(Vector3Normalized(Vector3{1, 2, 3}), 510.0f);

}  // namespace

TEST(HerdFormation, StepsStayInTheirRangesAndOnlyLinesScatterAndJumpsMoveTheAnchor) {
  tHerdFormationOperatorLine line(4, 6);
  tHerdFormationOperatorRandom scatter(3, 7), jump(15, 20);
  tHerdFormationOperatorHuddle huddle(4, 8);
  tHerdFormationAggregateModOperator lineThenLine(&line, &line, 1.0f), lineAlone(&line, &line, 0.0f);
  struct Case {
    tHerdFormationOperator* formation;
    float minimum, maximum;
    bool memberIsNextAnchor, straight;
  } cases[] = {{&line, 4, 6, true, true},     {&scatter, 3, 7, true, false},       {&jump, 15, 20, true, false},
               {&huddle, 4, 8, false, false}, {&lineThenLine, 8, 12, false, true}, {&lineAlone, 4, 6, true, true}};
  Sys_SeedRandom(7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maximum);
    Vector3 anchor = kPoint, member;
    Quaternion facing, memberFacing;
    cPlanetModel::AlignOrientationToSurface(facing, kPoint, QuatIdentity());
    for (int step = 0; step < 100; ++step) {
      const Vector3 before = anchor;
      const Quaternion facingBefore = facing;
      c.formation->Apply(anchor, facing, member, memberFacing, anchor, facing);
      const Vector3 local = QuatRotateVector(QuatInverse(facingBefore), Vector3Sub(member, before));
      EXPECT_GE(Vector3Length(local), c.minimum - 1e-3f);
      EXPECT_LE(Vector3Length(local), c.maximum + 1e-3f);
      EXPECT_NEAR(local.y, 0.0f, 1e-3f);  // on the anchor's ground plane
      EXPECT_EQ(Vector3Equal(anchor, member), c.memberIsNextAnchor);  // the aggregate's anchor moves one step only
      EXPECT_TRUE(c.formation != &huddle || Vector3Equal(anchor, kPoint)) << "a huddle keeps its anchor";
      EXPECT_TRUE(!c.straight || (std::fabs(local.x) < 1e-3f && local.z > 0.0f)) << "straight along local z";
    }
  }
}

TEST(HerdFormation, SelectionFollowsTheWeightsAndWithoutWeightChoosesNothing) {
  tHerdFormationOperatorLine ops[4] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
  tHerdFormationSelectOperator select;
  for (int i = 0; i < 4; ++i) select.AddOperator(i == 1 || i == 2 ? 6 : 1, &ops[i]);
  ASSERT_EQ(select.GetTotalWeight(), 14);
  const int kPick[14] = {0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3};  // by rand % 14
  for (int i = 0; i < 300; ++i) {
    Sys_SeedRandom(i + 1);
    const int expected = kPick[Sys_Random() % 14];
    Sys_SeedRandom(i + 1);
    ASSERT_EQ(select.Choose(), expected) << i;
  }
  for (size_t i = 0; i < 4; ++i) select.SetWeight(i, 0);
  EXPECT_EQ(select.Choose(), -1) << "every field at 0: no operator and no division by zero";
}

// The mode's state is static: the one case that builds a herd in this process.
TEST(FlockTestMode, EditsLayOutNothingBeforeTheFirstClickThenReLayTheSameHerdAtTheLastAnchorIfAnyWeightIsLeft) {
  cFlockTestMode().Init();
  cFlockTestMode::GetMarker()->SetPosition(kPoint);
  Sys_SeedRandom(21);
  cFlockTestMode::OnWeightFieldsChanged(0);
  EXPECT_TRUE(cFlockTestMode::GetHerd().empty());
  const uint32_t listed = GetSceneManager().GetObjectCount();
  bool sizes[2] = {false, false};
  for (int i = 0; i < 40; ++i) {
    cFlockTestMode::RebuildHerd();
    ASSERT_EQ(cFlockTestMode::GetHerd().size(), 10u);
    for (cSceneObject* a : cFlockTestMode::GetHerd()) {
      sizes[a->GetScale().x == 2.0f] = true;
      for (cSceneObject* b : cFlockTestMode::GetHerd()) {  // no pair closer than 4 unless they coincide
        const float d = Vector3Length(Vector3Sub(a->GetPosition(), b->GetPosition()));
        EXPECT_TRUE(d == 0.0f || d >= kHerdSpacing - 1e-3f) << d;
      }
    }
  }
  EXPECT_EQ(GetSceneManager().GetObjectCount(), listed + 10);
  EXPECT_TRUE(sizes[0] && sizes[1]) << "large and small pyramids";

  const std::vector<cSceneObject*> members = cFlockTestMode::GetHerd();
  cFlockTestMode::GetMarker()->SetPosition(Vector3Scale(kPoint, -1.0f));  // the marker moved since
  cFlockTestMode::GetWeightFields() = {0, 0, 0, 1};                       // huddle only
  cFlockTestMode::OnWeightFieldsChanged(0);
  EXPECT_EQ(cFlockTestMode::GetHerd(), members);
  for (cSceneObject* member : members) EXPECT_LT(Vector3Length(Vector3Sub(member->GetPosition(), kPoint)), 40.0f);

  // Negative weights are clamped; with no weight left nothing is laid out.
  const Vector3 before = members[3]->GetPosition();
  cFlockTestMode::GetWeightFields() = {0, -4, 0, -1};
  cFlockTestMode::OnWeightFieldsChanged(0);
  EXPECT_EQ(cFlockTestMode::GetWeightFields().huddle, 0);
  EXPECT_TRUE(Vector3Equal(members[3]->GetPosition(), before));

  // Separation leaves coincident members together and stops at its cap.
  const std::vector<cSceneObject*>& herd = cFlockTestMode::GetHerd();
  for (cSceneObject* member : herd) member->SetPosition(kPoint);
  EXPECT_EQ(SeparateHerd(herd), 1);
  for (size_t i = 0; i < herd.size(); ++i) herd[i]->SetPosition({0.01f * (float)i, 0, 0});
  EXPECT_EQ(SeparateHerd(herd, 25), 25);
}

TEST(FlockTestMode, StartedByItsOptionItFollowsThePointerDropsAHerdAndPassesTheSniffTest) {
  RunIsolated([] {
    cScratchDir dir;
    cStartedProgram program({"-noautopause", "-flocktestmode"});
    for (int i = 0; i < 30; ++i) program.Frame(16);
    EXPECT_EQ(gPlanetGridFlag, 1u);
    OnPassiveMotion(glutGet(GLUT_WINDOW_WIDTH) / 2, glutGet(GLUT_WINDOW_HEIGHT) / 2);
    const Vector3 onPlanet = cFlockTestMode::GetMarker()->GetPosition();
    EXPECT_NEAR(Vector3Length(onPlanet), GetPlanetModel().GetSurfaceRadius(onPlanet), 2.0f);  // the drawn mesh
    OnPassiveMotion(2, 2);  // past the planet's rim: the marker stays
    OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 2, 2);  // the herd drops at the marker, not at the click
    OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, 2, 2);
    ASSERT_EQ(cFlockTestMode::GetHerd().size(), 10u);
    EXPECT_TRUE(Vector3Equal(cFlockTestMode::GetLastAnchor(), onPlanet));
    EXPECT_TRUE(RunSniffTestIn(dir.Path()));
  });
}
