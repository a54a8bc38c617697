// The controller's timing and choice rules, driven with fake agents.
#include <gtest/gtest.h>

#include "tests/sim/behavior/BehaviorFakes.h"

namespace {

cFakeInteraction* Current(cIInteractionAgent* agent) { return dynamic_cast<cFakeInteraction*>(agent->GetInteraction()); }

int DeletedCount(const std::string& name) {
  return static_cast<int>(std::count(FakeCounts::deleted.begin(), FakeCounts::deleted.end(), name));
}

TEST_F(BehaviorTest, EndedInteractionLivesThroughTheNextUpdateAndGoesAtTheStartOfTheOneAfter) {
  cFakeInteraction walk("walk", 5, 1);  // finishes on its first step
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  agent->candidates = {&walk};
  controller.AddAgent(agent.Get());

  controller.Update(16);  // chosen
  cFakeInteraction* first = Current(agent.Get());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->started, 1);

  controller.Update(16);  // N: stepped to its end; no new choice in the same update
  EXPECT_EQ(first->ended, 1);
  EXPECT_FALSE(agent->HasInteraction());

  controller.Update(16);  // N+1: still there, and the agent chose again
  EXPECT_EQ(first->stepped, 1u);  // readable: not freed (the sanitizer build would object)
  EXPECT_EQ(DeletedCount("walk"), 0);
  EXPECT_TRUE(agent->HasInteraction());

  controller.Update(16);  // N+2: deleted at the start
  EXPECT_EQ(DeletedCount("walk"), 1);
}

TEST_F(BehaviorTest, UpdateZeroOnlyFlushes) {
  cFakeInteraction rest("rest", 1, 100);
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  agent->candidates = {&rest};
  controller.AddAgent(agent.Get());
  controller.Update(40);
  ASSERT_TRUE(agent->HasInteraction());

  controller.Update(0);
  EXPECT_EQ(Current(agent.Get())->stepped, 0u);
  EXPECT_EQ(controller.GetLastUpdateTime(), 40u);

  agent->EndInteraction();  // queued now
  controller.Update(0);
  EXPECT_EQ(DeletedCount("rest"), 0);
  EXPECT_FALSE(agent->HasInteraction());  // an idle agent is not chosen for either
  controller.Update(0);
  EXPECT_EQ(DeletedCount("rest"), 1);
}

TEST_F(BehaviorTest, ChooserTakesTheStrictlyBestEnabledPerformableCandidate) {
  cFakeInteraction first("first", 5), second("second", 5), disabled("disabled", 100), unable("unable", 90),
      low("low", -3);
  disabled.SetEnabled(false);
  unable.canPerform = false;

  tRefPtr<cFakeAgent> ties(new cFakeAgent), skips(new cFakeAgent);
  ties->candidates = {&low, &first, &second};
  skips->candidates = {&disabled, &unable, &low};
  controller.AddAgent(ties.Get());
  controller.AddAgent(skips.Get());
  controller.Update(16);
  EXPECT_EQ(ties->GetInteraction()->GetName(), "first");  // ties go to the earlier
  EXPECT_EQ(skips->GetInteraction()->GetName(), "low");
}

TEST_F(BehaviorTest, ChooserNeverTakesTheFloorScoreNorChoosesForSuppressedAgents) {
  cFakeInteraction floor("floor", -1000000), below("below", -2000000), justAbove("above", -999999);
  tRefPtr<cFakeAgent> stuck(new cFakeAgent), suppressed(new cFakeAgent), chosen(new cFakeAgent);
  stuck->candidates = {&floor, &below};
  suppressed->candidates = {&justAbove};
  chosen->candidates = {&floor, &justAbove};
  EXPECT_FALSE(suppressed->SetSuppressChoice(true));
  EXPECT_TRUE(suppressed->SetSuppressChoice(true));  // returns the previous value
  for (auto* agent : {stuck.Get(), suppressed.Get(), chosen.Get()}) controller.AddAgent(agent);

  controller.Update(16);
  EXPECT_FALSE(stuck->HasInteraction());
  EXPECT_FALSE(suppressed->HasInteraction());
  ASSERT_TRUE(chosen->HasInteraction());
  EXPECT_EQ(chosen->GetInteraction()->GetName(), "above");
}

TEST_F(BehaviorTest, StartingOnABusyAgentEndsAndQueuesTheOldOneEvenWithoutANewOne) {
  cFakeInteraction eat("eat", 0, 100);
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  ASSERT_TRUE(agent->StartInteraction(&eat, 0));
  cFakeInteraction* old = Current(agent.Get());

  EXPECT_FALSE(agent->StartInteraction(nullptr, 0));
  EXPECT_EQ(old->ended, 1);
  EXPECT_FALSE(agent->HasInteraction());
  EXPECT_EQ(agent->refs, 2);  // the queued interaction still holds the agent

  controller.Update(0);
  controller.Update(0);
  EXPECT_EQ(DeletedCount("eat"), 1);
  EXPECT_EQ(agent->refs, 1);
}

TEST_F(BehaviorTest, AgentsRegisterOnceWithOneReference) {
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  EXPECT_TRUE(controller.AddAgent(agent.Get()));
  EXPECT_FALSE(controller.AddAgent(agent.Get()));
  EXPECT_EQ(agent->refs, 2);
  EXPECT_EQ(controller.GetAgentCount(), 1u);
  EXPECT_TRUE(controller.ContainsAgent(agent.Get()));
  EXPECT_TRUE(controller.RemoveAgent(agent.Get()));
  EXPECT_FALSE(controller.RemoveAgent(agent.Get()));
  EXPECT_FALSE(controller.ContainsAgent(agent.Get()));
  EXPECT_EQ(agent->refs, 1);
}

// A turn may remove other agents, including the next one in the list and one
// that nothing else holds; neither may be touched afterwards in that update.
TEST_F(BehaviorTest, RemovingOtherAgentsDuringAnUpdateIsSafe) {
  cFakeInteraction idle("idle", 0, 1000), killer("killer", 0, 1000);
  tRefPtr<cFakeAgent> hunter(new cFakeAgent), watched(new cFakeAgent);
  auto* unheld = new cFakeAgent;  // only the controller holds this one, and it is idle
  watched->candidates = {&idle};
  cFakeAgent* hunterAgent = hunter.Get();
  killer.onStep = [&](cFakeInteraction*) {
    controller.RemoveAgent(watched.Get());
    controller.RemoveAgent(unheld);
    controller.RemoveAgent(hunterAgent);  // itself as well
  };
  hunter->StartInteraction(&killer, 0);
  controller.AddAgent(hunter.Get());
  controller.AddAgent(watched.Get());
  controller.AddAgent(unheld);
  const int agentsBefore = FakeCounts::agents;

  controller.Update(16);  // the hunter's step removes everyone
  EXPECT_EQ(controller.GetAgentCount(), 0u);
  EXPECT_FALSE(watched->HasInteraction());       // removed before its turn: not chosen for
  EXPECT_EQ(FakeCounts::agents, agentsBefore - 1);  // the unheld one is gone

  hunter->EndInteraction();  // removal leaves a busy agent's interaction alone
}

// Many removals (before and during an update) and re-adds keep the order of
// addition: survivors in their order, a re-added agent at the end.
TEST_F(BehaviorTest, RemovalsAndReAddsKeepTheOrderOfAddition) {
  std::vector<tRefPtr<cFakeAgent>> agents;
  std::vector<int> turns;
  auto indexOf = [&](cIInteractionAgent* agent) {
    for (size_t i = 0; i < agents.size(); ++i)
      if (agents[i].Get() == agent) return static_cast<int>(i);
    return -1;
  };
  cFakeInteraction note("note", 0, 1000);
  note.onStep = [&](cFakeInteraction* self) {
    turns.push_back(indexOf(self->GetAgent()));
    if (turns.back() == 3) {  // removes one not yet stepped and one already stepped
      controller.RemoveAgent(agents[6].Get());
      controller.RemoveAgent(agents[0].Get());
    }
  };
  for (int i = 0; i < 12; ++i) {
    agents.emplace_back(new cFakeAgent);
    agents.back()->StartInteraction(&note, 0);
    controller.AddAgent(agents.back().Get());
  }
  for (int i : {1, 2, 4, 5, 7, 8, 10}) controller.RemoveAgent(agents[i].Get());  // past half: the slots close up
  controller.AddAgent(agents[4].Get());
  controller.Update(16);
  EXPECT_EQ(turns, (std::vector<int>{0, 3, 9, 11, 4}));
  turns.clear();
  controller.Update(16);
  EXPECT_EQ(turns, (std::vector<int>{3, 9, 11, 4}));
  EXPECT_EQ(controller.GetAgentCount(), 4u);
  for (auto& agent : agents) agent->EndInteraction();
}

TEST_F(BehaviorTest, AgentAddedDuringAnUpdateWaitsForTheNext) {
  cFakeInteraction graze("graze"), spawn("spawn", 0, 1000);
  tRefPtr<cFakeAgent> parent(new cFakeAgent), child(new cFakeAgent);
  child->candidates = {&graze};
  spawn.onStep = [&](cFakeInteraction*) { controller.AddAgent(child.Get()); };
  parent->StartInteraction(&spawn, 0);
  controller.AddAgent(parent.Get());
  controller.Update(16);
  EXPECT_TRUE(controller.ContainsAgent(child.Get()));
  EXPECT_FALSE(child->HasInteraction());
  controller.Update(16);
  EXPECT_TRUE(child->HasInteraction());
}

TEST_F(BehaviorTest, ClearKeepsQueuedInteractionsAndEndsRunningOnesSoNothingLeaks) {
  cFakeInteraction once("once", 0, 1), forever("forever", 0, 1000000);
  const int prototypes = FakeCounts::interactions;
  {
    tRefPtr<cFakeAgent> quick(new cFakeAgent), busy(new cFakeAgent);
    quick->candidates = {&once};
    busy->candidates = {&forever};
    controller.AddAgent(quick.Get());
    controller.AddAgent(busy.Get());
    controller.Update(10);
    controller.Update(10);  // "once" ended and queued; "forever" runs on
  }
  controller.Clear();
  EXPECT_EQ(controller.GetLastUpdateTime(), 0u);
  EXPECT_EQ(controller.GetAgentCount(), 0u);
  EXPECT_EQ(DeletedCount("forever"), 0);  // ended by Clear but still only queued
  controller.Update(0);
  controller.Update(0);
  EXPECT_EQ(DeletedCount("once"), 1);
  EXPECT_EQ(DeletedCount("forever"), 1);
  EXPECT_EQ(FakeCounts::interactions, prototypes);
  EXPECT_EQ(FakeCounts::agents, 0);
}

TEST_F(BehaviorTest, InstanceIsFreshBoundAndCarriesAPointerSizedTarget) {
  cFakeInteraction go("go");
  go.SetEnabled(false);  // the prototype's switch is not the instance's
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  ASSERT_TRUE(agent->StartInteraction(&go, 0));
  cIInteraction* instance = agent->GetInteraction();
  EXPECT_EQ(instance->GetTarget(), 77u);  // the class's default target
  EXPECT_TRUE(instance->IsEnabled());
  EXPECT_TRUE(instance->IsRunning());
  EXPECT_EQ(instance->GetAgent(), agent.Get());
  EXPECT_EQ(agent->refs, 2);

  cLocation* place = new cLocation(1.0f, 2.0f, 3.0f);
  ASSERT_TRUE(agent->StartInteraction(&go, TargetWordOf(place)));
  tTargetWord word = agent->GetInteraction()->GetTargetData();
  EXPECT_EQ(TargetOfWord(word), static_cast<cIInteractionTarget*>(place));
  auto* location = dynamic_cast<cILocation*>(TargetOfWord(word));
  ASSERT_NE(location, nullptr);
  EXPECT_EQ(location->GetPosition()[1], 2.0f);
  agent->EndInteraction();
  delete place;
}

TEST_F(BehaviorTest, InstantiateDeletesWhatIsNotAnInteraction) {
  cMakesForeign odd("odd");
  const int before = FakeCounts::interactions;
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  EXPECT_FALSE(agent->StartInteraction(&odd, 0));
  EXPECT_EQ(odd.Instantiate(agent.Get(), 0), nullptr);
  EXPECT_EQ(FakeCounts::interactions, before);
  EXPECT_EQ(agent->refs, 1);
}

TEST_F(BehaviorTest, StepThatStartsASuccessorKeepsIt) {
  cFakeInteraction second("second", 0, 1000), first("first", 0, 1);
  first.onStep = [&](cFakeInteraction* self) { self->GetAgent()->StartInteraction(&second, 0); };
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  controller.AddAgent(agent.Get());
  agent->StartInteraction(&first, 0);
  controller.Update(16);  // first's step starts second and answers 0
  ASSERT_TRUE(agent->HasInteraction());
  EXPECT_EQ(agent->GetInteraction()->GetName(), "second");
  EXPECT_EQ(Current(agent.Get())->ended, 0);
}

TEST_F(BehaviorTest, AnEndThatEndsItsAgentAgainIsDeletedOnce) {
  cFakeInteraction echo("echo", 0, 1000);
  echo.onEnd = [](cFakeInteraction* self) {
    if (self->ended == 1) self->GetAgent()->EndInteraction();
  };
  tRefPtr<cFakeAgent> agent(new cFakeAgent);
  agent->StartInteraction(&echo, 0);
  agent->EndInteraction();
  controller.Update(0);
  controller.Update(0);
  controller.Update(0);
  EXPECT_EQ(DeletedCount("echo"), 1);
}

}  // namespace
