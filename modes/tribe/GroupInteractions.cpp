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
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/MemberInteractionDecorator.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

constexpr float kGatherNearest = 3.5f;  // the party gathers this far from its hut ...
constexpr float kGatherFarthest = 4.0f;  // ... and no farther

cTribeObjectController* Objects() {
  cTribeGameMode* mode = GetTribeGameMode();
  return mode ? mode->GetObjectController() : nullptr;
}

std::vector<cTribeCreature*> MembersOf(cTribeCreatureGroup* group) {
  std::vector<cTribeCreature*> members;
  if (group)
    for (auto member = group->MembersBegin(); member != group->MembersEnd(); ++member) members.push_back(member->Get());
  return members;
}

bool IsPlayerParty(cTribe* tribe) {
  cTribeObjectController* objects = Objects();
  return tribe && objects && tribe == objects->GetPlayerTribe();
}

void Deselect(cTribeCreature* creature) {
  cTribeObjectController* objects = Objects();
  if (!objects) return;
  objects->GetSelectionGroup()->RemoveMember(creature);
  objects->RestoreTribeColour(creature);  // white would still read as selected
}

// Locations handed to an interaction as its target are the interaction's to free.
void FreeLocationTarget(cInteraction* interaction) {
  cIInteractionTarget* target = TargetOfWord(interaction->GetTarget());
  interaction->SetTarget(0);
  if (dynamic_cast<cLocation*>(target)) delete target;
}

cILocation* LocationOfWord(tTargetWord word) { return dynamic_cast<cILocation*>(TargetOfWord(word)); }

}  // namespace

// ---- the common pattern -------------------------------------------------------------

cTribeCreatureGroup* cTribeGroupInteraction::GetGroupAgent() { return dynamic_cast<cTribeCreatureGroup*>(GetAgent()); }

cTribe* cTribeGroupInteraction::GetPartyTribe() {
  cTribeCreatureGroup* group = GetGroupAgent();
  if (!group || group->GetMemberCount() == 0) return nullptr;
  return group->MembersBegin()->Get()->GetTribe();
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

bool cTribeGroupRests::StartParty() {
  mPlayerParty = IsPlayerParty(GetPartyTribe());
  StartPart();
  return true;
}

void cTribeGroupRests::OnPartyDone() {
  if (!mPlayerParty) return;
  for (cTribeCreature* member : MembersOf(GetGroupAgent())) Deselect(member);
}

bool cTribeGroupNests::StartParty() {
  mPlayerParty = IsPlayerParty(GetPartyTribe());
  StartPart();
  return true;
}

void cTribeGroupNests::OnPartyDone() {
  if (!mPlayerParty) return;
  const cTribeTuningData& tuning = GetTribeTuningData();
  for (cTribeCreature* member : MembersOf(GetGroupAgent())) {
    const bool critical = member->GetHealth() < (float)tuning.GetCriticalHealthLevel() ||
                          member->GetEnergy() < (float)tuning.GetCriticalEnergyLevel() ||
                          member->GetHunger() < (float)tuning.GetCriticalHungerLevel();
    if (critical) Deselect(member);
  }
}

// ---- walking somewhere --------------------------------------------------------------------

cIInteraction* cTribeGroupGoToNewTarget::GetMemberPrototype() { return GetTribePrototype<cMemberGoToTarget>(); }

bool cTribeGroupGoToNewTarget::StartMembers(cIInteraction* prototype, tTargetWord target) {
  cILocation* location = LocationOfWord(target);
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
  for (cTribeCreature* member : MembersOf(GetGroupAgent())) {
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
  FreeLocationTarget(this);
}

// ---- moving the hut --------------------------------------------------------------------------

cIInteraction* cTribeGroupMoveHut::GetMemberPrototype() { return GetTribePrototype<cMemberGoToTarget>(); }

void cTribeGroupMoveHut::Start() {
  cTribeGroupInteraction::Start();
  LoadTribeProgram(eTribeProgram::MoveHutResult, "Script Error", "Couldn't load program tribe_move_hut_result.txt");
}

void cTribeGroupMoveHut::End() {
  cTribeGroupInteraction::End();
  FreeLocationTarget(this);
}

bool cTribeGroupMoveHut::StartWalkTo(cIInteractionAgent* member, const float position[3]) {
  auto* own = new cLocation(position[0], position[1], position[2]);
  if (StartMember(member, GetMemberPrototype(), TargetWordOf(own))) return true;
  delete own;
  return false;
}

bool cTribeGroupMoveHut::GatherRoundHut() {
  cTribe* tribe = GetPartyTribe();
  cTribeHut* hut = tribe ? tribe->GetHut() : nullptr;
  if (!hut || !LocationOfWord(GetTarget())) return false;
  const Vector3 centre = hut->GetPositionVector();
  for (cTribeCreature* member : MembersOf(GetGroupAgent())) {
    Vector3 spot;
    GetPlanetModel().GetRandomSurfacePointNear(spot, centre, kGatherNearest, kGatherFarthest);
    StartWalkTo(member, spot.Ptr());
  }
  return true;
}

void cTribeGroupMoveHut::WalkInFormation() {
  cTribe* tribe = GetPartyTribe();
  cTribeHut* hut = tribe ? tribe->GetHut() : nullptr;
  cILocation* target = LocationOfWord(GetTarget());
  if (!hut || !target) return;
  const Vector3 from = hut->GetPositionVector();
  const float* t = target->GetPosition();
  const Vector3 to{t[0], t[1], t[2]};
  // Everyone keeps its place around the hut, so the party arrives in the shape it left in.
  for (cTribeCreature* member : MembersOf(GetGroupAgent())) {
    Vector3 spot;
    GetPlanetModel().ProjectToSurface(spot, Vector3Add(to, Vector3Sub(member->GetPositionVector(), from)));
    StartWalkTo(member, spot.Ptr());
  }
}

uint32_t cTribeGroupMoveHut::Step() {
  cTribeCreatureGroup* group = GetGroupAgent();
  if (!group || group->GetMemberCount() == 0) {
    mMoveStopwatch.Stop();
    return 0;
  }
  switch (mPhase) {
    case 0:
      if (!GatherRoundHut()) return 0;
      mPhase = 1;
      return 1;
    case 1:
      if (!HasNoMembers()) return 1;
      WalkInFormation();
      mPhase = 2;
      mMoveStopwatch.Restart();
      mPreviousElapsed = mMoveStopwatch.GetElapsed();
      BeginMove();
      return 1;
    default: {
      if (HasNoMembers()) {
        mMoveStopwatch.Stop();
        return 0;
      }
      FollowParty();
      const uint32_t elapsed = mMoveStopwatch.GetElapsed();
      const float seconds = (float)(elapsed - mPreviousElapsed) * 0.001f;
      mPreviousElapsed = elapsed;
      ApplyDrain(seconds);
      return 1;
    }
  }
}

void cTribeGroupMoveHut::OnMemberLeft(cIInteractionAgent* member) {
  if (auto* creature = dynamic_cast<cTribeCreature*>(member)) creature->SetSpeedFactor(1.0f);
  BeginMove();
}

void cTribeGroupMoveHut::BeginMove() {
  if (mPhase != 2) return;
  const std::vector<cTribeCreature*> members = MembersOf(GetGroupAgent());
  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::MoveHutResult);
  // Set before every run: loading the script clears its variables.
  script.SetVariable("party_size", (float)members.size());
  script.Run();
  const float speed = script.GetVariable("speed_multiplier");
  for (cTribeCreature* member : members) member->SetSpeedFactor(speed);
  mEnergyDrain = script.GetVariable("energy_drain");
  mFoodDrain = script.GetVariable("food_drain");
  mHealthDrain = script.GetVariable("health_drain");
}

void cTribeGroupMoveHut::ApplyDrain(float seconds) {
  for (cTribeCreature* member : MembersOf(GetGroupAgent())) {
    member->SetEnergy(member->GetEnergy() - seconds * mEnergyDrain);
    member->SetHunger(member->GetHunger() - seconds * mFoodDrain);
    member->SetHealth(member->GetHealth() - seconds * mHealthDrain);
  }
}

void cTribeGroupMoveHut::FollowParty() {
  const std::vector<cTribeCreature*> members = MembersOf(GetGroupAgent());
  cTribe* tribe = GetPartyTribe();
  cTribeHut* hut = tribe ? tribe->GetHut() : nullptr;
  if (members.empty() || !hut) return;
  Vector3 centre{0.0f, 0.0f, 0.0f};
  for (cTribeCreature* member : members) centre = Vector3Add(centre, member->GetPositionVector());
  centre = Vector3Scale(centre, 1.0f / (float)members.size());
  const Vector3 shift = Vector3Sub(centre, hut->GetPositionVector());
  cPlanetModel& planet = GetPlanetModel();
  Vector3 moved;
  planet.ProjectToSurface(moved, Vector3Add(hut->GetPositionVector(), shift));
  hut->SetPosition(moved);
  for (auto tool = tribe->ToolsBegin(); tool != tribe->ToolsEnd(); ++tool) {
    planet.ProjectToSurface(moved, Vector3Add((*tool)->GetPosition(), shift));
    (*tool)->SetPosition(moved);
  }
}
