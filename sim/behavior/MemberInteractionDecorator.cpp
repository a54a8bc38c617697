#include "sim/behavior/MemberInteractionDecorator.h"

#include <algorithm>

#include "sim/behavior/GroupInteraction.h"

cMemberInteractionDecorator::cMemberInteractionDecorator(cIInteraction* inner, cGroupInteraction* group)
    : mInner(inner), mGroup(group) {
  if (mGroup) mGroup->mPointingDecorators.push_back(this);
  if (auto* memberPart = dynamic_cast<cIMemberInteraction*>(mInner)) memberPart->SetGroupInteraction(group);
}

cMemberInteractionDecorator::~cMemberInteractionDecorator() {
  if (mGroup) {
    auto& list = mGroup->mPointingDecorators;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  delete mInner;
}

cIInteraction* cMemberInteractionDecorator::Create() {
  cIInteraction* inner = mInner ? mInner->Create() : nullptr;
  return inner ? new cMemberInteractionDecorator(inner, mGroup) : nullptr;
}

cIInteraction* cMemberInteractionDecorator::Instantiate(cIInteractionAgent* agent, tTargetWord target) {
  cIInteraction* inner = mInner ? mInner->Instantiate(agent, target) : nullptr;
  return inner ? new cMemberInteractionDecorator(inner, mGroup) : nullptr;
}

void cMemberInteractionDecorator::End() {
  if (!mInner) return;
  mInner->End();
  if (mGroup) mGroup->RemoveMember(mInner->GetAgent());
}

// Everything else is the inner interaction's. A decorator without one is only
// ever a temporary prototype, so its answers are those of an idle interaction.
std::string cMemberInteractionDecorator::GetName() { return mInner ? mInner->GetName() : std::string(); }
uint32_t cMemberInteractionDecorator::Step() { return mInner ? mInner->Step() : 0; }
bool cMemberInteractionDecorator::CanPerform(cIInteractionAgent* agent, tTargetWord target) {
  return mInner && mInner->CanPerform(agent, target);
}
int32_t cMemberInteractionDecorator::Score(cIInteractionAgent* agent, tTargetWord target) {
  return mInner ? mInner->Score(agent, target) : 0;
}
void cMemberInteractionDecorator::Start() {
  if (mInner) mInner->Start();
}
tTargetWord cMemberInteractionDecorator::GetDefaultTarget() { return mInner ? mInner->GetDefaultTarget() : 0; }
uint32_t cMemberInteractionDecorator::GetInteractionId() { return mInner ? mInner->GetInteractionId() : 0; }
cIInteractionAgent* cMemberInteractionDecorator::GetAgentInterface() { return GetAgent(); }
cIInteractionAgent* cMemberInteractionDecorator::GetAgent() { return mInner ? mInner->GetAgent() : nullptr; }
tTargetWord cMemberInteractionDecorator::GetTarget() { return GetTargetData(); }
tTargetWord cMemberInteractionDecorator::GetTargetData() { return mInner ? mInner->GetTargetData() : 0; }
bool cMemberInteractionDecorator::IsRunning() { return mInner && mInner->IsRunning(); }
