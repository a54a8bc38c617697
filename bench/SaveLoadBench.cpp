// The data manager's save and load paths over N objects, each beside a plain
// loop over the same N: the removal of every live object before a load, a
// save, a load into an empty game and a load over a running game. Items per
// second must stay flat as N grows from 100 to 100,000.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"

namespace {

struct cBenchThing : Ko::cGameData, Ko::cIGameDataSerializer, Ko::cIGameDataClient {
  static constexpr uint32_t kTypeId = 0x42454E43;
  uint32_t value = 0;
  Ko::cIGameData* Create() override { return new cBenchThing; }
  uint32_t GetTypeId() override { return kTypeId; }
  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) override {
    stream.WriteUInt32(&static_cast<cBenchThing*>(object)->value);
  }
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) override {
    static_cast<cBenchThing*>(object)->value = stream.ReadUInt32Value();
  }
};

// Removes every thing before a load, as a mode removes its own objects.
struct cBenchOwner : Ko::cIGameDataClient {
  cDataManager* manager = nullptr;
  void BeforeLoad() override {
    for (Ko::cIGameData* object : manager->GetObjectsOfType(cBenchThing::kTypeId)) manager->Remove(object);
  }
};

// A manager with the thing type, its owner and N live things.
struct cBenchGame {
  cDataManager manager;
  cBenchThing prototype;
  cBenchOwner owner;
  explicit cBenchGame(int64_t count) {
    owner.manager = &manager;
    manager.RegisterType(&prototype, &prototype);
    manager.AddClient(&owner);
    AddThings(count);
  }
  ~cBenchGame() { manager.ResetForTest(); }
  void AddThings(int64_t count) {
    for (int64_t i = 0; i < count; ++i) static_cast<cBenchThing*>(manager.CreateObject(cBenchThing::kTypeId))->value = (uint32_t)i;
    manager.CommitPending();
  }
};

// The load report names every live object on standard output; the benchmark
// table must stay readable, so it goes to /dev/null while a case runs.
struct cQuietStdout {
  int saved = dup(STDOUT_FILENO);
  cQuietStdout() {
    fflush(stdout);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDOUT_FILENO);
    close(devnull);
  }
  ~cQuietStdout() {
    fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
};

std::string BenchFile(const char* name) {
  // Memory-backed where there is one, so the disk does not blur the figures.
  std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return folder + "/quorvel-bench-" + std::to_string(getpid()) + "-" + name;
}

void BM_RemoveAllLiveObjects(benchmark::State& state) {
  cBenchGame game(0);
  for (auto _ : state) {
    game.AddThings(state.range(0));
    auto start = std::chrono::steady_clock::now();
    game.owner.BeforeLoad();
    auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Save(benchmark::State& state) {
  cBenchGame game(state.range(0));
  std::string file = BenchFile("save");
  for (auto _ : state) benchmark::DoNotOptimize(game.manager.Save(file));
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadIntoEmptyGame(benchmark::State& state) {
  std::string file = BenchFile("load-empty");
  cBenchGame saved(state.range(0));
  saved.manager.Save(file);
  cBenchGame game(0);
  cQuietStdout quiet;
  for (auto _ : state) {
    benchmark::DoNotOptimize(game.manager.Load(file));
    state.PauseTiming();
    game.manager.ResetForTest();  // back to an empty game
    game.manager.RegisterType(&game.prototype, &game.prototype);
    game.manager.AddClient(&game.owner);
    state.ResumeTiming();
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadOverRunningGame(benchmark::State& state) {
  cBenchGame game(state.range(0));
  std::string file = BenchFile("load-over");
  game.manager.Save(file);
  cQuietStdout quiet;
  for (auto _ : state) benchmark::DoNotOptimize(game.manager.Load(file));  // removes N, loads N
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The reference: one pass over N objects that touches each as a save or a load does.
void BM_PlainLoopOverObjects(benchmark::State& state) {
  std::vector<cBenchThing*> things;
  for (int64_t i = 0; i < state.range(0); ++i) things.push_back(new cBenchThing);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    for (cBenchThing* thing : things) {
      uint32_t value = thing->value + thing->GetTypeId();
      out.insert(out.end(), (uint8_t*)&value, (uint8_t*)&value + 4);
    }
    benchmark::DoNotOptimize(out.data());
  }
  for (cBenchThing* thing : things) delete thing;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_RemoveAllLiveObjects)->RangeMultiplier(10)->Range(100, 100000)->UseManualTime();
BENCHMARK(BM_Save)->RangeMultiplier(10)->Range(100, 100000);
BENCHMARK(BM_LoadIntoEmptyGame)->RangeMultiplier(10)->Range(100, 100000);
BENCHMARK(BM_LoadOverRunningGame)->RangeMultiplier(10)->Range(100, 100000);
BENCHMARK(BM_PlainLoopOverObjects)->RangeMultiplier(10)->Range(100, 100000);

// The references for the goals (a save at most 6x a raw write, a load at most
// 64x a raw read): the same file's bytes written and synced, and read back, bare.
std::vector<uint8_t> SavedBytes(int64_t count) {
  std::string file = BenchFile("raw-source");
  cBenchGame game(count);
  game.manager.Save(file);
  std::vector<uint8_t> bytes;
  std::string refusal;
  Sys_ReadWholeFile(file, SysFileKind::Save, bytes, refusal);
  std::remove(file.c_str());
  return bytes;
}

void BM_ReferenceRawWrite(benchmark::State& state) {
  const std::vector<uint8_t> bytes = SavedBytes(state.range(0));
  std::string file = BenchFile("raw-write");
  for (auto _ : state) {
    FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fflush(f);
    fsync(fileno(f));  // the save syncs too
    std::fclose(f);
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReferenceRawWrite)->RangeMultiplier(10)->Range(100, 100000);

void BM_ReferenceRawRead(benchmark::State& state) {
  const std::vector<uint8_t> bytes = SavedBytes(state.range(0));
  std::string file = BenchFile("raw-read");
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::vector<uint8_t> read;
  std::string refusal;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Sys_ReadWholeFile(file, SysFileKind::Save, read, refusal));
  }
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReferenceRawRead)->RangeMultiplier(10)->Range(100, 100000);

}  // namespace
