// Civ vehicles: orders ignored while dying, shrinking to Dead and the world
// removing it with every reference dropped, the pursuit planned with the land
// rule for every kind, shots 1 to 5 s apart on the real-time clock, and two
// vehicles stopped within 10 of each other parting.
#include <gtest/gtest.h>

#include <map>

#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivWorld.h"
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
  std::vector<cCivModeVehicle*> selected;  // the human's new vehicles join the selection
  SetCivInputHooks({nullptr, [&](cCivModeVehicle* v) { selected.push_back(v); }});
  cCivModeVehicle* victim = Vehicle(1, kCivLandVehicle, 0.3f);
  cCivModeVehicle* hunter = Vehicle(0, kCivLandVehicle, 0.32f);
  SetCivInputHooks({});
  EXPECT_EQ(selected, (std::vector<cCivModeVehicle*>{victim, hunter}));
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
  Vector3 before = flyer->GetPosition();
  const uint32_t searches = CivFindPathCalls();
  clock.Advance(2500);
  flyer->Update(100);
  EXPECT_EQ(CivFindPathCalls(), searches) << "not beyond the re-path period yet";
  clock.Advance(1);
  flyer->Update(100);
  EXPECT_EQ(CivFindPathCalls(), searches + 1);
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

  // Crowded where the land rule refuses every step: the search for a spot
  // fails, and the next comes a re-path period later, not on every tick.
  cCivTuning::GetVehicles()->LandVehicleMaxSlope = 0.0f;
  cCivModeVehicle* third = Vehicle(0, kCivLandVehicle, 0.6f);
  cCivModeVehicle* fourth = Vehicle(0, kCivLandVehicle, 0.605f);
  third->Update(16);
  const uint32_t searchesBefore = CivFindPathCalls();
  for (int t = 0; t < 30; ++t) {  // 3 s
    fourth->Update(100);
    clock.Advance(100);
  }
  EXPECT_EQ(fourth->GetPathLength(), 0u);
  EXPECT_EQ(CivFindPathCalls() - searchesBefore, 2u);
}

// An enemy is seen strictly inside 60, or strictly inside 120 by a guard;
// only an owner on bad terms (below 0) is an enemy, and the dying are not.
// A fighter's target is in range to be shot at strictly inside 60 as well.
TEST_F(CivVehicleTest, SightReachesSixtyOrAGuardsHundredAndTwentyStrictly) {
  struct Row { int state; float distance, relation; bool seen; int shots = -1; } rows[] = {
      {kCivVehicleCombat, 59.9f, -1.0f, true, 1},  {kCivVehicleCombat, 60.0f, -1.0f, false, 0},
      {kCivVehicleGuard, 60.0f, -1.0f, true},   {kCivVehicleGuard, 119.9f, -1.0f, true},
      {kCivVehicleGuard, 120.0f, -1.0f, false}, {kCivVehicleCombat, 100.0f, -1.0f, false},
      {kCivVehicleGuard, 50.0f, 0.0f, false},   {kCivVehicleGuard, 50.0f, -0.01f, true},
  };
  // Gently sloping ground: on a level planet no pair of points lies exactly 60 apart.
  GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3& d) { return 10.0f + 3.0f * d.x; }));
  cCivModeVehicle* looker = Vehicle(0, kCivLandVehicle, 0.3f);
  cCivModeVehicle* other = Vehicle(1, kCivLandVehicle, 0.6f);
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "state " << r.state << " at " << r.distance << " on terms " << r.relation);
    players->GetRelationships()->Set(0, 1, r.relation);
    other->SetPosition(GroundAtExactly(looker->GetPosition(), r.distance));
    const float d = GetPlanetModel().GetSurfaceDistance(other->GetPosition(), looker->GetPosition());
    if (r.distance == 60.0f || r.distance == 120.0f) { EXPECT_EQ(d, r.distance) << "exactly at a limit"; }
    EXPECT_NEAR(d, r.distance, 0.01f);
    if (r.state == kCivVehicleGuard) looker->SetState(kCivVehicleGuard, looker->GetPosition(), nullptr, nullptr, kCivMissionPillage);
    else looker->SetState(kCivVehicleCombat, {0, 0, 0}, other, nullptr, kCivMissionPillage);
    EXPECT_EQ(looker->GetState(), r.state);
    EXPECT_EQ(world->FindVehicleTarget(looker), r.seen ? other : nullptr);
    if (r.shots < 0) continue;
    world->GetBullets()->Clear();
    clock.Advance(5001);  // past any fire period
    looker->Update(16);
    EXPECT_EQ(world->GetBullets()->GetCount(), (size_t)r.shots);
    world->GetBullets()->Clear();
  }
  other->SetPosition(GroundAtExactly(looker->GetPosition(), 50.0f));
  other->SetState(kCivVehicleDying, {0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
  EXPECT_EQ(world->FindVehicleTarget(looker), nullptr) << "the dying are no target";
}

// Each mark colours the vehicle by its own flag, the last one given deciding:
// a selection colour while set (-2 the human's, -3 an NPC's), the owner's
// when cleared, whatever the other mark holds.
TEST_F(CivVehicleTest, EachMarkColoursByItsOwnFlag) {
  struct Row { int owner; bool selected, highlighted; int shown; } rows[] = {
      {0, true, false, 0}, {0, false, true, -2}, {1, true, true, -3}, {1, true, false, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.owner * 100 + r.selected * 10 + r.highlighted);
    cCivModeVehicle* v = Vehicle(r.owner, kCivLandVehicle, 0.3f);
    v->SetNPC(r.owner != 0);
    v->SetSelected(r.selected);
    v->SetHighlighted(r.highlighted);
    EXPECT_TRUE(Vector3Equal(v->GetSceneObject()->GetColour(), CivPlayerColour(r.shown)));
  }
}

// A pillage hit kills (BulletsAlwaysHit, or a draw below the chance x 32767,
// not at it); only the human's vehicle, with sound on, plays the lost-vehicle sound.
TEST_F(CivVehicleTest, OnlyTheHumansLostVehicleSoundsAndOnlyWithSoundOn) {
  int savedAlwaysHit = gCivBulletsAlwaysHit;
  struct Case { int owner; bool sound; uint32_t plays; int roll = 0; } cases[] = {  // roll as in the city's hits
      {0, true, 1}, {0, false, 0}, {1, true, 0}, {0, true, 0, 1}, {0, true, 1, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.owner * 100 + c.sound * 10 + c.roll);
    cCivTuning::GetGeneral()->UseSound = c.sound;
    cCivModeVehicle* v = Vehicle(c.owner, kCivLandVehicle, 0.3f);
    uint32_t before = GetCivSoundPlayCount(eCivSound::VehicleLost);
    gCivBulletsAlwaysHit = !c.roll;
    cCivTuning::GetVehicles()->ChanceNPCBulletHitsPlayerVehicle = c.roll ? HitChanceAtNextDraw(c.roll == 2) : 0.0f;
    v->OnHit(1 - c.owner);
    EXPECT_EQ(v->GetState() == kCivVehicleDying, c.roll != 1);
    EXPECT_EQ(GetCivSoundPlayCount(eCivSound::VehicleLost) - before, c.plays);
  }
  gCivBulletsAlwaysHit = savedAlwaysHit;
}

// On the way in, the first attacker down to 20 path points lets the city
// choose its target again (a turret bought meanwhile); the next one finds
// the flags spent until a new vehicle re-arms them.
TEST_F(CivVehicleTest, OnlyTheFirstAttackerNearingTheCityChoosesAgainUntilANewVehicleComes) {
  std::vector<cCivModeVehicle*> attackers;
  for (float angle : {0.8f, -0.8f, 0.75f}) {
    attackers.push_back(Vehicle(1, kCivLandVehicle, angle));
    attackers.back()->SetState(kCivVehicleCombat, {0, 0, 0}, nullptr, home, kCivMissionPillage);
    ASSERT_GT(attackers.back()->GetPathLength(), 21u);
  }
  home->AddTurret();  // bought after every attacker chose its target
  auto driveTo = [](cCivModeVehicle* v, size_t points) {
    for (int t = 0; t < 5000 && v->GetPathLength() > points; ++t) v->Update(100);
    return v->GetTargetTurret() != nullptr;
  };
  EXPECT_TRUE(driveTo(attackers[0], 19));
  driveTo(attackers[0], 9);
  EXPECT_FALSE(driveTo(attackers[1], 9));
  Vehicle(0, kCivLandVehicle, -0.6f);
  EXPECT_TRUE(driveTo(attackers[2], 19));
}

// On the way in, the path is planned afresh when the points left fall to a
// multiple of 10 above 20, once at each; not at 20, where (the city's choice
// spent here by another attacker) no search runs at all.
TEST_F(CivVehicleTest, AnAttackerReplansAtEachTenthPointLeftAboveTwentyOnly) {
  const struct {
    size_t left;
    uint32_t searches;
  } rows[] = {{50, 1}, {41, 0}, {40, 1}, {31, 0}, {30, 1}, {21, 0}, {20, 0}, {19, 0}};
  cCivModeVehicle* first = Vehicle(1, kCivLandVehicle, -0.8f);
  cCivModeVehicle* attacker = Vehicle(1, kCivLandVehicle, 1.2f);
  for (cCivModeVehicle* v : {first, attacker}) v->SetState(kCivVehicleCombat, {0, 0, 0}, nullptr, home, kCivMissionPillage);
  for (int t = 0; t < 5000 && first->GetPathLength() > 9; ++t) first->Update(100);
  ASSERT_LE(first->GetPathLength(), 9u);
  ASSERT_GT(attacker->GetPathLength(), 51u);
  // The searches of each update by the points left after its move (a move takes at most one).
  std::map<size_t, uint32_t> searchesAt;
  for (int t = 0; t < 20000 && attacker->GetPathLength() > 18; ++t) {
    const size_t before = attacker->GetPathLength();
    const uint32_t calls = CivFindPathCalls();
    attacker->Update(100);
    const uint32_t searched = CivFindPathCalls() - calls;
    if (searched || attacker->GetPathLength() < before) searchesAt[before - 1] += searched;
  }
  for (const auto& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.left << " points left");
    ASSERT_EQ(searchesAt.count(r.left), 1u) << "passed on the way in";
    EXPECT_EQ(searchesAt[r.left], r.searches);
  }
}

// Selected and standing, a guard turns a little each update toward the
// cursor's ground point; with no pick (the origin) it keeps its heading (it
// once turned toward the planet's centre, tipping off the ground).
TEST_F(CivVehicleTest, ASelectedGuardTurnsTowardThePickOnlyWithOne) {
  cCivModeVehicle* v = Vehicle(0, kCivLandVehicle, 0.3f);
  Quaternion start;
  cPlanetModel::AlignOrientationToSurface(start, v->GetPosition(), QuatIdentity());
  v->GetSceneObject()->SetOrientation(start);
  v->SetSelected(true);
  Vector3 pick{0, 0, 0};
  SetCivInputHooks({[&] { return pick; }, nullptr});
  auto turnSince = [&](const Quaternion& q) {
    const Quaternion& now = v->GetSceneObject()->GetOrientation();
    return 1.0f - std::fabs(q.x * now.x + q.y * now.y + q.z * now.z + q.w * now.w);
  };
  for (int t = 0; t < 50; ++t) v->Update(16);
  EXPECT_LT(turnSince(start), 1e-6f);
  pick = GroundAway(home->GetPosition(), 0.8f);
  v->Update(16);
  EXPECT_GT(turnSince(start), 1e-6f);
  EXPECT_LT(turnSince(start), 0.01f);  // a little at a time
  SetCivInputHooks({});
}

}  // namespace

namespace {

// A fallen turret sends every attacker of its city to a new aim, but their
// searches take turns with the world's other deferrable ones: no more than
// the world's share in the tick it fell, the rest in the ticks after.
TEST_F(CivVehicleTest, AttackersOfAFallenTurretAimAnewInTurns) {
  home->AddTurret();
  ASSERT_EQ(home->GetTurrets().size(), 1u);
  std::vector<cCivModeVehicle*> attackers;
  for (int i = 0; i < 6; ++i) {
    cCivModeVehicle* v = Vehicle(1, kCivLandVehicle, 0.3f + 0.01f * (float)i);
    v->SetState(kCivVehicleCombat, {0, 0, 0}, nullptr, home, kCivMissionPillage);
    attackers.push_back(v);
  }
  gCivBulletsAlwaysHit = 1;
  home->GetTurrets()[0]->OnHit(1);
  gCivBulletsAlwaysHit = 0;
  uint32_t most = 0;
  for (int t = 0; t < 500 && !home->GetTurrets().empty(); ++t) {
    const uint32_t before = CivFindPathCalls();
    world->Update(16);
    most = std::max(most, CivFindPathCalls() - before);
  }
  ASSERT_TRUE(home->GetTurrets().empty());
  EXPECT_LE(most, (uint32_t)cCivWorld::kReplansPerTick);
  int pending = 0;
  for (cCivModeVehicle* v : attackers) pending += v->IsAimPending();
  EXPECT_GT(pending, 0);  // some wait for a later tick
  for (int t = 0; t < 5; ++t) world->Update(16);
  for (cCivModeVehicle* v : attackers) EXPECT_FALSE(v->IsAimPending());
}

// The point a vehicle keeps for the target searches measures as the planet
// does, and follows the vehicle's moves and a change of the heights.
TEST_F(CivVehicleTest, KeptSurfacePointFollowsMovesAndNewHeights) {
  cCivModeVehicle* v = Vehicle(0, kCivLandVehicle, 0.3f);
  const Vector3 other = GroundAway(home->GetPosition(), 0.5f);
  cPlanetModel& planet = GetPlanetModel();
  auto kept = [&] { return cPlanetModel::GetSurfaceDistance(v->GetSurfacePoint(), planet.GetSurfacePoint(other)); };
  EXPECT_EQ(kept(), planet.GetSurfaceDistance(v->GetPosition(), other));
  v->SetPosition(GroundAway(home->GetPosition(), 0.4f));
  EXPECT_EQ(kept(), planet.GetSurfaceDistance(v->GetPosition(), other));
  planet.SetHeightMap(MakeHeightMap([](const Vector3&) { return 30.0f; }));
  EXPECT_EQ(v->GetSurfacePoint().radius, planet.GetSurfaceRadius(v->GetPosition()));
}

// NPC vehicles whose agents fall due in one tick and all send them at a city:
// their searches take the same turns, and every one gets its aim after; a
// search that runs long is spread over the turns too.
TEST_F(CivVehicleTest, NpcVehiclesSentAtACityInOneTickSearchInTurns) {
  const int savedAI = gCivUseNPCAI;
  gCivUseNPCAI = 1;
  players->GetStrategies()->Set(1, kCivMilitary);
  std::vector<cCivModeVehicle*> sent;
  for (int i = 0; i < 6; ++i) {
    cCivModeVehicle* v = Vehicle(1, kCivLandVehicle, 0.3f + 0.03f * (float)i);  // none crowds another
    v->SetNPC(true);
    sent.push_back(v);
  }
  world->Update(16);  // the agents draw their periods (at most 6 s)
  clock.Advance(6001);
  const uint32_t before = CivFindPathCalls();
  world->Update(16);
  EXPECT_LE(CivFindPathCalls() - before, (uint32_t)cCivWorld::kReplansPerTick);
  int pending = 0;
  for (cCivModeVehicle* v : sent) {
    EXPECT_EQ(v->GetTargetCity(), home);
    pending += v->IsAimPending();
  }
  EXPECT_GT(pending, 0);
  for (int t = 0; t < 5; ++t) world->Update(16);
  for (cCivModeVehicle* v : sent) {
    EXPECT_FALSE(v->IsAimPending());
    EXPECT_GT(v->GetPathLength(), 0u);  // on its way to the city
  }

  // Where the land rule refuses every step a search finds nothing after
  // 10,000 rounds: two such share the world's rounds for a tick, standing.
  cCivTuning::GetVehicles()->LandVehicleMaxSlope = 0.0f;
  cCivModeVehicle* stuck[] = {Vehicle(1, kCivLandVehicle, 0.9f), Vehicle(1, kCivLandVehicle, 1.0f)};
  for (cCivModeVehicle* v : stuck) v->SetNPC(true);
  world->Update(16);
  clock.Advance(6001);
  world->Update(16);
  const Vector3 at = stuck[1]->GetPosition();
  int ticks = 1;
  while ((stuck[0]->IsAimPending() || stuck[1]->IsAimPending()) && ticks < 50) world->Update(16), ++ticks;
  EXPECT_GE(ticks, 2 * 10000 / cCivWorld::kSearchRoundsPerTick);
  EXPECT_LT(ticks, 50);
  for (cCivModeVehicle* v : stuck) {
    EXPECT_EQ(v->GetTargetCity(), home);
    EXPECT_EQ(v->GetPathLength(), 0u);
  }
  EXPECT_TRUE(Vector3Equal(stuck[1]->GetPosition(), at));
  gCivUseNPCAI = savedAI;
}

}  // namespace
