// The civ world's tick and its path search, read against the 16.7 ms frame:
// - cCivWorld::Update in the stress world (10 cities of 15 buildings, 40
//   vehicles, a road between every two cities of one owner, trade routes
//   between embassy partners), every player an NPC, and in the grown world
//   (the same with 150 buildings a city and 150 vehicles: what ten minutes
//   at top speed make), beside the shipped start world; each reports its mean
//   and worst tick (the main thread's CPU) and the path searches a tick;
// - the heap each building and each vehicle takes, added to the start world,
//   and the heap five minutes of NPC play add beside what the world then holds;
// - one path search for a road between two start cities, and one for a goal
//   in a pit no road may enter (the search runs all 10,000 rounds), beside
//   the same 40,000 walker steps without the passability test.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <malloc.h>
#include <memory>

#include "app/GameClock.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"

using namespace Ru::Math;

namespace {

uint32_t gCivBenchNow = 1000;

// The main thread's CPU, so a tick's figure leaves out the time the shared
// machine gave to other processes.
double ThreadCpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
uint32_t CivBenchClock() { return gCivBenchNow; }

// A flat planet; with a pit, the ground within 0.15 rad of `pit` lies 20 below
// the sea radius a road needs.
void FlatPlanet(const Vector3* pit = nullptr) {
  const Vector3 centre = pit ? Vector3Normalized(*pit) : Vector3{};
  GetPlanetModel().SetHeightMap(MakeHeightMap([&](const Vector3& d) {
    return pit && Vector3Dot(d, centre) > std::cos(0.15f) ? -20.0f : 10.0f;
  }));
}

enum class eCivBenchWorld { Start, Stress, Grown };

class cCivBenchWorld : public Ko::cIGameDataClient {
 public:
  explicit cCivBenchWorld(eCivBenchWorld kind) {
    const bool stress = kind != eCivBenchWorld::Start;
    const int buildings = kind == eCivBenchWorld::Grown ? 150 : 15;
    Sys_SetClockForTest(&CivBenchClock);
    ResetGameClockForTest();
    StartGameClock();
    GetDataManager()->ResetForTest();
    GetDataManager()->AddClient(this);
    FlatPlanet();
    Sys_SeedRandom(7);
    cCivTuningGeneral& g = *cCivTuning::GetGeneral();
    if (stress) {
      g.NumCities = 10;
      g.NumPlayers = 5;
      g.MaxNumBuildings = 15;
      g.InitNumBuildingsPlayerMin = g.InitNumBuildingsPlayerMax = g.InitNumBuildingsNPCMin = g.InitNumBuildingsNPCMax =
          buildings;
    }
    mMode = std::make_unique<cCivGameMode>();
    cCivWorld& world = *mMode->GetWorld();
    world.Enter();
    mMode->PreSniffTest();
    if (stress) Stress(world, kind == eCivBenchWorld::Grown ? 150 : 40);
    GetDataManager()->CommitPending();
  }
  ~cCivBenchWorld() override {
    mMode->BeforeLoad();  // the world's lists let go of everything, as before a load
    mMode.reset();
    GetDataManager()->ResetForTest();
    cCivTuning::Get() = mSaved;
    Sys_SetClockForTest(nullptr);
  }
  void ObjectRemoved(Ko::cIGameData* object) override {
    if (GetCivWorld()) GetCivWorld()->ForgetObject(object);
  }
  double Tick() {
    gCivBenchNow += 50;
    const double start = ThreadCpuMs();
    mMode->GetWorld()->Update(50);
    GetDataManager()->CommitPending();
    return ThreadCpuMs() - start;
  }
  size_t Vehicles() { return mMode->GetWorld()->GetVehicles().size(); }

 private:
  static void Road(cCivWorld& world, cCivModeDecoratedCity* from, cCivModeDecoratedCity* to, int kind) {
    cCivModeRoad* road = world.CreateRoad();
    road->SetKind(kind);
    road->SetStart(from);
    road->SetEnd(to);
    world.PlaceRoad(road);
  }
  static void Stress(cCivWorld& world, int vehicles) {
    std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
    const size_t n = cities.size();
    for (size_t a = 0; a < n; ++a)
      for (size_t b = a + 1; b < n; ++b)
        if (cities[a]->GetOwner() == cities[b]->GetOwner()) Road(world, cities[a], cities[b], kCivPlainRoad);
    // Each city holds an embassy of the next player's city, which runs a trade route to it.
    for (size_t a = 0; a < n; ++a) {
      cCivModeDecoratedCity* host = cities[(a + 2) % n];
      host->EstablishEmbassy(cities[a]);
      Road(world, cities[a], host, kCivTradeRoute);
    }
    for (int i = 0; i < vehicles; ++i) world.CreateVehicle(cities[i % n], kCivLandVehicle)->SetNPC(true);
  }

  cCivTuning mSaved = cCivTuning::Get();
  std::unique_ptr<cCivGameMode> mMode;
};

void RunTicks(benchmark::State& state, eCivBenchWorld kind) {
  cCivBenchWorld world(kind);
  for (int i = 0; i < 20; ++i) world.Tick();  // past the agents' first choices
  const uint32_t searchesBefore = CivFindPathCalls();
  double total = 0.0, worst = 0.0;
  for (auto _ : state) {
    const double ms = world.Tick();
    total += ms;
    worst = std::max(worst, ms);
  }
  const double ticks = (double)state.iterations();
  state.counters["mean_ms"] = total / ticks;
  state.counters["max_ms"] = worst;
  state.counters["frame_%"] = total / ticks / 16.7 * 100.0;
  state.counters["FindPath_per_tick"] = (double)(CivFindPathCalls() - searchesBefore) / ticks;
  state.counters["vehicles"] = (double)world.Vehicles();
}

void BM_CivWorldUpdate_StartWorldReference(benchmark::State& state) { RunTicks(state, eCivBenchWorld::Start); }
void BM_CivWorldUpdate_Stress10x15Cities40Vehicles(benchmark::State& state) { RunTicks(state, eCivBenchWorld::Stress); }
void BM_CivWorldUpdate_Grown10x150Cities150Vehicles(benchmark::State& state) { RunTicks(state, eCivBenchWorld::Grown); }
// 2400 ticks of 50 ms: two minutes of game time, so agents buy, fight and re-plan.
BENCHMARK(BM_CivWorldUpdate_StartWorldReference)->Unit(benchmark::kMillisecond)->Iterations(2400);
BENCHMARK(BM_CivWorldUpdate_Stress10x15Cities40Vehicles)->Unit(benchmark::kMillisecond)->Iterations(2400);
BENCHMARK(BM_CivWorldUpdate_Grown10x150Cities150Vehicles)->Unit(benchmark::kMillisecond)->Iterations(2400);

// ---- the heap a building and a vehicle take ----

size_t HeapInUse() { return mallinfo2().uordblks; }

// 100 buildings bought by one start city (its wall, patrol path, influence and
// scene objects grow with them), then 100 vehicles of that city, beside the
// start world's own heap.
void BM_CivHeapPerBuildingAndVehicle(benchmark::State& state) {
  for (auto _ : state) {
    const size_t empty = HeapInUse();
    cCivBenchWorld world(eCivBenchWorld::Start);
    const size_t start = HeapInUse();
    cCivModeDecoratedCity* city = GetCivCities()[0];
    for (int i = 0; i < 100; ++i) city->AddBuilding(1);
    GetDataManager()->CommitPending();
    const size_t built = HeapInUse();
    for (int i = 0; i < 100; ++i) GetCivWorld()->CreateVehicle(city, kCivLandVehicle);
    GetDataManager()->CommitPending();
    const size_t driven = HeapInUse();
    state.counters["start_world_kB"] = (double)(start - empty) / 1024.0;
    state.counters["bytes_per_building"] = (double)(built - start) / 100.0;
    state.counters["bytes_per_vehicle"] = (double)(driven - built) / 100.0;
  }
}
BENCHMARK(BM_CivHeapPerBuildingAndVehicle)->Iterations(1);

// The start world played by its NPCs for five minutes of 50 ms ticks: how
// the heap grows beside what the world then holds (buildings, vehicles, road
// segments, scene listings), so growth the world does not hold shows.
void BM_CivHeapOverFiveMinutesOfPlay(benchmark::State& state) {
  for (auto _ : state) {
    cCivBenchWorld world(eCivBenchWorld::Start);
    for (int i = 0; i < 20; ++i) world.Tick();
    const size_t before = HeapInUse();
    const uint32_t shapesBefore = GetSceneManager().GetShapeCount();
    for (int i = 0; i < 6000; ++i) world.Tick();
    const size_t after = HeapInUse();
    double buildings = 0, segments = 0;
    for (cCivModeDecoratedCity* city : GetCivCities()) {
      buildings += (double)city->GetBuildingCount();
      for (cCivModeRoad* road : city->GetRoads()) segments += (double)road->GetSegmentCount();
    }
    state.counters["heap_growth_kB"] = ((double)after - (double)before) / 1024.0;
    state.counters["buildings"] = buildings;
    state.counters["vehicles"] = (double)world.Vehicles();
    state.counters["road_segments"] = segments;
    state.counters["scene_shapes_added"] = (double)GetSceneManager().GetShapeCount() - (double)shapesBefore;
  }
}
BENCHMARK(BM_CivHeapOverFiveMinutesOfPlay)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- one path search ----

void SearchOnce(benchmark::State& state, bool pit) {
  const cCivTuning saved = cCivTuning::Get();
  const Vector3 from = cCivWorld::StartPosition(0, false), to = cCivWorld::StartPosition(1, false);
  FlatPlanet(pit ? &to : nullptr);
  cCivModeRoad::cCivRoadOtc cost;
  size_t points = 0;
  for (auto _ : state) {
    std::list<Vector3> path = GetPlanetModel().FindPath(from, to, &cost);
    points = path.size();
    benchmark::DoNotOptimize(path);
  }
  state.counters["path_points"] = (double)points;  // 0: nothing found
  FlatPlanet();
  cCivTuning::Get() = saved;
}

// The search's four walkers for its 10,000 rounds, stepping without asking
// whether they may: what the search costs besides the passability test.
void BM_CivPathWalkerSteps40000_Reference(benchmark::State& state) {
  FlatPlanet();
  const Vector3 from = cCivWorld::StartPosition(0, false), to = cCivWorld::StartPosition(1, false);
  cPlanetModel& planet = GetPlanetModel();
  for (auto _ : state) {
    Vector3 positions[4] = {from, from, to, to};
    Quaternion orientation[4];
    for (int round = 0; round < 10000; ++round)
      for (int w = 0; w < 4; ++w) {
        const Vector3& target = w < 2 ? to : from;
        cPlanetModel::MakeSurfaceOrientation(orientation[w], positions[w], Vector3Sub(positions[w], target));
        Vector3 candidate;
        planet.ProjectToSurface(candidate, Vector3Add(positions[w], QuatRotateVector(orientation[w], Vector3{0, 0, -1.0f})));
        cPlanetModel::AlignOrientationToSurface(orientation[w], candidate, orientation[w]);
        positions[w] = candidate;
      }
    benchmark::DoNotOptimize(positions);
  }
}

void BM_CivFindPath_RoadBetweenTwoStartCities(benchmark::State& state) { SearchOnce(state, false); }
void BM_CivFindPath_UnreachableGoal10000Rounds(benchmark::State& state) { SearchOnce(state, true); }
BENCHMARK(BM_CivFindPath_RoadBetweenTwoStartCities)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CivFindPath_UnreachableGoal10000Rounds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivPathWalkerSteps40000_Reference)->Unit(benchmark::kMillisecond);

}  // namespace
