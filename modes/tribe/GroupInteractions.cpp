#include "modes/tribe/GroupInteractions.h"

#include <vector>

#include "math/Math.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/MemberInteractionDecorator.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

bool IsPlayerTribe(cTribe* tribe) {
  cTribeObjectController* objects = GetTribeObjectController();
  return tribe && objects && tribe == objects->GetPlayerTribe();
}

void Deselect(cTribeCreature* creature) {
  cTribeObjectController* objects = GetTribeObjectController();
  if (!objects) return;
  objects->GetSelectionGroup()->RemoveMember(creature);
  objects->RestoreTribeColour(creature);  // white would still read as selected
}

}  // namespace

// ---- the common pattern -------------------------------------------------------------

cTribeCreatureGroup* cTribeGroupInteraction::GetGroupAgent() { return dynamic_cast<cTribeCreatureGroup*>(GetAgent()); }

cTribe* cTribeGroupInteraction::GetPartyTribe() {
  cTribeCreatureGroup* group = GetGroupAgent();
  if (!group || group->GetMemberCount() == 0) return nullptr;
  return group->MembersBegin()->Get()->GetTribe();
}

std::vector<cTribeCreature*> cTribeGroupInteraction::GetPartyMembers() {
  std::vector<cTribeCreature*> members;
  if (cTribeCreatureGroup* group = GetGroupAgent())
    for (auto member = group->MembersBegin(); member != group->MembersEnd(); ++member) members.push_back(member->Get());
  return members;
}

cILocation* cTribeGroupInteraction::LocationOf(tTargetWord target) { return dynamic_cast<cILocation*>(TargetOfWord(target)); }

void cTribeGroupInteraction::FreeLocationTarget() {
  cIInteractionTarget* target = TargetOfWord(GetTarget());
  SetTarget(0);
  if (dynamic_cast<cLocation*>(target)) delete target;
}

uint32_t cTribeGroupInteraction::Step() {
  cTribeCreatureGroup* group = GetGroupAgent();
  if (!group || group->GetMemberCount() == 0) return 0;
  if (mPhase == 0) {
    if (!StartParty()) return 0;
    mPhase = 1;
    return 1;
  }
  if (!HasNoMembers()) return 1;
  OnPartyDone();
  return 0;
}

bool cTribeGroupInteraction::StartMember(cIInteractionAgent* member, cIInteraction* prototype, tTargetWord target) {
  if (cGroupInteraction::StartMember(member, prototype, target)) return true;
  // Joined but not started: it would never report back, and the group would wait forever.
  cGroupInteraction::RemoveMember(member);
  return false;
}

// ---- the six simple groups --------------------------------------------------------------

cIInteraction* cTribeGroupDefends::GetMemberPrototype() { return GetTribePrototype<cMemberDefends>(); }
cIInteraction* cTribeGroupEats::GetMemberPrototype() { return GetTribePrototype<cMemberEats>(); }
cIInteraction* cTribeGroupGathers::GetMemberPrototype() { return GetTribePrototype<cMemberGathers>(); }
cIInteraction* cTribeGroupHeals::GetMemberPrototype() { return GetTribePrototype<cMemberHeals>(); }
cIInteraction* cTribeGroupNests::GetMemberPrototype() { return GetTribePrototype<cMemberNests>(); }
cIInteraction* cTribeGroupRests::GetMemberPrototype() { return GetTribePrototype<cMemberRests>(); }

bool cTribePlayerPartyGroup::StartParty() {
  mPlayerParty = IsPlayerTribe(GetPartyTribe());
  StartPart();
  return true;
}

void cTribeGroupRests::OnPartyDone() {
  if (!IsPlayerParty()) return;
  for (cTribeCreature* member : GetPartyMembers()) Deselect(member);
}

void cTribeGroupNests::OnPartyDone() {
  if (!IsPlayerParty()) return;
  const cTribeTuningData& tuning = GetTribeTuningData();
  for (cTribeCreature* member : GetPartyMembers()) {
    const bool critical = member->GetHealth() < (float)tuning.GetCriticalHealthLevel() ||
                          member->GetEnergy() < (float)tuning.GetCriticalEnergyLevel() ||
                          member->GetHunger() < (float)tuning.GetCriticalHungerLevel();
    if (critical) Deselect(member);
  }
}

// ---- walking somewhere --------------------------------------------------------------------

cIInteraction* cTribeGroupGoToNewTarget::GetMemberPrototype() { return GetTribePrototype<cMemberGoToTarget>(); }

bool cTribeGroupGoToNewTarget::StartMembers(cIInteraction* prototype, tTargetWord target) {
  cILocation* location = LocationOf(target);
  if (!location) return false;
  tAgentList members;
  GetMembers(members);
  if (members.empty()) return false;
  const float* p = location->GetPosition();
  for (tRefPtr<cIInteractionAgent>& member : members) {
    // Each walk owns and frees its own copy of the place.
    auto* own = new cLocation(p[0], p[1], p[2]);
    if (!StartMember(member.Get(), prototype, TargetWordOf(own))) {
      delete own;
      return false;
    }
  }
  return true;
}

bool cTribeGroupGoToNewTarget::StartParty() {
  StartPart();
  if (mWaitTime > 0.0f || mSprint) PassSettingsToMembers();
  return true;
}

void cTribeGroupGoToNewTarget::PassSettingsToMembers() {
  for (cTribeCreature* member : GetPartyMembers()) {
    cIInteraction* current = member->GetInteraction();
    if (auto* decorator = dynamic_cast<cMemberInteractionDecorator*>(current)) current = decorator->GetInner();
    if (auto* walk = dynamic_cast<cMemberGoToTarget*>(current)) {
      walk->SetWaitTime(mWaitTime);
      walk->SetSprint(mSprint);
    }
  }
}

void cTribeGroupGoToNewTarget::End() {
  cTribeGroupInteraction::End();
  FreeLocationTarget();
}

// The hut move lives in GroupMoveHut.cpp.
cIInteraction* cTribeGroupMoveHut::GetMemberPrototype() { return GetTribePrototype<cMemberGoToTarget>(); }
