// The tribe mode over a headless world: the start world it builds on Enter,
// Leave and Enter again, the frame cap, the city-stage question and the
// removal of dead members one tick after their death.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>

#include "app/GameCommands.h"
#include "modes/city/cCityGameMode.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/sim/SaveFileBytes.h"
#include "tests/modes/tribe/TribeTestSupport.h"
#include "world/planet/GamePlant.h"

using Ru::Math::Vector3;

namespace {

class TribeModeTest : public cTribeWorldTest {
 protected:
  // Where the tree script puts its stands around the hut, and how many trees each gets.
  struct sStand {
    Vector3 centre;
    float radius;
    int trees;
  };
  std::vector<sStand> ScriptedStands() {
    cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::TreeLocation);
    const Vector3 hut = HutPosition();
    std::vector<sStand> stands;
    for (int k = 1; k <= (int)script.GetVariable("number_of_stands"); ++k) {
      const float a = script.GetVariable("angle" + std::to_string(k)) * 3.14159265f / 180.0f;
      const float d = script.GetVariable("distance" + std::to_string(k));
      sStand stand;
      GetPlanetModel().ProjectToSurface(stand.centre, Vector3{hut.x + std::sin(a) * d, hut.y, hut.z - std::cos(a) * d});
      stand.radius = std::max(script.GetVariable("radius" + std::to_string(k)), 2.0f);
      stand.trees = (int)std::ceil(std::max(script.GetVariable("count" + std::to_string(k)), 1.0f));
      stands.push_back(stand);
    }
    return stands;
  }
  std::vector<Vector3> PlantPositions() {
    std::vector<Vector3> out;
    for (const auto& plant : GetPlanetModel().GetPlants()) out.push_back(plant->GetPosition());
    return out;
  }
  std::vector<Vector3> SortedPlantPositions() {
    std::vector<Vector3> out = PlantPositions();
    std::sort(out.begin(), out.end(),
              [](const Vector3& a, const Vector3& b) { return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z); });
    return out;
  }
  int TribeObjectsInDataManager() {
    int count = 0;
    for (uint32_t type : {cTribe::kTypeId, cTribeHut::kTypeId, cTribeCreature::kTypeId, cCreatureCommon::kTypeId})
      count += (int)GetDataManager()->GetObjectsOfType(type).size();
    return count;
  }
};

TEST_F(TribeModeTest, EnteringBuildsTheStartWorldAtTheHutOnTheNorthPole) {
  ASSERT_NE(Player(), nullptr);
  EXPECT_EQ(messages.Count("Script Error"), 0);
  EXPECT_EQ(Objects()->GetTribes().size(), 1u);
  EXPECT_EQ(*Player()->GetColour(), (Vector3{0.0f, 0.0f, 1.0f}));

  // The hut stands on the ground straight above the planet's centre, blue, in the scene.
  const Vector3 hut = HutPosition();
  EXPECT_EQ(hut, (Vector3{0.0f, 500.0f + kLandHeight, 0.0f}));
  cSceneObject* hutObject = Player()->GetHut()->GetSceneObject();
  ASSERT_NE(hutObject, nullptr);
  EXPECT_EQ(hutObject->GetShape(), Objects()->GetHutShape());
  EXPECT_EQ(hutObject->GetColour(), (Vector3{0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(GetSceneManager().GetObjectCount(Objects()->GetHutShape()), 1u);

  // tribePopulationStart blue members, member n at the hut + (n, 0, n), each
  // with its goal where it stands.
  const std::vector<cTribeCreature*> members = Members();
  ASSERT_EQ((int)members.size(), GetTribeTuningData().GetTribePopulationStart());
  ASSERT_GE(members.size(), 2u);
  EXPECT_EQ(Objects()->GetCreatures(), members);
  for (size_t n = 0; n < members.size(); ++n) {
    const Vector3 expected{hut.x + n, hut.y, hut.z + n};
    EXPECT_EQ(PositionOf(members[n]), expected) << n;
    EXPECT_EQ(*members[n]->GetDestination(), expected) << n;
    EXPECT_EQ(members[n]->GetTribe(), Player());
    ASSERT_NE(members[n]->GetCommon(), nullptr);
    EXPECT_EQ(members[n]->GetCommon()->GetSceneObject()->GetColour(), (Vector3{0.0f, 0.0f, 1.0f}));
  }

  // The stands of trees, where the tree script says, none within the clear-cut radius.
  const std::vector<sStand> stands = ScriptedStands();
  ASSERT_FALSE(stands.empty());
  int expectedTrees = 0;
  for (const sStand& stand : stands) expectedTrees += stand.trees;
  const std::vector<Vector3> trees = PlantPositions();
  ASSERT_EQ((int)trees.size(), expectedTrees);
  const float clearCut = GetTribeProgram(eTribeProgram::TreeLocation).GetVariable("clear_cut_radius");
  for (const Vector3& tree : trees) {
    EXPECT_GE(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(tree, hut)), clearCut);
    bool inAStand = false;
    for (const sStand& stand : stands)
      inAStand |= Ru::Math::Vector3Length(Ru::Math::Vector3Sub(tree, stand.centre)) <= stand.radius + 0.5f;
    EXPECT_TRUE(inAStand) << tree.x << " " << tree.y << " " << tree.z;
  }

  // The members stand still while they choose nothing: their goal is where they are.
  for (cTribeCreature* member : members) member->SetSuppressChoice(true);
  Pump(40);
  for (size_t n = 0; n < members.size(); ++n) EXPECT_EQ(PositionOf(members[n]), (Vector3{hut.x + n, hut.y, hut.z + n}));
}

TEST_F(TribeModeTest, TheSeedOnEnterDecidesTheTreesAndLeaveThenEnterBuildsAFreshWorld) {
  const std::vector<Vector3> firstTrees = PlantPositions();
  cTribe* firstTribe = Player();
  const uint32_t firstId = firstTribe->GetId();
  const uint32_t population = Player()->GetPopulation();

  Leave();
  EXPECT_EQ(Objects()->GetPlayerTribe(), nullptr);
  EXPECT_TRUE(Objects()->GetCreatures().empty());
  EXPECT_EQ(TribeObjectsInDataManager(), 0);
  EXPECT_EQ(GetSceneManager().GetObjectCount(Objects()->GetHutShape()), 0u);
  EXPECT_EQ(GetSceneManager().GetObjectCount(Objects()->GetMemberShape()), 0u);
  EXPECT_EQ(GetBehaviorController().GetAgentCount(), 0u);
  EXPECT_EQ(mode->GetInputController(), nullptr);
  EXPECT_EQ(mode->GetBehaviorController(), nullptr);

  // The same seed plants the same trees again.
  GetPlanetModel().ClearPlantsForTest();
  GetPlanetModel().BuildPlantPatches();
  Enter();
  ASSERT_NE(Player(), nullptr);
  EXPECT_NE(Player()->GetId(), firstId);
  EXPECT_EQ(Player()->GetPopulation(), population);
  EXPECT_EQ(PlantPositions(), firstTrees);
  EXPECT_EQ(GetSceneManager().GetObjectCount(Objects()->GetHutShape()), 1u);

  // Another calendar second, other trees.
  Leave();
  GetPlanetModel().ClearPlantsForTest();
  GetPlanetModel().BuildPlantPatches();
  Sys_SetCalendarForTest([]() -> uint32_t { return kSeed + 1; });
  Enter();
  EXPECT_NE(PlantPositions(), firstTrees);
  EXPECT_EQ(PlantPositions().size(), firstTrees.size());
}

uint32_t gRepeatSecond = 0;  // the calendar second of the repeated new games below

// Fault mended: every new game planted its tree stands again over the old
// ones, so each re-entry, and each load that left the mode without a player
// tribe, added a stand's worth of plants. A planet that has the stands keeps
// its plants as they are; a stand that lost trees gets them back where they stood.
TEST_F(TribeModeTest, ANewGameOnAPlanetThatHasTheStandsKeepsItsPlants) {
  cScratchDir dir;
  dir.Write("no records", CheckedSave(""));
  dir.Write("tribe refused", CheckedSave(Record(cTribe::kTypeId, "bad")));
  cIGameMode* const current = gCurrentGameMode;
  gCurrentGameMode = mode;
  const struct {
    const char* name;
    uint32_t second;
    int treesTaken;  // before each new game
    std::function<void()> newGame;
  } rows[] = {
      {"leave and enter", kSeed, 0, [&] { Reenter(); }},
      {"leave and enter in another second", kSeed + 1, 0, [&] { Reenter(); }},
      {"a file without records loaded", kSeed + 1, 0, [&] { LoadGameIntoCurrentMode(dir.File("no records")); }},
      {"a file whose tribe is refused loaded", kSeed, 0, [&] { LoadGameIntoCurrentMode(dir.File("tribe refused")); }},
      {"three trees taken, then leave and enter", kSeed, 3, [&] { Reenter(); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Sys_SetCalendarForTest(&FixedCalendar);
    ReenterWithNewPlants();
    const std::vector<Vector3> first = SortedPlantPositions();
    gRepeatSecond = row.second;
    Sys_SetCalendarForTest([] { return gRepeatSecond; });
    for (int game = 2; game <= 3; ++game) {
      for (int taken = 0; taken < row.treesTaken; ++taken)
        GetPlanetModel().RemovePlant(GetPlanetModel().GetPlants()[0].Get());
      row.newGame();
      EXPECT_NE(Player(), nullptr) << "game " << game;
      EXPECT_EQ(SortedPlantPositions(), first) << "game " << game;
    }
  }
  gCurrentGameMode = current;
}

// Ten minutes of first games: at 1796736018 two draws of one stand fell
// within a hundredth of each other and the stand came out a tree short.
TEST_F(TribeModeTest, AFirstGameInAnySecondPlantsEveryStandWhole) {
  int trees = 0;
  for (const sStand& stand : ScriptedStands()) trees += stand.trees;
  Sys_SetCalendarForTest([] { return gRepeatSecond; });
  for (gRepeatSecond = 1796735800u; gRepeatSecond < 1796735800u + 600u; ++gRepeatSecond) {
    ReenterWithNewPlants();
    EXPECT_EQ((int)PlantPositions().size(), trees) << "second " << gRepeatSecond;
  }
}

TEST_F(TribeModeTest, AKilledMemberLeavesTheSceneAndTheDataManagerOnTheNextTick) {
  const std::vector<cTribeCreature*> members = Members();
  // Nobody takes up an activity meanwhile: its role would swap the drawn model.
  for (cTribeCreature* member : members) member->SetSuppressChoice(true);
  cTribeCreature* victim = members[1];
  cSceneObject* body = victim->GetCommon()->GetSceneObject();
  const uint32_t commonsBefore = (uint32_t)GetDataManager()->GetObjectsOfType(cCreatureCommon::kTypeId).size();
  const uint32_t bodiesBefore = GetSceneManager().GetObjectCount(Objects()->GetMemberShape());
  ASSERT_EQ(body->GetSceneRefCount(), 1);

  EXPECT_TRUE(Objects()->KillCreature(victim));
  EXPECT_TRUE(Objects()->IsDying(victim));
  EXPECT_EQ(Player()->GetPopulation(), members.size() - 1);
  // Still drawn until the next tick.
  EXPECT_EQ(GetSceneManager().GetObjectCount(Objects()->GetMemberShape()), bodiesBefore);

  Pump(1);
  EXPECT_FALSE(Objects()->IsDying(victim));
  EXPECT_EQ(GetSceneManager().GetObjectCount(Objects()->GetMemberShape()), bodiesBefore - 1);
  EXPECT_EQ(GetDataManager()->GetObjectsOfType(cTribeCreature::kTypeId).size(), members.size() - 1);
  EXPECT_EQ(GetDataManager()->GetObjectsOfType(cCreatureCommon::kTypeId).size(), commonsBefore - 1);
  // The others keep their order.
  std::vector<cTribeCreature*> expected = members;
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(Objects()->GetCreatures(), expected);
}

TEST_F(TribeModeTest, ReachingThePopulationGoalAsksWinOnceAndCancelKeepsPlaying) {
  SetTuningInt("tribePopulationGoal", (int)Player()->GetPopulation());
  messages.answers = {SysAnswer::Cancel};
  Pump(1);
  ASSERT_EQ(messages.Count("Win"), 1);
  EXPECT_EQ(messages.boxes.back().text, "You have reached the City stage. Press Cancel to keep playing Tribal");
  EXPECT_EQ(messages.boxes.back().kind, SysBox::OkCancel);
  EXPECT_TRUE(Objects()->IsCityStageDeclined());
  EXPECT_EQ(gPendingGameMode, nullptr);
  Objects()->AddNewMember(Player(), false);
  Pump(20);
  EXPECT_EQ(messages.Count("Win"), 1);
  EXPECT_EQ(gPendingGameMode, nullptr);
}

TEST_F(TribeModeTest, OkToTheWinQuestionMakesTheCityModePending) {
  cCityGameMode city;
  gCityGameMode = &city;
  SetTuningInt("tribePopulationGoal", (int)Player()->GetPopulation());
  Pump(1);  // the capture answers Ok
  EXPECT_EQ(messages.Count("Win"), 1);
  EXPECT_EQ(gPendingGameMode, (cIGameMode*)&city);
  EXPECT_FALSE(Objects()->IsCityStageDeclined());
  gCityGameMode = nullptr;
}

TEST_F(TribeModeTest, ALongFrameReachesEveryControllerAsOneSecond) {
  // A member sent far away walks one second's worth, not five.
  cTribeCreature* walker = Members()[0];
  const Vector3 start = PositionOf(walker);
  walker->SetDestinationNear(Vector3{start.x + 100.0f, start.y, start.z}, 0.0f);
  clock.Advance(5000);
  mode->Update(5000);
  EXPECT_EQ(GetBehaviorController().GetLastUpdateTime(), cTribeGameMode::kLongestFrameMs);
  const float walked = Ru::Math::Vector3Length(Ru::Math::Vector3Sub(PositionOf(walker), start));
  const float speed = walker->GetSpeed() * Objects()->GetSlopeSpeed(start, *walker->GetOrientation());
  EXPECT_NEAR(walked, speed * 1.0f, speed * 0.05f);
  EXPECT_NEAR(Ru::Math::Vector3Length(*walker->GetVelocity()), walked, walked * 1e-3f);  // per second of the capped frame
}

TEST_F(TribeModeTest, ALoadWhileTheModeIsNotCurrentStillFillsTheTribeWorld) {
  cScratchDir dir;
  const uint32_t population = Player()->GetPopulation();
  ASSERT_TRUE(GetDataManager()->Save(dir.File("tribe.sav")));
  Leave();
  ASSERT_EQ(Player(), nullptr);
  ASSERT_TRUE(GetDataManager()->Load(dir.File("tribe.sav")));
  ASSERT_NE(Player(), nullptr);
  EXPECT_EQ(Player()->GetPopulation(), population);
  EXPECT_EQ(Objects()->GetCreatures(), Members());
  // Entering now keeps the loaded world instead of building another.
  cTribe* loaded = Player();
  Enter();
  EXPECT_EQ(Player(), loaded);
  EXPECT_EQ(Objects()->GetTribes().size(), 1u);
}

TEST_F(TribeModeTest, SniffTestAndTheMiddleButtonLeaveTheWorldAlone) {
  const std::vector<cTribeCreature*> members = Members();
  const Vector3 before = PositionOf(members[0]);
  mode->OnMiddleButtonDown(10, 10);
  mode->OnMiddleButtonUp(10, 10);
  mode->PreSniffTest();
  EXPECT_TRUE(mode->SniffTest());
  mode->PostSniffTest();
  EXPECT_EQ(Members(), members);
  EXPECT_EQ(PositionOf(members[0]), before);
  EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace

namespace {

// Every tool kind costs 10, 25 and 50 food for its levels 1, 2 and 3.
TEST(TribeTuningFile, EveryToolKindCostsTenTwentyFiveAndFifty) {
  cTribeTuningData& t = GetTribeTuningData();
  t.Reload();
  const int prices[7][3] = {
      {t.GetCostHuntTool1(), t.GetCostHuntTool2(), t.GetCostHuntTool3()},
      {t.GetCostFoodStorage1(), t.GetCostFoodStorage2(), t.GetCostFoodStorage3()},
      {t.GetCostRecruitTool1(), t.GetCostRecruitTool2(), t.GetCostRecruitTool3()},
      {t.GetCostDefenseTool1(), t.GetCostDefenseTool2(), t.GetCostDefenseTool3()},
      {t.GetCostHealTool1(), t.GetCostHealTool2(), t.GetCostHealTool3()},
      {t.GetCostRestTool1(), t.GetCostRestTool2(), t.GetCostRestTool3()},
      {t.GetCostGatherTool1(), t.GetCostGatherTool2(), t.GetCostGatherTool3()}};
  for (int kind = 0; kind < 7; ++kind) {
    EXPECT_EQ(prices[kind][0], 10) << kind;
    EXPECT_EQ(prices[kind][1], 25) << kind;
    EXPECT_EQ(prices[kind][2], 50) << kind;
  }
}

}  // namespace
