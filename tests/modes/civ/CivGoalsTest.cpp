// An NPC city's production goals: what each buys, at what price, how often,
// and the turret rule after every action.
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivTurret.h"
#include "tests/modes/civ/CivTestSupport.h"

namespace {

struct CivGoalsTest : CivCombatFixture {
  cCivCityAgent* agent = nullptr;

  void SetUp() override {
    CivCombatFixture::SetUp();
    cCivTuningCosts& c = *cCivTuning::GetCosts();
    for (float& v : c.TurretCost) v = 10.0f;
    for (float& v : c.BuildingCost) v = 20.0f;
    for (float& v : c.VehicleCost) v = 100.0f;
    c.CostMultiplierForAmphibiousVehicles = 2.0f;
    c.CostMultiplierForAirVehicles = 3.0f;
    c.RoadCost = 5.0f;
    c.CostResearchAmphibious = 50.0f;
    cCivTuningAgent& a = *cCivTuning::GetAgent();
    a.DesiredNumTurretsWith4Buildings = a.DesiredNumTurretsWith10Buildings = 0;
    StartCombat(1, 4, 0.0f);
    agent = home->GetAgent();
  }
  // One period later the agent acts.
  void Act() {
    clock.Advance(4001);
    agent->Update(0);
  }
};

// Each goal with the money it needs or lacks. At the turret limit the price
// is -1: the goal is dropped without paying (paying it made 1 from nothing).
TEST_F(CivGoalsTest, EachGoalBuysAtItsPriceOrWaits) {
  struct Row {
    int goal, level, turretsBefore;
    float money, moneyAfter;
    int goalAfter, turretsAfter, vehicleKind;  // -1: no vehicle made
  } rows[] = {
      {kCivGoalTurret, 0, 0, 15, 5, kCivGoalWealth, 1, -1},
      {kCivGoalTurret, 0, 0, 5, 5, kCivGoalTurret, 0, -1},
      {kCivGoalTurret, 0, 8, 15, 15, kCivGoalWealth, 8, -1},
      {kCivGoalTurret, 0, 0, 10, 0, kCivGoalWealth, 1, -1},   // exactly the price
      {kCivGoalTurret, 0, 9, 15, 15, kCivGoalWealth, 8, -1},  // no ninth turret
      {kCivGoalVehicle, 0, 0, 150, 50, kCivGoalWealth, 0, kCivLandVehicle},
      {kCivGoalVehicle, 1, 0, 350, 50, kCivGoalWealth, 0, kCivLandVehicle},
      {kCivGoalVehicle, 2, 0, 250, 50, kCivGoalWealth, 0, kCivAmphibiousVehicle},
      {kCivGoalVehicle, 3, 0, 350, 50, kCivGoalWealth, 0, kCivAmphibiousVehicle},
      {kCivGoalVehicle, 4, 0, 299, 299, kCivGoalVehicle, 0, -1},
      {kCivGoalVehicle, 4, 0, 300, 0, kCivGoalWealth, 0, kCivAirVehicle},
      {kCivGoalVehicle, 5, 0, 300, 0, kCivGoalWealth, 0, kCivAirVehicle},
      {kCivGoalNewBuilding, 0, 0, 25, 5, kCivGoalWealth, 0, -1},
      {kCivGoalRepairBuilding, 0, 0, 25, 25, kCivGoalRepairBuilding, 0, -1},
      {kCivGoalUpgradeAmphibious, 0, 0, 60, 10, kCivGoalWealth, 0, -1},
  };
  for (const Row& r : rows) {
    home->RemoveTurrets();
    for (int i = 0; i < r.turretsBefore; ++i) home->AddTurret();
    players->GetUpgradeLevels()->Set(1, r.level);
    home->SetMoney(r.money);
    int buildings = home->GetBuildingCount();
    size_t vehicles = world->GetVehicles().size();
    agent->SetGoal(r.goal, nullptr);
    Act();
    EXPECT_FLOAT_EQ(home->GetMoney(), r.moneyAfter) << r.goal << " " << r.level;
    EXPECT_EQ(agent->GetGoal(), r.goalAfter) << r.goal << " " << r.level;
    EXPECT_EQ((int)home->GetTurrets().size(), r.turretsAfter) << r.goal;
    ASSERT_EQ(world->GetVehicles().size(), vehicles + (r.vehicleKind >= 0 ? 1 : 0)) << r.goal << " " << r.level;
    if (r.vehicleKind >= 0) { EXPECT_EQ(world->GetVehicles().back()->GetKind(), r.vehicleKind) << r.level; }
    EXPECT_EQ(home->GetBuildingCount(), buildings + (r.goal == kCivGoalNewBuilding ? 1 : 0));
  }
  EXPECT_EQ(players->GetUpgradeLevels()->Get(1), 2);
}

// A road to another owner's city is dropped free; an agent acts once a
// period however often it is asked; leaving research rolls it back.
TEST_F(CivGoalsTest, RoadsAbroadAreDroppedActionsWaitAPeriodAndResearchRollsBack) {
  cCivModeDecoratedCity* other = world->CreateCity();
  other->Setup(0, cCivWorld::StartPosition(1, false));
  Cities().push_back(other);
  home->SetMoney(100.0f);
  agent->SetGoal(kCivGoalRoad, other);
  Act();
  EXPECT_EQ(agent->GetGoal(), kCivGoalWealth);
  EXPECT_EQ(home->GetMoney(), 100.0f);

  agent->SetGoal(kCivGoalTurret, nullptr);
  Act();
  agent->SetGoal(kCivGoalTurret, nullptr);
  clock.Advance(agent->GetPeriod());  // not beyond the period yet
  agent->Update(100000);
  EXPECT_EQ(home->GetTurrets().size(), 1u);
  clock.Advance(1);
  agent->Update(0);
  EXPECT_EQ(home->GetTurrets().size(), 2u);

  for (int level : {1, 3}) {
    players->GetUpgradeLevels()->Set(1, level);
    agent->SetGoal(level == 1 ? kCivGoalUpgradeAmphibious : kCivGoalUpgradeAeronautics, nullptr);
    agent->SetGoal(kCivGoalWealth, nullptr);
    EXPECT_EQ(players->GetUpgradeLevels()->Get(1), level - 1);
  }
}

// After every action a city short of the turrets it wants takes up Turret,
// unless it wants the limit or more. The wish grows evenly from 4 buildings
// to 10, truncated.
TEST_F(CivGoalsTest, TheTurretRuleHoldsBelowTheLimit) {
  struct Row { int with4, with10, buildings, desired, goalAfter; } rows[] = {
      {2, 2, 4, 2, kCivGoalTurret}, {8, 8, 4, 8, kCivGoalWealth}, {0, 0, 4, 0, kCivGoalWealth},
      {7, 7, 4, 7, kCivGoalTurret}, {1, 7, 3, 1, kCivGoalTurret}, {1, 7, 5, 2, kCivGoalTurret},
      {1, 6, 7, 3, kCivGoalTurret}, {1, 7, 9, 6, kCivGoalTurret}, {1, 7, 10, 7, kCivGoalTurret},
      {1, 8, 10, 8, kCivGoalWealth},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.with4 << " to " << r.with10 << " with " << r.buildings << " buildings");
    cCivTuning::GetAgent()->DesiredNumTurretsWith4Buildings = r.with4;
    cCivTuning::GetAgent()->DesiredNumTurretsWith10Buildings = r.with10;
    while (home->GetBuildingCount() < r.buildings) home->AddBuilding(1);
    while (home->GetBuildingCount() > r.buildings) home->RemoveBuilding(home->GetBuildings().back());
    EXPECT_EQ(agent->GetDesiredTurrets(), r.desired);
    agent->SetGoal(kCivGoalWealth, nullptr);
    Act();
    EXPECT_EQ(agent->GetGoal(), r.goalAfter);
  }
}

}  // namespace
