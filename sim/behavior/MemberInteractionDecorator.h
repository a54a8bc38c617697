// Wraps a member's own interaction so that it serves a group interaction:
// everything goes to the inner interaction, and ending it takes the member
// out of the group interaction's joined list.
#pragma once

#include "sim/behavior/Interaction.h"

class cGroupInteraction;

class cMemberInteractionDecorator : public cIInteraction {
 public:
  // Owns inner (may be null only for a decorator that is never run).
  cMemberInteractionDecorator(cIInteraction* inner, cGroupInteraction* group);
  cMemberInteractionDecorator(const cMemberInteractionDecorator&) = delete;
  cMemberInteractionDecorator& operator=(const cMemberInteractionDecorator&) = delete;
  ~cMemberInteractionDecorator() override;

  cIInteraction* Create() override;
  std::string GetName() override;
  uint32_t Step() override;
  bool CanPerform(cIInteractionAgent* agent, tTargetWord target) override;
  int32_t Score(cIInteractionAgent* agent, tTargetWord target) override;
  void Start() override;
  void End() override;
  tTargetWord GetDefaultTarget() override;
  uint32_t GetInteractionId() override;
  cIInteractionAgent* GetAgentInterface() override;
  cIInteractionAgent* GetAgent() override;
  tTargetWord GetTarget() override;
  tTargetWord GetTargetData() override;
  bool IsRunning() override;
  bool SetEnabled(bool enabled) override { return mEnabled = enabled; }
  bool IsEnabled() override { return mEnabled; }
  cIInteraction* Instantiate(cIInteractionAgent* agent, tTargetWord target) override;

  cIInteraction* GetInner() { return mInner; }
  cGroupInteraction* GetGroupInteraction() { return mGroup; }

 private:
  friend class cGroupInteraction;

  cIInteraction* mInner;
  cGroupInteraction* mGroup;  // not owned; cleared if the group interaction goes first
  bool mEnabled = true;
};
