// A city under fire: surrender by mood, capture and the end of the human's
// game, embassies by relationship, and where attackers aim.
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTurret.h"
#include "platform/Sys.h"
#include "tests/modes/civ/CivTestSupport.h"

namespace {

struct CivCombatTest : CivCombatFixture {
  cMessageCapture messages;
  void TearDown() override {
    gCivBulletsAlwaysHit = 0;
    CivCombatFixture::TearDown();
  }
  cCivModeDecoratedCity* SecondCity(int owner) {
    cCivModeDecoratedCity* city = world->CreateCity();
    city->Setup(owner, cCivWorld::StartPosition(1, false));
    Cities().push_back(city);
    return city;
  }
  void Join(cCivModeDecoratedCity* from, cCivModeDecoratedCity* to) {
    cCivModeRoad* road = world->CreateRoad();
    road->SetStart(from);
    road->SetEnd(to);
    road->SetKind(kCivPlainRoad);
    from->AddRoad(road);
  }
};

// Thresholds rise with happiness; a city with no buildings left gives up
// whatever its mood (it divided 0 by 0 and never surrendered).
TEST_F(CivCombatTest, SurrenderFollowsTheMoodAndABareCityGivesUp) {
  StartCombat(1, 4, 0.0f);
  cCivTuning::GetHappiness()->MoodMin = -10.0f;
  cCivTuning::GetHappiness()->MoodMax = 10.0f;
  const float thresholds[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.1f};
  for (int i = 0; i < 5; ++i) cCivTuning::GetAgent()->BuildingsDestroyedBeforeSurrender[i] = thresholds[i];
  struct Row { float mood; int destroyed; bool surrenders; } rows[] = {
      {8, 3, false}, {8, 4, true}, {5, 2, false}, {5, 3, true}, {0, 1, false},
      {0, 2, true},  {-5, 0, false}, {-5, 1, true}, {-9, 0, false}, {-9, 1, true},
  };
  for (const Row& r : rows) {
    for (cCivModeDecoratedBuilding* b : home->GetBuildings()) b->SetState(kCivIntact);
    for (int i = 0; i < r.destroyed; ++i) home->DestroyBuilding();
    home->GetMood()->Set(r.mood);
    EXPECT_EQ(home->GetAgent()->ShouldSurrender(), r.surrenders) << r.mood << " " << r.destroyed;
  }
  while (home->GetBuildingCount() > 0) home->RemoveBuilding(home->GetBuildings().front());
  home->GetMood()->Set(8.0f);
  EXPECT_TRUE(home->GetAgent()->ShouldSurrender());
}

// The human takes the last NPC city by pillage: won once; the city's money,
// vehicles and roads both ways go (the roads out of the data manager too:
// capture had left them live). Then the NPC takes both human cities back:
// the loss is shown only for the last.
TEST_F(CivCombatTest, CaptureEndsTheGameOnceAndTakesItsRoadsOutBothWays) {
  StartCombat(1, 1, 0.0f);
  for (float& t : cCivTuning::GetAgent()->BuildingsDestroyedBeforeSurrender) t = 0.5f;
  gCivBulletsAlwaysHit = 1;
  cCivModeDecoratedCity* mine = SecondCity(0);
  Join(home, mine);
  Join(mine, home);
  home->SetMoney(50.0f);
  cCivModeVehicle* raider = Vehicle(1, kCivLandVehicle, GroundAway(home->GetPosition(), 0.1f));
  GetDataManager()->CommitPending();

  home->OnHit(0);
  GetDataManager()->CommitPending();
  EXPECT_EQ(home->GetOwner(), 0);
  EXPECT_FALSE(home->IsNPC());
  EXPECT_EQ(home->GetMoney(), 0.0f);
  EXPECT_EQ(raider->GetState(), kCivVehicleDying);
  EXPECT_TRUE(home->GetRoads().empty());
  EXPECT_TRUE(mine->GetRoads().empty());
  EXPECT_TRUE(GetDataManager()->GetObjectsOfType(cCivModeRoad::kTypeId).empty());
  EXPECT_EQ(messages.Count("Player Wins Civ Game"), 1);

  home->OnHit(1);
  EXPECT_EQ(home->GetOwner(), 1);
  EXPECT_EQ(messages.Count("Player Loses Civ Game"), 0);
  mine->OnHit(1);
  EXPECT_EQ(mine->GetOwner(), 1);
  ASSERT_EQ(messages.Count("Player Loses Civ Game"), 1);
  EXPECT_EQ(messages.boxes.back().text, "You have lost the Civ game!");
  EXPECT_EQ(messages.Count("Player Wins Civ Game"), 1);
}

// The first draw r decides: the base chance is set so that r falls between
// the doubled and the tripled chance (or below the doubled one).
TEST_F(CivCombatTest, EmbassyChanceGrowsWithTheRelationshipAndASecondBulletDoesNothing) {
  struct Row { float divisor; float relation; bool founded; } rows[] = {
      {2.5f, 6.0f, true}, {2.5f, 2.0f, false}, {1.5f, 2.0f, true}, {1.5f, -1.0f, false},
  };
  StartCombat(1, 2, 0.0f);
  cCivModeDecoratedCity* sender = SecondCity(0);
  for (const Row& r : rows) {
    players->GetRelationships()->Set(1, 0, r.relation);
    Sys_SeedRandom(11);
    float first = (float)Sys_Random();
    Sys_SeedRandom(11);
    cCivTuning::GetVehicles()->ChancePlayerBulletHitsNPCCity = first / r.divisor / 32767.0f;
    clock.Advance(100);
    home->OnDiplomaticHit(sender, nullptr);
    cCivModeEmbassyBuilding* embassy = home->FindEmbassy(0);
    EXPECT_EQ(embassy != nullptr, r.founded) << r.divisor << " " << r.relation;
    EXPECT_EQ(home->GetLastHitTime(), clock.Now());
    if (!embassy) continue;
    int buildings = home->GetBuildingCount();
    clock.Advance(100);
    home->OnDiplomaticHit(sender, nullptr);
    EXPECT_EQ(home->GetBuildingCount(), buildings);
    EXPECT_EQ(home->GetLastHitTime(), clock.Now() - 100);
    home->ExpelEmbassy(embassy);
    EXPECT_EQ(home->FindEmbassy(0), nullptr);
  }
}

// Attackers go for the nearest turret still standing, never one that is
// dying or dead (a dead one was picked before); with none, beside a building.
TEST_F(CivCombatTest, AttackersAimAtTheNearestStandingTurretElseBesideABuilding) {
  StartCombat(1, 4, 0.0f);
  gCivBulletsAlwaysHit = 1;
  home->AddTurret();
  home->AddTurret();
  std::vector<cCivModeTurret*> turrets = home->GetTurrets();
  ASSERT_EQ(turrets.size(), 2u);
  Ru::Math::Vector3 from = *turrets[0]->GetVictimPosition();
  auto victimOf = [&]() {
    Ru::Math::Vector3 aim;
    cICivModeVictim* victim = nullptr;
    home->GetAttackTarget(from, aim, victim);
    EXPECT_GT(GetPlanetModel().GetSurfaceDistance(aim, home->GetPosition()), 40.0f);
    return victim;
  };
  EXPECT_EQ(victimOf(), turrets[0]);
  turrets[0]->OnHit(0);  // dying
  EXPECT_EQ(victimOf(), turrets[1]);
  for (int i = 0; i < 1000 && turrets[0]->GetState() != kCivTurretDead; ++i) turrets[0]->Update();
  ASSERT_EQ(turrets[0]->GetState(), kCivTurretDead);
  EXPECT_EQ(victimOf(), turrets[1]);
  turrets[1]->OnHit(0);
  EXPECT_EQ(victimOf(), nullptr);
}

// With every hit landing, NPC vehicles sent out by their agents pillage a
// hostile NPC city until it surrenders to their owner, then stand down.
TEST_F(CivCombatTest, NpcVehiclesPillageAHostileCityUntilItChangesHands) {
  StartCombat(1, 4, 0.0f);
  players = std::make_unique<cCivPlayers>(3, 0, cCivTuning::GetRelationships());
  SetCivPlayers(players.get());
  players->GetRelationships()->Set(1, 2, -5.0f);
  players->GetStrategies()->Set(1, kCivMilitary);
  for (float& cost : cCivTuning::GetCosts()->TurretCost) cost = 1e9f;  // the target cannot arm
  cCivModeDecoratedCity* target = world->CreateCity();
  target->Setup(2, GroundAway(home->GetPosition(), 0.4f));
  Cities().push_back(target);
  target->GetMood()->Set(0.0f);
  gCivBulletsAlwaysHit = gCivUseNPCAI = 1;
  cCivModeVehicle* raiders[] = {world->CreateVehicle(home, kCivLandVehicle), world->CreateVehicle(home, kCivLandVehicle)};
  for (int tick = 0; tick < 3000 && target->GetOwner() != 1; ++tick) clock.Advance(100), world->Update(100);
  ASSERT_EQ(target->GetOwner(), 1);
  for (int t = 0; t < 10; ++t) clock.Advance(100), world->Update(100);
  for (cCivModeVehicle* raider : raiders) EXPECT_NE(raider->GetTargetCity(), target);
  EXPECT_TRUE(messages.boxes.empty());  // no human was involved
  gCivUseNPCAI = 0;
}

}  // namespace
