#include "sim/behavior/MemberInteractionAgent.h"

#include <algorithm>

#include "sim/behavior/GroupInteraction.h"

cMemberInteractionAgent::~cMemberInteractionAgent() { LeaveGroup(); }

cIGroupAgent* cMemberInteractionAgent::GroupAgentOfGroup() {
  if (!mGroup) return nullptr;
  return dynamic_cast<cIGroupAgent*>(mGroup->GetAgent());
}

void cMemberInteractionAgent::PointAt(cIInteraction* group) {
  if (auto* old = dynamic_cast<cGroupInteraction*>(mGroup)) {
    auto& list = old->mPointingMembers;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  mGroup = group;
  if (auto* now = dynamic_cast<cGroupInteraction*>(mGroup)) now->mPointingMembers.push_back(this);
}

bool cMemberInteractionAgent::SetGroup(cIInteraction* group) {
  if (group != mGroup) {
    LeaveGroup();
    PointAt(group);
  }
  return false;
}

void cMemberInteractionAgent::LeaveGroup() {
  if (!mGroup) return;
  cIInteraction* group = mGroup;
  if (cIGroupAgent* groupAgent = GroupAgentOfGroup()) groupAgent->RemoveMember(this);
  SetSuppressChoice(false);
  if (auto* groupInteraction = dynamic_cast<cGroupInteraction*>(group)) groupInteraction->OnMemberLeft(this);
  if (mGroup == group) PointAt(nullptr);
}

bool cMemberInteractionAgent::StartInteraction(cIInteraction* prototype, tTargetWord target) {
  cIGroupAgent* before = GroupAgentOfGroup();
  bool started = cInteractionAgent::StartInteraction(prototype, target);
  cIGroupAgent* after = GroupAgentOfGroup();
  if (before && before != after) before->RemoveMember(this);
  return started;
}
