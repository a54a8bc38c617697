// The member interactions on the headless tribe world, with constant-rate
// scripts: drains, healing, resting and eating follow closed forms; eating
// never overspends; nesting breeds; a sprinter gets the sprint multiplier.
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/modes/tribe/TribeTestSupport.h"
#include "world/planet/GamePlant.h"

namespace {

using Ru::Math::Vector3;

// Every activity drains energy 1, hunger 0.5 and health 0.25 points a second,
// walking or working, so a phase change never changes the rates.
constexpr float kEnergyDrain = 1.0f, kFoodDrain = 0.5f, kHealthDrain = 0.25f;
const char* const kDrains = "energy_drain = 1\nfood_drain = 0.5\nhealth_drain = 0.25\n";

class MemberInteractionsTest : public cTribeScriptTest {
 public:
  MemberInteractionsTest() {
    const std::string drains = kDrains;
    WriteScript("tribe_idle_result.txt", drains);
    WriteScript("tribe_goto_result.txt", "sprint_multiplier = 1 + 2 * sprint\n" + drains);
    WriteScript("tribe_rest_result.txt", "rest_interval = 0.5\nenergy_drain = 50\nfood_drain = 50\nhealth_drain = 50\n");
    WriteScript("tribe_heal_result.txt", "heal_interval = 0.25\n" + drains);
    WriteScript("tribe_eats_result.txt", drains);
    WriteScript("tribe_nest_result.txt", "breed_time = 10\nbreed_progress = party_size\n" + drains);
    WriteScript("tribe_gather_result.txt", "food_gathered = 5\ngather_time = 1000\nmax_food = 20\n" + drains);
    WriteScript("tribe_defend_result.txt", drains);
  }

 protected:
  void SetUp() override {
    cTribeScriptTest::SetUp();
    // Standing members regain next to nothing, so only the scripts move the needs.
    SetTuningInt("energyincreaserate", 1000000000);
  }

  // Frames until the member shows its meter: it reached its site and works.
  bool UntilWorking(cTribeCreature* creature) {
    return PumpUntil([&] { return creature->GetHealthMeter() != nullptr; });
  }
  // The member chooses the activity by its needs and walks to its site.
  void ChoosesAndWorks(cTribeCreature* creature, float energy, float hunger, float health, const char* activity) {
    SetNeeds(creature, energy, hunger, health);
    Pump(1);
    EXPECT_EQ(Doing(creature), activity);
    ASSERT_TRUE(UntilWorking(creature));
  }
  void SetNeeds(cTribeCreature* creature, float energy, float hunger, float health) {
    creature->SetEnergy(energy);
    creature->SetHunger(hunger);
    creature->SetHealth(health);
  }
};

TEST_F(MemberInteractionsTest, TheDrainStepTakesTheScriptRatesOverTheElapsedTime) {
  cTribeCreature* member = Members()[0];
  auto* defends = dynamic_cast<cTribeMemberInteraction*>(GetTribePrototype<cMemberDefends>()->Instantiate(member, 0));
  ASSERT_TRUE(defends);
  cRovurozovizProgram& rates = GetTribeProgram(eTribeProgram::DefendResult);
  rates.SetVariable("energy_drain", 2.0f);
  rates.SetVariable("food_drain", 1.0f);
  rates.SetVariable("health_drain", -3.0f);
  SetNeeds(member, 80.0f, 80.0f, 90.0f);

  defends->ApplyDrain(rates);  // never started: starts now and drains nothing
  EXPECT_EQ(member->GetEnergy(), 80.0f);
  clock.Advance(2500);
  defends->ApplyDrain(rates);
  EXPECT_FLOAT_EQ(member->GetEnergy(), 75.0f);
  EXPECT_FLOAT_EQ(member->GetHunger(), 77.5f);
  EXPECT_FLOAT_EQ(member->GetHealth(), 97.5f);
  defends->ApplyDrain(rates);  // the same tick again: nothing more
  EXPECT_FLOAT_EQ(member->GetEnergy(), 75.0f);

  clock.Advance(5000);  // a negative rate raises, but never past 100
  defends->ApplyDrain(rates);
  EXPECT_EQ(member->GetHealth(), 100.0f);

  member->SetRestTime(1.0f);  // catching its breath: hunger and health drain, energy does not
  rates.SetVariable("health_drain", 0.0f);
  member->SetHunger(150.0f);  // set above 100 elsewhere: the next drain cuts it back
  clock.Advance(1000);
  defends->ApplyDrain(rates);
  EXPECT_FLOAT_EQ(member->GetEnergy(), 65.0f);
  EXPECT_EQ(member->GetHunger(), 100.0f);
  delete defends;
}

TEST_F(MemberInteractionsTest, ScoresFollowTheNeedsAndTheThresholds) {
  cTribeCreature* member = Members()[0];
  auto score = [&](auto* prototype) { return prototype->Score(member, 0); };
  cMemberIdles* idles = GetTribePrototype<cMemberIdles>();
  cMemberRests* rests = GetTribePrototype<cMemberRests>();
  cMemberHeals* heals = GetTribePrototype<cMemberHeals>();
  cMemberEats* eats = GetTribePrototype<cMemberEats>();

  // The file's thresholds: critical 15 energy, 20 health, 20 hunger; rest 85, heal 80, eat 80.
  SetNeeds(member, 10.0f, 10.0f, 10.0f);
  EXPECT_EQ(score(rests), 56);
  EXPECT_EQ(score(heals), 70);
  EXPECT_EQ(score(eats), 0);  // nothing to eat anywhere
  Player()->AddFood(5.0f);
  EXPECT_EQ(score(eats), 61);
  SetNeeds(member, 42.5f, 40.0f, 40.0f);
  EXPECT_EQ(score(rests), 13);
  EXPECT_EQ(score(heals), 28);
  EXPECT_EQ(score(eats), 35);
  member->SetHunger(0.0f);
  EXPECT_EQ(score(heals), 0);  // a starving member cannot heal

  // Every threshold 0: idling (6) beats the rest (5), and carried food makes it 100.
  for (const char* level : {"criticalhealthlevel", "lowhealthlevel", "healhealthlevel", "criticalhungerlevel",
                            "lowhungerlevel", "eathungerlevel", "criticalenergylevel", "lowenergylevel",
                            "restenergylevel"})
    SetTuningInt(level, 0);
  SetNeeds(member, 50.0f, 50.0f, 50.0f);
  EXPECT_EQ(score(idles), 6);
  EXPECT_EQ(score(rests), 5);
  EXPECT_EQ(score(heals), 5);
  EXPECT_EQ(score(eats), 5);
  member->SetCarriedFood(1.0f);
  EXPECT_EQ(score(idles), 100);
  member->SetEnergy(0.0f);
  EXPECT_EQ(score(idles), 6);
}

TEST_F(MemberInteractionsTest, HealingRaisesHealthAtTheScriptedIntervalWhileTheRestDrains) {
  cTribeCreature* member = Members()[0];
  ASSERT_NO_FATAL_FAILURE(ChoosesAndWorks(member, 90.0f, 90.0f, 50.0f, "Healing"));
  EXPECT_EQ(member->GetRole(), 4u);
  const float energy = member->GetEnergy(), hunger = member->GetHunger(), health = member->GetHealth();
  Pump(40);  // two seconds at 4 points a second
  EXPECT_NEAR(member->GetHealth(), health + 2.0f * (4.0f - kHealthDrain), 1e-3f);
  EXPECT_NEAR(member->GetEnergy(), energy - 2.0f * kEnergyDrain, 1e-3f);
  EXPECT_NEAR(member->GetHunger(), hunger - 2.0f * kFoodDrain, 1e-3f);
  ASSERT_TRUE(PumpUntil([&] { return Doing(member) != "Healing"; }));
  EXPECT_EQ(member->GetHealth(), 100.0f);
  EXPECT_EQ(member->GetHealthMeter(), nullptr);
}

TEST_F(MemberInteractionsTest, RestingRegainsEnergyAndIgnoresTheRestScriptsDrains) {
  cTribeCreature* member = Members()[0];
  ASSERT_NO_FATAL_FAILURE(ChoosesAndWorks(member, 30.0f, 90.0f, 90.0f, "Rests"));
  const float energy = member->GetEnergy(), hunger = member->GetHunger(), health = member->GetHealth();
  EXPECT_LT(hunger, 90.0f);  // the walk there drained by the walking script
  Pump(40);
  EXPECT_NEAR(member->GetEnergy(), energy + 4.0f, 1e-3f);
  EXPECT_EQ(member->GetHunger(), hunger);
  EXPECT_EQ(member->GetHealth(), health);
  ASSERT_TRUE(PumpUntil([&] { return Doing(member) != "Rests"; }));
  EXPECT_EQ(member->GetEnergy(), 100.0f);
  EXPECT_EQ(member->GetHealthMeter(), nullptr);
}

TEST_F(MemberInteractionsTest, EatingTakesTheStoresFoodPointByPoint) {
  cTribeCreature* member = Members()[0];
  Player()->AddFood(100.0f);
  ASSERT_NO_FATAL_FAILURE(ChoosesAndWorks(member, 90.0f, 50.0f, 90.0f, "Eating"));
  EXPECT_EQ(member->GetRole(), 8u);
  const float hunger = member->GetHunger(), food = Player()->GetFood();
  Pump(40);  // 2000 ms at 200 ms a point; one point costs eatfood / 100 = 0.1 food
  EXPECT_NEAR(member->GetHunger(), hunger + 10.0f - 2.0f * kFoodDrain, 1e-3f);
  EXPECT_NEAR(Player()->GetFood(), food - 1.0f, 1e-3f);
}

TEST_F(MemberInteractionsTest, EatingNeverTakesMoreThanTheStoreHolds) {
  SetTuningInt("eatfood", 5);
  SetTuningInt("eatinterval", 1);  // 50 points a frame
  cTribeCreature* member = Members()[0];
  Player()->AddFood(3.0f);
  ASSERT_NO_FATAL_FAILURE(ChoosesAndWorks(member, 90.0f, 10.0f, 90.0f, "Eating"));
  const float hunger = member->GetHunger();
  ASSERT_TRUE(PumpUntil([&] { return Doing(member) != "Eating"; }));
  EXPECT_EQ(Player()->GetFood(), 0.0f);
  EXPECT_NEAR(member->GetHunger(), hunger + 60.0f, 0.1f);  // 3 food buys 60 points, less a few frames' drain
}

// The pouch is eaten at the store's price: f = 100 / eatfood points per unit,
// never more than fills the stomach, and what is left stays carried.
TEST_F(MemberInteractionsTest, EatingFromThePouchSpendsOnlyWhatTheMealNeeds) {
  cTribeCreature* member = Members()[0];
  SetNeeds(member, 90.0f, 50.0f, 90.0f);
  member->SetCarriedFood(10.0f);
  member->StartInteraction(GetTribePrototype<cMemberEats>(), 0);
  Pump(1);  // no walk: it eats and is done in one step
  EXPECT_NE(Doing(member), "Eating");
  EXPECT_EQ(member->GetHunger(), 100.0f);
  EXPECT_FLOAT_EQ(member->GetCarriedFood(), 5.0f);

  cTribeCreature* other = Members()[1];
  SetNeeds(other, 90.0f, 50.0f, 90.0f);
  other->SetCarriedFood(2.0f);
  other->StartInteraction(GetTribePrototype<cMemberEats>(), 0);
  Pump(1);
  EXPECT_FLOAT_EQ(other->GetHunger(), 70.0f);
  EXPECT_EQ(other->GetCarriedFood(), 0.0f);
}

TEST_F(MemberInteractionsTest, AnIdlerEatsFromThePouchAndTakesTheRestToTheStore) {
  cTribeCreature* member = Members()[0];
  SetNeeds(member, 90.0f, 50.0f, 90.0f);
  member->SetCarriedFood(10.0f);
  Pump(2);
  EXPECT_EQ(Doing(member), "Idling");
  EXPECT_EQ(member->GetHunger(), 100.0f);
  EXPECT_FLOAT_EQ(member->GetCarriedFood(), 5.0f);
  ASSERT_TRUE(PumpUntil([&] { return member->GetCarriedFood() == 0.0f; }));
  EXPECT_FLOAT_EQ(Player()->GetFood(), 5.0f);
}

// Every load clears a script's variables, so the walk's sprint flag is set
// before the first run too: a runner gets the running multiplier at once.
TEST_F(MemberInteractionsTest, ARunnerGetsTheSprintMultiplierFromItsFirstStep) {
  const Vector3 hut = HutPosition();
  auto send = [&](cTribeCreature* member, bool sprint, float wait) {
    member->SetSuppressChoice(true);
    member->StartInteraction(GetTribePrototype<cMemberGoToTarget>(), TargetWordOf(new cLocation(hut.x + 20.0f, hut.y, hut.z)));
    auto* go = dynamic_cast<cMemberGoToTarget*>(member->GetInteraction());
    go->SetSprint(sprint);
    go->SetWaitTime(wait);
  };
  cTribeCreature* walker = Members()[0];
  cTribeCreature* runner = Members()[1];
  send(walker, false, 0.0f);
  Pump(1);
  EXPECT_EQ(walker->GetSpeedFactor(), 1.0f);
  send(runner, true, 1.0f);
  Pump(1);
  EXPECT_EQ(runner->GetSpeedFactor(), 3.0f);
  EXPECT_EQ(runner->GetRole(), 0u);

  // A wait of 0 ends on the step after arrival; the runner waits its second.
  ASSERT_TRUE(PumpUntil([&] { return !walker->HasInteraction(); }));
  ASSERT_TRUE(PumpUntil([&] { return !runner->HasInteraction(); }));
  EXPECT_EQ(runner->GetSpeedFactor(), 1.0f);
}

TEST_F(MemberInteractionsTest, NestingBreedsAMemberAndTheNestCountFollowsTheNesters) {
  cTribeCreature* first = Members()[0];
  const uint32_t population = Player()->GetPopulation();
  first->StartInteraction(GetTribePrototype<cMemberNests>(), 0);
  ASSERT_TRUE(PumpUntil([&] { return Player()->GetNestingCount() == 1; }));
  EXPECT_EQ(first->GetRole(), 3u);
  Pump(199);  // one nester: a tenth of a member a second
  EXPECT_EQ(Player()->GetPopulation(), population);
  EXPECT_NEAR(Player()->GetBreedProgress(), 0.995f, 1e-3f);
  Pump(2);
  EXPECT_EQ(Player()->GetPopulation(), population + 1);
  EXPECT_EQ(messages.Count("New Tribe Member"), 1);

  cTribeCreature* second = Members()[1];
  second->StartInteraction(GetTribePrototype<cMemberNests>(), 0);
  ASSERT_TRUE(PumpUntil([&] { return Player()->GetNestingCount() == 2; }));
  Pump(1);
  const float progress = Player()->GetBreedProgress();
  ASSERT_LT(progress, 0.9f);
  Pump(20);  // the script breeds party_size per nest, shared by the nesters
  EXPECT_NEAR(Player()->GetBreedProgress(), progress + 0.2f, 1e-3f);

  second->SetEnergy(0.0f);  // a critical need: out of the nest at once
  Pump(1);
  EXPECT_EQ(Player()->GetNestingCount(), 1u);
  Objects()->KillCreature(first);
  EXPECT_EQ(Player()->GetNestingCount(), 0u);
}

TEST_F(MemberInteractionsTest, AGathererTurnsFruitIntoCarriedFoodAndDeliversAFullLoad) {
  cTribeCreature* member = Members()[0];
  member->SetSuppressChoice(true);
  member->StartInteraction(GetTribePrototype<cMemberGathers>(), 0);
  auto* plant = dynamic_cast<cGamePlant*>(TargetOfWord(member->GetInteraction()->GetTarget()));
  ASSERT_TRUE(plant);
  ASSERT_TRUE(PumpUntil([&] { return member->GetCarriedFood() > 0.0f; }));
  // 5 food a gathering; one food takes 100 / (eatfood 10 x fruitValue 300 x 0.01) of the plant.
  EXPECT_FLOAT_EQ(member->GetCarriedFood(), 5.0f);
  EXPECT_NEAR(plant->GetFoodValue(), 100.0f - 5.0f * 100.0f / 30.0f, 1e-3f);
  ASSERT_TRUE(PumpUntil([&] { return Player()->GetFood() > 0.0f; }));
  EXPECT_FLOAT_EQ(Player()->GetFood(), 20.0f);  // the load cap
  EXPECT_EQ(Doing(member), "Gathering");
}

TEST_F(MemberInteractionsTest, AGuardWalksAroundTheHutUntilACriticalNeed) {
  cTribeCreature* member = Members()[0];
  member->StartInteraction(GetTribePrototype<cMemberDefends>(), 0);
  Pump(100);
  EXPECT_EQ(Doing(member), "Defending");
  EXPECT_EQ(member->GetRole(), 9u);
  EXPECT_LT(Distance(PositionOf(member), HutPosition()), 12.0f);
  member->SetHealth(5.0f);
  Pump(1);
  EXPECT_NE(Doing(member), "Defending");
}

// Interactions are not saved: a game loaded in the middle of the life loop
// brings back each member's needs, role and carried food, nobody nests until
// it starts again, and every member chooses anew on the next tick.
TEST_F(MemberInteractionsTest, ALoadInTheMiddleOfLifeRestoresTheMembersAndTheyChooseAnew) {
  Player()->AddFood(50.0f);
  Members()[0]->StartInteraction(GetTribePrototype<cMemberNests>(), 0);
  Members()[1]->SetCarriedFood(4.0f);
  Members()[2]->SetHunger(30.0f);
  ASSERT_TRUE(PumpUntil([&] { return Player()->GetNestingCount() == 1; }));
  Pump(7);
  struct sMember {
    uint32_t role;
    float carried, energy, hunger, health;
  };
  auto snapshot = [&] {
    std::vector<sMember> out;
    for (cTribeCreature* m : Members())
      out.push_back({m->GetRole(), m->GetCarriedFood(), m->GetEnergy(), m->GetHunger(), m->GetHealth()});
    return out;
  };
  const std::vector<sMember> before = snapshot();
  const std::string file = scratch.Path() + "/life.sav";
  ASSERT_TRUE(GetDataManager()->Save(file));
  ASSERT_TRUE(GetDataManager()->Load(file));
  GetDataManager()->CommitPending();

  const std::vector<sMember> after = snapshot();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].role, before[i].role) << i;
    EXPECT_EQ(after[i].carried, before[i].carried) << i;
    EXPECT_EQ(after[i].energy, before[i].energy) << i;
    EXPECT_EQ(after[i].hunger, before[i].hunger) << i;
    EXPECT_EQ(after[i].health, before[i].health) << i;
  }
  EXPECT_EQ(Player()->GetNestingCount(), 0u);
  Pump(1);
  for (cTribeCreature* member : Members()) EXPECT_TRUE(member->HasInteraction());
  EXPECT_EQ(Doing(Members()[1]), "Idling");  // carried food comes first
  Pump(100);
  EXPECT_EQ(Player()->GetNestingCount(), 0u);
}

TEST_F(MemberInteractionsTest, AMissingScriptIsReportedAtEveryStartAndTheLastValuesServe) {
  cTribeCreature* member = Members()[0];
  member->SetSuppressChoice(true);
  member->StartInteraction(GetTribePrototype<cMemberHeals>(), 0);  // loads the script once
  std::filesystem::remove(std::filesystem::path(scratch.Path()) / "Data" / "Scripts" / "tribe_heal_result.txt");
  member->SetHealth(50.0f);
  for (int start = 0; start < 2; ++start) member->StartInteraction(GetTribePrototype<cMemberHeals>(), 0);
  int failures = 0;
  for (const cMessageCapture::Box& box : messages.boxes)
    failures += box.caption == "Script Error" && box.text == "Failed to load tribe_heal_result.txt";
  EXPECT_EQ(failures, 2);
  ASSERT_TRUE(UntilWorking(member));  // still heals, at the interval it had
  const float health = member->GetHealth();
  Pump(20);
  EXPECT_NEAR(member->GetHealth(), health + 4.0f - kHealthDrain, 1e-3f);
}

}  // namespace
