// The behaviour controller's paths that touch every agent or interaction once,
// at N = 100 to 100,000, each beside the bare loop that only steps N current
// interactions. Read the "per_item" column: it must stay flat as N grows (a
// search per agent or per queued interaction shows as growth with N).
#include <benchmark/benchmark.h>

#include <vector>

#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/Interaction.h"

namespace {

class cBenchAgent : public cInteractionAgent {
 public:
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return ++mRefs; }
  int Release() override {
    if (--mRefs == 0) {
      delete this;
      return 0;
    }
    return mRefs;
  }
  tCandidateList* GetCandidates() override { return &mCandidates; }

 private:
  int mRefs = 0;
  tCandidateList mCandidates;
};

// Never finishes unless told to; may remove its own agent from the controller
// when stepped.
class cBenchWalk : public cInteraction {
 public:
  explicit cBenchWalk(bool finishes = false, bool removesAgent = false)
      : mFinishes(finishes), mRemovesAgent(removesAgent) {}
  cIInteraction* Create() override { return new cBenchWalk(mFinishes, mRemovesAgent); }
  std::string GetName() override { return "walk"; }
  uint32_t Step() override {
    if (mRemovesAgent) GetBehaviorController().RemoveAgent(GetAgent());
    return mFinishes ? 0 : ++mSteps != 0;
  }

 private:
  bool mFinishes, mRemovesAgent;
  uint32_t mSteps = 0;
};

struct Agents {
  explicit Agents(int count) {
    for (int i = 0; i < count; ++i) {
      auto* agent = new cBenchAgent;
      agent->AddRef();
      agents.push_back(agent);
    }
  }
  ~Agents() {
    for (cBenchAgent* agent : agents) {
      agent->EndInteraction();
      agent->Release();
    }
    Drain();
  }
  void StartAll(cIInteraction* prototype) {
    for (cBenchAgent* agent : agents) agent->StartInteraction(prototype, 0);
  }
  void RegisterAll() {
    for (cBenchAgent* agent : agents) GetBehaviorController().AddAgent(agent);
  }
  static void Drain() {
    GetBehaviorController().Clear();
    GetBehaviorController().Update(0);
    GetBehaviorController().Update(0);
  }
  std::vector<cBenchAgent*> agents;
};

void PerItem(benchmark::State& state) {
  state.counters["per_item"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}

// The reference: step each agent's current interaction, nothing else.
void BM_BareStepLoop(benchmark::State& state) {
  Agents all(static_cast<int>(state.range(0)));
  cBenchWalk walk;
  all.StartAll(&walk);
  for (auto _ : state) {
    for (cBenchAgent* agent : all.agents) benchmark::DoNotOptimize(agent->GetInteraction()->Step());
  }
  PerItem(state);
}

// One update over N busy agents.
void BM_ControllerUpdate(benchmark::State& state) {
  Agents all(static_cast<int>(state.range(0)));
  cBenchWalk walk;
  all.StartAll(&walk);
  all.RegisterAll();
  for (auto _ : state) GetBehaviorController().Update(16);
  Agents::Drain();
  PerItem(state);
}

// Registering N agents (each checked for a duplicate), then dropping them.
void BM_RegisterAgents(benchmark::State& state) {
  Agents all(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    all.RegisterAll();
    GetBehaviorController().Clear();
  }
  PerItem(state);
}

// Times only `timed`: the set-up before it and the drain after it are not counted.
template <class Setup, class Timed>
void TimeBetweenSetUpAndDrain(benchmark::State& state, Setup setUp, Timed timed) {
  for (auto _ : state) {
    state.PauseTiming();
    setUp();
    state.ResumeTiming();
    timed();
    state.PauseTiming();
    Agents::Drain();
    state.ResumeTiming();
  }
  PerItem(state);
}

// Clear with N busy agents: every interaction is ended and queued for deletion.
void BM_ClearBusyAgents(benchmark::State& state) {
  Agents all(static_cast<int>(state.range(0)));
  cBenchWalk walk;
  TimeBetweenSetUpAndDrain(
      state,
      [&] {
        all.StartAll(&walk);
        all.RegisterAll();
      },
      [] { GetBehaviorController().Clear(); });
}

// One update in which every step removes its own agent.
void BM_UpdateRemovingEveryAgent(benchmark::State& state) {
  Agents all(static_cast<int>(state.range(0)));
  cBenchWalk leaver(false, true);
  TimeBetweenSetUpAndDrain(
      state,
      [&] {
        all.StartAll(&leaver);
        all.RegisterAll();
      },
      [] { GetBehaviorController().Update(16); });
}

// One update in which every interaction finishes, so N are queued for deletion.
void BM_UpdateEndingEveryInteraction(benchmark::State& state) {
  Agents all(static_cast<int>(state.range(0)));
  all.RegisterAll();
  cBenchWalk once(true);
  for (auto _ : state) {
    state.PauseTiming();
    all.StartAll(&once);
    GetBehaviorController().Update(0);
    GetBehaviorController().Update(0);
    state.ResumeTiming();
    GetBehaviorController().Update(16);
  }
  PerItem(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {100, 1000, 10000, 100000}) b->Arg(n);
  b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_BareStepLoop)->Apply(Sizes);
BENCHMARK(BM_ControllerUpdate)->Apply(Sizes);
BENCHMARK(BM_RegisterAgents)->Apply(Sizes);
BENCHMARK(BM_ClearBusyAgents)->Apply(Sizes);
BENCHMARK(BM_UpdateRemovingEveryAgent)->Apply(Sizes);
BENCHMARK(BM_UpdateEndingEveryInteraction)->Apply(Sizes);

}  // namespace
