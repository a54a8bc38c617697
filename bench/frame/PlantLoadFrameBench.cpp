// The first frame after a load, each in a fresh process of its own (start-up
// runs once per process), side by side in one run:
//   - the creature start world saved and loaded again (the reference);
//   - the same save with its planet record replaced by the most plants a file
//     keeps: all standing on one spot under the camera's anchor; crowded
//     within 3 units of it (each a thicket's cell); spread within 130 units,
//     under a thousand to a cell and nearly all in view.
// Reported per load:
//   load_ms          the load itself (the game's Ctrl+L path, mode left and entered);
//   frame ms         the first frame after it: the game's own frame (camera,
//                    mode update, the whole drawing) through glFinish, wall time;
//   second_frame_ms  the frame after that, when the plant meshes are already made;
//   peak_rss_mb      the process's peak resident memory by then.
// Run from the repository root, alone (a process that has opened the display
// cannot fork a game):
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_frame_bench --benchmark_filter=PlantLoad
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/FrameLoop.h"
#include "app/GameCommands.h"
#include "app/Startup.h"
#include "bench/frame/FrameBenchChild.h"
#include "camera/Camera.h"
#include "tests/sim/SaveFileBytes.h"
#include "world/planet/PlanetModel.h"

namespace {

struct cLoadFigures {
  double loadMs = 0, firstFrameMs = 0, secondFrameMs = 0, peakRssMb = 0, plants = 0;
};

double WallMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double PeakRssMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}

uint32_t WordAt(const std::string& s, size_t at) {
  return (uint32_t)(uint8_t)s[at] | (uint32_t)(uint8_t)s[at + 1] << 8 | (uint32_t)(uint8_t)s[at + 2] << 16 |
         (uint32_t)(uint8_t)s[at + 3] << 24;
}

// `count` plants upright on the ground under `at`, full of fruit, one after
// another: all on the one spot, or each a little beside the one before
// (`spread` units at most from the spot, no two alike).
std::string StackedPlantRecord(uint32_t count, const Ru::Math::Vector3& at, float spread) {
  cPlanetModel& planet = GetPlanetModel();
  std::string body;
  PutWord(body, count);
  body.reserve(4 + 40 * (size_t)count);
  for (uint32_t i = 0; i < count; ++i) {
    const float turn = 2.39996f * (float)i, out = spread * std::sqrt((float)i / (float)count);
    Ru::Math::Vector3 ground;
    planet.ProjectToSurface(ground, {at.x + out * std::cos(turn), at.y + out * std::sin(turn), at.z});
    Ru::Math::Quaternion upright;
    cPlanetModel::AlignOrientationToSurface(upright, ground, Ru::Math::Quaternion{0, 0, 0, 1});
    const float values[8] = {ground.x, ground.y, ground.z, upright.x, upright.y, upright.z, upright.w, 100.0f};
    for (float value : values) {
      uint32_t bits;
      std::memcpy(&bits, &value, 4);
      PutWord(body, bits);
    }
    PutWord(body, 0);  // not hidden
    PutWord(body, 0);  // counter
  }
  return body;
}

// The saved file with its planet record's body replaced and its check chunk made again.
std::string WithPlanetRecord(const std::string& saved, const std::string& body) {
  const std::string unchecked = WithoutCheck(saved);
  std::string records;
  for (size_t at = 28; at + 8 <= unchecked.size();) {
    const uint32_t id = WordAt(unchecked, at), size = WordAt(unchecked, at + 4);
    records += id == cPlanetSerializerProxy::kTypeId ? Record(id, body) : unchecked.substr(at, 8 + size);
    at += 8 + size;
  }
  return CheckedSave(records);
}

bool RunLoad(bool stacked, float spread, cLoadFigures& figures) {
  std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", nullptr};
  if (AppStartup(2, argv.data()) != 0) return false;
  for (int i = 0; i < 5; ++i) AppPumpFrame();
  char name[] = "/tmp/quorvel_plant_load_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) return false;
  close(fd);
  bool saved = SaveGameFile(name);
  if (saved && stacked) {
    std::ifstream in(name, std::ios::binary);
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const float* anchor = GetCameraAnchor();
    const std::string changed =
        WithPlanetRecord(file, StackedPlantRecord(cPlanetModel::kMostPlants, {anchor[0], anchor[1], anchor[2]}, spread));
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(changed.data(), (std::streamsize)changed.size());
  }
  const double a = WallMs();
  if (saved) LoadGameIntoCurrentMode(name);
  const double b = WallMs();
  unlink(name);
  if (!saved) return false;
  OnIdle();
  glFinish();
  const double c = WallMs();
  OnIdle();
  glFinish();
  const double d = WallMs();
  figures.loadMs = b - a;
  figures.firstFrameMs = c - b;
  figures.secondFrameMs = d - c;
  figures.peakRssMb = PeakRssMb();
  figures.plants = (double)GetPlanetModel().GetPlants().size();
  return true;
}

void RunFirstFrame(benchmark::State& state, bool stacked, float spread = 0.0f) {
  for (auto _ : state) {
    cLoadFigures f;
    if (!MeasureGameInChild([stacked, spread](cLoadFigures& mine) { return RunLoad(stacked, spread, mine); }, f)) {
      state.SkipWithError("the game did not run (no display, or this process opened it already)");
      return;
    }
    state.SetIterationTime(f.firstFrameMs * 1e-3);
    state.counters["load_ms"] = f.loadMs;
    state.counters["second_frame_ms"] = f.secondFrameMs;
    state.counters["peak_rss_mb"] = f.peakRssMb;
    state.counters["plants"] = f.plants;
  }
}

void BM_PlantLoadFirstFrame_StartWorldReference(benchmark::State& state) { RunFirstFrame(state, false); }
void BM_PlantLoadFirstFrame_MostPlantsStackedOnOneSpot(benchmark::State& state) { RunFirstFrame(state, true); }
void BM_PlantLoadFirstFrame_MostPlantsCrowdedOnOneSpot(benchmark::State& state) { RunFirstFrame(state, true, 3.0f); }
void BM_PlantLoadFirstFrame_MostPlantsAllInView(benchmark::State& state) { RunFirstFrame(state, true, 130.0f); }
BENCHMARK(BM_PlantLoadFirstFrame_StartWorldReference)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantLoadFirstFrame_MostPlantsStackedOnOneSpot)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantLoadFirstFrame_MostPlantsCrowdedOnOneSpot)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlantLoadFirstFrame_MostPlantsAllInView)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
