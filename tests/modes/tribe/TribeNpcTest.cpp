// The rival tribes' controller on 16 ms frames: when its three timers fire,
// where it puts the huts, how many attackers a raid takes, and an attack on
// the player's hut from the first step to the loot delivered at home.
#include <cmath>

#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/TribeController.h"
#include "tests/modes/tribe/TribeTestSupport.h"

namespace {

using Ru::Math::Vector3;

constexpr uint32_t kFrame = 16;  // the game's frame at 60 per second

class TribeNpcTest : public cTribeWorldTest {
 protected:
  TribeNpcTest() { enterOnSetUp = false; }

  // One rival 40 units east of the hut unless a test places its own.
  void EnterWithRivals(const char* location = "number_of_tribes = 1\nangle1 = 90\ndistance1 = 40\n") {
    UseScript("tribe_npc_location.txt", location);
    Enter();
  }
  cTribe* Rival(size_t k = 1) { return Objects()->GetTribes().at(k); }
  cTribeController* Controller() { return mode->GetTribeController(); }
  int InRaid(cTribe* tribe) {
    int n = 0;
    for (cTribeCreature* member : MembersOf(tribe)) n += member->HasGroup() ? 1 : 0;
    return n;
  }
};

TEST_F(TribeNpcTest, TheAttackTestFirstRunsOnFrame64AndRestartsTheQuietTime) {
  UseScript("tribe_attack_test.txt", "attackers = 1\n");
  EnterWithRivals();
  Pump(63, kFrame);  // 1008 ms: not yet above 1012
  EXPECT_EQ(InRaid(Rival()), 0);
  Pump(1, kFrame);  // 1024 ms
  EXPECT_EQ(InRaid(Rival()), 1);
  EXPECT_TRUE(MembersOf(Rival()).front()->HasGroup()) << "the first member in list order goes";
  EXPECT_EQ(Controller()->GetMsSinceAttack(), 0u);
}

TEST_F(TribeNpcTest, GrowthFirstRunsOnFrame345AndNeverShrinksATribe) {
  UseScript("tribe_npc_size.txt", "tribe_size = 5\n");
  EnterWithRivals();
  Pump(344, kFrame);  // 5504 ms
  EXPECT_EQ(Rival()->GetPopulation(), 2u);
  Pump(1, kFrame);  // 5520 ms
  EXPECT_EQ(Rival()->GetPopulation(), 5u) << "the target is reached at once";
  UseScript("tribe_npc_size.txt", "tribe_size = 1.9\n");
  Pump(345, kFrame);
  EXPECT_EQ(Rival()->GetPopulation(), 5u);
}

TEST_F(TribeNpcTest, PlacementRunsOnEnterAndThenOnFrame3751AroundTheFirstHutPlace) {
  EnterWithRivals();
  const Vector3 centre = HutPosition();
  ASSERT_EQ(Objects()->GetTribes().size(), 2u);
  EXPECT_LT(Distance(Rival()->GetHut()->GetPositionVector(), Ground({centre.x + 40.0f, centre.y, centre.z})), 1e-3f);
  EXPECT_EQ(Rival()->GetHut()->GetTribe(), Rival());

  UseScript("tribe_npc_location.txt", "number_of_tribes = 2\nangle1 = 180\ndistance1 = 60\nangle2 = 0\ndistance2 = 50\n");
  Pump(3750, kFrame);  // exactly 60000 ms: not above
  ASSERT_EQ(Objects()->GetTribes().size(), 2u);
  Pump(1, kFrame);
  ASSERT_EQ(Objects()->GetTribes().size(), 3u);
  // Angle 0 points along world -z, 180 along +z; the new tribe is purple with two members.
  EXPECT_LT(Distance(Rival(1)->GetHut()->GetPositionVector(), Ground({centre.x, centre.y, centre.z + 60.0f})), 1e-3f);
  EXPECT_LT(Distance(Rival(2)->GetHut()->GetPositionVector(), Ground({centre.x, centre.y, centre.z - 50.0f})), 1e-3f);
  EXPECT_EQ(Rival(2)->GetPopulation(), 2u);
  EXPECT_EQ(*Rival(2)->GetColour(), cTribeObjectController::kNpcColour);

  // Fewer wanted: none goes, every hut is still moved to its place.
  UseScript("tribe_npc_location.txt", "number_of_tribes = 1\nangle1 = 90\ndistance1 = 70\n");
  Controller()->PlaceNpcTribes();
  EXPECT_EQ(Objects()->GetTribes().size(), 3u);
  EXPECT_LT(Distance(Rival(1)->GetHut()->GetPositionVector(), Ground({centre.x + 70.0f, centre.y, centre.z})), 1e-3f);
  EXPECT_LT(Distance(Rival(2)->GetHut()->GetPositionVector(), Ground(centre)), 1e-3f) << "unset place: under the centre";
}

TEST_F(TribeNpcTest, AttackersAreTruncatedAndNeverMoreThanTheTribe) {
  UseScript("tribe_attack_test.txt", "attackers = 2.9\n");
  EnterWithRivals();
  for (int i = 0; i < 3; ++i) Objects()->AddNewMember(Rival(), false);
  ASSERT_EQ(Rival()->GetPopulation(), 5u);
  Controller()->TestAttack();
  const std::vector<cTribeCreature*> rivals = MembersOf(Rival());
  EXPECT_TRUE(rivals[0]->HasGroup());
  EXPECT_TRUE(rivals[1]->HasGroup());
  EXPECT_EQ(InRaid(Rival()), 2);
  // The raiders set out from their own hut.
  EXPECT_EQ(PositionOf(rivals[1]), Rival()->GetHut()->GetPositionVector());
}

TEST_F(TribeNpcTest, OnlyTheFirstWillingTribeRaidsAndALoneMemberGoesAlone) {
  UseScript("tribe_attack_test.txt", "attackers = 2.9\n");
  EnterWithRivals("number_of_tribes = 2\nangle1 = 90\ndistance1 = 40\nangle2 = 270\ndistance2 = 40\n");
  Objects()->KillCreature(MembersOf(Rival(1)).back());
  ASSERT_EQ(Rival(1)->GetPopulation(), 1u);
  Controller()->TestAttack();
  EXPECT_EQ(InRaid(Rival(1)), 1);
  EXPECT_EQ(InRaid(Rival(2)), 0);
  UseScript("tribe_attack_test.txt", "attackers = 0.9\n");
  Controller()->TestAttack();
  EXPECT_EQ(InRaid(Rival(2)), 0) << "less than one attacker is no raid";
}

// With nobody at home, both attackers loot; their tribe gets the food only
// once the party is back, and nobody is left at the planet's centre.
TEST_F(TribeNpcTest, AnAttackWalksToTheHutLootsItAndDeliversTheLootOnlyAtHome) {
  UseScript("tribe_attack_test.txt", "attackers = 2\n");
  UseScript("tribe_loot_result.txt", "loot_time = 500\nloot_food = 15\n");
  EnterWithRivals();
  cTribe* rival = Rival();
  rival->AddFood(-rival->GetFood());
  Player()->AddFood(100.0f - Player()->GetFood());
  const Vector3 away = Ground({HutPosition().x - 200.0f, HutPosition().y, HutPosition().z});
  for (cTribeCreature* member : Members()) {  // out of the fight range
    member->SetSuppressChoice(true);
    member->SetPosition(away);
    member->SetDestinationNear(away, 0.0f);
  }
  const std::vector<cTribeCreature*> raiders = MembersOf(rival);
  Pump(64, kFrame);
  ASSERT_EQ(InRaid(rival), 2);
  UseScript("tribe_attack_test.txt", "attackers = 0\n");  // one raid only

  bool looted = false, nearHut = false;
  for (int frame = 0; frame < 6000 && InRaid(rival) > 0; ++frame) {
    Pump(1, kFrame);
    for (cTribeCreature* raider : raiders) {
      nearHut = nearHut || Distance(PositionOf(raider), HutPosition()) < 20.0f;
      cIInteraction* doing = raider->GetInteraction();
      looted = looted || (doing && doing->GetName() == "Looting");
    }
    if (InRaid(rival) > 0) {
      ASSERT_EQ(rival->GetFood(), 0.0f) << "frame " << frame;
    }
  }
  ASSERT_EQ(InRaid(rival), 0) << "the party went home";
  EXPECT_TRUE(nearHut);
  EXPECT_TRUE(looted);
  EXPECT_FLOAT_EQ(rival->GetFood(), 30.0f);
  EXPECT_FLOAT_EQ(Player()->GetFood(), 70.0f);
  for (cTribeCreature* raider : raiders) {
    EXPECT_EQ(raider->GetCarriedFood(), 0.0f);
    EXPECT_LT(Distance(PositionOf(raider), rival->GetHut()->GetPositionVector()), 15.0f) << "home, not at the centre";
  }
  Pump(200, kFrame);
  for (cTribeCreature* raider : raiders) EXPECT_TRUE(std::isfinite(PositionOf(raider).x));
}

// The first attacker near the hut starts the fights: defenders are paired
// first, then whoever else stands within 30 units; the rest would loot.
TEST_F(TribeNpcTest, AttackersFightTheDefendersFirstOneToOne) {
  UseScript("tribe_attack_test.txt", "attackers = 2\n");
  EnterWithRivals();
  const std::vector<cTribeCreature*> home = Members();
  const Vector3 hut = HutPosition();
  const Vector3 far = Ground({hut.x - 200.0f, hut.y, hut.z});
  for (size_t i = 0; i < home.size(); ++i) {
    home[i]->SetSuppressChoice(true);
    const Vector3 at = i == 0 || i == 2 ? Ground({hut.x + 3.0f, hut.y, hut.z + 3.0f * (float)i}) : far;
    home[i]->SetPosition(at);
    home[i]->SetDestinationNear(at, 0.0f);
  }
  ASSERT_TRUE(home[2]->StartInteraction(GetTribePrototype<cMemberDefends>(), 0));
  Pump(64, kFrame);
  UseScript("tribe_attack_test.txt", "attackers = 0\n");
  const std::vector<cTribeCreature*> raiders = MembersOf(Rival());
  auto opponentOf = [](cTribeCreature* fighter) -> cTribeCreature* {
    cIInteraction* doing = fighter->GetInteraction();
    if (!doing || doing->GetName() != "Fighting") return nullptr;
    return dynamic_cast<cTribeCreature*>(TargetOfWord(doing->GetTarget()));
  };
  for (int frame = 0; frame < 3000 && !opponentOf(raiders[0]); ++frame) Pump(1, kFrame);
  EXPECT_EQ(opponentOf(raiders[0]), home[2]) << "the defender first";
  EXPECT_EQ(opponentOf(raiders[1]), home[0]);
  EXPECT_EQ(opponentOf(home[2]), raiders[0]);
  EXPECT_EQ(opponentOf(home[0]), raiders[1]);
  EXPECT_EQ(home[1]->GetInteraction(), nullptr) << "too far away to fight";
}

}  // namespace
