#include "modes/creature/CommonCreatureManager.h"

#include <algorithm>
#include <type_traits>

#include "math/Math.h"
#include "world/planet/SavedValueRepair.h"
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

namespace {
// One saved creature. Its field order, walked by the writer, the reader and
// the finite check alike, is the record's layout, so the three cannot drift apart.
struct sCreatureRecord {
  uint32_t id = 0;
  int32_t species = 0;
  float speed = 0.0f;
  Vector3 goal;
  float health = 0.0f, hunger = 0.0f, energy = 0.0f;
  Vector3 position;
  Quaternion q;

  template <class Visit>
  void ForEachField(Visit&& visit) {
    visit(id);
    visit(species);
    visit(speed);
    visit(goal);
    visit(health);
    visit(hunger);
    visit(energy);
    visit(position);
    visit(q.x);
    visit(q.y);
    visit(q.z);
    visit(q.w);
  }
};

template <class T>
void WriteField(cMemoryStream& stream, const T& value) {
  if constexpr (std::is_same_v<T, float>) stream.WriteFloat(&value);
  else if constexpr (std::is_same_v<T, Vector3>) stream.WriteVector3(&value);
  else stream.WriteUInt32(&value);
}

template <class T>
void ReadField(cMemoryStream& stream, T& value) {
  if constexpr (std::is_same_v<T, float>) stream.ReadFloat(&value);
  else if constexpr (std::is_same_v<T, Vector3>) stream.ReadVector3(&value);
  else stream.ReadUInt32(&value);
}

template <class T>
bool IsFiniteField(const T& value) {
  if constexpr (std::is_same_v<T, float>) return IsValidFloat(value);
  else if constexpr (std::is_same_v<T, Vector3>) return IsValidVector3(value);
  else return true;
}
}  // namespace

void cCommonCreatureManager::Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) {
  auto* common = dynamic_cast<cCreatureCommon*>(object);
  if (!common || !common->IsKeptInSaves()) return;  // writing nothing means no record
  sCreatureRecord record;
  record.id = common->GetId();
  record.species = common->GetSpecies();
  record.speed = common->GetSpeed();
  record.goal = common->GetPosition();
  record.health = common->GetHealth();
  record.hunger = common->GetHunger();
  record.energy = common->GetEnergy();
  record.position = common->GetObjectPosition();
  record.q = common->GetObjectOrientation();
  record.ForEachField([&](const auto& value) { WriteField(stream, value); });
}

void cCommonCreatureManager::Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) {
  auto* common = dynamic_cast<cCreatureCommon*>(object);
  if (!common) return;
  // A record of another length, or one holding a NaN or an infinity, is
  // damaged: the loader drops it and reports it with the others.
  if (stream.GetRemaining() != kRecordSize) {
    stream.MarkFailed("the wrong length");
    return;
  }
  sCreatureRecord record;
  record.ForEachField([&](auto& value) { ReadField(stream, value); });
  // Amounts that are not finite or below 0 are mended; a place or a facing
  // that is not finite cannot be, and refuses the record.
  record.speed = RepairedAmount(record.speed, "creature speed");
  record.health = RepairedAmount(record.health, "creature health");
  record.hunger = RepairedAmount(record.hunger, "creature hunger");
  record.energy = RepairedAmount(record.energy, "creature energy");
  bool finite = true;
  record.ForEachField([&](const auto& value) { finite = finite && IsFiniteField(value); });
  if (stream.HasFailed() || !finite) {
    stream.MarkFailed("not a finite number");
    return;
  }
  // A body far out goes back to the ground under it; one at the centre, which
  // has no ground under it, stays there for its tribe to stand at the hut.
  if (GetPlanetModel().CheckSavedPoint(record.position) != cPlanetModel::eSavedPoint::Fine)
    GetDataManager()->CountLoadRepair("creature position");
  // A goal at the centre is no goal at all (a creature that never walked).
  if (GetPlanetModel().CheckSavedPoint(record.goal) == cPlanetModel::eSavedPoint::BroughtDown)
    GetDataManager()->CountLoadRepair("creature goal");
  RepairSavedFacing(record.q, "creature facing");
  common->SetId(record.id);
  common->SetSpecies(record.species);
  common->SetSpeed(record.speed);
  common->SetPosition(record.goal);
  common->SetHealth(record.health);
  common->SetHunger(record.hunger);
  common->SetEnergy(record.energy);
  auto* body = new cSceneObject(nullptr, cCreatureCommon::GetBodyShape());
  body->SetPosition(record.position);
  body->SetOrientation(record.q);
  common->AdoptSceneObject(body);
  GetSceneManager().AddObject(body);
}
