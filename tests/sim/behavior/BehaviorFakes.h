// Fake agents and interactions for the behaviour tests. Every fake counts its
// live instances, so a test can check that nothing outlives the queues.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/GroupInteraction.h"
#include "sim/behavior/Interaction.h"
#include "sim/behavior/MemberInteractionAgent.h"
#include "sim/behavior/MemberInteractionDecorator.h"

struct FakeCounts {
  static inline int agents = 0;
  static inline int interactions = 0;
  static inline std::vector<std::string> deleted;  // names of deleted interactions, in order
};

// Reference counting as the modes' game-data agents do it.
template <class Base>
class tFakeAgent : public Base {
 public:
  tFakeAgent() { ++FakeCounts::agents; }
  ~tFakeAgent() override { --FakeCounts::agents; }
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return ++refs; }
  int Release() override {
    if (--refs == 0) {
      delete this;
      return 0;
    }
    return refs;
  }
  tCandidateList* GetCandidates() override { return &candidates; }

  int refs = 0;
  bool refuseStarts = false;  // fake interactions will not instantiate for this agent
  tCandidateList candidates;
};
using cFakeAgent = tFakeAgent<cInteractionAgent>;
using cFakeMember = tFakeAgent<cMemberInteractionAgent>;

class cFakeGroupAgent : public tFakeAgent<cInteractionAgent>, public cIGroupAgent {
 public:
  void GetMembers(tAgentList& out) override { out.insert(out.end(), members.begin(), members.end()); }
  void RemoveMember(cIInteractionAgent* member) override {
    ++removeCalls;
    members.erase(std::remove(members.begin(), members.end(), member), members.end());
  }
  tAgentList members;
  int removeCalls = 0;
};

// Runs for `steps` steps, then answers 0. Instances copy the prototype's settings.
class cFakeInteraction : public cInteraction {
 public:
  explicit cFakeInteraction(std::string name = "fake", int32_t score = 0, uint32_t steps = 1)
      : name(std::move(name)), score(score), steps(steps) {
    ++FakeCounts::interactions;
  }
  ~cFakeInteraction() override {
    --FakeCounts::interactions;
    if (instance) FakeCounts::deleted.push_back(name);
  }
  cIInteraction* Create() override {
    auto* made = new cFakeInteraction(name, score, steps);
    made->instance = true;
    made->canPerform = canPerform;
    made->onStep = onStep;
    made->onEnd = onEnd;
    made->onStart = onStart;
    made->stopRunningAfterStep = stopRunningAfterStep;
    return made;
  }
  std::string GetName() override { return name; }
  uint32_t Step() override {
    ++stepped;
    if (onStep) onStep(this);
    if (stopRunningAfterStep) SetRunning(false);
    return stepped >= steps ? 0 : 1;
  }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return canPerform; }
  int32_t Score(cIInteractionAgent*, tTargetWord) override { return score; }
  void Start() override {
    ++started;
    cInteraction::Start();
    if (onStart) onStart(this);
  }
  void End() override {
    ++ended;
    if (onEnd) onEnd(this);
  }
  tTargetWord GetDefaultTarget() override { return 77; }
  cIInteraction* Instantiate(cIInteractionAgent* agent, tTargetWord target) override {
    auto* fake = dynamic_cast<cFakeAgent*>(agent);
    auto* member = dynamic_cast<cFakeMember*>(agent);
    if ((fake && fake->refuseStarts) || (member && member->refuseStarts)) return nullptr;
    return cInteraction::Instantiate(agent, target);
  }

  std::string name;
  int32_t score;
  uint32_t steps;
  bool canPerform = true;
  bool stopRunningAfterStep = false;
  bool instance = false;  // made by Create, not a prototype
  std::function<void(cFakeInteraction*)> onStep, onStart, onEnd;
  uint32_t stepped = 0;
  int started = 0, ended = 0;
};

// A member's own part that wants to know its group interaction.
class cFakeMemberPart : public cFakeInteraction, public cIMemberInteraction {
 public:
  using cFakeInteraction::cFakeInteraction;
  cIInteraction* Create() override {
    auto* made = new cFakeMemberPart(name, score, steps);
    made->instance = true;
    made->canPerform = canPerform;
    made->stopRunningAfterStep = stopRunningAfterStep;
    return made;
  }
  void SetGroupInteraction(cGroupInteraction* group) override { told = group; }
  cGroupInteraction* told = nullptr;
};

class cFakeGroupInteraction : public cGroupInteraction {
 public:
  explicit cFakeGroupInteraction(std::string name = "group") : name(std::move(name)) { ++FakeCounts::interactions; }
  ~cFakeGroupInteraction() override {
    --FakeCounts::interactions;
    if (instance) FakeCounts::deleted.push_back(name);
  }
  cIInteraction* Create() override {
    auto* made = new cFakeGroupInteraction(name);
    made->instance = true;
    return made;
  }
  std::string GetName() override { return name; }
  uint32_t Step() override { return finished ? 0 : 1; }
  void OnMemberLeft(cIInteractionAgent*) override { ++membersLeft; }

  std::string name;
  bool finished = false;
  bool instance = false;
  int membersLeft = 0;
};

// Makes something that is an interaction by interface only.
class cForeignInteraction : public cIInteraction {
 public:
  cForeignInteraction() { ++FakeCounts::interactions; }
  ~cForeignInteraction() override { --FakeCounts::interactions; }
  cIInteraction* Create() override { return new cForeignInteraction; }
  std::string GetName() override { return "foreign"; }
  uint32_t Step() override { return 0; }
  bool CanPerform(cIInteractionAgent*, tTargetWord) override { return true; }
  int32_t Score(cIInteractionAgent*, tTargetWord) override { return 0; }
  void Start() override {}
  void End() override {}
  tTargetWord GetDefaultTarget() override { return 0; }
  uint32_t GetInteractionId() override { return 0; }
  cIInteractionAgent* GetAgentInterface() override { return nullptr; }
  cIInteractionAgent* GetAgent() override { return nullptr; }
  tTargetWord GetTarget() override { return 0; }
  tTargetWord GetTargetData() override { return 0; }
  bool IsRunning() override { return false; }
  bool SetEnabled(bool enabled) override { return enabled; }
  bool IsEnabled() override { return true; }
  cIInteraction* Instantiate(cIInteractionAgent*, tTargetWord) override { return nullptr; }
};

class cMakesForeign : public cFakeInteraction {
 public:
  using cFakeInteraction::cFakeInteraction;
  cIInteraction* Create() override { return new cForeignInteraction; }
};

// Starts each test with an empty controller and ends it by emptying the
// queues and checking that every fake was destroyed.
class BehaviorTest : public ::testing::Test {
 protected:
  cBehaviorController& controller = GetBehaviorController();
  void SetUp() override {
    Drain();
    FakeCounts::deleted.clear();
  }
  void TearDown() override {
    Drain();
    EXPECT_EQ(FakeCounts::interactions, fixturePrototypes) << "interactions outlived Clear and two flushes";
    EXPECT_EQ(FakeCounts::agents, 0) << "agents outlived Clear and two flushes";
  }
  void Drain() {
    controller.Clear();
    controller.Update(0);
    controller.Update(0);
  }
  bool Deleted(const std::string& name) const {
    return std::count(FakeCounts::deleted.begin(), FakeCounts::deleted.end(), name) > 0;
  }
  int fixturePrototypes = 0;  // prototypes that a derived fixture keeps until after TearDown
};
