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
//    removed on the way, over N objects that stay, beside
//    BM_CityVectorWalkReference/N, a plain loop over the same objects' Update.
//  - BM_CityRegistryQueuedRemovals/N: N objects queued for removal in one
//    update and removed after it, beside BM_CityRegistryRemoveNowReference/N,
//    the same objects removed one by one at once.
//  - BM_CityGroupsFrame/on: a frame of 20 citizens who start, join and leave
//    fights and songs and dance at a party, beside /off, the same city whose
//    citizens make no choices of their own (no group checks, no groups).
//  - BM_CityBusyFrame: a grown city's whole frame (20 citizens, 8 tribes of
//    10, 12 buildings joined by 10 roads, everyone making its own choices)
//    beside BM_CityFrame, the founded city's; "of16.7ms" is the share of a
//    60 Hz frame it takes (the goal is under 2 ms, 0.12).
//  - BM_CityFrameAtBounds/checks: a city founded with the largest counts the
//    tuning lets through (200 citizens, 200 tribes of 5: the tribes' members
//    are held together to 1,000), with the shipped
//    check periods (0) or every tribe member and citizen checking for a raid
//    defence in every frame (1), beside BM_CityFrame; "of100ms" is the share
//    of the 100 ms a frame may take.
//  - BM_CityRaidDefencePass/N: a tribe member's look for a citizen to come
//    out against while N citizens each stand in a raid defence of their own
//    out of its reach (the raid formula runs for every one, none is joined),
//    beside BM_CityRaidFormulaReference/N/asks: the formula alone run N times,
//    asking the disk for an edited file at the first run (0) or at every run (1).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <vector>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/citizens/CityTribe.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityCreation.h"
#include "math/Math.h"
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
  void Frame() {  // one 16 ms frame of the whole mode
    gCityNow += 16;
    mMode->Update(16);
    GetDataManager()->CommitPending();
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

// An object that stays: it counts the time it was given and never leaves,
// so every walk visits all of them.
class cWalkedObject : public tCityGameClass<cWalkedObject, cCityGameObject, 0x0B3C1A11> {
 public:
  void Update(uint32_t ms) override { mGiven += ms; }
  uint32_t mGiven = 0;
};

std::vector<cCityGameObject*> FillWithWalkedObjects(int count) {
  static auto* prototype = new cWalkedObject;  // the data manager keeps pointing at it
  GetDataManager()->RegisterType(prototype, prototype);
  std::vector<cCityGameObject*> objects;
  for (int i = 0; i < count; ++i) objects.push_back(CreateRegisteredCityObject<cWalkedObject>());
  GetDataManager()->CommitPending();
  return objects;
}

void BM_CityRegistryWalk(benchmark::State& state) {
  cBenchCity city;
  GetCityObjectRegistry().Clear();
  FillWithWalkedObjects((int)state.range(0));
  for (auto _ : state) GetCityObjectRegistry().UpdateAll(16);
  state.counters["objects"] = (double)GetCityObjectRegistry().GetCount();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CityRegistryWalk)->Arg(100)->Arg(1000)->Arg(10000);

void BM_CityVectorWalkReference(benchmark::State& state) {
  cBenchCity city;
  GetCityObjectRegistry().Clear();
  std::vector<cCityGameObject*> objects = FillWithWalkedObjects((int)state.range(0));
  for (auto _ : state)
    for (cCityGameObject* object : objects) object->Update(16);
  benchmark::ClobberMemory();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CityVectorWalkReference)->Arg(100)->Arg(1000)->Arg(10000);

void RemoveObjects(benchmark::State& state, bool queued) {
  cBenchCity city;
  GetCityObjectRegistry().Clear();
  for (auto _ : state) {
    state.PauseTiming();  // making the objects is not what is measured
    std::vector<cCityGameObject*> objects = FillWithWalkedObjects((int)state.range(0));
    state.ResumeTiming();
    for (cCityGameObject* object : objects) {
      if (queued) GetCityObjectRegistry().QueueRemoval(object);
      else GetCityObjectRegistry().RemoveNow(object);
    }
    if (queued) GetCityObjectRegistry().UpdateAll(16);
    state.PauseTiming();
    GetDataManager()->CommitPending();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
void BM_CityRegistryQueuedRemovals(benchmark::State& state) { RemoveObjects(state, true); }
void BM_CityRegistryRemoveNowReference(benchmark::State& state) { RemoveObjects(state, false); }
BENCHMARK(BM_CityRegistryQueuedRemovals)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CityRegistryRemoveNowReference)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

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

template <class T>
cCityGameBuilding* BenchBuilding(cCityGameCity* hall, int i) {
  auto* b = CreateRegisteredCityObject<T>();
  b->Initialize(hall);
  Ru::Math::Vector3 at = Ru::Math::Vector3Add(
      hall->GetPosition(), Ru::Math::Vector3{12.0f * std::cos(0.52f * (float)i), 0.0f, 12.0f * std::sin(0.52f * (float)i)});
  GetPlanetModel().ProjectToSurface(at, Ru::Math::Vector3{0.0f, 1.0f, 0.0f});
  b->SetPosition(at, Ru::Math::Vector3{});
  return b;
}

void BM_CityBusyFrame(benchmark::State& state) {
  cTuningData& tuning = GetCityGameTuning();
  if (uTuningValue* value = tuning.FindConstant("Initial Tribe Creatures", kTuningInt)) value->asInt = 10;
  tuning.ApplyConstants();
  cBenchCity city;
  cCityGameCity* hall = city.mMode->GetCity();
  while (GetCityObjectRegistry().CountObjectsOfClass<cCityGamePlayerCreature>() < 20)
    CreateRegisteredCityObject<cCityGamePlayerCreature>()->Initialize(hall);
  std::vector<cCityGameBuilding*> buildings;
  for (int i = 0; i < 12; ++i) {
    switch (i % 6) {
      case 0: buildings.push_back(BenchBuilding<cCityGameBuildingHouse>(hall, i)); break;
      case 1: buildings.push_back(BenchBuilding<cCityGameBuildingFactory>(hall, i)); break;
      case 2: buildings.push_back(BenchBuilding<cCityGameBuildingFarm>(hall, i)); break;
      case 3: buildings.push_back(BenchBuilding<cCityGameBuildingSilo>(hall, i)); break;
      case 4: buildings.push_back(BenchBuilding<cCityGameBuildingMarket>(hall, i)); break;
      default: buildings.push_back(BenchBuilding<cCityGameBuildingHouse>(hall, i)); break;
    }
  }
  GetDataManager()->CommitPending();
  for (int i = 0; i < 10; ++i)
    CreateRegisteredCityObject<cCityGameRoad>()->Connect(hall, buildings[i], Ru::Math::Vector3{1.0f, 0.0f, 0.0f},
                                                         buildings[i + 1], Ru::Math::Vector3{-1.0f, 0.0f, 0.0f});
  GetDataManager()->CommitPending();
  for (int warm = 0; warm < 100; ++warm) city.Frame();  // everyone under way before the timing starts
  for (auto _ : state) city.Frame();
  tuning.Reload();
  state.counters["objects"] = (double)GetCityObjectRegistry().GetCount();
  state.counters["of16.7ms"] = benchmark::Counter((double)state.iterations() * 0.0167, benchmark::Counter::kIsRate |
                                                                                         benchmark::Counter::kInvert);
}
BENCHMARK(BM_CityBusyFrame)->Unit(benchmark::kMicrosecond);

void BM_CityFrameAtBounds(benchmark::State& state) {
  cTuningData& tuning = GetCityGameTuning();
  for (const char* key : {"Initial Creatures", "Initial Tribes", "Initial Tribe Creatures"})
    if (uTuningValue* value = tuning.FindConstant(key, kTuningInt)) value->asInt = 1000000;  // cut to the bound
  if (state.range(0) != 0) {  // every member and citizen checking in every frame, not every few seconds
    if (uTuningValue* value = tuning.FindConstant("Tribe Raid Defense Check Frequency", kTuningFloat)) value->asFloat = 0.0f;
    if (uTuningValue* value = tuning.FindConstant("Raid Defense Start Chance", kTuningFloat)) value->asFloat = 100.0f;
  }
  tuning.ApplyConstants();
  {
    cBenchCity city;
    for (int warm = 0; warm < 3; ++warm) city.Frame();
    for (auto _ : state) city.Frame();
    state.counters["objects"] = (double)GetCityObjectRegistry().GetCount();
  }
  tuning.Reload();
  state.counters["of100ms"] = benchmark::Counter((double)state.iterations() * 0.1, benchmark::Counter::kIsRate |
                                                                                      benchmark::Counter::kInvert);
}
BENCHMARK(BM_CityFrameAtBounds)->ArgName("checks")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_CityRaidDefencePass(benchmark::State& state) {
  cBenchCity city;
  cCityGameCity* hall = city.mMode->GetCity();
  cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  while (registry.CountObjectsOfClass<cCityGamePlayerCreature>() < (int)state.range(0))
    CreateRegisteredCityObject<cCityGamePlayerCreature>()->Initialize(hall);
  GetDataManager()->CommitPending();
  std::vector<cCityGameTribe*> tribes;
  registry.CollectObjectsOfClass(tribes);
  if (tribes.empty() || tribes[0]->GetMembers().empty()) return state.SkipWithError("the founded city has no tribe");
  auto* member = dynamic_cast<cCityGameTribeCreature*>(registry.Find(tribes[0]->GetMembers()[0]));
  member->EndInteraction();
  Ru::Math::Vector3 far;  // across the planet from the village
  GetPlanetModel().ProjectToSurface(far, Ru::Math::Vector3Scale(tribes[0]->GetPosition(), -1.0f));
  std::vector<cCityGamePlayerCreature*> citizens;
  registry.CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* citizen : citizens) {
    citizen->EndInteraction();
    citizen->SetPosition(far, Ru::Math::Vector3{});
    auto* defence = CreateRegisteredCityObject<cCityGameRaidDefenseGroup>();
    defence->SetOwner(citizen->GetOwner());
    defence->SetPosition(far, Ru::Math::Vector3{});
    defence->Interact(citizen, nullptr, nullptr, 0);
  }
  GetDataManager()->CommitPending();
  for (auto _ : state) benchmark::DoNotOptimize(TryStartRaidDefense(member));
  state.counters["defences"] = (double)registry.CountObjectsOfClass<cCityGameRaidDefenseGroup>();
}
BENCHMARK(BM_CityRaidDefencePass)->Arg(20)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_CityRaidFormulaReference(benchmark::State& state) {
  cBenchCity city;
  nCityGameFormulas::cChancePlayerRaidSuccessful& formula = nCityGameFormulas::ChancePlayerRaidSuccessful();
  const int runs = (int)state.range(0);
  for (auto _ : state)
    for (int run = 0; run < runs; ++run)
      benchmark::DoNotOptimize(formula.Evaluate(5, false, 0.0f, run == 0 || state.range(1) != 0));
}
BENCHMARK(BM_CityRaidFormulaReference)->ArgNames({"", "asks"})->Args({20, 0})->Args({20, 1})->Args({200, 0})->Args({200, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
