#include "modes/creature/CommonCreatureManager.h"

#include <algorithm>

#include "math/Math.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

cCommonCreatureManager* cCommonCreatureManager::Get() {
  static cCommonCreatureManager* manager = new cCommonCreatureManager();  // lives for the whole run
  return manager;
}

void cCommonCreatureManager::Register() {
  cDataManager* data = GetDataManager();
  if (data->IsTypeRegistered(cCreatureCommon::kTypeId)) return;
  static cCreatureCommon* prototype = new cCreatureCommon();
  data->RegisterType(prototype, Get());
  data->AddClient(Get());
}

cCreatureCommon* cCommonCreatureManager::CreateCommon() {
  auto* common = dynamic_cast<cCreatureCommon*>(GetDataManager()->CreateObject(cCreatureCommon::kTypeId));
  if (common) Keep(common);
  return common;
}

void cCommonCreatureManager::ReleaseCommon(cCreatureCommon* common) {
  if (!common) return;
  if (std::find(mCommons.begin(), mCommons.end(), common) == mCommons.end()) return;
  common->AddRef();  // the data manager's removal reaches ObjectRemoved and drops ours
  GetDataManager()->Remove(common);
  Drop(common);      // a record still pending is released without telling clients
  common->Release();
}

void cCommonCreatureManager::ResetForTest() {
  std::vector<cCreatureCommon*> kept;
  kept.swap(mCommons);
  for (cCreatureCommon* common : kept) common->Release();
}

void cCommonCreatureManager::Keep(cCreatureCommon* common) {
  if (std::find(mCommons.begin(), mCommons.end(), common) != mCommons.end()) return;
  common->AddRef();
  mCommons.push_back(common);
}

void cCommonCreatureManager::Drop(cCreatureCommon* common) {
  auto found = std::find(mCommons.begin(), mCommons.end(), common);
  if (found == mCommons.end()) return;
  mCommons.erase(found);
  // A body the loader made leaves the scene with its record; a mode's body stays the mode's.
  if (common->OwnsSceneObject()) GetSceneManager().RemoveObject(common->GetSceneObject());
  common->Release();
}

void cCommonCreatureManager::ObjectRemoved(Ko::cIGameData* object) {
  if (object->GetTypeId() == cCreatureCommon::kTypeId) Drop(static_cast<cCreatureCommon*>(object));
}

void cCommonCreatureManager::ObjectLoaded(Ko::cIGameData* object) {
  if (object->GetTypeId() == cCreatureCommon::kTypeId) Keep(static_cast<cCreatureCommon*>(object));
}

// The file's records replace the saved ones; records kept out of saves (the
// city's) stay for their mode to discard.
void cCommonCreatureManager::BeforeLoad() {
  std::vector<cCreatureCommon*> saved;
  for (cCreatureCommon* common : mCommons)
    if (common->IsKeptInSaves()) saved.push_back(common);
  for (cCreatureCommon* common : saved) ReleaseCommon(common);
}

void cCommonCreatureManager::Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) {
  auto* common = dynamic_cast<cCreatureCommon*>(object);
  if (!common || !common->IsKeptInSaves()) return;  // writing nothing means no record
  uint32_t id = common->GetId();
  int32_t species = common->GetSpecies();
  float speed = common->GetSpeed(), health = common->GetHealth(), hunger = common->GetHunger(),
        energy = common->GetEnergy();
  const Vector3 goal = common->GetPosition(), position = common->GetObjectPosition();
  const Quaternion q = common->GetObjectOrientation();
  stream.WriteUInt32(&id);
  stream.WriteUInt32(&species);
  stream.WriteFloat(&speed);
  stream.WriteVector3(&goal);
  stream.WriteFloat(&health);
  stream.WriteFloat(&hunger);
  stream.WriteFloat(&energy);
  stream.WriteVector3(&position);
  for (float value : {q.x, q.y, q.z, q.w}) stream.WriteFloat(&value);
}

void cCommonCreatureManager::Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) {
  auto* common = dynamic_cast<cCreatureCommon*>(object);
  if (!common) return;
  // A record of another length, or one holding a NaN or an infinity, is
  // damaged: the loader drops it and reports it with the others.
  if (stream.GetRemaining() != kRecordSize) {
    stream.MarkFailed();
    return;
  }
  uint32_t id;
  int32_t species;
  float speed, health, hunger, energy;
  Vector3 goal, position;
  Quaternion q;
  stream.ReadUInt32(&id);
  stream.ReadUInt32(&species);
  stream.ReadFloat(&speed);
  stream.ReadVector3(&goal);
  stream.ReadFloat(&health);
  stream.ReadFloat(&hunger);
  stream.ReadFloat(&energy);
  stream.ReadVector3(&position);
  stream.ReadFloat(&q.x);
  stream.ReadFloat(&q.y);
  stream.ReadFloat(&q.z);
  stream.ReadFloat(&q.w);
  const bool finite = IsValidFloat(speed) && IsValidFloat(health) && IsValidFloat(hunger) && IsValidFloat(energy) &&
                      IsValidVector3(goal) && IsValidVector3(position) && IsValidFloat(q.x) && IsValidFloat(q.y) &&
                      IsValidFloat(q.z) && IsValidFloat(q.w);
  if (stream.HasFailed() || !finite) {
    stream.MarkFailed();
    return;
  }
  common->SetId(id);
  common->SetSpecies(species);
  common->SetSpeed(speed);
  common->SetPosition(goal);
  common->SetHealth(health);
  common->SetHunger(hunger);
  common->SetEnergy(energy);
  auto* body = new cSceneObject(nullptr, cCreatureCommon::GetBodyShape());
  body->SetPosition(position);
  body->SetOrientation(q);
  common->AdoptSceneObject(body);
  GetSceneManager().AddObject(body);
}
