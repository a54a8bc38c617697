// Civ vehicles: orders ignored while dying, shrinking to Dead and the world
// removing it with every reference dropped, the pursuit planned with the land
// rule for every kind, shots 1 to 5 s apart on the real-time clock, and two
// vehicles stopped within 10 of each other parting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivVehicle.h"
#include "world/scene/SceneObject.h"
#include "CivTestSupport.h"

namespace {

using namespace Ru::Math;

struct CivVehicleTest : CivCombatFixture {
  void SetUp() override {
    CivCombatFixture::SetUp();
    cCivTuning::GetVehicles()->LandVehicleMaxSlope = 5.0f;
    cCivTuning::GetVehicles()->LandVehicleSpeed = 10.0f;
    StartCombat(0, 3, -5.0f);
  }
  cCivModeVehicle* Vehicle(int owner, int kind, float angleFromHome) {
    return CivCombatFixture::Vehicle(owner, kind, GroundAway(home->GetPosition(), angleFromHome));
  }
};

TEST_F(CivVehicleTest, DyingIgnoresOrdersShrinksAndLeavesNoReferenceBehind) {
  cCivModeVehicle* victim = Vehicle(1, kCivLandVehicle, 0.3f);
  cCivModeVehicle* hunter = Vehicle(0, kCivLandVehicle, 0.32f);
  hunter->SetState(kCivVehicleCombat, {0, 0, 0}, victim, nullptr, kCivMissionPillage);
  world->GetBullets()->Spawn(home->GetPosition(), victim, home, kCivPillageBullet, nullptr);
  victim->SetState(kCivVehicleDying, {0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
  victim->SetState(kCivVehicleGuard, home->GetPosition(), nullptr, nullptr, kCivMissionPillage);
  EXPECT_EQ(victim->GetState(), kCivVehicleDying);
  int updates = 0;
  while (victim->GetState() == kCivVehicleDying && updates < 200) victim->Update(16), ++updates;
  EXPECT_EQ(victim->GetState(), kCivVehicleDead);
  EXPECT_NEAR(updates, 90, 1);  // 9.0 in steps of 0.1 (float rounding may add one)
  world->Update(0);
  EXPECT_EQ(world->GetVehicles().size(), 1u);
  EXPECT_EQ(hunter->GetTargetVehicle(), nullptr);
  EXPECT_EQ(world->GetBullets()->GetCount(), 0u);
}

// In range it shoots, each shot 1 to 5 s after the last; out of range it
// plans its pursuit every 2.5 s, by the land rule even for an air vehicle.
TEST_F(CivVehicleTest, ShootsInRangeOnTheClockAndPursuesByTheLandRule) {
  cCivModeVehicle* target = Vehicle(1, kCivLandVehicle, 0.3f);
  cCivModeVehicle* gunner = Vehicle(0, kCivLandVehicle, 0.35f);
  gunner->SetState(kCivVehicleCombat, {0, 0, 0}, target, nullptr, kCivMissionPillage);
  std::vector<uint32_t> shots;
  for (int t = 0; t < 600; ++t) {
    size_t before = world->GetBullets()->GetCount();
    gunner->Update(100);
    if (world->GetBullets()->GetCount() > before) shots.push_back(clock.Now());
    world->GetBullets()->Clear();
    clock.Advance(100);
  }
  ASSERT_GE(shots.size(), 10u);
  for (size_t i = 1; i < shots.size(); ++i) {
    EXPECT_GE(shots[i] - shots[i - 1], 1000u);
    EXPECT_LE(shots[i] - shots[i - 1], 5100u);
  }

  cCivTuning::GetVehicles()->LandVehicleMaxSlope = 0.0f;  // the land rule refuses every step
  cCivTuning::GetVehicles()->AirVehicleSpeed = 10.0f;
  cCivModeVehicle* flyer = Vehicle(0, kCivAirVehicle, 0.6f);
  flyer->SetState(kCivVehicleCombat, {0, 0, 0}, target, nullptr, kCivMissionPillage);
  clock.Advance(2501);
  Vector3 before = flyer->GetPosition();
  flyer->Update(100);
  EXPECT_EQ(flyer->GetPathLength(), 0u);  // the air rule would have found a path
  EXPECT_TRUE(Vector3Equal(flyer->GetPosition(), before));
}

TEST_F(CivVehicleTest, TheSecondToStopNearAnotherMovesToAFreeSpot) {
  cCivModeVehicle* first = Vehicle(0, kCivLandVehicle, 0.3f);
  cCivModeVehicle* second = Vehicle(0, kCivLandVehicle, 0.305f);
  first->Update(16);  // stops where it stands: the second had not stopped yet
  second->Update(16);
  ASSERT_GT(Vector3Length(second->GetWaypoint()), 1.0f);
  for (int t = 0; t < 300; ++t) second->Update(100);
  EXPECT_GE(GetPlanetModel().GetSurfaceDistance(second->GetPosition(), first->GetPosition()), 9.0f);
}

// A pillage hit kills (BulletsAlwaysHit); only the human's vehicle, with
// sound on, plays the lost-vehicle sound.
TEST_F(CivVehicleTest, OnlyTheHumansLostVehicleSoundsAndOnlyWithSoundOn) {
  int savedAlwaysHit = gCivBulletsAlwaysHit;
  gCivBulletsAlwaysHit = 1;
  struct Case { int owner; bool sound; uint32_t plays; } cases[] = {{0, true, 1}, {0, false, 0}, {1, true, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.owner * 10 + c.sound);
    cCivTuning::GetGeneral()->UseSound = c.sound;
    cCivModeVehicle* v = Vehicle(c.owner, kCivLandVehicle, 0.3f);
    uint32_t before = GetCivSoundPlayCount(eCivSound::VehicleLost);
    v->OnHit(1 - c.owner);
    EXPECT_EQ(v->GetState(), kCivVehicleDying);
    EXPECT_EQ(GetCivSoundPlayCount(eCivSound::VehicleLost) - before, c.plays);
  }
  gCivBulletsAlwaysHit = savedAlwaysHit;
}

// The human's new vehicle is marked and joins the input's selection (an NPC
// one does not); selected and standing, it turns a little toward the pick
// point each update, unselected it keeps its heading.
TEST_F(CivVehicleTest, TheHumansNewVehicleIsSelectedAndTurnsTowardThePickPoint) {
  std::vector<cCivModeVehicle*> selection;
  Vector3 pick = GroundAway(home->GetPosition(), 0.6f);
  SetCivInputHooks({[&] { return pick; }, [&](cCivModeVehicle* v) { selection.push_back(v); }});
  cCivModeVehicle* mine = world->CreateVehicle(home, kCivLandVehicle);
  home->SetNPC(true);
  cCivModeVehicle* npc = world->CreateVehicle(home, kCivLandVehicle);
  home->SetNPC(false);
  SetCivInputHooks({[&] { return pick; }, nullptr});  // the selection seam is done with
  ASSERT_EQ(selection, std::vector<cCivModeVehicle*>{mine});
  npc->SetPosition(GroundAway(home->GetPosition(), -0.6f));  // out of the way
  npc->SetDestination(npc->GetPosition());
  // How far the model's forward axis (local -z) turns from the pick point, on the ground's plane, in radians.
  auto offAngle = [&] {
    Vector3 up = Vector3Normalized(mine->GetPosition());
    auto flat = [&](Vector3 v) { return Vector3Normalized(Vector3Sub(v, Vector3Scale(up, Vector3Dot(v, up)))); };
    Vector3 forward = flat(QuatRotateVector(mine->GetSceneObject()->GetOrientation(), Vector3{0, 0, -1}));
    Vector3 toPick = flat(Vector3Sub(pick, mine->GetPosition()));
    return std::acos(std::clamp(Vector3Dot(forward, toPick), -1.0f, 1.0f));
  };
  float start = offAngle();
  ASSERT_GT(start, 0.3f);
  mine->Update(16);
  EXPECT_NEAR(offAngle(), start, 0.1f);  // unselected: no turn
  mine->SetSelected(true);
  mine->Update(16);
  float once = offAngle();
  EXPECT_LT(once, start);
  EXPECT_GT(once, start * 0.9f);  // a little at a time
  for (int t = 0; t < 300; ++t) mine->Update(16);
  EXPECT_LT(offAngle(), 0.2f);
  SetCivInputHooks({});
}

// On the way in, the first attacker down to 20 path points lets the city
// choose its target again (a turret bought meanwhile); the next one finds
// the flags spent until a new vehicle re-arms them.
TEST_F(CivVehicleTest, OnlyTheFirstAttackerNearingTheCityChoosesAgainUntilANewVehicleComes) {
  cCivModeVehicle* attackers[3];
  float angles[3] = {0.8f, -0.8f, 0.75f};
  for (int i = 0; i < 3; ++i) {
    attackers[i] = Vehicle(1, kCivLandVehicle, angles[i]);
    attackers[i]->SetState(kCivVehicleCombat, {0, 0, 0}, nullptr, home, kCivMissionPillage);
    ASSERT_GT(attackers[i]->GetPathLength(), 21u);
    ASSERT_EQ(attackers[i]->GetTargetTurret(), nullptr);
  }
  home->AddTurret();
  GetDataManager()->CommitPending();
  auto driveTo = [](cCivModeVehicle* v, size_t points) {
    for (int t = 0; t < 5000 && v->GetPathLength() > points; ++t) v->Update(100);
  };
  driveTo(attackers[0], 19);
  EXPECT_NE(attackers[0]->GetTargetTurret(), nullptr);
  driveTo(attackers[0], 9);
  driveTo(attackers[1], 9);
  EXPECT_EQ(attackers[1]->GetTargetTurret(), nullptr);
  Vehicle(0, kCivLandVehicle, -0.6f);
  driveTo(attackers[2], 19);
  EXPECT_NE(attackers[2]->GetTargetTurret(), nullptr);
}

}  // namespace
