#include "modes/tribe/Tribe.h"

#include <algorithm>
#include <cmath>

#include "world/planet/SavedValueRepair.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeRecordFields.h"
#include "modes/tribe/TribeTool.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

uint32_t gTribeIdCounter = 0;

cTribe::cTribe() : mId(++gTribeIdCounter) {
  mHut = dynamic_cast<cTribeHut*>(GetDataManager()->CreateObject(cTribeHut::kTypeId));
  if (mHut) mHut->SetTribe(this);
  mBirthStopwatch.Restart();
  mNewMemberStopwatch.Restart();
}

cTribe::~cTribe() { ReleaseObjects(); }

void cTribe::SetColour(const Vector3& colour) {
  if (colour.x == mColour.x && colour.y == mColour.y && colour.z == mColour.z) return;
  mColour = colour;
  if (mHut && mHut->GetSceneObject()) mHut->GetSceneObject()->SetColour(colour);
  for (cTribeCreature* member : mMembers) member->SetColour(colour);
}

float cTribe::AddFood(float delta) {
  mFood += delta;
  if (mFood < 0.0f) mFood = 0.0f;
  return mFood;
}

bool cTribe::AddMember(cTribeCreature* creature) {
  if (!creature || FindMember(creature) != mMembers.end()) return false;
  creature->SetTribe(this);
  mMembers.push_back(creature);
  mNewMemberStopwatch.Restart();
  return true;
}

bool cTribe::RemoveMember(cTribeCreature* creature) {
  auto found = FindMember(creature);
  if (found == mMembers.end()) return false;
  mMembers.erase(found);
  return true;
}

cTribe::tMemberList::iterator cTribe::FindMember(cTribeCreature* creature) {
  return std::find(mMembers.begin(), mMembers.end(), creature);
}

void cTribe::TakeWholeBreedProgress() {
  // Whole births at once rather than one by one: a huge progress from a
  // file would otherwise never drop below 1 (1e30 - 1 is 1e30).
  if (mBreedProgress >= 1.0f) mBreedProgress -= std::floor(mBreedProgress);
}

cTribeTool* cTribe::AddTool(uint32_t kind, uint32_t level, const Vector3& position) {
  auto* tool = dynamic_cast<cTribeTool*>(GetDataManager()->CreateObject(cTribeTool::kTypeId));
  if (!tool) return nullptr;
  tool->SetKind(kind);
  tool->SetLevel(level);
  tool->SetPosition(position);
  // The tool made its cube before it had a place; stand it upright where it is put.
  Quaternion upright;
  cPlanetModel::MakeSurfaceOrientation(upright, position, Vector3{0.0f, 1.0f, 0.0f});
  tool->SetOrientation(upright);
  mTools.push_back(tool);
  return tool;
}

// A tool's cube holds a reference on it, so the cube goes first; then the
// data manager lets the tool go.
static void RemoveToolFromWorld(cTribeTool* tool) {
  tool->ReleaseSceneObject();
  GetDataManager()->Remove(tool);
}

void cTribe::RemoveTools(uint32_t kind, uint32_t level) {
  for (auto it = mTools.begin(); it != mTools.end();) {
    cTribeTool* tool = *it;
    if (tool->GetKind() == kind && tool->GetLevel() == level) {
      it = mTools.erase(it);
      RemoveToolFromWorld(tool);
    } else {
      ++it;
    }
  }
}

uint32_t cTribe::GetToolLevel(uint32_t kind) const {
  for (cTribeTool* tool : mTools)
    if (tool->GetKind() == kind) return tool->GetLevel();
  return 0;
}

bool cTribe::GetToolPosition(uint32_t kind, Vector3& out) const {
  for (cTribeTool* tool : mTools) {
    if (tool->GetKind() != kind) continue;
    out = tool->GetPosition();
    return true;
  }
  return false;
}

void cTribe::ReleaseObjects() {
  if (cTribeHut* hut = mHut) {
    mHut = nullptr;
    hut->ShowNestMeter(false);
    if (hut->GetTribe() == this) hut->SetTribe(nullptr);
    hut->ReleaseSceneObject();
    GetDataManager()->Remove(hut);
  }
  tToolList tools;
  tools.swap(mTools);
  for (cTribeTool* tool : tools) RemoveToolFromWorld(tool);
}

void cTribe::Write(cMemoryStream& stream, uint32_t) {
  stream.WriteFloat(&mFood);
  stream.WriteFloat(&mBreedProgress);
}

void cTribe::Read(cMemoryStream& stream, uint32_t version) {
  if (version < 2) return;
  float food = stream.ReadFloatValue();
  float progress = stream.ReadFloatValue();
  if (stream.HasFailed()) return;
  mFood = RepairedAmount(food, "tribe food");
  mBreedProgress = RepairedAmount(progress, "tribe breeding progress");
}

Ru::Math::Vector3 HutPositionOf(const cTribe* tribe) {
  cTribeHut* hut = tribe ? tribe->GetHut() : nullptr;
  return hut ? hut->GetPositionVector() : Ru::Math::Vector3{};
}
