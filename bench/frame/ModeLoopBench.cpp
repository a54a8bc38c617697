// Every mode in the game's own main loop (GLUT, the panels, the frame pacing)
// at the tuned window size, running and paused, each in a fresh process,
// beside the reference: a bare window that only clears and swaps under the
// same pacing (what presenting a frame costs on this display and driver).
// Reported per run of 3 s after settling (1 s running, 7 s paused):
//   fps             frames the main window drew a second (the cap is 60);
//   main_cpu_ms     the main thread's CPU per drawn frame;
//   process_core_%  CPU of every thread (the renderer's too) as a share of one core;
//   planet_tris     the planet's triangles drawn in the last frame;
//   longest_pass_ms the longest the main loop was away (a console line waits at most this).
// The city also at its worst accepted tuning beside its shipped one
// (BM_Loop_CityTuning), settled 20 s so that its tribes have grown, sent
// raiders and recruiters and its citizens fought back; enter_ms is the
// switch to it: a frame of the mode before, the founding and the city's first frame.
// Run from the repository root, alone (a process that has opened the display
// cannot fork a game): xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_frame_bench --benchmark_filter=Loop
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameClock.h"
#include "app/GameMode.h"
#include "app/Startup.h"
#include "bench/frame/FrameBenchChild.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/data/CityTuning.h"
#include "modes/dev/flyswim/FlySwimState.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "platform/Sys.h"
#include "world/planet/DisplacedSphere.h"
#include "world/planet/PlanetModel.h"

namespace {

// A paused game draws while a message shows (6 s) and while the camera still
// glides: a paused run settles past both.
constexpr int kSettleMs = 1000, kPausedSettleMs = 7000, kMeasureMs = 3000;
constexpr int kGrownCitySettleMs = 20000;

struct cLoopFigures {
  double wall = 0, mainCpu = 0, processCpu = 0;  // seconds
  double frames = 0;
  double planetTriangles = 0;
  double longestPassMs = 0, enterMs = 0;
};

double Seconds(clockid_t clock) {
  timespec t;
  clock_gettime(clock, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

double ProcessCpuSeconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The child's side: the loop runs until the second timer, which reports and leaves.
int gReportPipe = -1;
uint32_t (*gFrameCounter)() = nullptr;
cLoopFigures gStart;
double gEnterMs = 0;  // set by a set-up that times entering its mode

// Every pass of the main loop serves the timers: the gap between two calls is how long a pass took.
double gLastPass = 0, gLongestPass = 0;
void TimePass(int) {
  const double now = Seconds(CLOCK_MONOTONIC);
  if (gLastPass > 0 && now - gLastPass > gLongestPass) gLongestPass = now - gLastPass;
  gLastPass = now;
  glutTimerFunc(1, TimePass, 0);
}

void StartMeasuring(int) {
  gStart = cLoopFigures{Seconds(CLOCK_MONOTONIC), Seconds(CLOCK_THREAD_CPUTIME_ID), ProcessCpuSeconds(),
                        (double)gFrameCounter()};
  gLastPass = gStart.wall;
  glutTimerFunc(1, TimePass, 0);
}
void StopMeasuring(int) {
  const nKoPlanet::cDisplacedSphere* sphere = GetPlanetModel().GetSphere();
  TimePass(0);
  const cLoopFigures figures{Seconds(CLOCK_MONOTONIC) - gStart.wall,
                             Seconds(CLOCK_THREAD_CPUTIME_ID) - gStart.mainCpu,
                             ProcessCpuSeconds() - gStart.processCpu,
                             gFrameCounter() - gStart.frames,
                             sphere ? (double)sphere->CountDrawnTriangles() : 0.0,
                             gLongestPass * 1e3,
                             gEnterMs};
  if (write(gReportPipe, &figures, sizeof figures) != (ssize_t)sizeof figures) _exit(1);
  _exit(0);
}

// Runs `setUp` in a child with its output silenced, then GLUT's main loop, and reads the figures back.
template <class SetUp>
bool MeasureInChild(SetUp setUp, cLoopFigures& figures, int settleMs = kSettleMs) {
  if (glutGet(GLUT_INIT_STATE)) return false;
  return RunInChildAndRead(
      [&](int fd) {
        gReportPipe = fd;
        if (!setUp()) _exit(2);
        glutTimerFunc(settleMs, StartMeasuring, 0);
        glutTimerFunc(settleMs + kMeasureMs, StopMeasuring, 0);
        glutMainLoop();
      },
      &figures, sizeof figures);
}

void Report(benchmark::State& state, const cLoopFigures& f) {
  state.SetIterationTime(f.wall);
  state.counters["fps"] = f.frames / f.wall;
  state.counters["main_cpu_ms"] = f.frames > 0 ? f.mainCpu * 1e3 / f.frames : 0.0;
  state.counters["process_core_%"] = f.processCpu / f.wall * 100.0;
  state.counters["planet_tris"] = f.planetTriangles;
  state.counters["longest_pass_ms"] = f.longestPassMs;
}

// Each iteration measures a fresh child set up by `setUp`; none measured skips the benchmark.
template <class SetUp>
void MeasureEachIteration(benchmark::State& state, SetUp setUp, const char* whyNot, int settleMs = kSettleMs) {
  for (auto _ : state) {
    cLoopFigures figures;
    if (!MeasureInChild(setUp, figures, settleMs)) {
      state.SkipWithError(whyNot);
      return;
    }
    Report(state, figures);
  }
}
constexpr const char* kGameDidNotRun = "the game did not run (no display, or this process opened it already)";

// A mode of AllGameModes(), running (arg 1 = 0) or paused (1), in the tuned
// window or (arg 2 = 1) in a small one of 320 x 240, where a frame fits the period.
// Argument 4 = 0 is the reference: the planet splits and draws the patches
// hidden behind it or outside the view as any other.
void BM_Loop_Mode(benchmark::State& state) {
  const int mode = (int)state.range(0);
  const bool paused = state.range(1) != 0;
  const bool small = state.range(2) != 0;
  const bool trimHidden = state.range(3) != 0;
  MeasureEachIteration(
      state,
      [mode, paused, small, trimHidden] {
        std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", nullptr};
        if (AppStartup(2, argv.data()) != 0) return false;
        if (!trimHidden && GetPlanetModel().GetSphere()) GetPlanetModel().GetSphere()->SetHiddenPatchTrim(false);
        gFrameCounter = GetFramesDrawn;
        if (small) {
          glutReshapeWindow(320, 240);
          AppPumpFrame();
        }
        if (mode != 0) {
          gPendingGameMode = AllGameModes()[mode];
          AppPumpFrame();  // the switch comes after this frame
        }
        if (paused) {  // as the Pause box does, so the pointer entering the window keeps it
          gUserPause = 1;
          OnPauseCheckbox(0);
        }
        return true;
      },
      kGameDidNotRun, paused ? kPausedSettleMs : kSettleMs);
  static const char* const names[] = {"creature", "tribe", "city", "civ", "space", "test bench", "stress", "fly/swim", "flock test"};
  state.SetLabel(std::string(names[mode]) + (paused ? ", paused" : ", running") + (small ? ", 320x240" : "") +
                 (trimHidden ? "" : ", hidden patches kept"));
}
BENCHMARK(BM_Loop_Mode)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7, 8}, {0, 1}, {0}, {1}})
    ->ArgsProduct({{0, 1}, {0}, {1}, {1}})
    ->ArgsProduct({{1, 3}, {0}, {0}, {0}})
    ->ArgNames({"mode", "paused", "small", "hidden_trimmed"})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The worst the city's tuning accepts, all at once: every count at its bound
// (the tribes' members and food cut together), every check and birth in
// every frame, every chance certain, every reach the whole planet and every
// group, drive and fight lasting a day. Keys the tuning does not bound and
// that make no work (prices, speeds, motive rates) keep their shipped values.
// The motive and building keys make no work at the founding (no building stands).
struct sWorstValue {
  const char* key;
  float value;
};
const sWorstValue kWorstCityTuning[] = {
    // Counts at their bounds.
    {"Initial Food", 10000}, {"Initial Creatures", 200}, {"Initial Tribes", 200}, {"Initial Tribe Creatures", 200},
    {"Max Tribe Population", 200}, {"Tribe Initial Food", 10000}, {"Max City Upgrade Level", 100},
    {"Road Pip Distance", 0.001f}, {"Food Bundle Amount", 0.01f}, {"Happiness Unit Calculation Time", 0.001f},
    {"Small Party Capacity", 1000000}, {"Tribe Min Raiders", 1000000}, {"Tribe Max Raiders", 1000000},
    {"Tribe Min Recruiters", 1000000}, {"Tribe Max Recruiters", 1000000},
    // Every check, birth and decision in every frame.
    {"City Hall Money Time", 0}, {"Idle At City Hall Duration", 0}, {"Group Join Check Frequency", 0},
    {"Fight Check Frequency", 0}, {"Sing Check Frequency", 0}, {"Party Supply Time", 0}, {"Gather Time Per Bundle", 0},
    {"Raid Defense Duration", 0}, {"Tribe Idle Duration", 0}, {"Tribe Raid Defense Check Frequency", 0},
    {"Min Tribe Birth And Death Rate", 0}, {"Max Tribe Birth And Death Rate", 0},
    {"Max Tribe Population Food Requirement", 0}, {"Min Tribe Population Food Requirement", 0},
    {"Tribe Excess Food Decay Rate", 0}, {"Tribe Pilgrimage Check Frequency", 0}, {"Tribe Pilgrimage Time", 0},
    {"Tribe Trade Check Frequency", 0},
    // Every chance certain, every reach the planet.
    {"Fight Start Chance", 1}, {"Fight Attracted Chance", 1}, {"Sing Start Chance", 1}, {"Sing Attracted Chance", 1},
    {"Small Party Attracted Chance", 1}, {"Chance To Leave City", 100}, {"Min Recruit Chance", 100},
    {"Max Recruit Chance", 100}, {"Raid Defense Start Chance", 100}, {"Recruit Disaster Min Recruit Chance", 100},
    {"Recruit Disaster Max Recruit Chance", 100}, {"Tribe Raid Defense Chance", 100},
    {"Tribe Pilgrimage Conversion Chance", 100}, {"Tribe Pilgrimage Chance", 100}, {"Tribe Trade Chance", 100},
    {"Fight Start Radius", 1000}, {"Fight Attraction Radius", 1000}, {"Protest Radius", 1000},
    {"Sing Start Radius", 1000}, {"Sing Attraction Radius", 1000}, {"Small Party Attraction Radius", 1000},
    {"Raid Defense Start Radius", 1000}, {"Tribe Raid Defense Radius", 1000000}, {"Recruit Disaster Base Radius", 1000},
    // Every group, drive and fight lasting a day.
    {"Fight Duration", 86400}, {"Protest Duration", 86400}, {"Sing Duration", 86400}, {"Party Bonus Duration", 86400},
    {"Raid Defense Max Duration", 86400}, {"Recruit Disaster Duration", 86400},
    {"Happiness Total Calculation Time", 86400},
};

// Sets the worst values over the ones read from the shipped files; false when a key is missing there.
bool UseWorstCityTuning() {
  cCityGameTuning& tuning = GetCityGameTuning();
  for (const sWorstValue& worst : kWorstCityTuning) {
    if (uTuningValue* asInt = tuning.FindConstant(worst.key, kTuningInt)) asInt->asInt = (int)worst.value;
    else if (uTuningValue* asFloat = tuning.FindConstant(worst.key, kTuningFloat)) asFloat->asFloat = worst.value;
    else return false;
  }
  tuning.ApplyConstants();
  return true;
}

// The city, running in the tuned window, with its shipped tuning (arg 0) or
// the worst it accepts (1); settled 20 s either way.
void BM_Loop_CityTuning(benchmark::State& state) {
  const bool worst = state.range(0) != 0;
  for (auto _ : state) {
    cLoopFigures figures;
    const bool ran = MeasureInChild(
      [worst] {
        std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", nullptr};
        if (AppStartup(2, argv.data()) != 0) return false;
        if (worst && !UseWorstCityTuning()) return false;
        gFrameCounter = GetFramesDrawn;
        gPendingGameMode = gCityGameMode;
        const double before = Seconds(CLOCK_MONOTONIC);
        AppPumpFrame();  // the city is founded after this frame
        AppPumpFrame();  // and runs its first
        gEnterMs = (Seconds(CLOCK_MONOTONIC) - before) * 1e3;
        return true;
      },
      figures, kGrownCitySettleMs);
    if (!ran) {
      state.SkipWithError(kGameDidNotRun);
      return;
    }
    Report(state, figures);
    state.counters["enter_ms"] = figures.enterMs;
  }
  state.SetLabel(worst ? "city, worst accepted tuning" : "city, shipped tuning");
}
BENCHMARK(BM_Loop_CityTuning)
    ->ArgName("worst")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Each fly/swim experiment, running, in the tuned window: the mode opens in
// "Fish"; the others are chosen as the panel's radio group does. Compare with
// BM_Loop_Mode/mode:1 (tribe) and the bare window of the same run.
void BM_Loop_FlySwimExperiment(benchmark::State& state) {
  const int experiment = (int)state.range(0);
  MeasureEachIteration(
      state,
      [experiment] {
        std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", nullptr};
        if (AppStartup(2, argv.data()) != 0) return false;
        gFrameCounter = GetFramesDrawn;
        gPendingGameMode = gTovansGameMode;
        AppPumpFrame();
        nFlySwim::State().mode = experiment;
        cTovansGameMode::OnModeChanged(experiment);
        return true;
      },
      kGameDidNotRun);
  state.SetLabel(experiment == nFlySwim::kUfo         ? "UFO"
                 : experiment == nFlySwim::kFish      ? "Fish"
                 : experiment == nFlySwim::kBird      ? "Bird"
                 : experiment == nFlySwim::kFishTribe ? "Fish Tribe"
                                                      : "Bird Tribe");
}
BENCHMARK(BM_Loop_FlySwimExperiment)
    ->Arg(nFlySwim::kFish)
    ->Arg(nFlySwim::kBird)
    ->Arg(nFlySwim::kFishTribe)
    ->Arg(nFlySwim::kBirdTribe)
    ->Arg(nFlySwim::kUfo)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The reference: a window of the same size that clears and swaps every paced frame.
uint32_t gBareFrames = 0;
uint32_t BareFrames() { return gBareFrames; }
void BareIdle() {
  Sys_PaceFrames(60);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glutSwapBuffers();
  ++gBareFrames;
}
void BM_Loop_ReferenceBareFrame(benchmark::State& state) {
  MeasureEachIteration(
      state,
      [] {
        int argc = 1;
        char* argv[] = {(char*)"bare", nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(1024, 768);
        glutCreateWindow("bare");
        glutDisplayFunc([] {});
        glutIdleFunc(BareIdle);
        gFrameCounter = BareFrames;
        return true;
      },
      "no display");
}
BENCHMARK(BM_Loop_ReferenceBareFrame)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
