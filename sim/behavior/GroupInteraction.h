// Interactions carried out by a group: a herd eats together, a tribe hunts,
// two creatures mate. The group is an agent of its own (a cIGroupAgent) whose
// current interaction is a cGroupInteraction; each member runs its own part as
// a member interaction wrapped in a cMemberInteractionDecorator.
#pragma once

#include <cstddef>
#include <vector>

#include "sim/behavior/Interaction.h"
#include "sim/gamedata/RefPtr.h"

class cMemberInteractionAgent;
class cMemberInteractionDecorator;
class cGroupInteraction;

using tAgentList = std::vector<tRefPtr<cIInteractionAgent>>;

// Agents that stand for a group (a creature group, a tribe).
class cIGroupAgent {
 public:
  virtual ~cIGroupAgent() = default;
  virtual void GetMembers(tAgentList& members) = 0;  // each entry holds a reference
  virtual void RemoveMember(cIInteractionAgent* member) = 0;
};

// Interactions that are a member's part of a group interaction.
class cIMemberInteraction {
 public:
  virtual ~cIMemberInteraction() = default;
  virtual void SetGroupInteraction(cGroupInteraction* group) = 0;
};

class cGroupInteraction : public cInteraction {
 public:
  cGroupInteraction() = default;
  cGroupInteraction(const cGroupInteraction&) = delete;
  cGroupInteraction& operator=(const cGroupInteraction&) = delete;
  ~cGroupInteraction() override;

  // Binds a new instance and points the group agent's members at it, which
  // also stops the controller choosing for them. Null for an agent that is not
  // a group or has no members.
  cIInteraction* Instantiate(cIInteractionAgent* agent, tTargetWord target) override;

  virtual void GetMembers(tAgentList& members);  // the group agent's members
  virtual void DetachMembers();                  // queued for deletion: members still here leave
  virtual bool RemoveMember(cIInteractionAgent* agent);
  virtual void OnMemberLeft(cIInteractionAgent* agent) {}
  virtual bool StartMembers(cIInteraction* memberPrototype, tTargetWord target);  // stops at the first failure
  virtual bool StartMember(cIInteractionAgent* memberAgent, cIInteraction* memberPrototype, tTargetWord target);
  virtual bool HasNoMembers() { return mMembers.empty(); }
  virtual bool AddMember(cIInteractionAgent* agent);

  size_t GetJoinedCount() const { return mMembers.size(); }  // agents that joined through AddMember/StartMember

 private:
  friend class cMemberInteractionAgent;
  friend class cMemberInteractionDecorator;

  tAgentList mMembers;  // joined this interaction, in joining order
  // Who holds a plain pointer to this interaction, so that none is left
  // dangling when it is deleted: members whose group it is, and decorators
  // that report to it.
  std::vector<cMemberInteractionAgent*> mPointingMembers;
  std::vector<cMemberInteractionDecorator*> mPointingDecorators;
};
