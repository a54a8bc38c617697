// The object controller's world: clearing it on Leave, the order of its
// creature list, resting, starving, births, and rival tribes.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "modes/tribe/TribeCreatureGroup.h"
#include "sim/behavior/Interaction.h"
#include "sim/tuning/SharedTuningData.h"
#include "tests/modes/tribe/TribeTestSupport.h"
#include "world/planet/GamePlant.h"

using Ru::Math::Vector3;

namespace {

// Runs until it is ended and counts how often that happened.
class cEndlessInteraction : public cInteraction {
 public:
  static inline int ends = 0;
  cIInteraction* Create() override { return new cEndlessInteraction(); }
  std::string GetName() override { return "Endless"; }
  uint32_t Step() override { return 1; }
  void End() override { ++ends; }
};

// An agent of some other mode.
class cForeignAgent : public cInteractionAgent {
 public:
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return ++count; }
  int Release() override { return --count; }
  tCandidateList* GetCandidates() override { return &candidates; }
  int count = 1;
  tCandidateList candidates;
};

using TribeWorldTest = cTribeWorldTest;

TEST_F(TribeWorldTest, LeavingEndsEveryTribeInteractionAndRemovesTheBodyRecordsButNoOtherModesAgents) {
  cEndlessInteraction prototype;
  cEndlessInteraction::ends = 0;
  const std::vector<cTribeCreature*> members = Members();
  // A member busy on its own, and a command group of the other members.
  ASSERT_TRUE(members[0]->StartInteraction(&prototype, 0));
  for (size_t i = 1; i < members.size(); ++i) Objects()->SelectCreature(members[i]);
  auto* group = new cTransientCreatureGroup(*Objects()->GetSelectionGroup());
  ASSERT_TRUE(GetBehaviorController().AddAgent(group));
  ASSERT_TRUE(group->StartInteraction(&prototype, 0));
  cForeignAgent foreign;
  ASSERT_TRUE(GetBehaviorController().AddAgent(&foreign));
  Pump(3);
  // The creatures outlive the world only through this test's references.
  std::vector<tRefPtr<cTribeCreature>> held(members.begin(), members.end());
  ASSERT_FALSE(GetDataManager()->GetObjectsOfType(cCreatureCommon::kTypeId).empty());

  Leave();
  EXPECT_EQ(cEndlessInteraction::ends, 2);
  EXPECT_TRUE(GetDataManager()->GetObjectsOfType(cCreatureCommon::kTypeId).empty());
  EXPECT_TRUE(cCommonCreatureManager::Get()->GetCommons().empty());
  EXPECT_TRUE(GetBehaviorController().ContainsAgent(&foreign));
  EXPECT_EQ(GetBehaviorController().GetAgentCount(), 1u);
  for (const tRefPtr<cTribeCreature>& creature : held) {
    EXPECT_TRUE(creature->IsDead());
    EXPECT_EQ(creature->GetRefCount(), 1);  // nothing but this test holds it
    EXPECT_FALSE(creature->HasInteraction());
  }
  GetBehaviorController().RemoveAgent(&foreign);
}

TEST_F(TribeWorldTest, TheCreatureListKeepsCreationOrderAndTheWalkIsTheSameOnEveryRun) {
  // Four more members, the third of all dies; the rest keep their order.
  auto grow = [&]() {
    for (int i = 0; i < 4; ++i) Objects()->AddNewMember(Player(), false);
    std::vector<cTribeCreature*> made = Members();
    EXPECT_EQ(Objects()->GetCreatures(), made);
    Objects()->KillCreature(made[2]);
    made.erase(made.begin() + 2);
    Pump(1);
    EXPECT_EQ(Objects()->GetCreatures(), made);
  };
  // Everybody heads for one far point; crowding pushes them apart, so the
  // walk depends on the order in which they are stepped.
  auto walk = [&]() {
    const Vector3 start = PositionOf(Members()[0]);
    for (cTribeCreature* creature : Members()) {  // only the world moves them
      creature->EndInteraction();
      creature->SetSuppressChoice(true);
    }
    for (cTribeCreature* creature : Members()) creature->SetDestinationNear(Vector3{60.0f, 480.0f, 40.0f}, 0.0f);
    Pump(60);
    std::vector<Vector3> places;
    for (cTribeCreature* creature : Members()) places.push_back(PositionOf(creature));
    EXPECT_GT(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(places[0], start)), 5.0f);
    return places;
  };
  grow();
  const std::vector<Vector3> first = walk();
  Reenter();
  // Other memory in use, so the new creatures sit at other addresses.
  std::vector<std::unique_ptr<char[]>> padding;
  for (int i = 0; i < 64; ++i) padding.emplace_back(new char[96]);
  grow();
  EXPECT_EQ(walk(), first);
}

TEST_F(TribeWorldTest, ARestingMemberRegainsEnergyAtTheTunedRateUpToAHundred) {
  cTribeCreature* member = Members()[0];
  member->SetSuppressChoice(true);  // it chooses nothing, so it stands at its goal
  member->SetEnergy(50.0f);
  Pump(20);  // one second, standing at its goal
  const float perSecond = 1000.0f / (float)GetTribeTuningData().GetEnergyIncreaseRate();
  EXPECT_NEAR(member->GetEnergy(), 50.0f + perSecond, 1e-3f);
  EXPECT_EQ(member->GetRestTime(), 0.0f);  // it had energy: no enforced rest
  Pump(20 * (int)(50.0f / perSecond + 2.0f));  // long enough for the rest of the way at the tuned rate
  EXPECT_EQ(member->GetEnergy(), 100.0f);
}

TEST_F(TribeWorldTest, ATiredMemberRestsFiveSecondsBeforeWalkingOn) {
  cTribeCreature* member = Members()[0];
  const Vector3 start = PositionOf(member);
  member->SetRestTime(3.0f);
  member->SetDestinationNear(Vector3{start.x + 30.0f, start.y, start.z}, 0.0f);
  Pump(1);
  EXPECT_EQ(PositionOf(member), start);  // resting: the goal is dropped
  EXPECT_EQ(*member->GetDestination(), (Vector3{0.0f, 0.0f, 0.0f}));
  EXPECT_GT(member->GetRestTime(), 3.0f);
}

TEST_F(TribeWorldTest, AStarvingMemberOfThePlayerDiesWithOneMessageAndLeavesNextTick) {
  cTribeCreature* member = Members()[0];
  member->SetHunger(0.0f);
  member->SetHealth(0.01f);
  Pump(1);
  EXPECT_EQ(messages.Count("Tribe Member Dies"), 1);
  EXPECT_EQ(messages.boxes.back().text, "One of your tribe has starved to death.");
  EXPECT_TRUE(Objects()->IsDying(member));
  Pump(1);
  EXPECT_EQ(messages.Count("Tribe Member Dies"), 1);
  EXPECT_EQ(Player()->GetPopulation(), (uint32_t)GetTribeTuningData().GetTribePopulationStart() - 1);
  // A fed member never loses health here.
  cTribeCreature* fed = Members()[0];
  fed->SetHealth(10.0f);
  Pump(20);
  EXPECT_EQ(fed->GetHealth(), 10.0f);
}

TEST_F(TribeWorldTest, BreedingProgressBringsOneAnnouncedMemberAndKeepsTheFraction) {
  const uint32_t before = Player()->GetPopulation();
  Player()->AddBreedProgress(2.4f);
  Pump(1);
  EXPECT_EQ(Player()->GetPopulation(), before + 1);
  EXPECT_NEAR(Player()->GetBreedProgress(), 0.4f, 1e-5f);
  EXPECT_EQ(messages.Count("New Tribe Member"), 1);
  EXPECT_EQ(messages.boxes.back().text, "Congratulations on your new creature!");
  const Vector3 hut = HutPosition();
  EXPECT_EQ(PositionOf(Members().back()), (Vector3{hut.x + before, hut.y, hut.z + before}));
}

TEST_F(TribeWorldTest, ARivalTribeGetsAPurpleHutTwoMembersAndEndlessFood) {
  EXPECT_EQ(Objects()->FindNearestRivalHut(HutPosition()), nullptr);
  Vector3 place;
  GetPlanetModel().ProjectToSurface(place, Vector3{100.0f, 500.0f, 0.0f});
  cTribe* rival = Objects()->CreateNpcTribe(place);
  ASSERT_NE(rival, nullptr);
  EXPECT_EQ(Objects()->GetTribes().back(), rival);
  EXPECT_EQ(rival->GetPopulation(), 2u);
  EXPECT_GT(rival->GetFood(), 1e37f);
  EXPECT_EQ(rival->GetHut()->GetPositionVector(), place);
  EXPECT_EQ(rival->GetHut()->GetSceneObject()->GetColour(), (Vector3{0.7f, 0.0f, 1.0f}));
  for (cTribeCreature* member : rival->GetMembers())
    EXPECT_EQ(member->GetCommon()->GetSceneObject()->GetColour(), (Vector3{0.7f, 0.0f, 1.0f}));
  EXPECT_EQ(Objects()->FindNearestRivalHut(HutPosition()), rival->GetHut());
  // A rival tribe with nobody left is no target.
  while (rival->GetPopulation() > 0) Objects()->KillCreature(*rival->MembersBegin());
  EXPECT_EQ(Objects()->FindNearestRivalHut(HutPosition()), nullptr);
}

// Fault mended: a hut's cube was centred on the ground, half sunk, and on a
// slope the hill swallowed more of it. It stands with its base on the lowest
// ground under its footprint; the hut's own point stays on the surface.
TEST_F(TribeWorldTest, AHutOnASlopeStandsOnTheLowestGroundUnderItsFootprint) {
  cPlanetModel& planet = GetPlanetModel();
  planet.SetHeightMap(MakeHeightMap([](const Vector3& d) { return kLandHeight + 250.0f * d.x; }, 32));  // rising to +x
  Vector3 place;
  planet.ProjectToSurface(place, Vector3{0.0f, 300.0f, 300.0f});  // where the slope is steepest
  const float half = GetSharedTuningData().GetHutScale();
  float lowest = planet.GetSurfaceRadius(place);
  for (Vector3 corner : {Vector3{half, 0, half}, Vector3{half, 0, -half}, Vector3{-half, 0, half}, Vector3{-half, 0, -half}})
    lowest = std::min(lowest, planet.GetSurfaceRadius(Ru::Math::Vector3Add(place, corner)));
  ASSERT_LT(lowest, planet.GetSurfaceRadius(place) - 1.0f);
  cTribe* rival = Objects()->CreateNpcTribe(place);
  EXPECT_EQ(rival->GetHut()->GetPositionVector(), place);
  const float base = Ru::Math::Vector3Length(rival->GetHut()->GetSceneObject()->GetPosition()) - half;
  EXPECT_LE(base, lowest + 0.05f);  // no corner hangs over the ground
  EXPECT_GT(base, lowest - 1.0f);   // nor is the cube sunk into it
}

TEST_F(TribeWorldTest, SelectingPaintsAMemberWhiteAndClearingGivesItsTribesColourBack) {
  cTribeCreature* member = Members()[0];
  Objects()->SelectCreature(member);
  Objects()->SelectCreature(member);
  EXPECT_TRUE(Objects()->IsSelected(member));
  EXPECT_EQ(Objects()->GetSelectionGroup()->GetMemberCount(), 1u);
  EXPECT_EQ(member->GetCommon()->GetSceneObject()->GetColour(), (Vector3{1.0f, 1.0f, 1.0f}));
  Objects()->ClearSelection();
  EXPECT_FALSE(Objects()->IsSelected(member));
  EXPECT_EQ(member->GetCommon()->GetSceneObject()->GetColour(), (Vector3{0.0f, 0.0f, 1.0f}));
}

// The tree script's values are taken as the stands' sizes: a fractional
// count makes the next whole number of trees, a small radius becomes 2, and
// a script asking for absurd numbers of stands or trees gets a bounded forest.
// Fault mended: a stand's own trees drawn a hair apart left it short (16
// crowded stands surely draw such pairs).
TEST_F(TribeWorldTest, TreeStandsRoundCountsUpRaiseSmallRadiiAndStayBounded) {
  cScratchDir dir;
  std::filesystem::create_directories(dir.File("Data/Scripts"));
  for (const char* script : {"tribe_herd_location.txt", "tribe_creature_speed.txt"})
    std::filesystem::copy_file(std::string("Data/Scripts/") + script, dir.File(std::string("Data/Scripts/") + script));
  cScopedWorkingDir inDir(dir.Path());
  ASSERT_TRUE(inDir.Entered());
  auto plantWith = [&](const std::string& script) {
    dir.Write("Data/Scripts/tribe_tree_location.txt", script);
    ReenterWithNewPlants();
    return GetPlanetModel().GetPlants();
  };

  const auto few = plantWith("number_of_stands = 1\nangle1 = 90\ndistance1 = 30\nradius1 = 0.5\ncount1 = 0.2\n");
  ASSERT_EQ(few.size(), 1u);
  const float off = Distance(few[0]->GetPosition(), Ground(Ru::Math::Vector3Add(HutPosition(), Vector3{30.0f, 0.0f, 0.0f})));
  EXPECT_GE(off, 0.9f);
  EXPECT_LE(off, 2.1f);  // drawn between 1 and the raised radius of 2

  const auto many = plantWith("number_of_stands = 1000000000\ncount2 = 1000000000\nradius2 = 5\n");
  EXPECT_EQ(many.size(), 1u + 256u + 62u);  // 64 stands: one tree each, the second 256

  std::string crowded = "number_of_stands = 16\n";
  for (int k = 1; k <= 16; ++k) crowded += "count" + std::to_string(k) + " = 256\n";
  EXPECT_EQ(plantWith(crowded).size(), 16u * 256u);
  EXPECT_EQ(messages.Count("Script Error"), 0);
}

// The tribe tuning is looked at again every ten seconds of play: an edited
// population goal takes effect at the first look after the edit.
TEST_F(TribeWorldTest, TheTuningIsReadAgainAfterTenSecondsOfPlay) {
  cScratchDir dir;
  std::filesystem::create_directories(dir.File("data"));
  dir.Write("data/tribetuning.xml", "<tribetuning><int name=\"tribePopulationGoal\" data=\"1\"/></tribetuning>");
  cScopedWorkingDir inDir(dir.Path());
  ASSERT_TRUE(inDir.Entered());
  // No member starts an activity: its script is not in the scratch folder, and
  // the failure's box would take the answer meant for the "Win" question.
  for (cTribeCreature* member : Members()) member->SetSuppressChoice(true);
  Pump(190);  // nine and a half seconds: not yet
  EXPECT_EQ(messages.Count("Win"), 0);
  EXPECT_NE(GetTribeTuningData().GetTribePopulationGoal(), 1);
  // Every box is answered Cancel: in the scratch folder the activity scripts
  // cannot be read, and their "Script Error" boxes come before the question.
  messages.answers.assign(1000, SysAnswer::Cancel);
  Pump(20);
  EXPECT_EQ(GetTribeTuningData().GetTribePopulationGoal(), 1);
  EXPECT_EQ(messages.Count("Win"), 1);
}

}  // namespace
