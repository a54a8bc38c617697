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
//  - BM_CityGroupsFrame/on: a frame of 20 citizens who start, join and leave
//    fights and songs and dance at a party, beside /off, the same city whose
//    citizens make no choices of their own (no group checks, no groups).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <vector>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/citizens/CityTribe.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityGameCity.h"
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

void BM_CityGroupsFrame(benchmark::State& state) {
  cBenchCity city;
  cCityGameCity* hall = city.mMode->GetCity();
  while (GetCityObjectRegistry().CountObjectsOfClass<cCityGamePlayerCreature>() < 20)
    CreateRegisteredCityObject<cCityGamePlayerCreature>()->Initialize(hall);
  auto* party = CreateRegisteredCityObject<cCityGameParty>();
  party->SetSupplies(1000000);
  party->Initialize(hall);
  GetDataManager()->CommitPending();
  cTuningData& tuning = GetCityGameTuning();
  for (const char* key : {"Fight Start Chance", "Sing Start Chance", "Fight Attracted Chance", "Sing Attracted Chance"})
    if (uTuningValue* value = tuning.FindConstant(key, kTuningFloat)) value->asFloat = 0.3f;
  tuning.ApplyConstants();
  std::vector<cCityGamePlayerCreature*> citizens;
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (size_t i = 0; i < citizens.size(); ++i) {
    citizens[i]->SetOwnChoices(state.range(0) != 0);
    citizens[i]->SetMotive(0, i % 2 ? 18.0f : 95.0f);
    citizens[i]->SetPosition(i % 4 ? hall->GetPosition() : party->GetPosition(), Ru::Math::Vector3{});
  }
  for (auto _ : state) {
    gCityNow += 16;
    city.mMode->Update(16);
    GetDataManager()->CommitPending();
  }
  tuning.Reload();
  state.counters["groups"] = (double)GetCityObjectRegistry().CountObjectsOfClass<cCityGameGroup>();
}
BENCHMARK(BM_CityGroupsFrame)->ArgName("on")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
