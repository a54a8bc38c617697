// The civ game as it runs and draws at top speed, each world in a fresh
// process of its own (start-up runs once per process), side by side in one run:
//   - the start world the mode makes (the reference);
//   - the grown world: every city at 150 buildings, 150 vehicles, a road
//     between every two cities of one owner and a trade route into every city,
//     which is what ten minutes at speed 10 make of the start world;
//   - the grown world drawn as it was before small spheres were drawn with
//     fewer slices and the cubes in one batch (the draw's reference).
// Per frame of the game's own order (the mode's Update of a 50 ms frame at
// speed 10, then the drawing of the frame):
//   update_ms / update_max_ms   the main thread's CPU in the update, mean and worst;
//   draw_ms                     the main thread's CPU drawing the frame;
//   main_cpu_ms / budget_%      both together, and their share of a 16.7 ms frame.
// Run from the repository root, alone (a process that has opened the display
// cannot fork a game):
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_frame_bench --benchmark_filter=CivFrame
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameMode.h"
#include "app/Startup.h"
#include "bench/frame/FrameBenchChild.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"
#include "sim/gamedata/DataManager.h"
#include "world/scene/SolidShapes.h"

namespace {

constexpr int kFrames = 300;

struct cCivFrameFigures {
  double updateMs = 0, updateWorstMs = 0, drawMs = 0;
  double buildings = 0, vehicles = 0, roads = 0;
};

double ThreadCpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void Road(cCivWorld& world, cCivModeDecoratedCity* from, cCivModeDecoratedCity* to, int kind) {
  cCivModeRoad* road = world.CreateRoad();
  road->SetKind(kind);
  road->SetStart(from);
  road->SetEnd(to);
  world.PlaceRoad(road);
}

// What the NPCs buy in ten minutes at top speed, bought at once.
void Grow(cCivWorld& world) {
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  const size_t n = cities.size();
  for (cCivModeDecoratedCity* city : cities)
    while (city->GetBuildingCount() < 150) city->AddBuilding(1);
  for (size_t a = 0; a < n; ++a)
    for (size_t b = a + 1; b < n; ++b)
      if (cities[a]->GetOwner() == cities[b]->GetOwner()) Road(world, cities[a], cities[b], kCivPlainRoad);
  for (size_t a = 0; a < n; ++a) {
    cCivModeDecoratedCity* host = cities[(a + 2) % n];
    if (host->GetOwner() == cities[a]->GetOwner()) continue;
    host->EstablishEmbassy(cities[a]);
    Road(world, cities[a], host, kCivTradeRoute);
  }
  for (int i = 0; i < 150; ++i) world.CreateVehicle(cities[i % n], kCivLandVehicle);
  GetDataManager()->CommitPending();
}

bool RunCiv(bool grown, cCivFrameFigures& figures) {
  std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", (char*)"-civmode", nullptr};
  if (AppStartup(3, argv.data()) != 0) return false;
  for (int i = 0; i < 5; ++i) AppPumpFrame();
  cCivWorld* world = GetCivWorld();
  if (!world || gCurrentGameMode != gCivGameMode) return false;
  if (grown) Grow(*world);
  gCivSimulationSpeed = 10;
  for (int i = 0; i < 20; ++i) {  // settled: the lists and the first choices made
    gCurrentGameMode->Update(50);
    OnDisplay();
  }
  double update = 0, draw = 0;
  for (int i = 0; i < kFrames; ++i) {
    GetDataManager()->CommitPending();
    const double a = ThreadCpuMs();
    gCurrentGameMode->Update(50);
    const double b = ThreadCpuMs();
    OnDisplay();
    glFinish();
    const double c = ThreadCpuMs();
    update += b - a;
    draw += c - b;
    figures.updateWorstMs = std::max(figures.updateWorstMs, b - a);
  }
  figures.updateMs = update / kFrames;
  figures.drawMs = draw / kFrames;
  for (cCivModeDecoratedCity* city : GetCivCities()) {
    figures.buildings += (double)city->GetBuildingCount();
    figures.roads += (double)city->GetRoads().size();
  }
  figures.vehicles = (double)world->GetVehicles().size();
  return true;
}

bool MeasureInChild(bool grown, bool asBefore, cCivFrameFigures& figures) {
  if (glutGet(GLUT_INIT_STATE)) return false;
  return RunInChildAndRead(
      [grown, asBefore](int fd) {
        cSceneShapeSphere::SetFewerSlicesWhenSmall(!asBefore);
        CivSetCubesBatched(!asBefore);
        cCivFrameFigures mine;
        if (!RunCiv(grown, mine)) _exit(2);
        if (write(fd, &mine, sizeof mine) != (ssize_t)sizeof mine) _exit(1);
        _exit(0);
      },
      &figures, sizeof figures);
}

void RunFrames(benchmark::State& state, bool grown, bool asBefore = false) {
  for (auto _ : state) {
    cCivFrameFigures f;
    if (!MeasureInChild(grown, asBefore, f)) {
      state.SkipWithError("the game did not run (no display, or this process opened it already)");
      return;
    }
    state.SetIterationTime((f.updateMs + f.drawMs) * 1e-3);
    state.counters["update_ms"] = f.updateMs;
    state.counters["update_max_ms"] = f.updateWorstMs;
    state.counters["draw_ms"] = f.drawMs;
    state.counters["main_cpu_ms"] = f.updateMs + f.drawMs;
    state.counters["budget_%"] = (f.updateMs + f.drawMs) / 16.7 * 100.0;
    state.counters["buildings"] = f.buildings;
    state.counters["vehicles"] = f.vehicles;
    state.counters["roads"] = f.roads;
  }
}

void BM_CivFrame_StartWorldReference(benchmark::State& state) { RunFrames(state, false); }
void BM_CivFrame_Grown10x150Cities150Vehicles(benchmark::State& state) { RunFrames(state, true); }
void BM_CivFrame_Grown10x150Cities150Vehicles_DrawnAsBefore(benchmark::State& state) { RunFrames(state, true, true); }
BENCHMARK(BM_CivFrame_StartWorldReference)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_Grown10x150Cities150Vehicles)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_Grown10x150Cities150Vehicles_DrawnAsBefore)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
