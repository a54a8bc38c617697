// Hunting: a runt hunter's catch or miss, the hunter who gives up on a runt
// someone else holds, eating on the way, and a big-game party whose result is
// shared among the hunters that finished well.
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "sim/behavior/MemberInteractionDecorator.h"
#include "tests/modes/tribe/TribeHerdTestSupport.h"

namespace {

using Ru::Math::Vector3;

// Known outcomes: a one-second fight, no sprinting, and for a party a catch
// of 10 x party_size per hunter (so the text shows how many counted).
constexpr const char* kHuntScript = R"(
hunt_time = 1
hunt_energy_cost = 0
creature_sprint_distance = 0
creature_sprint_multiplier = 1
keep_hunting = 0
total_catch = catch
if (prey_type < 1.5) total_catch = 10 * party_size * party_size endif
total_damage = 4
damage_share = 1
)";

class TribeHuntTest : public cTribeHerdTest {
 protected:
  void SetUp() override {
    cTribeHerdTest::SetUp();
    HerdScript().SetVariable("wanted1", 0.0f);
    HerdScript().SetVariable("wanted2", 0.0f);
    HerdScript().SetVariable("wanted3", 0.0f);
  }
  void UseHuntScript(float runtCatch) {
    UseScript("tribe_hunt_result.txt", std::string("catch = ") + std::to_string(runtCatch) + "\n" + kHuntScript);
  }
  // A hunter right beside the herd, hunting it on its own.
  cTribeCreature* LoneHunterAt(cTribeHerd* herd, int index = 0) {
    cTribeCreature* hunter = MemberAt(index, Ahead(herd, 0.5f));
    EXPECT_TRUE(hunter->StartInteraction(GetTribePrototype<cMemberHunts>(), TargetWordOf(herd)));
    return hunter;
  }
  // The hunt itself, also when a party's wrapper runs it.
  static cMemberHunts* HuntOf(cTribeCreature* creature) {
    cIInteraction* doing = creature->GetInteraction();
    if (auto* wrapped = dynamic_cast<cMemberInteractionDecorator*>(doing)) doing = wrapped->GetInner();
    return dynamic_cast<cMemberHunts*>(doing);
  }
  void PumpUntilIdle(cTribeCreature* hunter, int frames = 200) {
    for (int i = 0; i < frames && hunter->HasInteraction(); ++i) Pump(1);
  }
};

TEST_F(TribeHuntTest, ARuntThatGetsAwayRejoinsItsHerdAndACaughtOneIsCarriedHome) {
  UseHuntScript(0.0f);
  cTribeHerd* runts = MakeLoneHerd(kTribeHerdRunts);
  cTribeCreature* hunter = LoneHunterAt(runts);
  EXPECT_EQ(hunter->GetInteraction()->GetName(), "Hunting Runts");
  Pump(2);
  ASSERT_EQ(HuntOf(hunter)->GetPhase(), cMemberHunts::kFighting);
  EXPECT_EQ(runts->GetCount(), 4) << "one runt split off to fight";
  cTribeHerd* prey = HuntOf(hunter)->GetPrey();
  ASSERT_NE(prey, runts);
  EXPECT_TRUE(prey->IsHunted());
  PumpUntilIdle(hunter);
  EXPECT_EQ(runts->GetCount(), 5) << "it got away";
  EXPECT_EQ(hunter->GetCarriedFood(), 0.0f);
  EXPECT_FLOAT_EQ(hunter->GetHealth(), 96.0f);

  UseHuntScript(6.0f);
  cTribeCreature* lucky = LoneHunterAt(runts, 1);
  PumpUntilIdle(lucky);
  EXPECT_EQ(runts->GetCount(), 4) << "eaten";
  EXPECT_EQ(cTribeHerd::GetHuntCount(kTribeHerdRunts), 1u);
  EXPECT_FLOAT_EQ(lucky->GetCarriedFood(), 6.0f);
}

TEST_F(TribeHuntTest, AHunterGivesUpTheLastRuntWhenSomeoneElseHoldsIt) {
  UseHuntScript(6.0f);
  cTribeHerd* runts = MakeLoneHerd(kTribeHerdRunts);
  runts->SetCount(1);
  runts->SetHunted(1);
  cTribeCreature* hunter = LoneHunterAt(runts);
  cIInteraction* hunt = hunter->GetInteraction();
  clock.Advance(16);
  EXPECT_EQ(hunt->Step(), 2u);
  EXPECT_FALSE(hunt->IsRunning());
  ASSERT_TRUE(hunter->HasInteraction());
  EXPECT_EQ(hunter->GetInteraction()->GetName(), "Idling");
  EXPECT_EQ(runts->GetCount(), 1);
}

TEST_F(TribeHuntTest, AStarvingHunterWithFoodEatsInsteadOfChasing) {
  UseHuntScript(6.0f);
  cTribeHerd* far = MakeLoneHerd(kTribeHerdBigGame);
  cTribeCreature* hunter = MemberAt(0, Ground({0.0f, 1.0f, 0.3f}));
  hunter->SetHunger(10.0f);  // below the critical 20
  hunter->SetCarriedFood(5.0f);
  ASSERT_TRUE(hunter->StartInteraction(GetTribePrototype<cMemberHunts>(), TargetWordOf(far)));
  const Vector3 goal = *hunter->GetDestination();
  clock.Advance(100);
  EXPECT_NE(hunter->GetInteraction()->Step(), 0u);
  // 100 ms buys 0.5 points at 200 ms a point; a point costs 10 / 100 food.
  EXPECT_FLOAT_EQ(hunter->GetHunger(), 10.5f);
  EXPECT_FLOAT_EQ(hunter->GetCarriedFood(), 4.95f);
  EXPECT_EQ(*hunter->GetDestination(), goal) << "no chasing this step";
}

// Starving is why a hunter without food at home hunts: it once ended such a
// hunt at its first step, and a lone hunter's big game was never settled.
TEST_F(TribeHuntTest, AStarvingLoneHunterWithNoFoodAtHomeHuntsAndFeedsOnBigGame) {
  UseHuntScript(0.0f);
  ASSERT_EQ(Player()->GetFood(), 0.0f);
  cTribeHerd* game = MakeLoneHerd(kTribeHerdBigGame);
  cTribeCreature* hunter = LoneHunterAt(game);
  hunter->SetHunger(15.0f);  // below the critical 20
  bool fought = false;
  for (int i = 0; i < 200 && hunter->HasInteraction() && HuntOf(hunter); ++i) {
    Pump(1);
    fought = fought || (HuntOf(hunter) && HuntOf(hunter)->GetPhase() == cMemberHunts::kFighting);
  }
  EXPECT_TRUE(fought);
  EXPECT_EQ(game->GetCount(), 4) << "the animal was eaten, not left caught";
  EXPECT_FLOAT_EQ(hunter->GetCarriedFood(), 10.0f) << "its own catch";
}

// Three hunters go, one gives up mid-fight: the party result sees two.
TEST_F(TribeHuntTest, ABigGamePartySharesItsResultAmongTheHuntersThatFinishedWell) {
  UseHuntScript(0.0f);
  cTribeHerd* game = MakeLoneHerd(kTribeHerdBigGame);
  std::vector<cTribeCreature*> hunters;
  for (int i = 0; i < 3; ++i) hunters.push_back(MemberAt(i, Ahead(game, 0.3f + 0.1f * (float)i)));
  tRefPtr<cTransientCreatureGroup> party = Command(hunters, GetTribePrototype<cTribeGroupHunts>(), TargetWordOf(game));
  ASSERT_FALSE(HasFailure()) << "the party hunt started";
  Pump(3);
  for (cTribeCreature* hunter : hunters) {
    ASSERT_NE(HuntOf(hunter), nullptr);
    EXPECT_EQ(hunter->GetInteraction()->GetName(), "Hunting Big Game");
  }
  auto* hunt = dynamic_cast<cTribeGroupHunts*>(party->GetInteraction());
  ASSERT_NE(hunt, nullptr);
  ASSERT_NE(hunt->GetPrey(), nullptr);
  EXPECT_EQ(game->GetCount(), 4);
  hunters[2]->SetEnergy(5.0f);  // critical: it gives up
  for (int i = 0; i < 200 && messages.boxes.empty(); ++i) Pump(1);
  ASSERT_EQ(messages.Count("Hunt Results"), 1);
  EXPECT_EQ(messages.boxes.back().text, "Big Game Hunt Successful!\nYour hunters will bring home 40 food.");
  EXPECT_EQ(game->GetCount(), 4) << "the caught animal was eaten";
  EXPECT_FLOAT_EQ(hunters[0]->GetHealth() + hunters[1]->GetHealth(), 200.0f - 2.0f);
}

TEST_F(TribeHuntTest, PartyDamageGoesInSharesUntilTheTotalIsUsedUp) {
  std::vector<cTribeCreature*> members = Members();
  tAgentList hunters(members.begin(), members.begin() + 3);
  members[2]->SetHealth(5.0f);
  const cTribeGroupHunts::sShareOut outcome = cTribeGroupHunts::ShareOut(hunters, 10.0f, 30.0f, 50.0f);
  EXPECT_FLOAT_EQ(members[0]->GetHealth(), 70.0f);
  EXPECT_FLOAT_EQ(members[1]->GetHealth(), 80.0f) << "only what was left of the total";
  EXPECT_FLOAT_EQ(members[2]->GetHealth(), 5.0f) << "nothing left for the last";
  EXPECT_EQ(outcome.survivors, 3);
  EXPECT_EQ(outcome.dead, 0);

  members[0]->SetHealth(7.0f);
  members[1]->SetHealth(7.0f);
  const cTribeGroupHunts::sShareOut deadly = cTribeGroupHunts::ShareOut(tAgentList(members.begin(), members.begin() + 2),
                                                                        15.0f, 7.0f, 14.0f);
  EXPECT_EQ(members[0]->GetHealth(), 0.0f) << "health equal to the damage kills";
  EXPECT_EQ(deadly.dead, 2);
  EXPECT_EQ(cTribeGroupHunts::ResultText(deadly, 15.0f), "Everyone died in a big game hunt.");
  EXPECT_EQ(cTribeGroupHunts::ResultText({1, 1}, 0.0f), "Big game hunt was unsuccessful");
}

// Two significant digits in the default notation once printed 150 as "1.5e+02".
TEST_F(TribeHuntTest, TheHuntResultTextPrintsTheFoodInFixedNotation) {
  EXPECT_EQ(cTribeGroupHunts::ResultText({3, 0}, 50.0f),
            "Big Game Hunt Successful!\nYour hunters will bring home 150 food.");
  EXPECT_EQ(cTribeGroupHunts::ResultText({2, 1}, 12.5f),
            "Big Game Hunt Successful!\nYour hunters will bring home 25 food.");
}

}  // namespace
