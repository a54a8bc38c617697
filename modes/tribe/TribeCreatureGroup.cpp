#include "modes/tribe/TribeCreatureGroup.h"

#include <algorithm>

#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

cTribeCreatureGroup::~cTribeCreatureGroup() { mMembers.clear(); }

int cTribeCreatureGroup::Release() {
  if (mRefCount > 0) --mRefCount;
  if (mRefCount == 0) {
    delete this;
    return 0;
  }
  return int(mRefCount);
}

tCandidateList* cTribeCreatureGroup::GetCandidates() {
  static auto* none = new tCandidateList;  // stays empty: groups are told what to do
  return none;
}

void cTribeCreatureGroup::AddMember(cTribeCreature* creature) {
  if (creature) mMembers.emplace_back(creature);
}

bool cTribeCreatureGroup::RemoveMember(cTribeCreature* creature) {
  // Taken out of the list before any reference goes, so a creature freed by
  // its release never sees itself still listed.
  tMemberList removed;
  auto firstRemoved = std::stable_partition(mMembers.begin(), mMembers.end(),
                                            [creature](const tRefPtr<cTribeCreature>& m) { return m.Get() != creature; });
  std::move(firstRemoved, mMembers.end(), std::back_inserter(removed));
  mMembers.erase(firstRemoved, mMembers.end());
  return !removed.empty();
}

bool cTribeCreatureGroup::Contains(cTribeCreature* creature) const {
  return std::any_of(mMembers.begin(), mMembers.end(),
                     [creature](const tRefPtr<cTribeCreature>& m) { return m.Get() == creature; });
}

void cTribeCreatureGroup::SendMembersTo(Vector3 position) {
  bool first = true;
  const tMemberList members = mMembers;  // a member's move may not change who is here
  for (const tRefPtr<cTribeCreature>& member : members) {
    if (first) {
      member->SetDestinationNear(position, -1.0f);
      first = false;
      continue;
    }
    const float scale = GetSharedTuningData().GetCreatureScale(0);
    Vector3 near;
    GetPlanetModel().GetRandomSurfacePointNear(near, position, scale, 2.0f * scale);
    member->SetDestinationNear(near, -1.0f);
  }
}

void cTribeCreatureGroup::StartGoToTarget(cIInteractionTarget* target) {
  auto* location = dynamic_cast<cILocation*>(target);
  if (!location) return;
  const float* p = location->GetPosition();
  const Vector3 position{p[0], p[1], p[2]};  // where the target is now, for every member
  const tMemberList members = mMembers;
  for (const tRefPtr<cTribeCreature>& member : members) {
    // The walk owns and frees its location.
    auto* own = new cLocation(position.x, position.y, position.z);
    if (!member->StartInteraction(GetTribePrototype<cMemberGoToTarget>(), TargetWordOf(own))) delete own;
  }
}

void cTribeCreatureGroup::Clear() {
  tMemberList dropped;
  dropped.swap(mMembers);
}

void cTribeCreatureGroup::GetMembers(tAgentList& members) {
  for (const tRefPtr<cTribeCreature>& member : mMembers) members.emplace_back(member.Get());
}

void cTribeCreatureGroup::RemoveMember(cIInteractionAgent* member) { RemoveAgent(member); }

bool cTribeCreatureGroup::RemoveAgent(cIInteractionAgent* agent) {
  auto* creature = dynamic_cast<cTribeCreature*>(agent);
  if (!creature) return false;
  RemoveMember(creature);
  return true;
}

cTransientCreatureGroup::cTransientCreatureGroup(const cTribeCreatureGroup& from) {
  for (auto it = from.MembersBegin(); it != from.MembersEnd(); ++it) cTribeCreatureGroup::AddMember(it->Get());
}

bool cTransientCreatureGroup::StartInteraction(cIInteraction* prototype, tTargetWord target) {
  if (GetMemberCount() == 0) {
    GetBehaviorController().RemoveAgent(this);
    return false;
  }
  return cTribeCreatureGroup::StartInteraction(prototype, target);
}

bool cTransientCreatureGroup::RemoveMember(cTribeCreature* creature) {
  tRefPtr<cIInteractionAgent> keepAlive(this);  // the controller may hold the last other reference
  bool removed = cTribeCreatureGroup::RemoveMember(creature);
  if (GetMemberCount() == 0) {
    GetBehaviorController().RemoveAgent(this);
    // Nothing steps a group outside the controller, so its interaction ends
    // here; left running, the two would hold each other for ever (an order
    // whose members were given a new one).
    EndInteraction();
  }
  return removed;
}
