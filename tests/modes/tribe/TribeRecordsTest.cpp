// The tribe records: food, breeding, members, colour and tools of a tribe;
// hut sites and ids; tool names; herd scale, count, target and hunts; actor
// attributes and the radius query.
#include <gtest/gtest.h>

#include <cmath>

#include "TribeRecordTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace Ru::Math;

namespace {

struct TribeRecordsTest : ::testing::Test {
  cFakeClock clock;
  cTribeRecordWorld world;
  const Vector3 north{0.0f, 1.0f, 0.0f};
  void SetUp() override {
    ResetGameClockForTest();
    StartGameClock();  // the game clock follows the fake one from here
  }
  void TearDown() override { ResetGameClockForTest(); }
};

TEST_F(TribeRecordsTest, FoodAndBreedingProgressKeepTheirBounds) {
  cTribe* tribe = world.MakeTribe(north, 0);
  tribe->AddFood(5.0f);
  EXPECT_EQ(tribe->AddFood(-1000.0f), 0.0f);
  EXPECT_EQ(tribe->GetFood(), 0.0f);

  struct {
    float progress, left;
    bool readyBefore;
  } cases[] = {{2.25f, 0.25f, true}, {1.0f, 0.0f, true}, {0.5f, 0.5f, false}, {1.0e30f, 0.0f, true}};
  for (const auto& c : cases) {
    tribe->AddBreedProgress(c.progress - tribe->GetBreedProgress());
    EXPECT_EQ(tribe->IsBreedReady(), c.readyBefore) << c.progress;
    // A huge progress (from a file) once never dropped below 1: the loop hung.
    tribe->TakeWholeBreedProgress();
    EXPECT_FLOAT_EQ(tribe->GetBreedProgress(), c.left) << c.progress;
    EXPECT_FALSE(tribe->IsBreedReady());
  }
}

TEST_F(TribeRecordsTest, MembersJoinOnceAndOnlyANewMemberRestartsTheClock) {
  cTribe* tribe = world.MakeTribe(north, 1);
  cTribeCreature* member = *tribe->MembersBegin();
  EXPECT_EQ(member->GetTribe(), tribe);
  clock.Advance(700);
  EXPECT_FALSE(tribe->AddMember(member));
  EXPECT_EQ(tribe->GetPopulation(), 1u);
  EXPECT_EQ(tribe->GetTimeSinceNewMember(), 700.0);
  world.AddMember(tribe, north);
  EXPECT_EQ(tribe->GetTimeSinceNewMember(), 0.0);
  EXPECT_EQ(tribe->GetTimeSinceBirth(), 700.0);
  EXPECT_TRUE(tribe->RemoveMember(member));
  EXPECT_FALSE(tribe->RemoveMember(member));
  EXPECT_EQ(tribe->FindMember(member), tribe->MembersEnd());
}

TEST_F(TribeRecordsTest, OnlyANewColourRecoloursHutAndMembers) {
  cTribe* tribe = world.MakeTribe(north, 1);
  cTribeCreature* member = *tribe->MembersBegin();
  const Vector3 selected{1.0f, 1.0f, 1.0f};
  member->SetColour(selected);
  tribe->SetColour(*tribe->GetColour());  // the same colour: the selection colour stays
  EXPECT_TRUE(Vector3Equal(member->GetCommon()->GetSceneObject()->GetColour(), selected));
  const Vector3 blue{0.0f, 0.0f, 1.0f};
  tribe->SetColour(blue);
  EXPECT_TRUE(Vector3Equal(member->GetCommon()->GetSceneObject()->GetColour(), blue));
  EXPECT_TRUE(Vector3Equal(tribe->GetHut()->GetSceneObject()->GetColour(), blue));
}

TEST_F(TribeRecordsTest, ToolsAnswerByFirstBoughtAndLeaveTheSceneWhenRemoved) {
  cTribe* tribe = world.MakeTribe(north, 0);
  cTribeHut* hut = tribe->GetHut();
  const Vector3 restSite = *hut->GetRestSite();
  const Vector3 spot = Vector3Scale(Vector3{0.1f, 1.0f, 0.0f}, 520.0f);
  const uint32_t shown = GetSceneManager().GetObjectCount();
  cTribeTool* first = tribe->AddTool(kTribeToolRest, 2, spot);
  tribe->AddTool(kTribeToolRest, 3, north);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), shown + 2);
  EXPECT_EQ(tribe->GetToolLevel(kTribeToolRest), 2u);
  EXPECT_EQ(tribe->GetToolLevel(kTribeToolHeal), 0u);
  EXPECT_TRUE(Vector3Equal(*hut->GetRestSite(), spot));
  EXPECT_TRUE(Vector3Equal(*hut->GetHealSite(), *hut->GetHealSite()));
  tribe->RemoveTools(kTribeToolRest, 2);
  tribe->RemoveTools(kTribeToolRest, 3);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), shown);  // no cube is left drawn
  EXPECT_TRUE(Vector3Equal(*hut->GetRestSite(), restSite));
  EXPECT_EQ(tribe->GetToolLevel(kTribeToolRest), 0u);
}

TEST_F(TribeRecordsTest, ToolNamesAndHutSites) {
  struct {
    uint32_t kind;
    const char* name;
  } kinds[] = {{0, "Weapon"}, {1, "Food Storage Tool"}, {5, "Rest Tool"}, {6, "Gather Tool"}, {7, ""}, {0xFFFFFFFF, ""}};
  for (const auto& k : kinds) EXPECT_STREQ(cTribeTool::KindName(k.kind), k.name);
  struct {
    uint32_t level;
    const char* name;
  } levels[] = {{0, ""}, {1, "Level 1"}, {3, "Level 3"}, {4, ""}};
  for (const auto& l : levels) EXPECT_STREQ(cTribeTool::LevelName(l.level), l.name);

  // The sites stand on the ground 5 units (the nest 5 diagonally) from the hut.
  cTribeHut* hut = world.MakeTribe(north, 0)->GetHut();
  const Vector3 at = hut->GetPositionVector();
  for (const Vector3* site : {hut->GetRestSite(), hut->GetHealSite(), hut->GetFoodSite(), hut->GetIdleSite(), hut->GetNestSite()}) {
    EXPECT_NEAR(Vector3Length(*site), 520.0f, 0.01f);
    EXPECT_NEAR(Vector3Length(Vector3Sub(*site, at)), 5.0f, 0.05f);
  }
}

TEST_F(TribeRecordsTest, IdsOfHutsAndToolsNeverRepeatALoadedOne) {
  cTribeHut::ResetIdCounterForTest(3);
  auto* loaded = dynamic_cast<cTribeHut*>(GetDataManager()->CreateObject(cTribeHut::kTypeId));
  loaded->SetId(50);
  auto* next = dynamic_cast<cTribeHut*>(GetDataManager()->CreateObject(cTribeHut::kTypeId));
  EXPECT_EQ(next->GetId(), 51u);
  loaded->SetId(7);  // a lower id does not lower the counter
  EXPECT_EQ(cTribeHut::PeekNextId(), 52u);
  cTribeTool::ResetIdCounterForTest(3);
  cTribeTool* tool = world.MakeTribe(north, 0)->AddTool(kTribeToolWeapon, 1, north);
  tool->SetId(50);
  EXPECT_EQ(cTribeTool::PeekNextId(), 51u);
}

TEST_F(TribeRecordsTest, HerdScaleFollowsTheAnimalsLeftInFloatingPoint) {
  struct {
    uint32_t size;
    int32_t count;
    float scale;
  } cases[] = {
      {1, 8, 4.0f},                          // 2 x 8^(1/3)
      {5, 4, 2.0f * std::cbrt(0.8f)},        // whole-number division made it 0
      {0, 1, 2.0f},                          // a herd made with no animals counts as one
      {3, 0, 0.0f}, {3, -1, 0.0f},
  };
  for (const auto& c : cases) {
    cTribeHerd* herd = world.MakeHerd(kTribeHerdRunts, c.size, north);
    herd->SetCount(c.count);
    EXPECT_NEAR(herd->GetShape()->GetScale().x, c.scale, 1e-4f) << c.size << " " << c.count;
    EXPECT_EQ(herd->GetCount(), c.count);
  }
  // The finished mark is a negative count (it once was unsigned and never "0 or
  // below") and leaves the model as it was.
  cTribeHerd* herd = world.MakeHerd(kTribeHerdBigGame, 4, north);
  herd->MarkFinished();
  EXPECT_TRUE(herd->IsFinished());
  EXPECT_LE(herd->GetCount(), 0);
  EXPECT_EQ(herd->GetCount(), cTribeObjectController::kHerdGoneMarker);
  EXPECT_FLOAT_EQ(herd->GetShape()->GetScale().x, 2.0f);
}

TEST_F(TribeRecordsTest, HerdTypeColoursItsPyramid) {
  struct {
    uint32_t type;
    Vector3 colour;
  } cases[] = {{1, {1, 1, 0}}, {2, {0, 1, 0}}, {3, {1, 0, 0}}};
  for (const auto& c : cases)
    EXPECT_TRUE(Vector3Equal(world.MakeHerd(c.type, 2, north)->GetSceneObject()->GetColour(), c.colour)) << c.type;
}

TEST_F(TribeRecordsTest, HerdTargetSeeksLandButGivesUpInAnOcean) {
  cTribeHerd* herd = world.MakeHerd(kTribeHerdRunts, 3, north);
  const Vector3 dry = Vector3Scale(Vector3Normalized(Vector3{0.3f, 1.0f, 0.2f}), 520.0f);
  herd->SetTarget(dry);
  EXPECT_TRUE(Vector3Equal(*herd->GetTarget(), dry));
  // A planet all sea: the search once never ended.
  GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 0.0f; }, 16));
  herd->SetTarget(dry);
  EXPECT_TRUE(GetPlanetModel().IsUnderWater(*herd->GetTarget()));
}

TEST_F(TribeRecordsTest, HuntingCountsAndMovesTheHomeAwayFromThePlayerHut) {
  cTribe* player = world.MakeTribe(north, 0);
  cTribeHerd::ResetHuntCounts();
  const Vector3 place = Vector3Scale(Vector3Normalized(Vector3{0.2f, 1.0f, 0.0f}), 520.0f);
  cTribeHerd* herd = world.MakeHerd(kTribeHerdBigGame, 4, place);
  herd->SetHome(place, 6.0f);
  clock.Advance(300);
  herd->OnHunted();
  EXPECT_EQ(herd->GetTimesHunted(), 1u);
  EXPECT_EQ(cTribeHerd::GetHuntCount(kTribeHerdBigGame), 1u);
  EXPECT_EQ(herd->GetCount(), 3);
  EXPECT_EQ(herd->GetTimeSinceHunted(), 0u);
  EXPECT_EQ(herd->GetTimeSinceCreation(), 300u);
  Vector3 home;
  float radius;
  herd->GetHome(home, radius);
  const Vector3 hut = player->GetHut()->GetPositionVector();
  EXPECT_GT(Vector3Length(Vector3Sub(home, hut)), Vector3Length(Vector3Sub(place, hut)) + 5.0f);
  EXPECT_GT(Vector3Length(Vector3Sub(*herd->GetTarget(), hut)), Vector3Length(Vector3Sub(home, hut)) + 5.0f);
  EXPECT_EQ(cTribeHerd::GetHuntCount(9), 0u);
}

TEST_F(TribeRecordsTest, AttributesReadAsZeroUntilSetAndAreNeverAddedByReading) {
  cTribeHerd* herd = world.MakeHerd(kTribeHerdRunts, 3, north);
  float* absent = herd->GetAttribute("anxiety");
  EXPECT_EQ(*absent, 0.0f);
  *absent = 9.0f;  // a careless caller cannot leak into the next absent name
  EXPECT_EQ(*herd->GetAttribute("fatigue"), 0.0f);
  EXPECT_TRUE(herd->GetAttributes().empty());
  float* stored = herd->SetAttribute("anxiety", 0.5f);
  EXPECT_EQ(herd->GetAttribute("anxiety"), stored);
  EXPECT_EQ(*herd->SetAttribute("anxiety", 0.75f), 0.75f);
  EXPECT_EQ(herd->GetAttributes().size(), 1u);
}

TEST_F(TribeRecordsTest, ActorsInRadiusSkipTheAskerAndListCreaturesBeforeHerds) {
  cTribe* tribe = world.MakeTribe(north, 2);
  cTribeHerd* near = world.MakeHerd(kTribeHerdRunts, 3, north);
  world.MakeHerd(kTribeHerdRunts, 3, Vector3{1.0f, 0.0f, 0.0f});  // far away
  tActorDistanceList found;
  FindActorsInRadius(near, 20.0f, found);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].first, *tribe->MembersBegin());
  EXPECT_NEAR(found[0].second, Vector3Length(Vector3Sub(found[0].first->GetPositionVector(), near->GetPositionVector())), 1e-3f);
  EXPECT_TRUE(IsHerdAndCreature(near, found[0].first));
  EXPECT_FALSE(IsHerdAndCreature(found[0].first, near));
  EXPECT_FALSE(IsHerdAndCreature(near, near));
}

}  // namespace
