// The tribe walks its hut to a new place: it gathers round the hut, then
// walks to the new place in formation while the hut and the tools follow the
// party's centre and the move script sets the carriers' speed and drains.
#include <vector>

#include "math/Math.h"
#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeGround.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/TribeTool.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

constexpr float kGatherNearest = 3.5f;   // the party gathers this far from its hut ...
constexpr float kGatherFarthest = 4.0f;  // ... and no farther

}  // namespace

void cTribeGroupMoveHut::Start() {
  cTribeGroupInteraction::Start();
  LoadTribeProgram(eTribeProgram::MoveHutResult, "Script Error", "Couldn't load program tribe_move_hut_result.txt");
}

void cTribeGroupMoveHut::End() {
  cTribeGroupInteraction::End();
  FreeLocationTarget();
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
  if (!hut || !LocationOf(GetTarget())) return false;
  const Vector3 centre = hut->GetPositionVector();
  for (cTribeCreature* member : GetPartyMembers()) {
    Vector3 spot;
    GetPlanetModel().GetRandomSurfacePointNear(spot, centre, kGatherNearest, kGatherFarthest);
    StartWalkTo(member, spot.Ptr());
  }
  return true;
}

void cTribeGroupMoveHut::WalkInFormation() {
  cTribe* tribe = GetPartyTribe();
  cTribeHut* hut = tribe ? tribe->GetHut() : nullptr;
  cILocation* target = LocationOf(GetTarget());
  if (!hut || !target) return;
  const Vector3 from = hut->GetPositionVector();
  const float* t = target->GetPosition();
  const Vector3 to{t[0], t[1], t[2]};
  // Everyone keeps its place around the hut, so the party arrives in the shape it left in.
  for (cTribeCreature* member : GetPartyMembers()) {
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
  const std::vector<cTribeCreature*> members = GetPartyMembers();
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
  for (cTribeCreature* member : GetPartyMembers()) {
    member->SetEnergy(member->GetEnergy() - seconds * mEnergyDrain);
    member->SetHunger(member->GetHunger() - seconds * mFoodDrain);
    member->SetHealth(member->GetHealth() - seconds * mHealthDrain);
  }
}

void cTribeGroupMoveHut::FollowParty() {
  const std::vector<cTribeCreature*> members = GetPartyMembers();
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
    (*tool)->SetPosition(ToolStandPoint(moved));
  }
}
