// The civ city's two costly walks, read against the 16.7 ms frame:
// - RefreshLayout (the wall relaxed round every building, then the patrol
//   path) of a city of 15 buildings and 8 turrets, beside a city of 4 and none;
// - the money network of ten cities of one owner with a road between every
//   pair: the one-visit-per-city walk beside the reference of counting a city
//   once per road path (the old rule, exponential in the roads).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivWall.h"
#include "modes/civ/CivWorld.h"
#include "sim/gamedata/DataManager.h"
#include "tests/world/planet/PlanetTestSupport.h"

namespace {

struct cBenchCivWorld {
  std::unique_ptr<cCivWorld> world;
  std::unique_ptr<cCivPlayers> players;
  cBenchCivWorld() {
    GetDataManager()->ResetForTest();
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return 10.0f; }));
    cCivTuningGeneral& g = *cCivTuning::GetGeneral();
    g.NumPlayers = 2;
    g.HumanPlayerId = 0;
    world = std::make_unique<cCivWorld>();
    players = std::make_unique<cCivPlayers>(2, 0, cCivTuning::GetRelationships());
    SetCivPlayers(players.get());
  }
  ~cBenchCivWorld() {
    SetCivPlayers(nullptr);
    GetDataManager()->ResetForTest();
  }
  cCivModeDecoratedCity* City(int buildings, int place) {
    cCivTuningGeneral& g = *cCivTuning::GetGeneral();
    g.InitNumBuildingsPlayerMin = g.InitNumBuildingsPlayerMax = buildings;
    cCivModeDecoratedCity* city = world->CreateCity();
    city->Setup(0, cCivWorld::StartPosition(place, false));
    return city;
  }
};

void RefreshLayoutOf(benchmark::State& state, int buildings, int turrets) {
  cBenchCivWorld civ;
  cCivModeDecoratedCity* city = civ.City(buildings, 0);
  for (int i = 0; i < turrets; ++i) city->AddTurret();
  for (auto _ : state) {
    city->GetWall()->Reset();  // a layout from nothing (one extending the last relaxes only the new places)
    city->RefreshLayout();
  }
}
void BM_CivRefreshLayout15Buildings8Turrets(benchmark::State& state) { RefreshLayoutOf(state, 15, 8); }
void BM_CivRefreshLayout4Buildings_Reference(benchmark::State& state) { RefreshLayoutOf(state, 4, 0); }
BENCHMARK(BM_CivRefreshLayout15Buildings8Turrets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivRefreshLayout4Buildings_Reference)->Unit(benchmark::kMillisecond);

// Ten cities with a plain road from every city to every other.
std::vector<cCivModeDecoratedCity*> Joined(cBenchCivWorld& civ) {
  std::vector<cCivModeDecoratedCity*> cities;
  for (int i = 0; i < 10; ++i) cities.push_back(civ.City(1, i));
  for (cCivModeDecoratedCity* from : cities)
    for (cCivModeDecoratedCity* to : cities) {
      if (from == to) continue;
      cCivModeRoad* road = civ.world->CreateRoad();
      road->SetStart(from);
      road->SetEnd(to);
      from->AddRoad(road);
    }
  return cities;
}

// The old rule: the path so far is copied into every branch, so a city is
// counted once per path that reaches it.
float SumPerPath(cCivModeDecoratedCity* city, std::vector<cCivModeDecoratedCity*> path) {
  path.push_back(city);
  float sum = city->GetMoney();
  for (cCivModeRoad* road : city->GetRoads())
    if (road->GetKind() == kCivPlainRoad && std::find(path.begin(), path.end(), road->GetEnd()) == path.end())
      sum += SumPerPath(road->GetEnd(), path);
  return sum;
}

void BM_CivNetworkWealthTenJoinedCities(benchmark::State& state) {
  cBenchCivWorld civ;
  std::vector<cCivModeDecoratedCity*> cities = Joined(civ);
  for (auto _ : state) benchmark::DoNotOptimize(cities[0]->GetNetworkWealth());
}
void BM_CivNetworkWealthTenJoinedCities_PerPathReference(benchmark::State& state) {
  cBenchCivWorld civ;
  std::vector<cCivModeDecoratedCity*> cities = Joined(civ);
  for (auto _ : state) benchmark::DoNotOptimize(SumPerPath(cities[0], {}));
}
BENCHMARK(BM_CivNetworkWealthTenJoinedCities)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CivNetworkWealthTenJoinedCities_PerPathReference)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
