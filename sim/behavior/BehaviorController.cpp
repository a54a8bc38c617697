#include "sim/behavior/BehaviorController.h"

#include <algorithm>

#include "sim/behavior/GroupInteraction.h"
#include "sim/behavior/Interaction.h"
#include "sim/behavior/MemberInteractionAgent.h"

namespace {
constexpr int32_t kNoScore = -1000000;  // a candidate must beat this to be chosen
}

cBehaviorController& GetBehaviorController() {
  // Never destroyed: agents and interactions may outlive static destruction order.
  static cBehaviorController* controller = new cBehaviorController;
  return *controller;
}

cBehaviorController::~cBehaviorController() {
  Clear();
  FlushDeletes();
  FlushDeletes();
}

void cBehaviorController::Clear() {
  // A busy agent and its interaction hold each other; ending the interaction
  // breaks that loop so the agent can go once its other holders let go.
  std::vector<tRefPtr<cIInteractionAgent>> dropped;
  dropped.swap(mAgents);
  // A fresh index: clear() would keep, and zero on every call, the buckets of
  // the largest list ever held.
  mSlots = decltype(mSlots)();
  mEmptySlots = 0;
  ++mRemovals;
  for (tRefPtr<cIInteractionAgent>& agent : dropped)
    if (agent) agent->EndInteraction();
  dropped.clear();
  mLastUpdateTime = 0;
}

void cBehaviorController::Update(uint32_t ms) {
  FlushDeletes();
  if (ms == 0) return;
  mLastUpdateTime = ms;

  // A turn may remove any agent, not only itself (a creature killed by another's
  // interaction), so walk a copy. The copy also holds every agent for its turn.
  std::vector<tRefPtr<cIInteractionAgent>> snapshot;
  snapshot.reserve(mAgents.size() - mEmptySlots);
  for (const tRefPtr<cIInteractionAgent>& agent : mAgents)
    if (agent) snapshot.push_back(agent);
  const uint32_t removalsBefore = mRemovals;
  for (tRefPtr<cIInteractionAgent>& agent : snapshot) {
    if (mRemovals != removalsBefore && !ContainsAgent(agent.Get())) continue;
    StepOrChoose(agent.Get());
  }
}

void cBehaviorController::StepOrChoose(cIInteractionAgent* agent) {
  if (cIInteraction* current = agent->GetInteraction()) {
    // Only end what was stepped: a step that started a successor and answered 0
    // must not end the successor.
    if (current->Step() == 0 && agent->GetInteraction() == current) agent->EndInteraction();
    return;  // finished this update: a new choice waits for the next one
  }
  if (!agent->IsChoiceSuppressed()) ChooseInteraction(agent);
}

void cBehaviorController::ChooseInteraction(cIInteractionAgent* agent) {
  tCandidateList* candidates = agent->GetCandidates();
  if (!candidates) return;
  cIInteraction* best = nullptr;
  int32_t bestScore = kNoScore;
  // By index: a candidate's answer may add to the agent's list.
  for (size_t i = 0; i < candidates->size(); ++i) {
    cIInteraction* candidate = (*candidates)[i];
    if (!candidate || !candidate->IsEnabled() || !candidate->CanPerform(agent, 0)) continue;
    int32_t score = candidate->Score(agent, 0);
    if (score > bestScore) {  // strictly: ties go to the earlier candidate
      best = candidate;
      bestScore = score;
    }
  }
  if (!best) return;
  agent->StartInteraction(best, 0);
  // Choosing for itself takes a member out of its group, started or not.
  if (auto* member = dynamic_cast<cMemberInteractionAgent*>(agent)) member->LeaveGroup();
}

void cBehaviorController::FlushDeletes() {
  // Deleting may release agents whose destructors queue more; work on a copy.
  // Each stays known as queued until it is gone, so nothing queues it twice.
  std::vector<cIInteraction*> doomed;
  doomed.swap(mDeleting);
  for (cIInteraction* interaction : doomed) {
    const uintptr_t key = reinterpret_cast<uintptr_t>(interaction);
    delete interaction;
    mQueued.erase(key);
  }
  mDeleting.insert(mDeleting.end(), mPendingDeletes.begin(), mPendingDeletes.end());
  mPendingDeletes.clear();
}

void cBehaviorController::QueueDelete(cIInteraction* interaction) {
  if (!interaction) return;
  // Queued twice would be deleted twice (an End that ends its agent again).
  if (!mQueued.insert(reinterpret_cast<uintptr_t>(interaction)).second) return;
  if (auto* group = dynamic_cast<cGroupInteraction*>(interaction)) group->DetachMembers();
  mPendingDeletes.push_back(interaction);
}

bool cBehaviorController::AddAgent(cIInteractionAgent* agent) {
  if (!agent || !mSlots.emplace(agent, mAgents.size()).second) return false;
  mAgents.emplace_back(agent);
  return true;
}

bool cBehaviorController::RemoveAgent(cIInteractionAgent* agent) {
  auto found = mSlots.find(agent);
  if (found == mSlots.end()) return false;
  tRefPtr<cIInteractionAgent> held = std::move(mAgents[found->second]);  // released after the list is consistent
  mSlots.erase(found);
  ++mEmptySlots;
  ++mRemovals;
  CompactIfSparse();
  return true;
}

void cBehaviorController::CompactIfSparse() {
  if (mEmptySlots * 2 <= mAgents.size()) return;
  std::erase_if(mAgents, [](const tRefPtr<cIInteractionAgent>& agent) { return !agent; });
  for (size_t i = 0; i < mAgents.size(); ++i) mSlots[mAgents[i].Get()] = i;
  mEmptySlots = 0;
}

void cBehaviorController::GetAgents(std::vector<cIInteractionAgent*>& out) const {
  for (const tRefPtr<cIInteractionAgent>& agent : mAgents)
    if (agent) out.push_back(agent.Get());
}

bool cBehaviorController::ContainsAgent(cIInteractionAgent* agent) { return mSlots.count(agent) != 0; }
