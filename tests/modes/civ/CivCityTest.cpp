// A civ city and its buildings: the ring (the ninth building widens it, a
// re-entry replays it), the income in closed form (mood, embassies paying
// their owners, trade routes, the NPC handicap, the 15-building cap), building states and
// colours with their influence, and removal taking record and scene object.
#include <gtest/gtest.h>

#include <cmath>
#include <list>

#include "math/Vector.h"

#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivWall.h"
#include "CivTestSupport.h"
#include "modes/civ/CivDebugFlags.h"
#include "tests/glf/OverlayRecorder.h"
#include "world/scene/SceneObject.h"

namespace {

using Ru::Math::Vector3;

struct CivCityTest : CivWorldFixture {
  std::unique_ptr<cCivPlayers> players;

  // One city of `buildings` buildings for the human (player 0 of 2) or an NPC.
  cCivModeDecoratedCity* MakeCity(int buildings, bool human) {
    Build(0, 2, 0, buildings);
    players = std::make_unique<cCivPlayers>(2, 0, cCivTuning::GetRelationships());
    SetCivPlayers(players.get());
    cCivModeDecoratedCity* city = world->CreateCity();
    city->Setup(human ? 0 : 1, cCivWorld::StartPosition(0, false));
    Cities().push_back(city);
    return city;
  }
  void TearDown() override {
    SetCivPlayers(nullptr);
    CivWorldFixture::TearDown();
  }
  static std::vector<float> Rgb(cCivModeDecoratedBuilding* b) {
    Vector3 c = b->GetSceneObject()->GetColour();
    return {c.x, c.y, c.z};
  }
};

TEST_F(CivCityTest, NinthBuildingWidensTheRingAndReentryReplaysIt) {
  cCivModeDecoratedCity* city = MakeCity(8, true);
  EXPECT_EQ(city->GetRingStep(), 45);
  city->AddBuilding(1);
  EXPECT_EQ(city->GetRingStep(), 22);
  EXPECT_EQ(city->GetRingRadius(), 40);
  Vector3 centre = city->GetPosition();
  auto distance = [&](int i) {
    const Vector3* p = city->GetBuildings()[i]->GetPosition();
    return std::sqrt((p->x - centre.x) * (p->x - centre.x) + (p->y - centre.y) * (p->y - centre.y) +
                     (p->z - centre.z) * (p->z - centre.z));
  };
  EXPECT_GT(distance(8), distance(7) + 15.0f);  // the ninth stands on the wider ring
  const Vector3 before = *city->GetBuildings()[9 - 1]->GetPosition();
  city->Leave();
  city->Reenter(0);
  city->AddBuilding(1);  // continues where the ring left off, not on top of a standing building
  const Vector3* tenth = city->GetBuildings()[9]->GetPosition();
  EXPECT_GT(std::fabs(tenth->x - before.x) + std::fabs(tenth->z - before.z), 1.0f);
  EXPECT_EQ(city->GetRingStep(), 22);
  EXPECT_EQ(city->GetPatrolMarkerCount(), (size_t)cCivModeWall::kOutlinePoints);  // the old markers went, not kept
}

// Moved, a city lays its ring afresh round the new place, widened at its
// ninth building: its buildings, wall and patrol path are those of a city
// set up there.
TEST_F(CivCityTest, MovedCityLaysItsRingAsIfSetUpThere) {
  for (int buildings : {3, 9, 10}) {
    SCOPED_TRACE(buildings);
    cCivModeDecoratedCity* moved = MakeCity(buildings, true);
    const Vector3 there = cCivWorld::StartPosition(4, false);
    moved->Relocate(there.x, there.y, there.z);
    cCivModeDecoratedCity* fresh = world->CreateCity();
    fresh->Setup(0, there);
    Cities().push_back(fresh);
    EXPECT_TRUE(Ru::Math::Vector3Equal(moved->GetPosition(), there));
    EXPECT_EQ(moved->GetRingStep(), fresh->GetRingStep());
    EXPECT_EQ(moved->GetRingRadius(), fresh->GetRingRadius());
    for (int i = 0; i < buildings; ++i)
      EXPECT_LT(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(*moved->GetBuildings()[i]->GetPosition(), *fresh->GetBuildings()[i]->GetPosition())), 1e-3f) << i;
    std::vector<Vector3> a, b;
    moved->GetPatrolPath(a);
    fresh->GetPatrolPath(b);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_LT(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(a[i], b[i])), 1e-3f) << i;
    bridge.BeforeLoad();  // both cities go
  }
}

// A turret bought by a big city adds its place to the wall: the layout does
// not relax the wall round every building again (a tick's spike once cities
// grew past a hundred buildings).
TEST_F(CivCityTest, ATurretBoughtByABigCityRelaxesTheWallRoundItsPlaceOnly) {
  cCivModeDecoratedCity* city = MakeCity(100, false);
  city->AddTurret();
  const uint64_t before = city->GetWall()->GetFieldEvaluations();
  city->RefreshLayout();  // nothing new: nothing relaxed again
  EXPECT_EQ(city->GetWall()->GetFieldEvaluations(), before);
  city->AddTurret();
  const uint64_t oneTurret = city->GetWall()->GetFieldEvaluations() - before;
  std::vector<Vector3> outline = city->GetWall()->Outline();
  city->GetWall()->Reset();  // a layout from nothing, for the figure and the outline
  city->RefreshLayout();
  const uint64_t whole = city->GetWall()->GetFieldEvaluations() - before - oneTurret;
  EXPECT_LT(oneTurret * 20, whole);
  EXPECT_EQ(city->GetWall()->Outline().size(), outline.size());
  for (size_t i = 0; i < outline.size(); ++i) EXPECT_EQ(city->GetWall()->Outline()[i].x, outline[i].x) << i;
}

TEST_F(CivCityTest, IncomeFollowsMoodEmbassiesHandicapAndTheCountCap) {
  cCivTuningWealth& w = *cCivTuning::GetWealthGeneration();
  for (int n = 0; n < kCivCountEntries; ++n) w.WealthPerSecond[n] = (float)n;
  w.EmbassyWealthIncrease = 0.1f;
  w.NPCWealthHandicap = 0.8f;
  cCivTuning::GetHappiness()->RevenueBonus[kCivHappy] = 0.2f;

  cCivModeDecoratedCity* city = MakeCity(20, false);  // 20 buildings earn the 15-building rate
  city->GetMood()->Set(5.0f);                        // happy: +20 %
  city->SetMoney(0.0f);
  city->Update(2000);
  EXPECT_NEAR(city->GetMoney(), 2.0f * 15.0f * 1.2f * 0.8f, 1e-3f);

  // Two embassies of player 0 in player 1's city: each passes the whole term to player 0's pool.
  cCivModeDecoratedCity* source = world->CreateCity();
  source->Setup(0, cCivWorld::StartPosition(1, false));
  for (int i = 0; i < 2; ++i) static_cast<cCivModeEmbassyBuilding*>(city->AddBuilding(5))->SetSource(source);
  float term = 15.0f * 2.0f * 0.1f;
  EXPECT_NEAR(city->GetWealthRate(1000), 0.2f * 15.0f + term + 15.0f, 1e-3f);
  EXPECT_NEAR(players->GetCivPools()[0], 2.0f * term, 1e-3f);

  // A trade route adds 10 %, or 20 % where the far city holds an embassy of this city's owner.
  w.WealthIncreaseTradeRouteNoEmbassy = 0.1f;
  w.WealthIncreaseTradeRouteAndEmbassy = 0.2f;
  cCivModeRoad* route = world->CreateRoad();
  route->SetStart(city);
  route->SetEnd(source);
  route->SetKind(kCivTradeRoute);
  city->AddRoad(route);
  float subtotal = 0.2f * 15.0f + term + 15.0f;
  // Only a standing embassy of this city's owner at the far end counts; plain roads add nothing.
  cCivModeDecoratedCity* third = world->CreateCity();
  third->Setup(0, cCivWorld::StartPosition(2, false));
  Cities().push_back(third);
  third->SetOwner(0);
  struct Row { int embassyOf; bool expelled; int kind; float bonus; } rows[] = {
      {-1, false, kCivTradeRoute, 0.1f}, {1, false, kCivTradeRoute, 0.2f}, {0, false, kCivTradeRoute, 0.1f},
      {1, true, kCivTradeRoute, 0.1f},   {1, false, kCivPlainRoad, 0.0f}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "embassy of " << r.embassyOf << (r.expelled ? " expelled" : "") << " kind " << r.kind);
    route->SetKind(r.kind);
    for (cCivModeDecoratedBuilding* b : source->GetBuildings())
      if (b->GetTypeId() == cCivModeEmbassyBuilding::kTypeId) b->SetState(kCivRemoved);
    source->Update(0);
    if (r.embassyOf >= 0) {
      auto* embassy = static_cast<cCivModeEmbassyBuilding*>(source->AddBuilding(5));
      embassy->SetSource(r.embassyOf == 1 ? city : third);
      if (r.expelled) embassy->SetState(kCivRemoved);
    }
    EXPECT_NEAR(city->GetWealthRate(0), subtotal * (1.0f + r.bonus), 1e-3f);
  }
  Cities().push_back(source);  // taken apart with the world
}

TEST_F(CivCityTest, BuildingStatesColoursAndInfluence) {
  cCivModeDecoratedCity* city = MakeCity(2, true);
  cCivModeDecoratedBuilding* b = city->GetBuildings()[0];
  cCivInfluence* field = GetCivInfluence();
  const Vector3 at = *b->GetPosition();
  EXPECT_TRUE(b->IsInfluenceRegistered());
  EXPECT_GT(field->GetValue(0, at), 0.0f);
  const std::vector<float> human{0.2f, 0.2f, 1.0f}, black{0.0f, 0.0f, 0.0f}, white{1.0f, 1.0f, 1.0f};
  EXPECT_EQ(Rgb(b), human);

  b->SetHighlighted(true);
  EXPECT_EQ(Rgb(b), white);  // the human's selection colour
  float before = field->GetValue(0, at);
  city->DestroyBuilding();
  EXPECT_EQ(Rgb(b), black);
  EXPECT_LT(field->GetValue(0, at), before);  // rubble projects nothing
  b->SetOwner(1, city);  // a change of owner on rubble changes neither colour nor influence
  EXPECT_EQ(Rgb(b), black);
  EXPECT_FALSE(b->IsInfluenceRegistered());
  b->SetOwner(0, city);
  city->RepairBuilding();
  EXPECT_EQ(Rgb(b), human);
  EXPECT_TRUE(b->IsInfluenceRegistered());

  // A removed building leaves with its record at the next tick.
  cDataManager* data = GetDataManager();
  data->CommitPending();
  size_t records = data->GetObjectsOfType(cBuildingCommon::kTypeId).size();
  b->SetState(kCivRemoved);
  city->Update(16);
  data->CommitPending();
  EXPECT_EQ(city->GetBuildingCount(), 1);
  EXPECT_EQ(data->GetObjectsOfType(cBuildingCommon::kTypeId).size(), records - 1);
}

// A diamond of plain roads reaches the far city by two paths: it counts once,
// and a purchase takes exactly its price, never across a trade route.
TEST_F(CivCityTest, NetworkCountsEachCityOnceAndPaymentsTakeExactlyThePrice) {
  cCivModeDecoratedCity* a = MakeCity(1, true);
  std::vector<cCivModeDecoratedCity*> c{a};
  for (int i = 1; i < 5; ++i) {
    c.push_back(world->CreateCity());
    c.back()->Setup(0, cCivWorld::StartPosition(i, false));
  }
  auto join = [&](int from, int to, int kind) {
    cCivModeRoad* road = world->CreateRoad();
    road->SetStart(c[from]);
    road->SetEnd(c[to]);
    road->SetKind(kind);
    c[from]->AddRoad(road);
  };
  join(0, 1, kCivPlainRoad);
  join(0, 2, kCivPlainRoad);
  join(1, 3, kCivPlainRoad);
  join(2, 3, kCivPlainRoad);
  join(3, 4, kCivTradeRoute);
  for (int i = 0; i < 5; ++i) c[i]->SetMoney(10.0f * (float)(i + 1));  // 10 20 30 40 50
  players->GetCivPools()[0] = 100.0f;
  EXPECT_EQ(a->GetNetworkWealth(), 10.0f + 20.0f + 30.0f + 40.0f);
  EXPECT_EQ(a->GetAvailableWealth(), 200.0f);

  a->Pay(130.0f);  // the network's 100, then 30 from the pool
  for (int i = 0; i < 4; ++i) EXPECT_EQ(c[i]->GetMoney(), 0.0f) << i;
  EXPECT_EQ(c[4]->GetMoney(), 50.0f);  // across the trade route: untouched
  EXPECT_EQ(players->GetCivPools()[0], 70.0f);
  a->Pay(5.0f);
  EXPECT_EQ(players->GetCivPools()[0], 65.0f);
}

// With the debug-text switch on, a highlighted city lists its numbers in the
// top right corner; without either, nothing is written.
TEST_F(CivCityTest, HighlightedCityShowsItsInfoLines) {
  cCivModeDecoratedCity* city = MakeCity(3, false);
  city->SetMoney(150.7f);
  players->GetCivPools()[1] = 20.0f;
  cCivTuning::GetCosts()->BuildingCost[3] = 175.0f;
  city->GetAgent()->SetGoal(kCivGoalRepairBuilding, nullptr);
  city->Leave();  // no wall: the test has no GL to draw it with
  cOverlayRecorder overlay;
  city->Render();
  city->SetHighlighted(true);
  city->Render();
  EXPECT_TRUE(overlay.Of(cDrawCall::kText).empty());
  gCivShowDebugText = 1;
  city->Render();
  gCivShowDebugText = 0;
  std::vector<cDrawCall> text = overlay.Of(cDrawCall::kText);
  ASSERT_EQ(text.size(), 11u);  // an NPC city adds its agent's goal and strategy
  EXPECT_EQ(text[0].text, "City Owner = 1");
  EXPECT_EQ(text[1].text, "Wealth Local to City = 150");
  EXPECT_EQ(text[2].text, "Wealth in Network = 150");
  EXPECT_EQ(text[3].text, "Wealth in Civ Pool = 20");
  EXPECT_EQ(text[4].text, "Cost of Next Building = 175");
  EXPECT_EQ(text[9].text, "Production Goal = Repair Building");
  EXPECT_EQ(text[10].text.rfind("Agent Strategy = ", 0), 0u);
  EXPECT_EQ(text[0].x0, overlay.width - 300);
  EXPECT_EQ(text[1].y0 - text[0].y0, 15);
}

// A 7-point path: a plain road keeps points 2, 4 and 6 both ways; a trade
// route sends 2 and 4 out and 6 back.
TEST(CivRoadPath, EverySecondPointThenLanesForTradeRoutes) {
  std::list<Vector3> path;
  for (int i = 1; i <= 7; ++i) path.push_back(Vector3{(float)i, 0.0f, 0.0f});
  std::vector<Vector3> out, back;
  auto xs = [](const std::vector<Vector3>& points) {
    std::vector<float> x;
    for (const Vector3& p : points) x.push_back(p.x);
    return x;
  };
  cCivModeRoad::SplitPath(path, kCivPlainRoad, out, back);
  EXPECT_EQ(xs(out), (std::vector<float>{2, 4, 6}));
  EXPECT_EQ(xs(back), (std::vector<float>{2, 4, 6}));
  cCivModeRoad::SplitPath(path, kCivTradeRoute, out, back);
  EXPECT_EQ(xs(out), (std::vector<float>{2, 4}));
  EXPECT_EQ(xs(back), (std::vector<float>{6}));
}

// Laid between two cities: a road each way joins their money; a trade route
// to a rival joins no network and records the trade event.
TEST_F(CivCityTest, PlacedRoadsJoinCitiesAndTradeRoutesMoveRelations) {
  cCivModeDecoratedCity* a = MakeCity(1, true);
  cCivModeDecoratedCity* b = world->CreateCity();
  b->Setup(0, cCivWorld::StartPosition(2, false));
  cCivModeDecoratedCity* rival = world->CreateCity();
  rival->Setup(1, cCivWorld::StartPosition(9, false));
  Cities().push_back(b);
  Cities().push_back(rival);
  a->SetMoney(10.0f);
  b->SetMoney(5.0f);

  cCivModeRoad* road = world->CreateRoad();
  road->SetStart(a);
  road->SetEnd(b);
  world->PlaceRoad(road);
  ASSERT_GT(road->GetSegmentCount(), 0u);
  EXPECT_EQ(b->FindRoad(a, kCivPlainRoad)->GetEnd(), a);
  EXPECT_EQ(a->GetNetworkWealth(), 15.0f);
  EXPECT_EQ(b->GetNetworkWealth(), 15.0f);

  cCivTuning::GetRelationships()->EffectEstablishTradeRoute = 3.0f;
  players->GetRelationships()->Set(0, 1, 1.0f);
  cCivModeRoad* route = world->CreateRoad();
  route->SetStart(a);
  route->SetEnd(rival);
  route->SetKind(kCivTradeRoute);
  world->PlaceRoad(route);
  EXPECT_EQ(players->GetRelationships()->Get(0, 1), 4.0f);
  EXPECT_EQ(a->GetNetworkWealth(), 15.0f);  // a trade route joins no network

  // Bought by a city's agent during a tick: both roads are listed at once,
  // the search runs a share of rounds a tick after it, and the segments are
  // those of the road placed at once.
  cCivModeRoad* placed = world->CreateRoad();
  placed->SetStart(b);
  placed->SetEnd(a);
  world->PlaceRoad(placed);  // outside a tick: laid at once
  const size_t segments = placed->GetSegmentCount();
  const Vector3 first = placed->GetSegmentPosition(0);
  b->RemoveRoadsTo(a);
  a->RemoveRoadsTo(b);
  GetDataManager()->CommitPending();
  b->SetNPC(true);
  b->SetMoney(1.0e6f);
  b->GetAgent()->SetGoal(kCivGoalRoad, a);
  const int useAI = gCivUseNPCAI;
  gCivUseNPCAI = 1;
  clock.Advance(5000);
  world->Update(16);
  gCivUseNPCAI = useAI;
  cCivModeRoad* bought = b->FindRoad(a, kCivPlainRoad);
  ASSERT_NE(bought, nullptr);
  ASSERT_NE(a->FindRoad(b, kCivPlainRoad), nullptr);
  EXPECT_EQ(bought->GetSegmentCount(), 0u);
  EXPECT_EQ(world->GetPendingRoadCount(), 1u);
  int ticks = 0;
  while (world->GetPendingRoadCount() > 0 && ticks < 10) world->Update(16), ++ticks;
  EXPECT_GE(ticks, 1);
  ASSERT_EQ(bought->GetSegmentCount(), segments);
  EXPECT_EQ(bought->GetSegmentPosition(0).x, first.x);
  EXPECT_EQ(a->FindRoad(b, kCivPlainRoad)->GetSegmentCount(), segments);
}

}  // namespace

namespace {

// A road removes exactly the influence it added, whoever holds its start city
// by then: a plain road through a city its owner holds adds and later
// removes; one through a city he does not hold adds and removes nothing; a
// trade route always adds and removes.
TEST_F(CivCityTest, RoadRemovesExactlyTheInfluenceItAdded) {
  struct Case { int kind, roadOwner; bool adds; } cases[] = {
      {kCivPlainRoad, 0, true}, {kCivPlainRoad, 1, false}, {kCivTradeRoute, 1, true}};
  cCivModeDecoratedCity* city = MakeCity(0, true);
  cCivInfluence* influence = world->GetInfluence();
  Vector3 p = Ru::Math::Vector3Scale(Ru::Math::Vector3Normalized(cCivWorld::StartPosition(3, false)), 510.0f);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind * 10 + c.roadOwner);
    city->SetOwner(0);
    cCivModeRoad* road = world->CreateRoad();
    road->SetKind(c.kind);
    road->SetStart(city);
    road->SetOwner(c.roadOwner);
    road->BuildSegments({p});
    EXPECT_EQ(influence->GetValue(c.roadOwner, p) > 0.0f, c.adds);
    city->SetOwner(1);  // captured before the road goes
    GetDataManager()->Remove(road);
    EXPECT_EQ(influence->GetValue(0, p), 0.0f);
    EXPECT_EQ(influence->GetValue(1, p), 0.0f);
  }
}

}  // namespace
