// The player's raid and recruiting parties at a rival hut: what they bring
// home, whom they win over or kill, and the result boxes' texts.
#include <algorithm>
#include <climits>

#include "modes/tribe/RaidInteractions.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "world/scene/SceneObject.h"
#include "tests/modes/tribe/TribeTestSupport.h"

namespace {

using Ru::Math::Vector3;

class TribeRaidTest : public cTribeWorldTest {
 protected:
  TribeRaidTest() { enterOnSetUp = false; }
  void SetUp() override {
    cTribeWorldTest::SetUp();
    UseScript("tribe_npc_location.txt", "number_of_tribes = 1\nangle1 = 90\ndistance1 = 30\n");
    UseScript("tribe_attack_test.txt", "attackers = 0\n");
    Enter();
  }
  cTribe* Rival() { return Objects()->GetTribes().at(1); }

  // The first `count` members go as one party against the rival's hut.
  std::vector<cTribeCreature*> SendParty(cIInteraction* prototype, size_t count) {
    std::vector<cTribeCreature*> party = FirstMembers(count);
    Command(party, prototype, TargetWordOf(Rival()->GetHut()));
    return party;
  }
  void PumpUntilBox(int frames = 2000) {
    for (int i = 0; i < frames && messages.boxes.empty(); ++i) Pump(1);
  }
};

TEST_F(TribeRaidTest, ARaidStealsKillsAndWinsOverAndEachRaiderCarriesItsShare) {
  UseScript("tribe_raid_result.txt",
            "raid_time = 1\nmy_energy_cost = 0\nfood_stolen = 30\ntargets_killed = 1\ntargets_recruited = 1.8\n"
            "my_damage = 10\nmy_total_damage = 15\n");
  const uint32_t before = Player()->GetPopulation();
  const std::vector<cTribeCreature*> raiders = SendParty(GetTribePrototype<cTribeGroupRaids>(), 3);
  PumpUntilBox();
  ASSERT_EQ(messages.Count("Raid Results"), 1);
  EXPECT_EQ(messages.boxes.back().text,
            "You killed 1 creatures, recruited 1 creatures, stole 30 food, and will celebrate at the hut tonight!");
  std::vector<float> health;
  for (cTribeCreature* raider : raiders) {
    EXPECT_FLOAT_EQ(raider->GetCarriedFood(), 10.0f);
    health.push_back(raider->GetHealth());
  }
  std::sort(health.begin(), health.end());
  EXPECT_EQ(health, (std::vector<float>{90.0f, 95.0f, 100.0f})) << "the total damage runs out";
  EXPECT_EQ(Rival()->GetPopulation(), 0u);
  EXPECT_EQ(Rival()->GetRaidCount(), 1u);
  ASSERT_EQ(Player()->GetPopulation(), before + 1);
  cTribeCreature* recruit = Player()->GetMembers().back();
  const Vector3 fromHut = Ru::Math::Vector3Sub(PositionOf(recruit), Rival()->GetHut()->GetPositionVector());
  EXPECT_LT(Ru::Math::Vector3Length(fromHut), 1.0f) << "it appears at the raided hut (and has just set off)";
  EXPECT_EQ(recruit->GetCommon()->GetSceneObject()->GetColour(), cTribeObjectController::kNpcColour);
  EXPECT_EQ(recruit->GetTribe(), Player());
}

TEST_F(TribeRaidTest, ARaidWithNothingToShowPlaysNoBox) {
  UseScript("tribe_raid_result.txt", "raid_time = 1\nfood_stolen = -5\ntargets_killed = 0\ntargets_recruited = 0\n");
  SendParty(GetTribePrototype<cTribeGroupRaids>(), 2);
  Pump(600);
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(Rival()->GetRaidCount(), 1u) << "it still counts as a raid";
  EXPECT_EQ(Rival()->GetPopulation(), 2u);
}

TEST_F(TribeRaidTest, KillingMoreThanTheRivalHasKillsThemAllAndWinsNobodyOver) {
  UseScript("tribe_raid_result.txt", "raid_time = 1\nfood_stolen = 0\ntargets_killed = 10\ntargets_recruited = 5\n");
  const uint32_t before = Player()->GetPopulation();
  SendParty(GetTribePrototype<cTribeGroupRaids>(), 2);
  PumpUntilBox();
  ASSERT_EQ(messages.Count("Raid Results"), 1);
  EXPECT_EQ(messages.boxes.back().text, "You killed 2 creatures, and will celebrate at the hut tonight!");
  EXPECT_EQ(Rival()->GetPopulation(), 0u);
  EXPECT_EQ(Player()->GetPopulation(), before);
}

TEST_F(TribeRaidTest, ARecruitingDriveWinsMembersOverAtTheRivalHut) {
  UseScript("tribe_recruit_result.txt", "recruit_time = 1\nenergy_cost = 0\ndamage_share = 3\ntotal_damage = 3\n"
                                        "targets_recruited = 5\n");
  const uint32_t before = Player()->GetPopulation();
  const std::vector<cTribeCreature*> party = SendParty(GetTribePrototype<cTribeGroupRecruits>(), 2);
  PumpUntilBox();
  ASSERT_EQ(messages.Count("Recruiting Results"), 1);
  EXPECT_EQ(messages.boxes.back().text, "Recruiting Successful!\nYou impressed 2 new creatures.") << "no more than they had";
  EXPECT_EQ(Rival()->GetPopulation(), 0u);
  EXPECT_EQ(Player()->GetPopulation(), before + 2);
  EXPECT_FLOAT_EQ(party[0]->GetHealth() + party[1]->GetHealth(), 197.0f);
  EXPECT_EQ(cTribeGroupRecruits::ResultText(0),
            "Recruiting Failed.  Perhaps more tribe members or better recruiting tools would help.");
}

TEST_F(TribeRaidTest, TheRaidTextNamesOnlyWhatHappenedInItsOrder) {
  EXPECT_EQ(cTribeGroupRaids::ResultText(2, 0, 12.0f), "You killed 2 creatures, stole 12 food, and will celebrate at the hut tonight!");
  EXPECT_EQ(cTribeGroupRaids::ResultText(0, 3, 0.0f), "You recruited 3 creatures, and will celebrate at the hut tonight!");
  EXPECT_EQ(cTribeGroupRaids::ResultText(0, 0, 7.9f), "You stole 7 food, and will celebrate at the hut tonight!");
}

// A rival's store holds about 1.7e38: converting that to int was undefined.
TEST_F(TribeRaidTest, StolenFoodBeyondTheIntRangeIsClampedBeforeItIsPrinted) {
  EXPECT_EQ(cTribeGroupRaids::ResultText(0, 0, 1.7014117e38f),
            "You stole " + std::to_string(INT_MAX) + " food, and will celebrate at the hut tonight!");
}

}  // namespace
