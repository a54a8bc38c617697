// A city under fire: surrender by mood, capture and the end of the human's
// game, embassies by relationship, and where attackers aim.
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivSounds.h"
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
  // Every embassy in `city` is expelled and gone.
  static void DropEmbassies(cCivModeDecoratedCity* city) {
    for (cCivModeDecoratedBuilding* b : city->GetBuildings())
      if (b->GetTypeId() == cCivModeEmbassyBuilding::kTypeId) b->SetState(kCivRemoved);
    city->Update(0);
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
      {2.5f, 5.0f, true}, {2.5f, 4.99f, false}, {1.5f, 0.0f, true}, {1.5f, -0.01f, false},
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

// A hit that lands on an NPC city sets its goal to Turret before a building
// falls, and the fallen building costs the mood EffectBuildingDestroyed; a
// miss, or a city with nothing standing, loses no mood; the human's city
// keeps its agent's goal, and rings its alarm only after more than 10 s of
// quiet, also when the clock wraps in the quiet. A hit lands when the draw is
// below the chance x 32767, not at it.
TEST_F(CivCombatTest, HitsCostMoodPerFallenBuildingAndSetAnNpcCitysGoal) {
  constexpr uint64_t kWrap = uint64_t{1} << 32;
  StartCombat(1, 2, 0.0f);
  cCivTuning::GetGeneral()->UseSound = true;
  cCivTuning::GetHappiness()->EffectBuildingDestroyed = -2.0f;
  for (float& t : cCivTuning::GetAgent()->BuildingsDestroyedBeforeSurrender) t = 2.0f;  // no surrender here
  cCivTuning::GetVehicles()->ChancePlayerBulletHitsNPCCity = cCivTuning::GetVehicles()->ChanceNPCBulletHitsPlayerCity = 0.0f;
  struct Row {
    int owner; bool lands; int standing; float mood, moodAfter; int goalAfter; uint32_t quietMs = 0, alarms = 0;
    int roll = 0;  // by the debug switch; else 1: the chance exactly at the draw, 2: just past it
    uint64_t hitAt = 0;  // the clock's count at the hit (it leaps to the last one, quietMs before); 0: where it runs
  } rows[] = {
      {1, true, 2, 0.0f, -2.0f, kCivGoalTurret},  {1, false, 2, 0.0f, 0.0f, kCivGoalWealth},
      {1, true, 0, 0.0f, 0.0f, kCivGoalTurret},   {0, true, 2, -9.0f, -10.0f, kCivGoalWealth},
      {0, false, 0, 0.0f, 0.0f, kCivGoalWealth, 10000, 0}, {0, false, 0, 0.0f, 0.0f, kCivGoalWealth, 10001, 1},
      {1, false, 2, 0.0f, 0.0f, kCivGoalWealth, 0, 0, 1}, {1, true, 2, 0.0f, -2.0f, kCivGoalTurret, 0, 0, 2},
      // The last hit just before the wrap: 10000 ms on from it lies past it; the hit comes at it.
      {0, false, 0, 0.0f, 0.0f, kCivGoalWealth, 9999, 0, 0, kWrap - 1},
      {0, false, 0, 0.0f, 0.0f, kCivGoalWealth, 10001, 1, 0, kWrap},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "owner " << r.owner << (r.lands ? " hit" : " missed") << " standing " << r.standing
                                    << " after " << r.quietMs << " ms at " << r.hitAt);
    if (r.hitAt) {
      clock.Set((uint32_t)(r.hitAt - r.quietMs));
      home->SetLastHitTime(clock.Now());
    }
    clock.Advance(r.quietMs);
    const uint32_t alarms = GetCivSoundPlayCount(eCivSound::UnderAttack);
    home->SetOwner(r.owner);
    for (cCivModeDecoratedBuilding* b : home->GetBuildings()) b->SetState(r.standing > 0 ? kCivIntact : kCivRubble);
    home->GetMood()->Set(r.mood);
    home->GetAgent()->SetGoal(kCivGoalWealth, nullptr);
    gCivBulletsAlwaysHit = r.lands && !r.roll;
    cCivTuning::GetVehicles()->ChancePlayerBulletHitsNPCCity = r.roll ? HitChanceAtNextDraw(r.roll == 2) : 0.0f;
    home->OnHit(1 - r.owner);
    EXPECT_EQ(home->GetMood()->GetValue(), r.moodAfter);
    EXPECT_EQ(home->GetAgent()->GetGoal(), r.goalAfter);
    EXPECT_EQ(home->CountIntactBuildings(), r.lands && r.standing > 0 ? r.standing - 1 : r.standing);
    EXPECT_EQ(GetCivSoundPlayCount(eCivSound::UnderAttack) - alarms, r.alarms);
  }
  HideCivEventNotice();
}

// A captured NPC city that was researching takes the research under way with
// it (level 1 falls to 0, 3 to 2); other goals and levels, the new owner's
// level and a city the human loses keep theirs. The embassy of a player the
// new owner is on terms below 0 with is expelled; at exactly 0 it stays.
TEST_F(CivCombatTest, CaptureRollsBackOnlyTheOldOwnersResearchUnderWay) {
  StartCombat(1, 2, 0.0f);
  players = std::make_unique<cCivPlayers>(3, 0, cCivTuning::GetRelationships());
  SetCivPlayers(players.get());
  cCivModeDecoratedCity* other = SecondCity(2);  // the game goes on after each capture
  struct Row { int from, to, goal, level, levelAfter; float embassyTerms = 1.0f; bool expelled = false; } rows[] = {
      {1, 2, kCivGoalUpgradeAmphibious, 1, 0}, {1, 2, kCivGoalUpgradeAeronautics, 3, 2},
      {1, 0, kCivGoalUpgradeAmphibious, 2, 2}, {1, 2, kCivGoalWealth, 1, 1},
      {1, 0, kCivGoalUpgradeAeronautics, 4, 4}, {0, 1, kCivGoalUpgradeAmphibious, 1, 1},
      {1, 0, kCivGoalWealth, 0, 0, -0.01f, true}, {1, 0, kCivGoalWealth, 0, 0, 0.0f, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.from << " to " << r.to << " goal " << r.goal << " level " << r.level);
    home->SetOwner(r.from);
    DropEmbassies(home);
    home->EstablishEmbassy(other);
    cCivModeEmbassyBuilding* embassy = home->FindEmbassy(2);
    home->GetAgent()->SetGoal(kCivGoalWealth, nullptr);
    home->GetAgent()->SetGoal(r.goal, nullptr);
    players->GetUpgradeLevels()->Set(r.from, r.level);
    players->GetUpgradeLevels()->Set(r.to, 3);
    players->GetRelationships()->Set(r.to, 2, r.embassyTerms);
    home->ChangeOwner(r.to);
    EXPECT_EQ(players->GetUpgradeLevels()->Get(r.from), r.levelAfter);
    EXPECT_EQ(players->GetUpgradeLevels()->Get(r.to), 3);
    EXPECT_EQ(embassy->GetState() == kCivRemoved, r.expelled);
  }
}

// An NPC city expels an embassy of a player it is on bad terms with when
// rand() / 32767 < -relationship x BasePercentChanceNPCExpelsEmbassy; the
// world asks only NPC cities, each about the other player.
TEST_F(CivCombatTest, NpcCitiesExpelByChanceAndOnlyTheyAreAsked) {
  StartCombat(1, 2, 0.0f);
  cCivModeDecoratedCity* human = SecondCity(0);
  struct Row { float relation, share; bool expelled; } rows[] = {
      {-2.0f, 1.01f, true}, {-2.0f, 0.99f, false}, {-0.5f, 1.01f, true}, {0.0f, 1e6f, false}, {1.0f, 1e6f, false},
      {-2.0f, 1.0f, false}};  // a draw exactly at the chance stays
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.relation << " " << r.share);
    DropEmbassies(home);
    home->EstablishEmbassy(human);
    players->GetRelationships()->Set(0, 1, r.relation);
    Sys_SeedRandom(5);
    const float draw = (float)Sys_Random() * (1.0f / 32767.0f);
    Sys_SeedRandom(5);
    cCivTuning::GetAgent()->BaseChanceNPCExpelsEmbassy = draw / -std::min(r.relation, -0.5f) * r.share;
    home->ConsiderExpellingEmbassy(0);
    EXPECT_EQ(home->FindEmbassy(0) == nullptr, r.expelled);
    home->Update(0);  // the expelled one leaves
  }
  DropEmbassies(home);
  home->EstablishEmbassy(human);
  human->EstablishEmbassy(home);
  cCivTuning::GetAgent()->BaseChanceNPCExpelsEmbassy = 100.0f;
  players->GetRelationships()->Set(0, 1, -5.0f);
  world->ExpelEmbassies(0, 1);
  EXPECT_EQ(home->FindEmbassy(0), nullptr) << "the NPC city, owned by the second, expels the first's";
  EXPECT_NE(human->FindEmbassy(1), nullptr) << "the human's city is not asked";
  home->Update(0);
  home->EstablishEmbassy(human);
  world->ExpelEmbassies(1, 0);
  EXPECT_EQ(home->FindEmbassy(0), nullptr) << "nor does the order of the two matter";
}

// An expelled embassy takes the trade routes between its city and its source
// both ways, unless another embassy of its owner stays there or the city at
// the owner's index holds an embassy of this city's owner; the relation
// takes EffectRejectOrRemoveEmbassy.
TEST_F(CivCombatTest, ExpelledEmbassyTakesTheTradeRoutesWithItsSourceUnlessATieStays) {
  StartCombat(1, 2, -1.0f);
  cCivModeDecoratedCity* human = SecondCity(0);
  std::swap(Cities()[0], Cities()[1]);  // the human's city stands at player 0's index
  cCivTuning::GetRelationships()->EffectRejectOrRemoveEmbassy = -2.0f;
  struct Row { bool secondEmbassy, embassyBack, routesGo; } rows[] = {{false, false, true}, {true, false, false}, {false, true, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.secondEmbassy << r.embassyBack);
    for (cCivModeDecoratedCity* from : {home, human}) {
      cCivModeRoad* route = world->CreateRoad();
      route->SetStart(from), route->SetEnd(from == home ? human : home), route->SetKind(kCivTradeRoute);
      from->AddRoad(route);
    }
    home->EstablishEmbassy(human);
    cCivModeEmbassyBuilding* embassy = home->FindEmbassy(0);
    if (r.secondEmbassy) home->EstablishEmbassy(human);
    if (r.embassyBack) human->EstablishEmbassy(home);
    players->GetRelationships()->Set(0, 1, -1.0f);
    home->ExpelEmbassy(embassy);
    EXPECT_EQ(embassy->GetState(), kCivRemoved);
    EXPECT_EQ(players->GetRelationships()->Get(0, 1), -3.0f);
    EXPECT_EQ(home->GetRoads().empty(), r.routesGo);
    EXPECT_EQ(human->GetRoads().empty(), r.routesGo);
    for (cCivModeDecoratedCity* city : {home, human}) {
      DropEmbassies(city);
      city->RemoveRoadsTo(city == home ? human : home);
    }
  }
}

// An embassy mission: the shot carries the home city and the vehicle, which
// may die of it by PercentChanceDieAfterShootingDiplomaticBullet; a founded
// embassy ends the vehicle, mourned aloud only when a human city took the
// human's vehicle's embassy.
TEST_F(CivCombatTest, DiplomaticShotsCarryTheirVehicleWhichDiesOfItOrOfSuccess) {
  StartCombat(1, 2, 0.0f);
  cCivModeDecoratedCity* human = SecondCity(0);
  cCivTuningVehicles& chances = *cCivTuning::GetVehicles();
  for (float die : {0.0f, 1.0f}) {
    SCOPED_TRACE(die);
    chances.ChanceDieAfterShootingDiplomaticBullet = die;
    chances.ChanceNPCBulletHitsNPCVehicle = chances.ChanceNPCBulletHitsPlayerVehicle = chances.ChancePlayerBulletHitsNPCVehicle = 1.0f - die;
    cCivModeVehicle* envoy = world->CreateVehicle(human, kCivLandVehicle);
    envoy->SetState(kCivVehicleCombat, {0, 0, 0}, nullptr, home, kCivMissionEmbassy);
    envoy->SetPosition(envoy->GetWaypoint());
    envoy->SetDestination(envoy->GetPosition());
    world->GetBullets()->Clear();
    for (int t = 0; t < 5 && world->GetBullets()->GetCount() == 0; ++t) envoy->Update(16);
    ASSERT_EQ(world->GetBullets()->GetCount(), 1u);
    auto* shot = dynamic_cast<cCivDiplomaticBullet*>(world->GetBullets()->GetBullets().front());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->GetVehicle(), envoy);
    EXPECT_EQ(shot->GetTarget(), static_cast<cICivModeVictim*>(home));
    EXPECT_EQ(envoy->GetState(), die > 0.0f ? kCivVehicleDying : kCivVehicleCombat);
    world->GetBullets()->Clear();
    envoy->SetPosition(GroundAway(home->GetPosition(), 1.0f));  // out of the next one's way
  }

  gCivBulletsAlwaysHit = 1;
  cCivTuning::GetGeneral()->UseSound = true;
  struct Row { int cityOwner, senderOwner; uint32_t mourned; } rows[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "city " << r.cityOwner << " sender " << r.senderOwner);
    home->SetOwner(r.cityOwner);
    human->SetOwner(r.senderOwner);
    cCivModeVehicle* envoy = world->CreateVehicle(human, kCivLandVehicle);
    const uint32_t sounds = GetCivSoundPlayCount(eCivSound::VehicleLost);
    home->OnDiplomaticHit(human, envoy);
    EXPECT_NE(home->FindEmbassy(r.senderOwner), nullptr);
    EXPECT_EQ(envoy->GetState(), kCivVehicleDying);
    EXPECT_EQ(GetCivSoundPlayCount(eCivSound::VehicleLost) - sounds, r.mourned);
    home->ExpelEmbassy(home->FindEmbassy(r.senderOwner));
    home->Update(0);
  }
  cCivTuning::GetGeneral()->UseSound = false;
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
