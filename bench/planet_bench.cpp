// Planet benchmarks, each beside its reference in the same run:
//  - GetSurfaceRadius against the floor of a bilinear sample of a plain 512 x 512 array;
//  - Initialize's two halves (terrain read, mesh build) against a bare read of the file;
//  - level-of-detail selection per frame at three camera distances, with the triangles drawn.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

namespace {

const char* kTerrain = "./Data/Terrain/terrain.bin";

// The mesh build prints a dot per patch; keep it out of the benchmark's table.
class cQuietStdout {
 public:
  cQuietStdout() {
    std::fflush(stdout);
    mSaved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  ~cQuietStdout() {
    std::fflush(stdout);
    if (mSaved >= 0) {
      dup2(mSaved, 1);
      close(mSaved);
    }
  }

 private:
  int mSaved = -1;
};

void BuildMeshQuietly(cPlanetModel& planet) {
  cQuietStdout quiet;
  planet.BuildTerrainMesh();
}

cPlanetModel& LoadedPlanet() {
  static cPlanetModel* planet = [] {
    auto* p = new cPlanetModel();
    std::string error;
    if (!p->LoadTerrain(kTerrain, error)) std::fprintf(stderr, "planet bench: %s\n", error.c_str());
    return p;
  }();
  return *planet;
}

std::vector<Vector3> QueryPoints() {
  std::vector<Vector3> points(4096);
  for (size_t i = 0; i < points.size(); ++i) {
    const float a = static_cast<float>(i) * 2.399963f, z = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / points.size();
    const float r = std::sqrt(1.0f - z * z);
    points[i] = Vector3{510.0f * r * std::cos(a), 510.0f * z, 510.0f * r * std::sin(a)};
  }
  return points;
}

void BM_GetSurfaceRadius(benchmark::State& state) {
  cPlanetModel& planet = LoadedPlanet();
  const std::vector<Vector3> points = QueryPoints();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(planet.GetSurfaceRadius(points[i]));
    i = (i + 1) & 4095;
  }
  state.SetLabel("ns per call");
}
BENCHMARK(BM_GetSurfaceRadius);

// The floor: a bilinear sample of one plain 512 x 512 float array at a given (u, v).
void BM_ReferencePlainBilinear512(benchmark::State& state) {
  std::vector<float> grid(512 * 512);
  for (size_t i = 0; i < grid.size(); ++i) grid[i] = static_cast<float>(i % 977) * 0.01f;
  std::vector<float> us(4096), vs(4096);
  for (size_t i = 0; i < us.size(); ++i) {
    us[i] = std::fmod(static_cast<float>(i) * 0.618034f, 1.0f);
    vs[i] = std::fmod(static_cast<float>(i) * 0.414214f, 1.0f);
  }
  size_t i = 0;
  for (auto _ : state) {
    const float x = std::fmin(std::fmax(us[i] * 512.0f - 0.5f, 0.0f), 510.999f);
    const float y = std::fmin(std::fmax(vs[i] * 512.0f - 0.5f, 0.0f), 510.999f);
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const float fx = x - x0, fy = y - y0;
    const float* row = &grid[y0 * 512 + x0];
    const float top = row[0] + (row[1] - row[0]) * fx;
    const float bottom = row[512] + (row[513] - row[512]) * fx;
    benchmark::DoNotOptimize(top + (bottom - top) * fy);
    i = (i + 1) & 4095;
  }
  state.SetLabel("ns per call (floor)");
}
BENCHMARK(BM_ReferencePlainBilinear512);

void BM_InitializeTerrainRead(benchmark::State& state) {
  cPlanetModel planet;
  for (auto _ : state) {
    std::string error;
    benchmark::DoNotOptimize(planet.LoadTerrain(kTerrain, error));
  }
}
BENCHMARK(BM_InitializeTerrainRead)->Unit(benchmark::kMillisecond);

void BM_ReferenceBareFileRead(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<uint8_t> bytes;
    std::string refusal;
    benchmark::DoNotOptimize(Sys_ReadWholeFile(kTerrain, SysFileKind::Terrain, bytes, refusal));
  }
}
BENCHMARK(BM_ReferenceBareFileRead)->Unit(benchmark::kMillisecond);

void BM_InitializeMeshBuild(benchmark::State& state) {
  cPlanetModel& planet = LoadedPlanet();
  for (auto _ : state) BuildMeshQuietly(planet);
  state.counters["largest_patch_vertices"] = static_cast<double>(planet.GetSphere()->LargestPatchVertexCount());
}
BENCHMARK(BM_InitializeMeshBuild)->Unit(benchmark::kMillisecond);

// Camera on +z at a distance, looking at the centre, 40-degree view, 4:3.
void CameraMatrices(float distance, float mv[16], float proj[16]) {
  const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -distance, 1};
  const float n = 10.0f, f = 10000.0f, t = std::tan(20.0f * 3.1415927f / 180.0f) * n, r = t * 4.0f / 3.0f;
  const float p[16] = {n / r, 0, 0, 0, 0, n / t, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
  for (int i = 0; i < 16; ++i) mv[i] = m[i], proj[i] = p[i];
}

void BM_LevelOfDetailPerFrame(benchmark::State& state) {
  cPlanetModel& planet = LoadedPlanet();
  if (!planet.GetSphere() || !planet.GetSphere()->GetRoot(0)) {
    BuildMeshQuietly(planet);
  }
  float mv[16], proj[16];
  CameraMatrices(static_cast<float>(state.range(0)), mv, proj);
  // Argument 2 = 0: the reference, patches hidden behind the planet or outside the view kept.
  planet.GetSphere()->SetHiddenPatchTrim(state.range(1) != 0);
  for (auto _ : state) planet.GetSphere()->UpdateLevelOfDetail(mv, proj, 5.0f);
  state.counters["triangles_drawn"] = static_cast<double>(planet.GetSphere()->CountDrawnTriangles());
  planet.GetSphere()->SetHiddenPatchTrim(true);
}
BENCHMARK(BM_LevelOfDetailPerFrame)
    ->ArgsProduct({{560, 800, 1800}, {1, 0}})
    ->ArgNames({"distance", "hidden_trimmed"})
    ->Unit(benchmark::kMicrosecond);

// Reference: every patch drawn at its finest level, no selection at all.
void BM_ReferenceAllLeaves(benchmark::State& state) {
  cPlanetModel& planet = LoadedPlanet();
  if (!planet.GetSphere() || !planet.GetSphere()->GetRoot(0)) {
    BuildMeshQuietly(planet);
  }
  size_t triangles = 0;
  for (auto _ : state) {
    triangles = 0;
    std::vector<const nKoPlanet::cTerrainPatch*> stack;
    for (uint32_t f = 0; f < 6; ++f) stack.push_back(planet.GetSphere()->GetRoot(f));
    while (!stack.empty()) {
      const nKoPlanet::cTerrainPatch* p = stack.back();
      stack.pop_back();
      if (!p->children[0]) triangles += p->indices.size() / 3;
      for (const auto* c : p->children)
        if (c) stack.push_back(c);
    }
    benchmark::DoNotOptimize(triangles);
  }
  state.counters["triangles_drawn"] = static_cast<double>(triangles);
}
BENCHMARK(BM_ReferenceAllLeaves)->Unit(benchmark::kMicrosecond);

}  // namespace
