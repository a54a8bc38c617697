// Civ turrets: the idle sweep, acquisition strictly inside the range and
// engagement held until beyond it, who counts as hostile, the gun on the
// target and its fire on the injected real-time clock, the return to rest,
// and a hit shrinking the tower until its city drops it (with the alarm at
// most once per 10 s per city). Vehicles are bare data-manager objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math/Math.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "CivTestSupport.h"

namespace {

using namespace Ru::Math;

struct CivTurretTest : CivCombatFixture {
  cCivModeDecoratedCity* city = nullptr;
  cCivModeTurret* turret = nullptr;
  int savedAlwaysHit = gCivBulletsAlwaysHit;

  void SetUp() override {
    CivWorldFixture::SetUp();
    StartCombat(0, 4, 0.0f);
    city = home;
    city->AddTurret();
    turret = city->GetTurrets().at(0);
    GetDataManager()->CommitPending();
  }
  void TearDown() override {
    gCivBulletsAlwaysHit = savedAlwaysHit;
    CivCombatFixture::TearDown();
  }
  Vector3 Tower() const { return *turret->GetVictimPosition(); }
  Vector3 AwayFromTower(float angle) const { return GroundAway(Tower(), angle); }
  cCivModeVehicle* Vehicle(int owner, const Vector3& at) { return CivCombatFixture::Vehicle(owner, kCivLandVehicle, at); }
  void Run(int updates) {
    for (int i = 0; i < updates; ++i) turret->Update();
  }
};

TEST_F(CivTurretTest, SweepsThenEngagesStrictlyInsideTheRangeUntilBeyondIt) {
  float least = 0, most = 0;
  for (int i = 0; i < 400; ++i) {
    turret->Update();
    least = std::min(least, turret->GetYaw());
    most = std::max(most, turret->GetYaw());
  }
  EXPECT_EQ(least, -91.0f);
  EXPECT_EQ(most, 91.0f);

  players->GetRelationships()->Set(0, 1, -1.0f);
  cCivModeVehicle* enemy = Vehicle(1, AwayFromTower(0.1f));
  const float d = GetPlanetModel().GetSurfaceDistance(enemy->GetPosition(), Tower());
  cCivTuning::GetCombat()->TurretRange = d;  // exactly at the range: not acquired
  Run(1);
  EXPECT_NE(turret->GetState(), kCivTurretEngage);
  enemy->SetPosition(AwayFromTower(0.099f));
  Run(1);
  EXPECT_EQ(turret->GetState(), kCivTurretEngage);
  enemy->SetPosition(AwayFromTower(0.1f));  // back at exactly the range: held
  Run(1);
  EXPECT_EQ(turret->GetTarget(), enemy);
  enemy->SetPosition(AwayFromTower(0.101f));
  Run(1);
  EXPECT_EQ(turret->GetState(), kCivTurretReturn);
}

// Relationship 0 is no reason to shoot, unless the vehicle pillages this very
// turret; a target turned friendly is dropped and the gun goes back to rest.
TEST_F(CivTurretTest, ShootsOnlyHostilesAimsAtThemAndReturnsToRest) {
  cCivModeVehicle* neutral = Vehicle(1, AwayFromTower(0.05f));
  Run(1);
  EXPECT_NE(turret->GetState(), kCivTurretEngage);
  neutral->SetTargetTurret(turret, kCivMissionPillage);
  Run(1);
  ASSERT_EQ(turret->GetTarget(), neutral);

  Run(400);  // the gun has turned onto it and fired once
  Vector3 barrel = QuatRotateVector(turret->GetGunOrientation(), Vector3{0.0f, 0.0f, 1.0f});
  Vector3 toTarget = Vector3Normalized(Vector3Sub(neutral->GetPosition(), turret->GetGunPosition()));
  EXPECT_GT(Vector3Dot(barrel, toTarget), 0.999f);
  EXPECT_EQ(world->GetBullets()->GetCount(), 1u);
  Run(10);
  EXPECT_EQ(world->GetBullets()->GetCount(), 1u);  // the next shot waits for the real-time clock
  clock.Advance(5001);
  Run(1);
  EXPECT_EQ(world->GetBullets()->GetCount(), 2u);

  neutral->SetOwner(0);  // now the turret's own side
  Run(1);
  EXPECT_EQ(turret->GetState(), kCivTurretReturn);
  Run(200);
  EXPECT_EQ(turret->GetPitch(), 0.0f);
  EXPECT_TRUE(turret->GetState() == kCivTurretSweepLeft || turret->GetState() == kCivTurretSweepRight);
}

// A hit shrinks the tower to nothing; its city then drops it and a vehicle
// that was shooting at it lets go (before the mend it kept the freed turret).
// The alarm rings, and the notice shows, once per 10 s of quiet.
TEST_F(CivTurretTest, HitShrinksItAwayTheCityDropsItAndTheAlarmKeepsTenSeconds) {
  gCivBulletsAlwaysHit = 1;
  cCivTuning::GetGeneral()->UseSound = true;
  cCivModeVehicle* raider = Vehicle(1, AwayFromTower(0.5f));
  raider->SetTargetTurret(turret, kCivMissionPillage);
  uint32_t alarms = GetCivSoundPlayCount(eCivSound::TurretUnderAttack);
  HideCivEventNotice();
  // Each alarm also leaves the notice at the turret, shown for 5000 ms.
  const uint32_t gaps[] = {10001, 5000, 9999, 10000, 10001};
  const uint32_t rings[] = {1, 0, 0, 0, 1};
  const bool noticeShown[] = {true, true, false, false, true};
  for (int i = 0; i < 5; ++i) {
    clock.Advance(gaps[i]);
    turret->OnHit(1);
    EXPECT_EQ(GetCivSoundPlayCount(eCivSound::TurretUnderAttack) - alarms, rings[i]) << i;
    EXPECT_EQ(IsCivEventNoticeShown(), noticeShown[i]) << i;
    alarms = GetCivSoundPlayCount(eCivSound::TurretUnderAttack);
  }
  EXPECT_TRUE(Vector3Equal(GetCivEventNoticePoint(), *turret->GetVictimPosition()));
  EXPECT_EQ(turret->GetState(), kCivTurretDying);
  for (int i = 0; i < 102 && !city->GetTurrets().empty(); ++i) city->Update(0);
  EXPECT_TRUE(city->GetTurrets().empty());
  EXPECT_TRUE(GetDataManager()->GetObjectsOfType(cCivModeTurret::kTypeId).empty());
  EXPECT_EQ(raider->GetTargetTurret(), nullptr);
}

// A hit that lands on an NPC city's turret sets the city's goal to Turret; a
// miss, or a hit on the human's turret, leaves the goal as it was. A hit
// lands when the draw is below the chance x 32767, not at it.
TEST_F(CivTurretTest, ALandedHitOnAnNpcTurretSetsItsCitysGoalToTurret) {
  struct Row { int owner; bool lands; int goal; int roll = 0; } rows[] = {  // roll as in the city's hits
      {1, true, kCivGoalTurret}, {1, false, kCivGoalWealth}, {0, true, kCivGoalWealth},
      {1, false, kCivGoalWealth, 1}, {1, true, kCivGoalTurret, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "owner " << r.owner << (r.lands ? " hit" : " missed") << " roll " << r.roll);
    city->SetOwner(r.owner);
    city->RemoveTurrets();
    city->AddTurret();
    city->GetAgent()->SetGoal(kCivGoalWealth, nullptr);
    gCivBulletsAlwaysHit = r.lands && !r.roll;
    cCivTuning::GetCombat()->ChanceBulletHitsTurret = r.roll ? HitChanceAtNextDraw(r.roll == 2) : 0.0f;
    city->GetTurrets()[0]->OnHit(1 - r.owner);
    EXPECT_EQ(city->GetTurrets()[0]->GetState() == kCivTurretDying, r.lands);
    EXPECT_EQ(city->GetAgent()->GetGoal(), r.goal);
  }
}

// Turrets lost to fire leave the wall as lost buildings do: the patrol path
// is laid again without their bulges, and the next vehicle and turret start
// on it (the city once re-laid only for lost buildings, so both started at
// the stale bulge of the lost turret).
TEST_F(CivTurretTest, LostTurretsLeaveTheWallAndNewOnesStartOnThePathLaidAgain) {
  gCivBulletsAlwaysHit = 1;
  city->RemoveTurrets();
  city->RefreshLayout();
  std::vector<Vector3> bare, bulged, after;
  city->GetPatrolPath(bare);
  for (int i = 0; i < 3; ++i) city->AddTurret();
  city->GetPatrolPath(bulged);
  auto farthest = [](const std::vector<Vector3>& a, const std::vector<Vector3>& b) {
    float most = a.size() == b.size() ? 0.0f : 1e9f;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) most = std::max(most, Vector3Length(Vector3Sub(a[i], b[i])));
    return most;
  };
  ASSERT_GT(farthest(bulged, bare), 1.0f) << "turrets bulge the wall";
  for (cCivModeTurret* lost : city->GetTurrets()) lost->OnHit(1);
  for (int i = 0; i < 102 && !city->GetTurrets().empty(); ++i) city->Update(0);
  ASSERT_TRUE(city->GetTurrets().empty());
  city->GetPatrolPath(after);
  EXPECT_LT(farthest(after, bare), 1e-3f);
  cCivModeVehicle* fresh = world->CreateVehicle(city, kCivLandVehicle);
  EXPECT_LT(Vector3Length(Vector3Sub(fresh->GetPosition(), bare[0])), 1e-3f);
  city->AddTurret();
  ASSERT_EQ(city->GetTurrets().size(), 1u);
  const Vector3 standing = Vector3Normalized(*city->GetTurrets()[0]->GetVictimPosition());
  EXPECT_LT(Vector3Length(Vector3Sub(standing, Vector3Normalized(bare[0]))), 1e-5f);
}

TEST_F(CivTurretTest, NinthBuildingRebuildsTheTurretsOnTheWiderPath) {
  for (int b = 4; b < 8; ++b) city->AddBuilding(1);
  city->AddTurret();
  cCivModeTurret* old = city->GetTurrets()[1];
  city->AddBuilding(1);
  GetDataManager()->CommitPending();
  ASSERT_EQ(city->GetTurrets().size(), 2u);
  EXPECT_NE(city->GetTurrets()[1], old);
  EXPECT_EQ(GetDataManager()->GetObjectsOfType(cCivModeTurret::kTypeId).size(), 2u);
}

// A dead vehicle the world removes leaves no reference in the turret that aimed at it.
TEST_F(CivTurretTest, ForgetsATargetTheWorldRemoves) {
  players->GetRelationships()->Set(0, 1, -1.0f);
  cCivModeVehicle* enemy = Vehicle(1, AwayFromTower(0.05f));
  Run(1);
  ASSERT_EQ(turret->GetTarget(), enemy);
  enemy->SetState(kCivVehicleDead, {0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
  world->Update(0);
  EXPECT_TRUE(world->GetVehicles().empty());
  EXPECT_EQ(turret->GetTarget(), nullptr);
  Run(5);  // under the sanitizers: no read of the freed vehicle
}

}  // namespace
