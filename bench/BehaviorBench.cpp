// The controller's update over many busy agents, beside the bare loop that
// only steps each current interaction: the difference is what the snapshot,
// the references held for each turn and the deletion flush cost.
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

class cBenchWalk : public cInteraction {
 public:
  cIInteraction* Create() override { return new cBenchWalk; }
  std::string GetName() override { return "walk"; }
  uint32_t Step() override { return ++mSteps != 0; }  // never finishes

 private:
  uint32_t mSteps = 0;
};

struct BusyAgents {
  explicit BusyAgents(int count) {
    for (int i = 0; i < count; ++i) {
      auto* agent = new cBenchAgent;
      agent->AddRef();
      agent->StartInteraction(&prototype, 0);
      agents.push_back(agent);
    }
  }
  ~BusyAgents() {
    for (cBenchAgent* agent : agents) {
      agent->EndInteraction();
      agent->Release();
    }
    GetBehaviorController().Update(0);
    GetBehaviorController().Update(0);
  }
  cBenchWalk prototype;
  std::vector<cBenchAgent*> agents;
};

void BM_ControllerUpdate(benchmark::State& state) {
  BusyAgents busy(static_cast<int>(state.range(0)));
  cBehaviorController& controller = GetBehaviorController();
  for (cBenchAgent* agent : busy.agents) controller.AddAgent(agent);
  for (auto _ : state) controller.Update(16);
  controller.Clear();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BareStepLoop(benchmark::State& state) {
  BusyAgents busy(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (cBenchAgent* agent : busy.agents) benchmark::DoNotOptimize(agent->GetInteraction()->Step());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ControllerUpdate)->Arg(100)->Arg(1000);
BENCHMARK(BM_BareStepLoop)->Arg(100)->Arg(1000);

}  // namespace
