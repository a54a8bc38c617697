// The scene stress test per frame: the mode's Update (the automatic camera,
// then 3,000 walker steps) against the 16.7 ms of a 60 Hz frame, beside the
// floor of 3,000 bare planet-radius queries at the walkers' own positions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "camera/Camera.h"
#include "math/Math.h"
#include "modes/dev/stresstest/StressCrowd.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

using Ru::Math::Vector3;

namespace {

// The walkers of one visit on the generated terrain, a few hundred frames in
// (so that walking, jumping and landing walkers are all in the mix).
void StartCrowd() {
  static bool started = [] {
    std::string error;
    if (!GetPlanetModel().LoadTerrain("./Data/Terrain/terrain.bin", error)) std::fprintf(stderr, "stress bench: %s\n", error.c_str());
    Sys_SeedRandom(1234);
    const float anchor[3] = {0.0f, 0.0f, 510.0f}, frame[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    SetCameraAnchorFrame(anchor, frame);
    CreateStressWalkers();
    for (int frameNumber = 0; frameNumber < 400; ++frameNumber) StepStressWalkers();
    return true;
  }();
  (void)started;
}

void BM_StressModeUpdatePerFrame(benchmark::State& state) {
  StartCrowd();
  cPelsGameMode mode;
  GetStressAutoCameraFlag() = 1;
  const uint64_t queriesBefore = GetStressSurfaceQueryCount();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) mode.Update(16);
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  state.counters["frame_%"] = spent.count() / static_cast<double>(state.iterations()) / 16.7 * 100.0;  // of the 16.7 ms frame
  state.counters["surface_queries_per_frame"] =
      static_cast<double>(GetStressSurfaceQueryCount() - queriesBefore) / static_cast<double>(state.iterations());
  state.counters["walkers"] = static_cast<double>(GetStressWalkers().size());
  state.SetLabel("per frame");
}
BENCHMARK(BM_StressModeUpdatePerFrame)->Unit(benchmark::kMicrosecond);

// The floor: the planet queries alone, one per walker.
void BM_Reference3000BareSurfaceRadius(benchmark::State& state) {
  StartCrowd();
  std::vector<Vector3> points;
  for (const cStressWalker& walker : GetStressWalkers()) points.push_back(walker.object->GetPosition());
  cPlanetModel& planet = GetPlanetModel();
  for (auto _ : state)
    for (const Vector3& point : points) benchmark::DoNotOptimize(planet.GetSurfaceRadius(point));
  state.SetLabel("per 3,000 queries (floor)");
}
BENCHMARK(BM_Reference3000BareSurfaceRadius)->Unit(benchmark::kMicrosecond);

// Leave: 3,000 objects out of the scene (and deleted), beside the old way of
// removing them: a find and an erase each, which shifts the rest of the list.
void BM_StressModeLeave(benchmark::State& state) {
  StartCrowd();
  for (auto _ : state) {
    state.PauseTiming();
    DeleteStressWalkers();
    CreateStressWalkers();
    state.ResumeTiming();
    DeleteStressWalkers();
  }
  CreateStressWalkers();
}
BENCHMARK(BM_StressModeLeave)->Unit(benchmark::kMicrosecond);

void BM_ReferenceFindAndEraseEach3000(benchmark::State& state) {
  std::vector<int> objects(3000);
  for (auto _ : state) {
    std::vector<int*> listed;
    for (int& object : objects) listed.push_back(&object);
    for (int& object : objects) listed.erase(std::find(listed.begin(), listed.end(), &object));
    benchmark::DoNotOptimize(listed.data());
  }
}
BENCHMARK(BM_ReferenceFindAndEraseEach3000)->Unit(benchmark::kMicrosecond);

}  // namespace
