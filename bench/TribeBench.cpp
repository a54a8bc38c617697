// One frame of the tribe mode (behaviour, HUD, world, rivals, input) at 16 ms,
// with four rival tribes of 25 members and 30 herds, beside the reference of
// the game's start world (the player's tribe, two small rivals, the scripted herds). Read the
// time per iteration in ms against the 16.7 ms frame; the goal is under 2 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/DataManager.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"

namespace {

using Ru::Math::Vector3;

constexpr uint32_t kFrameMs = 16;
uint32_t gNow = 1000;
uint32_t BenchClock() { return gNow; }
uint32_t BenchCalendar() { return 20260; }

// Boxes answered without a word (Cancel keeps the tribe playing at the city stage).
struct cQuietBoxes : cISysMessageSink {
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox kind) override {
    return kind == SysBox::OkCancel ? SysAnswer::Cancel : SysAnswer::Ok;
  }
};

// The game's scripts live under Data/ of the source tree; run from the build folder too.
void FindGameData() {
  for (int up = 0; up < 3 && access("Data/Scripts", F_OK) != 0; ++up)
    if (chdir("..") != 0) break;
}

class cBenchTribeWorld {
 public:
  explicit cBenchTribeWorld(bool rivals) {
    FindGameData();
    Sys_SetMessageSink(&mBoxes);
    Sys_SetClockForTest(&BenchClock);
    Sys_SetCalendarForTest(&BenchCalendar);
    ResetGameClockForTest();
    StartGameClock();
    GetDataManager()->ResetForTest();
    cCommonCreatureManager::Get()->ResetForTest();
    cCommonCreatureManager::Register();
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 10.0f; }, 32));
    GetSceneManager().Clear();
    GetBehaviorController().Clear();
    mMode = new cTribeGameMode();
    gTribeGameMode = mMode;
    GetDataManager()->AddClient(mMode);
    mMode->Enter();
    GetDataManager()->CommitPending();
    if (rivals) AddRivalsAndHerds();
  }
  ~cBenchTribeWorld() {
    mMode->Leave();
    GetDataManager()->CommitPending();
    GetDataManager()->ResetForTest();
    cCommonCreatureManager::Get()->ResetForTest();
    delete mMode;
    gTribeGameMode = nullptr;
    GetSceneManager().Clear();
    Sys_SetMessageSink(nullptr);
    Sys_SetCalendarForTest(nullptr);
  }

  void Frame() {
    gNow += kFrameMs;
    mMode->Update(kFrameMs);
    GetDataManager()->CommitPending();
  }
  size_t Creatures() { return Objects()->GetCreatures().size(); }
  size_t Herds() { return Objects()->GetHerds().size(); }

 private:
  cTribeObjectController* Objects() { return mMode->GetObjectController(); }

  void AddRivalsAndHerds() {
    cTribeObjectController* objects = Objects();
    const Vector3 hut = objects->GetPlayerTribe()->GetHut()->GetPositionVector();
    cPlanetModel& planet = GetPlanetModel();
    while (objects->GetTribes().size() < 5) {
      Vector3 place;
      planet.GetRandomSurfacePointNear(place, hut, 80.0f, 120.0f);
      objects->CreateNpcTribe(place);
    }
    for (cTribe* tribe : objects->GetTribes())
      while (tribe != objects->GetPlayerTribe() && tribe->GetPopulation() < 25) objects->AddNewMember(tribe, false);

    LoadTribeProgram(eTribeProgram::HerdLocation);
    cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::HerdLocation);
    for (uint32_t i = 0; objects->GetHerds().size() < 30; ++i) {
      const uint32_t type = 1 + i % 3;
      auto* herd = GetDataManager()->CreateObject<cTribeHerd>();
      objects->AppendHerd(herd);
      herd->SetType(type);
      herd->SetSize(5);
      script.SetVariable("herd_type", (float)type);
      script.Run();
      objects->ApplyHerdParameters(herd);
      Vector3 place;
      planet.GetRandomSurfacePointNear(place, hut, 30.0f, 90.0f);
      herd->SetPosition(place);
      herd->SetHome(place, 15.0f);
      herd->SetTarget(place);
    }
    GetDataManager()->CommitPending();
  }

  cQuietBoxes mBoxes;
  cTribeGameMode* mMode = nullptr;
};

void RunFrames(benchmark::State& state, bool rivals) {
  cBenchTribeWorld world(rivals);
  for (int i = 0; i < 60; ++i) world.Frame();  // past the first choices and placements
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) world.Frame();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  state.counters["creatures"] = (double)world.Creatures();
  state.counters["herds"] = (double)world.Herds();
  state.counters["frame_%"] = spent.count() / (double)state.iterations() / 16.7 * 100.0;  // of the 16.7 ms frame
}

void BM_TribeFrame_StartWorldReference(benchmark::State& state) { RunFrames(state, false); }
void BM_TribeFrame_FourRivalsOf25And30Herds(benchmark::State& state) { RunFrames(state, true); }

BENCHMARK(BM_TribeFrame_StartWorldReference)->Unit(benchmark::kMillisecond)->Iterations(3000);
BENCHMARK(BM_TribeFrame_FourRivalsOf25And30Herds)->Unit(benchmark::kMillisecond)->Iterations(3000);

}  // namespace
