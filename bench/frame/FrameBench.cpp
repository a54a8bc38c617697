// The game as it draws, under the test display (Xvfb, llvmpipe), each beside
// its reference in the same run:
//   - a frame of the tribe start world (paused, at rest) drawn from prepared
//     geometry and issued immediately, beside the same frame replayed as one
//     display list (the floor); main_cpu_ms is the main thread's CPU per frame
//     and budget_% its share of a 16.7 ms frame;
//   - the plant pass and the planet pass alone, both ways;
//   - start-up to the first frame in a fresh process, beside a bare read of
//     the files start-up reads.
// Run from the repository root: xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_frame_bench
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameClock.h"
#include "app/Startup.h"
#include "camera/Camera.h"
#include "glf/PreparedGeometry.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/PlantShape.h"
#include "world/scene/SceneManager.h"

namespace {

double ThreadCpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void FindGameData() {
  for (int up = 0; up < 3 && access("Data/Scripts", F_OK) != 0; ++up)
    if (chdir("..") != 0) break;
}

// Runs `body` in a child process with its output silenced; the wall time it took, in seconds.
template <class Body>
double SecondsInChild(Body body) {
  std::fflush(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Start-up runs once per process: these come first, before this process opens GL.
void BM_Startup_TribeModeToFirstFrame(benchmark::State& state) {
  FindGameData();
  for (auto _ : state)
    state.SetIterationTime(SecondsInChild([] {
      std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", (char*)"-tribemode", nullptr};
      if (AppStartup(3, argv.data()) == 0) OnIdle();
      glFinish();
    }));
}
BENCHMARK(BM_Startup_TribeModeToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Startup_ReferenceBareReadOfItsFiles(benchmark::State& state) {
  FindGameData();
  for (auto _ : state)
    state.SetIterationTime(SecondsInChild([] {
      std::vector<char> bytes(1 << 20);
      for (const char* name : {"Data/Terrain/terrain.bin", "Data/Terrain/Paths.bin"})
        if (FILE* f = std::fopen(name, "rb")) {
          while (std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size()) {
          }
          std::fclose(f);
        }
    }));
}
BENCHMARK(BM_Startup_ReferenceBareReadOfItsFiles)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The game started once in this process: the tribe start world, paused, camera at rest.
bool StartedTribeWorld() {
  static const bool started = [] {
    FindGameData();
    static std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", (char*)"-tribemode", nullptr};
    if (AppStartup(3, argv.data()) != 0) return false;
    for (int i = 0; i < 3; ++i) OnIdle();
    gPaused = 1;
    ApplyPause();
    cCameraState& camera = GetCameraState();
    SetCameraAngles(camera.targetYaw, camera.targetPitch, camera.targetDistance);
    SetCameraAnchorFrame(camera.targetAnchor, camera.targetFrame);
    for (int i = 0; i < 5; ++i) OnDisplay();
    return true;
  }();
  return started;
}

// Times `pass` per iteration and reports the main thread's CPU per pass.
template <class Pass>
void RunPass(benchmark::State& state, bool prepared, Pass pass) {
  if (!StartedTribeWorld()) {
    state.SkipWithError("the game did not start (no display?)");
    return;
  }
  SetPreparedGeometryEnabled(prepared);
  pass();  // lists made outside the timing
  const double cpuBefore = ThreadCpuMs();
  for (auto _ : state) pass();
  const double cpuMs = (ThreadCpuMs() - cpuBefore) / (double)state.iterations();
  state.counters["main_cpu_ms"] = cpuMs;
  state.counters["budget_%"] = cpuMs / 16.7 * 100.0;
  state.counters["plants"] = GetSceneManager().GetObjectCount(&GetPlantShape());
  // What was drawn: the plant groups in view (of all) and the planet's triangles.
  state.counters["plant_groups_drawn"] = GetPlantShape().LastBatchStats().drawn;
  state.counters["plant_groups"] = GetPlantShape().LastBatchStats().groups;
  state.counters["planet_tris"] = (double)GetPlanetModel().GetSphere()->CountDrawnTriangles();
  SetPreparedGeometryEnabled(true);
}

void DrawWholeFrame() { OnDisplay(); }

void BM_TribeFrame_Prepared(benchmark::State& state) { RunPass(state, true, DrawWholeFrame); }
void BM_TribeFrame_Immediate(benchmark::State& state) { RunPass(state, false, DrawWholeFrame); }

// The floor: the whole frame's drawing recorded once into one list and replayed.
void BM_TribeFrame_OneBatchFloor(benchmark::State& state) {
  if (!StartedTribeWorld()) {
    state.SkipWithError("the game did not start (no display?)");
    return;
  }
  glutSetWindow(gMainWindow);
  const GLuint whole = glGenLists(1);
  glNewList(whole, GL_COMPILE);
  RenderFrame();
  glEndList();
  RunPass(state, true, [whole] {
    glCallList(whole);
    glutSwapBuffers();
  });
  glDeleteLists(whole, 1);
}
BENCHMARK(BM_TribeFrame_Prepared)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TribeFrame_Immediate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TribeFrame_OneBatchFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The plants alone: the scene's plant objects listed in a scene of their own.
void DrawPlantPass() {
  static cSceneManager* plants = [] {
    auto* scene = new cSceneManager();
    std::vector<cSceneObject*> all;
    GetSceneManager().FindObjectsInRadius(all, Ru::Math::Vector3{}, 1.0e6f);
    for (cSceneObject* object : all)
      if (object->GetShape() == &GetPlantShape()) scene->AddObject(object);
    return scene;
  }();
  glDisable(GL_LIGHTING);
  plants->Render();
  glFinish();
}
void DrawPlanetPass() {
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();
  glDisable(GL_LIGHTING);
  glFinish();
}
void BM_PlantPass_Prepared(benchmark::State& state) { RunPass(state, true, DrawPlantPass); }
void BM_PlantPass_Immediate(benchmark::State& state) { RunPass(state, false, DrawPlantPass); }
void BM_PlanetPass_Prepared(benchmark::State& state) { RunPass(state, true, DrawPlanetPass); }
void BM_PlanetPass_Immediate(benchmark::State& state) { RunPass(state, false, DrawPlanetPass); }
// The reference: patches wholly behind the planet or outside the view chosen, split and drawn as any other.
void BM_PlanetPass_ReferenceHiddenPatchesKept(benchmark::State& state) {
  if (StartedTribeWorld()) GetPlanetModel().GetSphere()->SetHiddenPatchTrim(false);
  RunPass(state, true, DrawPlanetPass);
  if (StartedTribeWorld()) GetPlanetModel().GetSphere()->SetHiddenPatchTrim(true);
}
BENCHMARK(BM_PlantPass_Prepared)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlantPass_Immediate)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlanetPass_Prepared)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlanetPass_Immediate)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_PlanetPass_ReferenceHiddenPatchesKept)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
