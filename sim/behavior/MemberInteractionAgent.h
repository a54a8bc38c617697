// An agent that can belong to a group interaction. While it belongs to one the
// controller does not choose for it; choosing for itself takes it out again.
#pragma once

#include "sim/behavior/InteractionAgent.h"

class cGroupInteraction;
class cIGroupAgent;

class cMemberInteractionAgent : public cInteractionAgent {
 public:
  ~cMemberInteractionAgent() override;

  bool StartInteraction(cIInteraction* prototype, tTargetWord target) override;

  virtual bool HasGroup() { return mGroup != nullptr; }
  virtual cIInteraction* GetGroup() { return mGroup; }
  // Leaves the old group first when the group changes. Always returns false.
  virtual bool SetGroup(cIInteraction* group);
  // Tells the group agent, lifts the choice suppression and lets the group
  // interaction react; stays in the group interaction's joined list.
  virtual void LeaveGroup();

 private:
  friend class cGroupInteraction;

  cIGroupAgent* GroupAgentOfGroup();
  void PointAt(cIInteraction* group);  // keeps the group interaction's back-pointer list right

  cIInteraction* mGroup = nullptr;  // not owned
};
