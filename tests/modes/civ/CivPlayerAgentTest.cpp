// The NPC player agent: grouping by plain roads, the connect step, the lead
// city's main goal, and planning once per 3 s however often it is asked.
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivVehicle.h"
#include "platform/Sys.h"
#include "tests/modes/civ/CivTestSupport.h"

namespace {

struct CivPlayerAgentTest : CivCombatFixture {
  cCivModeDecoratedCity *a = nullptr, *b = nullptr, *c = nullptr;  // player 1's, ever farther from home

  void SetUp() override {
    CivCombatFixture::SetUp();
    cCivTuningAgent& t = *cCivTuning::GetAgent();
    t.DesiredNumTurretsWith4Buildings = t.DesiredNumTurretsWith10Buildings = 0;
    t.DesiredNumVehiclesWith4Buildings = t.DesiredNumVehiclesWith10Buildings = 1;
    for (float& v : cCivTuning::GetWealthGeneration()->WealthPerSecond) v = 1.0f;
    StartCombat(0, 4, 0.0f);
    a = City(0.3f), b = City(0.6f), c = City(1.2f);
    cCivModeRoad* road = world->CreateRoad();
    road->SetStart(a), road->SetEnd(b), a->AddRoad(road);
  }
  cCivModeDecoratedCity* City(float angle) {
    cCivModeDecoratedCity* city = world->CreateCity();
    city->Setup(1, GroundAway(home->GetPosition(), angle));
    Cities().push_back(city);
    city->GetAgent()->SetGoal(kCivGoalWealth, nullptr);
    return city;
  }
};

// Two groups: the far one reaches for the nearest city of the other; in the
// other the city nearest the enemy leads. Asked every tick, the agent plans
// only once 3000 ms have passed (it used to plan on every tick).
TEST_F(CivPlayerAgentTest, GroupsConnectTheLeadBuysAndPlansWaitThreeSeconds) {
  cCivAgentPlanSet set = cCivPlayerAgent::BuildPlanSet(Cities(), 1);
  ASSERT_EQ(set.plans.size(), 2u);
  EXPECT_EQ(set.plans[0].cities, (std::vector<cCivModeDecoratedCity*>{a, b}));
  EXPECT_EQ(set.others, std::vector<cCivModeDecoratedCity*>{home});

  cCivPlayerAgent agent;
  struct Row {
    uint32_t advanceMs;
    int aGoal, bGoal, cGoal;
  } rows[] = {
      {3000, kCivGoalNewBuilding, kCivGoalNewBuilding, kCivGoalNewBuilding},  // not yet: goals stand
      {1, kCivGoalNewBuilding, kCivGoalWealth, kCivGoalRoad},  // the lead keeps its purchase, b saves
      {100, kCivGoalNewBuilding, kCivGoalNewBuilding, kCivGoalNewBuilding},
  };
  for (const Row& r : rows) {
    for (cCivModeDecoratedCity* city : {a, b, c}) city->GetAgent()->SetGoal(kCivGoalNewBuilding, nullptr);
    clock.Advance(r.advanceMs);
    agent.Update(Cities());
    EXPECT_EQ(a->GetAgent()->GetGoal(), r.aGoal) << r.advanceMs;
    EXPECT_EQ(b->GetAgent()->GetGoal(), r.bGoal) << r.advanceMs;
    EXPECT_EQ(c->GetAgent()->GetGoal(), r.cGoal) << r.advanceMs;
  }
  EXPECT_EQ(c->GetAgent()->GetTarget(), b);
}

// The lead's choice: turrets first, a purchase under way goes on, research
// by income share and chance, trade routes for the cultural, else vehicles.
TEST_F(CivPlayerAgentTest, MainGoalFollowsTurretsIncomeStrategyAndVehicles) {
  struct Row {
    int goalBefore, level, strategy, turrets;
    float wealthPerSecond, chance;
    bool embassy;
    int goal, levelAfter;
    float homeRate = -1.0f;  // the human's city, one building down, earns this (else as the others)
    int desiredVehicles = 1;
  } rows[] = {
      {kCivGoalWealth, 0, kCivMilitary, 0, 1.0f, 1.01f, false, kCivGoalUpgradeAmphibious, 1},
      {kCivGoalWealth, 2, kCivMilitary, 0, 1.0f, 1.01f, false, kCivGoalUpgradeAeronautics, 3},
      {kCivGoalWealth, 1, kCivMilitary, 0, 1.0f, 1.01f, false, kCivGoalVehicle, 1},
      {kCivGoalWealth, 0, kCivMilitary, 0, 0.0f, 1.01f, false, kCivGoalVehicle, 0},  // no income: no share
      {kCivGoalWealth, 0, kCivMilitary, 0, 1.0f, 0.0f, false, kCivGoalVehicle, 0},
      {kCivGoalNewBuilding, 0, kCivMilitary, 0, 1.0f, 0.0f, false, kCivGoalNewBuilding, 0},
      {kCivGoalNewBuilding, 0, kCivMilitary, 2, 1.0f, 0.0f, false, kCivGoalTurret, 0},
      {kCivGoalWealth, 0, kCivCultural, 0, 1.0f, 0.0f, false, kCivGoalVehicle, 0},
      {kCivGoalWealth, 0, kCivMilitary, 0, 7.0f, 1.01f, false, kCivGoalVehicle, 0, 79.0f},  // a share of 21 %
      {kCivGoalWealth, 0, kCivMilitary, 0, 7.0f, 1.01f, false, kCivGoalUpgradeAmphibious, 1, 78.0f},
      {kCivGoalWealth, 0, kCivMilitary, 0, 1.0f, 0.0f, false, kCivGoalNewBuilding, 0, -1.0f, 0},  // vehicles enough
      {kCivGoalWealth, 0, kCivCultural, 0, 1.0f, 0.0f, true, kCivGoalTradeRoute, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "share row " << r.homeRate << ", vehicles wanted " << r.desiredVehicles);
    for (float& v : cCivTuning::GetWealthGeneration()->WealthPerSecond) v = r.wealthPerSecond;
    while (home->HasDamagedBuilding()) home->RepairBuilding();
    if (r.homeRate >= 0.0f) {
      home->DestroyBuilding();
      cCivTuning::GetWealthGeneration()->WealthPerSecond[3] = r.homeRate;
    }
    cCivTuning::GetAgent()->DesiredNumVehiclesWith4Buildings = cCivTuning::GetAgent()->DesiredNumVehiclesWith10Buildings = r.desiredVehicles;
    cCivTuning::GetAgent()->ChanceNPCBuysUpgrade = r.chance;
    cCivTuning::GetAgent()->DesiredNumTurretsWith4Buildings = r.turrets;
    if (r.embassy && !home->FindEmbassy(1)) static_cast<cCivModeEmbassyBuilding*>(home->AddBuilding(5))->SetSource(a);
    players->GetStrategies()->Set(1, r.strategy);
    a->GetAgent()->SetGoal(r.goalBefore, nullptr);
    players->GetUpgradeLevels()->Set(1, r.level);
    world->UpdateIncomeDistribution();
    cCivPlayerAgent::SetMainGoal(a);
    EXPECT_EQ(a->GetAgent()->GetGoal(), r.goal) << r.goalBefore << " " << r.level << " " << r.strategy;
    EXPECT_EQ(players->GetUpgradeLevels()->Get(1), r.levelAfter) << r.level;
  }
  EXPECT_EQ(a->GetAgent()->GetTarget(), home);
}

}  // namespace

namespace {

// An NPC vehicle's errand by strategy and what stands near; a vehicle on an
// errand turns to an enemy in sight only once it has not fired for 5010 ms,
// also when the clock wraps between the shot and the agent's turn.
TEST_F(CivPlayerAgentTest, VehicleAgentsChooseByStrategyAndSwitchWhenIdleGuns) {
  constexpr uint64_t kWrap = uint64_t{1} << 32;
  struct Row {
    int strategy;
    float relation;
    bool embassy, enemyNear, busy;
    uint32_t sinceFireMs;
    int state, mission;
    bool targetsHome, targetsEnemy;
    uint64_t actsAt = 0;  // the clock's count when the agent acts (it leaps there); 0: where it runs
  } rows[] = {
      {kCivMilitary, -1.0f, false, false, false, 9000, kCivVehicleCombat, kCivMissionPillage, true, false},
      {kCivMilitary, 1.0f, false, false, false, 9000, kCivVehicleGuard, kCivMissionPillage, false, false},
      {kCivMilitary, 0.0f, false, false, false, 9000, kCivVehicleGuard, kCivMissionPillage, false, false},
      {kCivCultural, 1.0f, false, false, false, 9000, kCivVehicleCombat, kCivMissionEmbassy, true, false},
      {kCivMilitary, -1.0f, false, true, false, 9000, kCivVehicleCombat, kCivMissionPillage, false, true},
      {kCivMilitary, -1.0f, false, true, true, 5009, kCivVehicleCombat, kCivMissionPillage, true, false},
      {kCivMilitary, -1.0f, false, true, true, 5010, kCivVehicleCombat, kCivMissionPillage, false, true},
      {kCivCultural, 1.0f, true, false, false, 9000, kCivVehicleGuard, kCivMissionPillage, false, false},
      // Shot just before the wrap: 5010 ms on from the shot lies past it; the turn comes at it.
      {kCivMilitary, -1.0f, false, true, true, 5009, kCivVehicleCombat, kCivMissionPillage, true, false, kWrap - 1},
      {kCivMilitary, -1.0f, false, true, true, 5011, kCivVehicleCombat, kCivMissionPillage, false, true, kWrap},
  };
  clock.Advance(10000);
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.strategy << " " << r.sinceFireMs << " at " << r.actsAt);
    // Half the clock's range short of the turn: the leap to it, below, runs forward.
    if (r.actsAt) clock.Set((uint32_t)r.actsAt + (1u << 31));
    players->GetStrategies()->Set(1, r.strategy);
    players->GetRelationships()->Set(0, 1, r.relation);
    if (r.embassy) static_cast<cCivModeEmbassyBuilding*>(home->AddBuilding(5))->SetSource(a);
    cCivModeVehicle* v = Vehicle(1, kCivLandVehicle, GroundAway(home->GetPosition(), 0.3f));
    cCivModeVehicle* enemy = r.enemyNear ? Vehicle(0, kCivLandVehicle, GroundAway(home->GetPosition(), 0.32f)) : nullptr;
    if (r.busy) v->SetState(kCivVehicleCombat, v->GetPosition(), nullptr, home, kCivMissionPillage);
    cCivVehicleAgent agent(v);
    const int before = v->GetState();
    clock.Advance(agent.GetPeriod());
    agent.Update(0);
    EXPECT_EQ(v->GetState(), before) << "not beyond its period yet";
    clock.Advance(1);
    if (r.actsAt) clock.Set((uint32_t)r.actsAt);  // the agent is due all the same
    v->SetLastFireTime(Sys_Milliseconds() - r.sinceFireMs);
    agent.Update(0);
    EXPECT_EQ(v->GetState(), r.state);
    EXPECT_EQ(v->GetMission(), r.mission);
    EXPECT_EQ(v->GetTargetCity() == home, r.targetsHome);
    EXPECT_EQ(v->GetTargetVehicle() != nullptr && v->GetTargetVehicle() == enemy, r.targetsEnemy);
    for (cCivModeVehicle* gone : {v, enemy})
      if (gone) gone->SetState(kCivVehicleDying, gone->GetPosition(), nullptr, nullptr, 0);  // out of every later search
  }
}

}  // namespace
