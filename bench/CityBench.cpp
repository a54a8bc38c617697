// The city mode's frame and its registry walk, each beside a reference in the
// same run:
//  - BM_CityFrame: one 16 ms city frame of the founded city (tuning files
//    checked, cursor, behaviours, every object, the hall's formula run) beside
//    BM_CityFrameObjectsOnly, the registry's update alone; the difference is
//    what the watched files and the frame's bookkeeping cost.
//  - BM_CityTribesUpdate: the eight neighbouring tribes' own updates (hearts,
//    births and deaths, the shipped raid and recruit formulas once a rest is
//    over), beside BM_CityFrameObjectsOnly, the whole registry's.
//  - BM_CityRegistryWalk/N: the id-ordered walk that survives objects made and
//    removed on the way, beside BM_CityVectorWalkReference/N, a plain loop over
//    the same objects' Update.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <vector>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/citizens/CityTribe.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/objects/CityCreation.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/DataManager.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"

namespace {

uint32_t gCityNow = 1000;
uint32_t CityBenchClock() { return gCityNow; }

struct cQuietCityBoxes : cISysMessageSink {
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};

class cBenchCity {
 public:
  cBenchCity() {
    for (int up = 0; up < 3 && access("Data/Scripts", F_OK) != 0; ++up)
      if (chdir("..") != 0) break;
    Sys_SetMessageSink(&mBoxes);
    Sys_SetClockForTest(&CityBenchClock);
    ResetGameClockForTest();
    StartGameClock();
    GetDataManager()->ResetForTest();
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return 10.0f; }, 32));
    GetSceneManager().Clear();
    GetBehaviorController().Clear();
    GetCityObjectRegistry().Clear();
    mMode = new cCityGameMode();
    gCityGameMode = mMode;
    GetDataManager()->AddClient(mMode);
    mMode->Enter();
    GetDataManager()->CommitPending();
  }
  ~cBenchCity() {
    GetCityObjectRegistry().Clear();
    GetDataManager()->ResetForTest();
    GetSceneManager().Clear();
    delete mMode;
    gCityGameMode = nullptr;
    Sys_SetClockForTest(nullptr);
    Sys_SetMessageSink(nullptr);
  }
  cCityGameMode* mMode;

 private:
  cQuietCityBoxes mBoxes;
};

void BM_CityFrame(benchmark::State& state) {
  cBenchCity city;
  for (auto _ : state) {
    gCityNow += 16;
    city.mMode->Update(16);
    GetDataManager()->CommitPending();
  }
  state.counters["objects"] = (double)GetCityObjectRegistry().GetCount();
}
BENCHMARK(BM_CityFrame)->Unit(benchmark::kMicrosecond);

void BM_CityFrameObjectsOnly(benchmark::State& state) {
  cBenchCity city;
  for (auto _ : state) {
    gCityNow += 16;
    GetCityObjectRegistry().UpdateAll(16);
    GetDataManager()->CommitPending();
  }
}
BENCHMARK(BM_CityFrameObjectsOnly)->Unit(benchmark::kMicrosecond);

void BM_CityTribesUpdate(benchmark::State& state) {
  cBenchCity city;
  std::vector<cCityGameTribe*> tribes;
  GetCityObjectRegistry().CollectObjectsOfClass(tribes);
  for (auto _ : state) {
    gCityNow += 16;
    for (cCityGameTribe* tribe : tribes) tribe->Update(16);
    GetDataManager()->CommitPending();
  }
  state.counters["tribes"] = (double)tribes.size();
}
BENCHMARK(BM_CityTribesUpdate)->Unit(benchmark::kMicrosecond);

void BM_CityRegistryWalk(benchmark::State& state) {
  cBenchCity city;
  GetCityObjectRegistry().Clear();
  for (int i = 0; i < state.range(0); ++i) CreateRegisteredCityObject<cCityGameRoad>();
  GetDataManager()->CommitPending();
  for (auto _ : state) GetCityObjectRegistry().UpdateAll(16);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CityRegistryWalk)->Arg(100)->Arg(1000)->Arg(10000);

void BM_CityVectorWalkReference(benchmark::State& state) {
  cBenchCity city;
  GetCityObjectRegistry().Clear();
  std::vector<cCityGameObject*> objects;
  for (int i = 0; i < state.range(0); ++i) objects.push_back(CreateRegisteredCityObject<cCityGameRoad>());
  GetDataManager()->CommitPending();
  for (auto _ : state)
    for (cCityGameObject* object : objects) object->Update(16);
  benchmark::ClobberMemory();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CityVectorWalkReference)->Arg(100)->Arg(1000)->Arg(10000);

}  // namespace
