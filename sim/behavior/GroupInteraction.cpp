#include "sim/behavior/GroupInteraction.h"

#include <algorithm>

#include "sim/behavior/MemberInteractionAgent.h"
#include "sim/behavior/MemberInteractionDecorator.h"

cGroupInteraction::~cGroupInteraction() {
  // A member dropped from its group without leaving (or a decorated part that
  // outlives the group's work) would otherwise keep a pointer to freed memory.
  // A member left behind here missed its group's detaching, so it is free again.
  std::vector<cMemberInteractionAgent*> members;
  members.swap(mPointingMembers);
  for (cMemberInteractionAgent* member : members) {
    member->mGroup = nullptr;
    member->SetSuppressChoice(false);
  }
  for (cMemberInteractionDecorator* decorator : mPointingDecorators) decorator->mGroup = nullptr;
  mPointingDecorators.clear();
}

cIInteraction* cGroupInteraction::Instantiate(cIInteractionAgent* agent, tTargetWord target) {
  cIInteraction* instance = cInteraction::Instantiate(agent, target);
  if (!instance) return nullptr;
  auto* groupAgent = dynamic_cast<cIGroupAgent*>(agent);
  tAgentList members;
  if (groupAgent) groupAgent->GetMembers(members);
  if (members.empty()) {
    delete instance;
    return nullptr;
  }
  for (tRefPtr<cIInteractionAgent>& member : members) {
    // Point first, suppress after: moving from another group leaves that one,
    // which would lift the suppression again.
    if (auto* memberAgent = dynamic_cast<cMemberInteractionAgent*>(member.Get())) memberAgent->SetGroup(instance);
    member->SetSuppressChoice(true);
  }
  return instance;
}

void cGroupInteraction::GetMembers(tAgentList& members) {
  if (auto* groupAgent = dynamic_cast<cIGroupAgent*>(GetAgent())) groupAgent->GetMembers(members);
}

void cGroupInteraction::DetachMembers() {
  tAgentList members;
  GetMembers(members);
  for (tRefPtr<cIInteractionAgent>& member : members) {
    auto* memberAgent = dynamic_cast<cMemberInteractionAgent*>(member.Get());
    if (memberAgent && memberAgent->GetGroup() == this) memberAgent->LeaveGroup();
  }
}

bool cGroupInteraction::RemoveMember(cIInteractionAgent* agent) {
  auto found = std::find(mMembers.begin(), mMembers.end(), agent);
  if (found == mMembers.end()) return false;
  // A member that leaves while its part still runs hands the work back to the group.
  cIInteraction* part = agent->GetInteraction();
  if (part && part->IsRunning()) SetRunning(true);
  tRefPtr<cIInteractionAgent> held = std::move(*found);  // released after the list is consistent
  mMembers.erase(found);
  return true;
}

bool cGroupInteraction::AddMember(cIInteractionAgent* agent) {
  if (!agent || std::find(mMembers.begin(), mMembers.end(), agent) != mMembers.end()) return false;
  if (auto* memberAgent = dynamic_cast<cMemberInteractionAgent*>(agent)) memberAgent->SetGroup(this);
  mMembers.emplace_back(agent);
  return true;
}

bool cGroupInteraction::StartMember(cIInteractionAgent* memberAgent, cIInteraction* memberPrototype,
                                    tTargetWord target) {
  if (!memberAgent) return false;
  cIInteraction* part = memberPrototype ? memberPrototype->Create() : nullptr;
  // The temporary decorator is only a prototype: the member's Instantiate
  // through it makes the decorator instance that actually runs.
  cMemberInteractionDecorator prototype(part, this);
  AddMember(memberAgent);
  bool started = memberAgent->StartInteraction(part ? &prototype : nullptr, target);
  if (started) SetRunning(false);
  return started;
}

bool cGroupInteraction::StartMembers(cIInteraction* memberPrototype, tTargetWord target) {
  tAgentList members;
  GetMembers(members);
  if (members.empty()) return false;
  for (tRefPtr<cIInteractionAgent>& member : members) {
    if (!StartMember(member.Get(), memberPrototype, target)) return false;
  }
  return true;
}
