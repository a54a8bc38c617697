// The civ world: the start layout (places, owners, mood quotas), re-entry,
// the mood decay on the game clock, the camera's cycle over the human's
// cities, and the save bridge (a load empties the world; a city record made
// elsewhere becomes a civ city).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "camera/Camera.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTurret.h"
#include "world/scene/SceneManager.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "CivTestSupport.h"
#include "tests/sim/SaveFileBytes.h"
#include "tests/support/RunDigest.h"
#include "world/scene/SceneObject.h"

namespace {

using CivWorldTest = CivWorldFixture;

TEST_F(CivWorldTest, StartLayoutPlacesOwnsAndMoodsEveryCityOnce) {
  Sys_SeedRandom(11);
  Build(10, 5, 0);
  world->Enter();
  ASSERT_EQ(Cities().size(), 10u);
  int perCategory[kCivMoodCount] = {};
  for (int k = 0; k < 10; ++k) {
    cCivModeDecoratedCity* city = Cities()[k];
    EXPECT_EQ(city->GetOwner(), k / 2) << k;
    EXPECT_EQ(city->IsNPC(), k >= 2);
    Ru::Math::Vector3 want = cCivWorld::StartPosition(k, false), got = city->GetPosition();
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.z, want.z);
    if (city->IsNPC()) ++perCategory[city->GetMood()->GetCategory()];
    else EXPECT_EQ(city->GetMood()->GetValue(), 0.0f);
  }
  const int quota[kCivMoodCount] = {1, 2, 2, 2, 2};  // ten cities: two neutral
  for (int m = 0; m < kCivMoodCount; ++m) EXPECT_LE(perCategory[m], quota[m]) << m;

  // Re-entry creates no city and draws nothing.
  Sys_SeedRandom(5);
  world->Enter();
  EXPECT_EQ(Cities().size(), 10u);
  int next = Sys_Random();
  Sys_SeedRandom(5);
  EXPECT_EQ(next, Sys_Random());

  // Neutral takes two only with exactly ten cities: each layout leaves as
  // many NPC cities as its quotas have places, and every one takes a mood.
  struct Row { int cities; int quota[kCivMoodCount]; } rows[] = {{10, {1, 2, 2, 2, 2}}, {9, {1, 2, 1, 2, 2}}};
  for (const Row& r : rows) {
    bridge.BeforeLoad();  // the last layout goes
    Build(r.cities, r.cities, 0);
    world->Enter();
    int drawn[kCivMoodCount] = {};
    for (cCivModeDecoratedCity* city : Cities())
      if (city->IsNPC()) {
        EXPECT_NE(city->GetMood()->GetValue(), 0.0f) << r.cities << " cities";
        ++drawn[city->GetMood()->GetCategory()];
      }
    for (int m = 0; m < kCivMoodCount; ++m) EXPECT_EQ(drawn[m], r.quota[m]) << r.cities << " cities, band " << m;
  }
}

TEST_F(CivWorldTest, EntryClearsThePolesOfPlants) {
  cPlanetModel& planet = GetPlanetModel();
  for (float y : {510.0f, -510.0f}) {
    planet.CreatePlant({0.0f, y, 0.0f});
    planet.CreatePlant({300.0f, y * 0.8f, 0.0f});  // 300 from the pole point: inside 350
  }
  planet.CreatePlant({510.0f, 0.0f, 0.0f});  // on the equator: stays
  Build(0, 2, 0);
  world->Enter();
  ASSERT_EQ(planet.GetPlants().size(), 1u);
  planet.RemovePlantsInRadius({510.0f, 0.0f, 0.0f}, 1.0f);
}

TEST_F(CivWorldTest, StartPlacesAndOwnersFollowTheTables) {
  EXPECT_EQ(cCivWorld::StartPosition(1, true).x, cCivWorld::StartPosition(2, false).x);  // the test camera skips a row
  EXPECT_EQ(cCivWorld::StartPosition(8, true).z, cCivWorld::StartPosition(9, false).z);
  for (auto [index, test] : {std::pair{9, true}, {10, false}, {-1, false}}) {
    Ru::Math::Vector3 p = cCivWorld::StartPosition(index, test);
    EXPECT_EQ(p.x * p.x + p.y * p.y + p.z * p.z, 0.0f) << index;
  }
  EXPECT_EQ(cCivWorld::StartOwner(2, 3, 2), 1);  // 3 cities of 2 players: the ratio is not whole
}

TEST_F(CivWorldTest, MoodsDecayOnTheGameClockOnly) {
  Build(4, 2, 0);
  cCivTuning::GetHappiness()->DecayPeriodMs = 30000.0f;
  world->Enter();
  cCivWorld::RestartMoodDecayForTest();
  for (cCivModeDecoratedCity* city : Cities()) city->GetMood()->Set(5.0f);
  // Only once more than the period has passed on the game clock; with no
  // period, on every tick in which that clock moved.
  struct Row { float periodMs; uint32_t advanceMs, tickMs; float mood; } rows[] = {
      {30000.0f, 0, 100000, 5.0f},  // a long tick, but the game clock stood still
      {30000.0f, 30000, 16, 5.0f}, {30000.0f, 1, 16, 4.0f}, {0.0f, 0, 16, 4.0f},
      {0.0f, 1, 16, 3.0f},         {0.0f, 1, 16, 2.0f},     {30000.0f, 100, 16, 2.0f}};
  for (const Row& r : rows) {
    cCivTuning::GetHappiness()->DecayPeriodMs = r.periodMs;
    clock.Advance(r.advanceMs);
    world->Update(r.tickMs);
    for (cCivModeDecoratedCity* city : Cities())
      EXPECT_EQ(city->GetMood()->GetValue(), r.mood) << "period " << r.periodMs << " after " << r.advanceMs;
  }
}

TEST_F(CivWorldTest, FocusCycleVisitsNearestHumanCityFirstThenStartsOver) {
  Build(4, 2, 1);  // the human owns cities 2 and 3
  world->Enter();
  Ru::Math::Vector3 nearB = Cities()[3]->GetPosition();
  Ru::Math::Quaternion identity;
  SetCameraAnchorFrame(&nearB.x, &identity.x);
  std::vector<cCivModeDecoratedCity*> visited;
  for (int i = 0; i < 3; ++i) {
    visited.push_back(world->NextPlayerCity());
    world->FocusNextPlayerCity(true);
    SetCameraAnchorFrame(&nearB.x, &identity.x);  // keep the anchor where the test wants it
  }
  EXPECT_EQ(visited, (std::vector<cCivModeDecoratedCity*>{Cities()[3], Cities()[2], Cities()[3]}));
}

TEST_F(CivWorldTest, SavesHoldNoCivObjectLoadsEmptyTheWorldAndForeignRecordsBecomeCities) {
  Build(3, 2, 0);
  world->Enter();
  cDataManager* data = GetDataManager();
  data->AddClient(&bridgeClient);
  data->CommitPending();
  EXPECT_EQ(data->GetObjectsOfType(cCityCommon::kTypeId).size(), 3u);  // the civ's own records make no second city
  ASSERT_EQ(Cities().size(), 3u);
  ASSERT_GT(Cities()[0]->GetBuildingCount(), 0);

  cScratchDir dir;
  ASSERT_TRUE(data->Save(dir.File("civ.sav")));
  std::ifstream in(dir.File("civ.sav"), std::ios::binary);
  std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(saved, CheckedSave(""));  // not one civ chunk
  ASSERT_TRUE(data->LoadFromBytes((const uint8_t*)saved.data(), saved.size()));
  data->CommitPending();
  EXPECT_TRUE(Cities().empty());
  for (uint32_t type : {cCityCommon::kTypeId, cBuildingCommon::kTypeId, cCivModeDecoratedCity::kTypeId,
                        cCivModeHappinessBuilding::kTypeId})
    EXPECT_TRUE(data->GetObjectsOfType(type).empty()) << std::hex << type;

  // The city mode's records, the player's and another.
  auto* player = data->CreateObject<cCityCommon>();
  player->SetPlayerCity(true);
  player->SetPosition({0.0f, 510.0f, 0.0f});
  data->CreateObject<cCityCommon>();
  data->CommitPending();
  ASSERT_EQ(Cities().size(), 2u);
  EXPECT_EQ(Cities()[0]->GetOwner(), 0);
  EXPECT_FALSE(Cities()[0]->IsNPC());
  EXPECT_EQ(Cities()[0]->GetMarker()->GetPosition().y, 510.0f);
  EXPECT_EQ(Cities()[1]->GetOwner(), -1);
  auto* brick = data->CreateObject<cBuildingCommon>();  // a building of the city mode joins its city
  data->CommitPending();
  ASSERT_EQ(Cities()[0]->GetBuildingCount(), 1);
  EXPECT_EQ(world->FindBuildingByRecord(brick), Cities()[0]->GetBuildings()[0]);
  EXPECT_EQ(world->FindCityOfBuildingRecord(brick), Cities()[0]);
  world->Enter();  // one short of three: one more city, at the third place
  EXPECT_EQ(Cities().size(), 3u);
}

TEST_F(CivWorldTest, ModeRunsTheWorldAtTheSimulationSpeed) {
  Sys_SeedRandom(3);
  cCivTuning::GetGeneral()->NumCities = 1;
  cCivTuning::GetGeneral()->HumanPlayerId = 1;  // not the city's owner
  cCivGameMode mode;
  // As in the game: new objects join the data manager every frame, and a
  // removed one is let go of by whatever aimed at it.
  GetDataManager()->AddClient(&bridgeClient);
  auto frame = [&](bool worldAlone) {
    clock.Advance(100);
    if (worldAlone) mode.GetWorld()->Update(50);
    else mode.Update(16);
    GetDataManager()->CommitPending();
  };
  mode.GetWorld()->Enter();
  cCivModeDecoratedCity* city = Cities()[0];
  float gained[3];
  for (int speed : {0, 1, 3}) {
    gCivSimulationSpeed = speed;
    city->SetMoney(0.0f);
    mode.Update(16);
    gained[speed == 3 ? 2 : speed] = city->GetMoney();
  }
  EXPECT_EQ(gained[0], 0.0f);
  EXPECT_GT(gained[1], 0.0f);
  EXPECT_FLOAT_EQ(gained[2], 3.0f * gained[1]);

  // Speed 0 stands still: every agent and timer the world runs, with its
  // period passed on the real clock (a tick is 100 ms of it), changes no city,
  // turret, vehicle, goal, mood or relationship; at 1 the same row acts, so it
  // was due. The world ticked by itself (the sniff test) is not the mode at 0.
  cCivWorld* world = mode.GetWorld();
  struct cRestore {
    int32_t useAI = gCivUseNPCAI, alwaysHit = gCivBulletsAlwaysHit;
    ~cRestore() { gCivUseNPCAI = useAI, gCivBulletsAlwaysHit = alwaysHit, gCivSimulationSpeed = 1; }
  } restore;
  const int owner = city->GetOwner(), enemyOwner = (owner + 1) % GetCivPlayers()->GetPlayerCount();
  ASSERT_NE(owner, GetCivHumanPlayer());  // the players' agent plans for it
  GetCivPlayers()->GetRelationships()->Set(owner, enemyOwner, -5.0f);
  city->AddTurret();
  const Ru::Math::Vector3 tower = *city->GetTurrets()[0]->GetVictimPosition();
  auto listed = [&](uint32_t id) {
    const std::vector<cCivModeVehicle*>& all = world->GetVehicles();
    return std::any_of(all.begin(), all.end(), [&](cCivModeVehicle* v) { return v->GetId() == id; });
  };
  // All that speed 0 must leave as it is.
  auto still = [&] {
    std::ostringstream s;
    s << std::hexfloat;
    for (cCivModeDecoratedCity* c : Cities()) {
      s << "city " << c->GetOwner() << ' ' << c->GetMoney() << ' ' << c->GetMood()->GetValue() << ' '
        << c->GetBuildingCount() << ' ' << c->CountIntactBuildings() << ' ' << c->GetRoads().size() << ' '
        << c->GetAgent()->GetGoal() << ' ' << c->GetLastHitTime() << '\n';
      for (cCivModeTurret* t : c->GetTurrets())
        s << " turret " << t->GetSlot() << ' ' << t->GetState() << ' ' << (t->GetTarget() ? t->GetTarget()->GetId() : 0)
          << ' ' << t->GetYaw() << ' ' << t->GetPitch() << ' ' << t->GetScale().x << '\n';
    }
    for (cCivModeVehicle* v : world->GetVehicles()) {
      const Ru::Math::Vector3 &p = v->GetPosition(), &w = v->GetWaypoint();
      s << "vehicle " << v->GetId() << ' ' << v->GetState() << ' ' << p.x << ' ' << p.y << ' ' << p.z << ' ' << w.x << ' '
        << w.y << ' ' << w.z << ' ' << v->GetPathLength() << ' ' << v->IsAimPending() << ' '
        << (v->GetTargetVehicle() ? v->GetTargetVehicle()->GetId() : 0) << ' ' << v->GetTargetCity() << ' '
        << v->GetTargetTurret() << ' ' << v->GetScale() << '\n';
    }
    cCivPlayers& players = *GetCivPlayers();
    for (int a = 0; a < players.GetPlayerCount(); ++a) {
      s << "player " << players.GetUpgradeLevels()->Get(a) << ' ' << players.GetCivPools()[a];
      for (int b = 0; b < players.GetPlayerCount(); ++b) s << ' ' << players.GetRelationships()->Get(a, b);
      s << '\n';
    }
    return s.str();
  };
  enum Who { kCityAgent, kPlayerAgent, kMoodDecay, kTurret, kDyingTurret, kGunner, kPursuer, kCrowded, kDyingVehicle,
             kBullet, kGuard, kVehicleAgent };
  const char* const kNames[] = {"city agent", "players' agent", "mood decay", "turret", "dying turret", "gunner",
                                "pursuer", "crowded", "dying vehicle", "bullet", "guard", "vehicle agent"};
  const struct {
    int speed;
    Who who;
    int ticks;
    bool acts;
    int goal = kCivGoalWealth;  // the city's, set first
    bool worldAlone = false;
  } rows[] = {
      {0, kCityAgent, 41, false, kCivGoalTurret},      {0, kCityAgent, 41, false, kCivGoalVehicle},
      {0, kCityAgent, 41, false, kCivGoalNewBuilding}, {1, kCityAgent, 41, true, kCivGoalNewBuilding},
      {1, kCityAgent, 41, true, kCivGoalVehicle},      {0, kCityAgent, 41, true, kCivGoalNewBuilding, true},
      {0, kPlayerAgent, 31, false},                    {1, kPlayerAgent, 31, true},
      {0, kMoodDecay, 31, false},                      {1, kMoodDecay, 31, true},
      {0, kTurret, 600, false},                        {1, kTurret, 600, true},
      {0, kDyingTurret, 110, false},                   {1, kDyingTurret, 110, true},
      {0, kGunner, 600, false},                        {1, kGunner, 600, true},
      {0, kPursuer, 30, false},                        {1, kPursuer, 30, true},
      {0, kCrowded, 5, false},                         {1, kCrowded, 5, true},
      {0, kDyingVehicle, 95, false},                   {1, kDyingVehicle, 95, true},
      {0, kBullet, 1, false},                          {1, kBullet, 1, true},
      {0, kGuard, 70, false},                          {1, kGuard, 70, true},
      {0, kVehicleAgent, 70, false},                   {1, kVehicleAgent, 70, true},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << "speed " << r.speed << ", " << kNames[r.who] << ", goal " << r.goal
                                    << (r.worldAlone ? ", world alone" : ""));
    gCivSimulationSpeed = r.speed;
    gCivUseNPCAI = r.who == kCityAgent || r.who == kGuard || r.who == kVehicleAgent;
    gCivBulletsAlwaysHit = 1;  // a hit the setup gives, or a bullet's at 1, is sure
    city->SetMoney(100000.0f);
    city->GetAgent()->SetGoal(r.goal, nullptr);
    // The actor (a vehicle of the city's owner) and the other beside it: an
    // enemy, out of range of a pursuer; for the crowded, its own, too near.
    const float away = r.who == kTurret ? 0.0f : r.who == kGunner ? 2.0f : r.who == kGuard ? 1.0f : 1.5f;
    const Ru::Math::Vector3 at = GroundAway(tower, away);
    const bool withActor = r.who >= kGunner && r.who != kBullet;
    const bool withOther = r.who == kTurret || (r.who >= kGunner && r.who != kDyingVehicle);
    cCivModeVehicle* actor = withActor ? Stand(world, city, owner, at) : nullptr;
    cCivModeVehicle* enemy =
        withOther ? Stand(world, city, r.who == kCrowded ? owner : enemyOwner,
                          GroundAway(at, r.who == kPursuer ? 0.2f : r.who == kCrowded ? 0.005f : 0.02f))
                  : nullptr;
    if (r.who == kGunner || r.who == kPursuer)
      actor->SetState(kCivVehicleCombat, {0, 0, 0}, enemy, nullptr, kCivMissionPillage);
    if (r.who == kGuard) actor->SetState(kCivVehicleGuard, at, nullptr, nullptr, kCivMissionPillage);
    if (r.who == kVehicleAgent)  // in combat with no target: only its agent gives it one
      actor->SetState(kCivVehicleCombat, at, nullptr, nullptr, kCivMissionPillage);
    if (r.who == kDyingVehicle) actor->SetState(kCivVehicleDying, {0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
    if (r.who == kBullet) world->GetBullets()->Spawn(enemy->GetPosition(), enemy, city, kCivPillageBullet, nullptr);
    cCivModeTurret* dying = nullptr;
    if (r.who == kDyingTurret) {
      const size_t had = city->GetTurrets().size();
      city->AddTurret();
      ASSERT_EQ(city->GetTurrets().size(), had + 1);
      dying = city->GetTurrets().back();
      dying->OnHit(enemyOwner);
    }
    if (r.who == kMoodDecay) {
      cCivTuning::GetHappiness()->DecayPeriodMs = 3000.0f;
      city->GetMood()->Set(5.0f);
      cCivWorld::RestartMoodDecayForTest();
    }
    GetDataManager()->CommitPending();
    const size_t turrets = city->GetTurrets().size(), vehicles = world->GetVehicles().size();
    const int buildings = city->GetBuildingCount();
    const uint32_t actorId = actor ? actor->GetId() : 0, enemyId = enemy ? enemy->GetId() : 0;
    const Ru::Math::Vector3 actorAt = actor ? actor->GetPosition() : at, enemyAt = enemy ? enemy->GetPosition() : at;
    const std::string before = still();
    size_t shots = 0;
    for (int tick = 0; tick < r.ticks; ++tick) {
      frame(r.worldAlone);
      shots += world->GetBullets()->GetCount();
      world->GetBullets()->Clear();
    }
    auto moved = [](cCivModeVehicle* v, const Ru::Math::Vector3& from) {
      return !Ru::Math::Vector3Equal(v->GetPosition(), from);
    };
    bool acted = false;
    switch (r.who) {
      case kCityAgent:
        acted = city->GetTurrets().size() != turrets || city->GetBuildingCount() != buildings ||
                world->GetVehicles().size() != vehicles;
        break;
      case kPlayerAgent: acted = city->GetAgent()->GetGoal() != r.goal; break;
      case kMoodDecay: acted = city->GetMood()->GetValue() < 5.0f; break;
      case kTurret:
      case kGunner: acted = shots > 0; break;
      case kDyingTurret:
        acted = std::find(city->GetTurrets().begin(), city->GetTurrets().end(), dying) == city->GetTurrets().end();
        break;
      case kPursuer: acted = moved(actor, actorAt); break;
      case kCrowded: acted = moved(actor, actorAt) || moved(enemy, enemyAt); break;
      case kDyingVehicle: acted = !listed(actorId); break;
      case kBullet: acted = enemy->GetState() != kCivVehicleGuard; break;
      case kGuard: acted = actor->GetState() != kCivVehicleGuard; break;
      case kVehicleAgent: acted = actor->GetTargetVehicle() == enemy; break;
    }
    EXPECT_EQ(acted, r.acts);
    if (r.speed == 0 && !r.worldAlone) {
      EXPECT_EQ(still(), before);
    }
    for (auto [v, id] : {std::pair{enemy, enemyId}, {actor, actorId}})  // out of the way, each side apart
      if (v && listed(id)) Stand(v, GroundAway(tower, v->GetOwner() == owner ? 4.0f : 3.0f));
  }
}

// The right button works the camera as the middle one does: while held the
// frame drags the camera and a move keeps the grabbed ground (at the press's
// radius) under the cursor; a press shorter than 500 ms also moves the camera
// to the clicked point.
TEST_F(CivWorldTest, RightAndMiddleButtonsBothWorkTheCamera) {
  cCivTuning::GetGeneral()->NumCities = 1;
  cCivGameMode mode;
  cFakeCivView view;
  cCivInputController::SetViewForTest(&view);
  view.defaultGround = Ru::Math::Vector3{0.0f, 0.0f, 510.0f};
  struct Row { bool right; uint32_t held; int moves; } rows[] = {{true, 499, 1}, {true, 500, 0}, {false, 499, 1}, {false, 500, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << (r.right ? "right " : "middle ") << r.held);
    const int moves = view.moves, drags = view.drags, focuses = view.focuses;
    gCivFocusCycleOn = 1;
    r.right ? mode.OnRightButtonDown(5, 5) : mode.OnMiddleButtonDown(5, 5);
    EXPECT_EQ(gCivFocusCycleOn, 0);
    view.defaultGround = Ru::Math::Vector3{0.0f, 0.0f, 520.0f};  // the cursor's ray meets a hill
    mode.OnMouseMove(6, 6);
    EXPECT_EQ(view.focuses, focuses + 1);
    EXPECT_FLOAT_EQ(Ru::Math::Vector3Length(mode.GetInput()->GetCursorGroundPoint()), 510.0f);
    mode.Update(16);
    EXPECT_EQ(view.drags, drags + 1);
    clock.Advance(r.held);
    r.right ? mode.OnRightButtonUp(5, 5) : mode.OnMiddleButtonUp(5, 5);
    EXPECT_EQ(view.moves, moves + r.moves);
    mode.Update(16);
    mode.OnMouseMove(6, 6);
    EXPECT_EQ(view.drags, drags + 1) << "no drag once released";
    EXPECT_EQ(view.focuses, focuses + 1);
    view.defaultGround = Ru::Math::Vector3{0.0f, 0.0f, 510.0f};
  }
  cCivInputController::SetViewForTest(nullptr);
}


// The NPC world's seeded long run: prepared for the sniff test (every city
// an NPC), the mode plays ten minutes of 50 ms frames on moving clocks, then
// its sniff test runs 1200 ticks in a row. Every frame keeps the rules; twice
// from one seed both end alike; the NPCs buy vehicles and fire bullets.
TEST_F(CivWorldTest, SniffTestPlaysTheNpcWorldAlikeTwiceFromOneSeed) {
  GetDataManager()->AddClient(&bridgeClient);
  size_t mostVehicles = 0, mostTurrets = 0, mostBullets = 0;
  auto run = [&] {
    Sys_SeedRandom(2026);
    cCivGameMode mode;
    mode.GetWorld()->Enter();
    cCivWorld::RestartMoodDecayForTest();
    mode.PreSniffTest();
    sRunDigest digest;
    auto check = [&](int frame) {
      const std::string broken = FirstBrokenRule(*mode.GetWorld());
      if (!broken.empty()) ADD_FAILURE() << "frame " << frame << ": " << broken;
      const std::vector<cCivModeVehicle*>& vehicles = mode.GetWorld()->GetVehicles();
      mostVehicles = std::max(mostVehicles, vehicles.size());
      mostBullets = std::max(mostBullets, mode.GetWorld()->GetBullets()->GetCount());
      for (cCivModeVehicle* v : vehicles) digest.Mix(v->GetPosition().x + (float)v->GetState());  // ids run on over the program
      for (cCivModeDecoratedCity* city : Cities()) {
        digest.Mix(city->GetMoney() + (float)(city->GetOwner() * 1000 + city->CountIntactBuildings()));
        mostTurrets = std::max(mostTurrets, city->GetTurrets().size());
      }
      return broken.empty();
    };
    for (int frame = 0; frame < 12000; ++frame) {
      clock.Advance(50);
      mode.Update(50);
      GetDataManager()->CommitPending();
      if (!check(frame)) break;
    }
    EXPECT_TRUE(mode.SniffTest());
    check(12000);
    bridge.BeforeLoad();
    return digest.value;
  };
  EXPECT_EQ(run(), run());
  EXPECT_GT(mostTurrets, 0u);
  EXPECT_GT(mostVehicles, 0u);
  EXPECT_GT(mostBullets, 0u);
}

// The same NPC world grown past a hundred buildings a city (what top speed
// makes of it): four rich cities start at 96 and keep buying for 100 s of
// 50 ms frames. Every frame keeps the rules, a city passes 100 buildings, and
// twice from one seed both end alike.
TEST_F(CivWorldTest, NpcWorldGrownPastAHundredBuildingsPlaysAlikeTwiceFromOneSeed) {
  GetDataManager()->AddClient(&bridgeClient);
  Build(4, 2, 0, 96);
  world.reset();  // the mode makes its own
  cCivTuning::GetWealthGeneration()->InitWealthPerBuilding = 1000;
  cCivTuningAgent& agent = *cCivTuning::GetAgent();
  agent.DesiredNumTurretsWith4Buildings = agent.DesiredNumTurretsWith10Buildings = 1;
  agent.DesiredNumVehiclesWith4Buildings = agent.DesiredNumVehiclesWith10Buildings = 2;
  int mostBuildings = 0;
  size_t mostVehicles = 0;
  auto run = [&] {
    Sys_SeedRandom(2027);
    cCivGameMode mode;
    mode.GetWorld()->Enter();
    cCivWorld::RestartMoodDecayForTest();
    mode.PreSniffTest();
    sRunDigest digest;
    for (int frame = 0; frame < 2000; ++frame) {
      clock.Advance(50);
      mode.Update(50);
      GetDataManager()->CommitPending();
      const std::string broken = FirstBrokenRule(*mode.GetWorld());
      if (!broken.empty()) {
        ADD_FAILURE() << "frame " << frame << ": " << broken;
        break;
      }
      mostVehicles = std::max(mostVehicles, mode.GetWorld()->GetVehicles().size());
      for (cCivModeVehicle* v : mode.GetWorld()->GetVehicles()) digest.Mix(v->GetPosition().x + (float)v->GetState());
      for (cCivModeDecoratedCity* city : Cities()) {
        digest.Mix(city->GetMoney() + (float)(city->GetOwner() * 1000 + city->GetBuildingCount()));
        mostBuildings = std::max(mostBuildings, city->GetBuildingCount());
      }
    }
    bridge.BeforeLoad();
    return digest.value;
  };
  EXPECT_EQ(run(), run());
  EXPECT_GT(mostBuildings, 100);
  EXPECT_GT(mostVehicles, 0u);
}

}  // namespace

namespace {

// Roads, turrets and bullets: leaving draws none of them (the roads come
// back on entry), and a load leaves none in the data manager or the scene.
// Before the mends the segments and bullets stayed drawn in other modes and a
// load left the roads and turrets live, pointing at freed cities.
TEST_F(CivWorldTest, LeavingHidesAndLoadingRemovesRoadsTurretsAndBullets) {
  Build(2, 2, 0);
  cDataManager* data = GetDataManager();
  data->AddClient(&bridgeClient);
  uint32_t drawnBefore = GetSceneManager().GetObjectCount();
  world->Enter();
  uint32_t drawnCities = GetSceneManager().GetObjectCount();
  cCivModeDecoratedCity* a = Cities()[0];
  cCivModeRoad* road = world->CreateRoad();
  road->SetStart(a);
  road->SetEnd(Cities()[1]);
  world->PlaceRoad(road);
  a->AddTurret();
  world->GetBullets()->Spawn(a->GetPosition(), Cities()[1], a, kCivPillageBullet, nullptr);
  data->CommitPending();
  uint32_t drawnAll = GetSceneManager().GetObjectCount();
  ASSERT_GT(drawnAll, drawnCities + 2);

  world->Leave();
  EXPECT_EQ(GetSceneManager().GetObjectCount(), drawnBefore);
  EXPECT_EQ(world->GetBullets()->GetCount(), 0u);
  world->Enter();
  EXPECT_EQ(GetSceneManager().GetObjectCount(), drawnAll - 1);  // all but the bullet

  world->GetBullets()->Spawn(a->GetPosition(), Cities()[1], a, kCivPillageBullet, nullptr);
  ASSERT_TRUE(data->LoadFromBytes((const uint8_t*)CheckedSave("").data(), CheckedSave("").size()));
  data->CommitPending();
  for (uint32_t type : {cCivModeRoad::kTypeId, cCivModeTurret::kTypeId, cCivModeDecoratedCity::kTypeId})
    EXPECT_TRUE(data->GetObjectsOfType(type).empty()) << std::hex << type;
  EXPECT_EQ(world->GetBullets()->GetCount(), 0u);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), drawnBefore);
}

}  // namespace


namespace {

// Every civ object with a shape of its own takes it out of the scene's lists
// when it goes: buildings, turrets, vehicles and roads made and removed over
// and over leave as many shapes listed as before (each left one behind, and
// the lists, walked every frame, grew for as long as the game ran).
TEST_F(CivWorldTest, ObjectsComingAndGoingLeaveNoShapeInTheScene) {
  Build(2, 2, 0);
  GetDataManager()->AddClient(&bridgeClient);
  world->Enter();
  cCivModeDecoratedCity* a = Cities()[0];
  cCivModeDecoratedCity* b = Cities()[1];
  GetDataManager()->CommitPending();
  const uint32_t shapes = GetSceneManager().GetShapeCount();
  for (int round = 0; round < 3; ++round) {
    a->AddTurret();
    world->CreateVehicle(a, kCivLandVehicle);
    cCivModeRoad* road = world->CreateRoad();
    road->SetStart(a);
    road->SetEnd(b);
    world->PlaceRoad(road);
    a->AddBuilding(1)->SetState(kCivRemoved);
    GetDataManager()->CommitPending();
    a->Update(0);  // the removed building goes
    a->RemoveRoadsAndTurrets();
    b->RemoveRoadsAndTurrets();
    world->ClearForLoad();  // the vehicles go
    GetDataManager()->CommitPending();
  }
  EXPECT_EQ(GetSceneManager().GetShapeCount(), shapes);
}

}  // namespace
