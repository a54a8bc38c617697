// The civ game as it runs and draws at top speed, each world in a fresh
// process of its own (start-up runs once per process), side by side in one run:
//   - the start world the mode makes (the reference);
//   - the grown world, as ten minutes at speed 10 make it of the start world:
//     every city at 150 buildings, every NPC city with the turrets its agent
//     buys (as many as the agent wants, up to its limit), a road between every
//     two cities of one owner, a trade route from every city into every city
//     of another owner that is near enough to trade (some 800 route spheres),
//     and 150 vehicles of the NPC cities, flying ones: the NPCs research flight
//     within the first minutes of play and buy only air vehicles from then on;
//   - the grown world drawn as it was before small spheres were drawn coarser
//     and the boxes and vehicles in batches (the draw's reference);
//   - both worlds drawn at rest (the world stopped and the camera's glide
//     over): the drawing alone; and the grown world's frame at rest replayed
//     from one display list, the same geometry with none of the game's own
//     work (the floor).
// Each frame is the game's own (its step on the real clock at speed 10: the
// input, the camera with its glide, the mode's update; then the frame drawn
// and swapped), without the pacing, and finished with glFinish so that the
// waits on llvmpipe and the X server count. Over 3 s of frames:
//   Time / frame_ms      the real time of the frame, mean;
//   fps                  frames a second at that time (no pacing);
//   update_ms / update_max_ms   the main thread's CPU in the step before drawing, mean and worst;
//   main_cpu_ms          the main thread's CPU in the whole frame (the rest is waiting);
//   budget_%             the frame's real time as a share of a 16.7 ms frame;
//   scene_tris / scene_calls    triangles and draw calls the scene handed to GL a frame,
//                               sphere_tris and cube_tris of them the spheres' and the boxes'.
// Run from the repository root, alone (a process that has opened the display
// cannot fork a game):
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_frame_bench --benchmark_filter=CivFrame
// QV_CIV_FRAME_SHOT=<file.ppm> keeps the grown world's first frame, for a look by eye,
// <file.ppm>.far.ppm the same world from afar and <file.ppm>.rest.ppm from where
// the camera's glide comes to rest (where the rows at rest look).
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameMode.h"
#include "app/Startup.h"
#include "camera/Camera.h"
#include "bench/frame/FrameBenchChild.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "math/Vector.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

namespace {

constexpr int kSettleFrames = 20;
constexpr double kMeasureMs = 3000.0;
constexpr double kGlideMs = 2500.0;  // the camera's glide into the civ mode is over by then

enum class eCivRow { kPlayed, kDrawnAsBefore, kDrawnAtRest, kReplayed };

struct cCivFrameFigures {
  double frameMs = 0, updateMs = 0, updateWorstMs = 0, cpuMs = 0;
  double buildings = 0, vehicles = 0, roads = 0, turrets = 0, routeSpheres = 0;
  double sceneTriangles = 0, sceneCalls = 0, sphereTriangles = 0, cubeTriangles = 0;
};

double ClockMs(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
double ThreadCpuMs() { return ClockMs(CLOCK_THREAD_CPUTIME_ID); }
double RealMs() { return ClockMs(CLOCK_MONOTONIC); }

// Trade routes reach only so far in play (the agent picks the nearest city):
// between cities at most about 70 degrees apart round the planet.
constexpr float kTradeReach = 0.33f;  // the cosine of the angle between the cities

void Road(cCivWorld& world, cCivModeDecoratedCity* from, cCivModeDecoratedCity* to, int kind) {
  cCivModeRoad* road = world.CreateRoad();
  road->SetKind(kind);
  road->SetStart(from);
  road->SetEnd(to);
  world.PlaceRoad(road);
}

bool NearEnoughToTrade(cCivModeDecoratedCity* a, cCivModeDecoratedCity* b) {
  using namespace Ru::Math;
  return Vector3Dot(Vector3Normalized(a->GetPosition()), Vector3Normalized(b->GetPosition())) > kTradeReach;
}

// What the NPCs buy in ten minutes at top speed, bought at once.
void Grow(cCivWorld& world) {
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  const size_t n = cities.size();
  for (cCivModeDecoratedCity* city : cities) {
    while (city->GetBuildingCount() < 150) city->AddBuilding(1);
    const int wanted = std::min(city->GetAgent()->GetDesiredTurrets(), cCivTuning::GetGeneral()->MaxTurretsPerCity);
    if (city->IsNPC())
      for (int k = (int)city->GetTurrets().size(); k < wanted; ++k) city->AddTurret();
  }
  for (size_t a = 0; a < n; ++a)
    for (size_t b = a + 1; b < n; ++b)
      if (cities[a]->GetOwner() == cities[b]->GetOwner()) Road(world, cities[a], cities[b], kCivPlainRoad);
  for (size_t a = 0; a < n; ++a)
    for (size_t b = 0; b < n; ++b) {
      cCivModeDecoratedCity* host = cities[b];
      if (host->GetOwner() == cities[a]->GetOwner() || !NearEnoughToTrade(cities[a], host)) continue;
      host->EstablishEmbassy(cities[a]);
      Road(world, cities[a], host, kCivTradeRoute);
    }
  // Flight researched (the upgrade level an NPC agent buys air vehicles at).
  std::vector<cCivModeDecoratedCity*> npcCities;
  for (cCivModeDecoratedCity* city : cities)
    if (city->IsNPC()) npcCities.push_back(city);
  for (cCivModeDecoratedCity* city : npcCities) GetCivPlayers()->GetUpgradeLevels()->Set(city->GetOwner(), 4);
  for (size_t i = 0; i < 150 && !npcCities.empty(); ++i)
    world.CreateVehicle(npcCities[i % npcCities.size()], kCivAirVehicle);
  GetDataManager()->CommitPending();
}

// Start-up seeds the generator from the clock, and the first frames spend what
// their time earns: the clock stands at one reading until the world is grown,
// so that every run grows the same world (the same owners, moods and places).
uint32_t StartClock() { return 1; }

// The frame as the game shows it, as a binary PPM (rows top first).
void KeepFrame(const char* file) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int w = viewport[2], h = viewport[3];
  std::vector<unsigned char> rgb((size_t)w * h * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  if (FILE* f = std::fopen(file, "wb")) {
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = h - 1; y >= 0; --y) std::fwrite(&rgb[(size_t)y * w * 3], 1, (size_t)w * 3, f);
    std::fclose(f);
  }
}

bool RunCiv(bool grown, eCivRow row, cCivFrameFigures& figures) {
  std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", (char*)"-civmode", nullptr};
  Sys_SetClockForTest(StartClock);
  const bool started = AppStartup(3, argv.data()) == 0;
  for (int i = 0; i < 5 && started; ++i) AppPumpFrame();
  cCivWorld* world = GetCivWorld();
  if (!started || !world || gCurrentGameMode != gCivGameMode) return false;
  if (grown) Grow(*world);
  if (const char* shot = std::getenv("QV_CIV_FRAME_SHOT"); shot && grown) {
    RenderFrame();  // the world as grown, before anything moves
    glFinish();
    KeepFrame(shot);
    // And from afar, the near half of the planet in sight, and from the
    // glide's goal; then back, the glide's goal too (the glide is still under
    // way), so the figures that follow are the same with a shot as without.
    float yaw, pitch, distance, targetYaw, targetPitch, targetDistance;
    GetCameraAngles(&yaw, &pitch, &distance);
    GetCameraTargetAngles(&targetYaw, &targetPitch, &targetDistance);
    SetCameraAngles(yaw, pitch, 1400.0f);
    SetCameraTargetAngles(yaw, pitch, 1400.0f);
    RenderFrame();
    glFinish();
    KeepFrame((std::string(shot) + ".far.ppm").c_str());
    SetCameraAngles(targetYaw, targetPitch, targetDistance);
    SetCameraTargetAngles(targetYaw, targetPitch, targetDistance);
    RenderFrame();
    glFinish();
    KeepFrame((std::string(shot) + ".rest.ppm").c_str());
    SetCameraAngles(yaw, pitch, distance);
    SetCameraTargetAngles(targetYaw, targetPitch, targetDistance);
  }
  Sys_SetClockForTest(nullptr);  // the game runs on the real clock from here
  gCivSimulationSpeed = 10;
  for (int i = 0; i < kSettleFrames; ++i) {  // settled: the lists and the first choices made
    if (AdvanceFrame()) PresentFrame();
    glFinish();
  }
  const bool atRest = row == eCivRow::kDrawnAtRest || row == eCivRow::kReplayed;
  for (const double glide = RealMs(); atRest && RealMs() - glide < kGlideMs;) {
    if (AdvanceFrame()) PresentFrame();
    glFinish();
  }
  GLuint list = 0;
  if (row == eCivRow::kReplayed) {
    list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    RenderFrame();
    glEndList();
  }
  double update = 0, cpu = 0;
  int frames = 0;
  const double start = RealMs();
  while (RealMs() - start < kMeasureMs) {
    const double a = ThreadCpuMs();
    const bool stepped = !atRest && AdvanceFrame();
    const double b = ThreadCpuMs();
    if (row == eCivRow::kReplayed) {
      glCallList(list);
      glutSwapBuffers();
    } else if (stepped || atRest) {
      PresentFrame();
    }
    glFinish();
    const double c = ThreadCpuMs();
    update += b - a;
    cpu += c - a;
    figures.updateWorstMs = std::max(figures.updateWorstMs, b - a);
    for (const auto& [shape, tally] : GetSceneManager().GetLastDrawTallies()) {
      figures.sceneTriangles += (double)tally.triangles;
      figures.sceneCalls += tally.calls;
      if (shape == "Spheres") figures.sphereTriangles += (double)tally.triangles;
      if (shape == "Cube") figures.cubeTriangles += (double)tally.triangles;
    }
    ++frames;
  }
  figures.frameMs = (RealMs() - start) / frames;
  figures.updateMs = update / frames;
  figures.cpuMs = cpu / frames;
  for (double* perFrame :
       {&figures.sceneTriangles, &figures.sceneCalls, &figures.sphereTriangles, &figures.cubeTriangles})
    *perFrame /= frames;
  for (cCivModeDecoratedCity* city : GetCivCities()) {
    figures.buildings += (double)city->GetBuildingCount();
    figures.roads += (double)city->GetRoads().size();
    figures.turrets += (double)city->GetTurrets().size();
    for (cCivModeRoad* road : city->GetRoads())
      if (road->GetKind() == kCivTradeRoute) figures.routeSpheres += (double)road->GetSegmentCount();
  }
  figures.vehicles = (double)world->GetVehicles().size();
  return true;
}

bool MeasureInChild(bool grown, eCivRow row, cCivFrameFigures& figures) {
  return MeasureGameInChild(
      [grown, row](cCivFrameFigures& mine) {
        cSceneShapeSphere::SetFewerSlicesWhenSmall(row != eCivRow::kDrawnAsBefore);
        CivSetCubesBatched(row != eCivRow::kDrawnAsBefore);
        return RunCiv(grown, row, mine);
      },
      figures);
}

void RunFrames(benchmark::State& state, bool grown, eCivRow row = eCivRow::kPlayed) {
  for (auto _ : state) {
    cCivFrameFigures f;
    if (!MeasureInChild(grown, row, f)) {
      state.SkipWithError("the game did not run (no display, or this process opened it already)");
      return;
    }
    state.SetIterationTime(f.frameMs * 1e-3);
    state.counters["frame_ms"] = f.frameMs;
    state.counters["fps"] = f.frameMs > 0.0 ? 1000.0 / f.frameMs : 0.0;
    state.counters["update_ms"] = f.updateMs;
    state.counters["update_max_ms"] = f.updateWorstMs;
    state.counters["main_cpu_ms"] = f.cpuMs;
    state.counters["budget_%"] = f.frameMs / 16.7 * 100.0;
    state.counters["buildings"] = f.buildings;
    state.counters["turrets"] = f.turrets;
    state.counters["route_spheres"] = f.routeSpheres;
    state.counters["vehicles"] = f.vehicles;
    state.counters["roads"] = f.roads;
    state.counters["scene_tris"] = f.sceneTriangles;
    state.counters["scene_calls"] = f.sceneCalls;
    state.counters["sphere_tris"] = f.sphereTriangles;
    state.counters["cube_tris"] = f.cubeTriangles;
  }
}

void BM_CivFrame_StartWorldReference(benchmark::State& state) { RunFrames(state, false); }
void BM_CivFrame_Grown10x150Cities150Vehicles(benchmark::State& state) { RunFrames(state, true); }
void BM_CivFrame_Grown10x150Cities150Vehicles_DrawnAsBefore(benchmark::State& state) {
  RunFrames(state, true, eCivRow::kDrawnAsBefore);
}
void BM_CivFrame_StartWorldReference_DrawnAtRest(benchmark::State& state) {
  RunFrames(state, false, eCivRow::kDrawnAtRest);
}
void BM_CivFrame_Grown10x150Cities150Vehicles_DrawnAtRest(benchmark::State& state) {
  RunFrames(state, true, eCivRow::kDrawnAtRest);
}
void BM_CivFrame_Grown10x150Cities150Vehicles_ReplayedAsOneList(benchmark::State& state) {
  RunFrames(state, true, eCivRow::kReplayed);
}
BENCHMARK(BM_CivFrame_StartWorldReference)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_Grown10x150Cities150Vehicles)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_Grown10x150Cities150Vehicles_DrawnAsBefore)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_StartWorldReference_DrawnAtRest)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_Grown10x150Cities150Vehicles_DrawnAtRest)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CivFrame_Grown10x150Cities150Vehicles_ReplayedAsOneList)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
