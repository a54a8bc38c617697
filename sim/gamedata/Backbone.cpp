#include "sim/gamedata/Backbone.h"

#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"

cBackboneData* backboneObject = nullptr;

cBackboneManager* GetBackboneManager() {
  static cBackboneManager* instance = new cBackboneManager;  // lives as long as the data manager holds it
  return instance;
}

static cBackboneData* BackbonePrototype() {
  static cBackboneData* prototype = new cBackboneData;
  return prototype;
}

void cBackboneManager::Initialize() {
  cDataManager* manager = GetDataManager();
  manager->RegisterType(BackbonePrototype(), this);
  manager->AddClient(this);
  backboneObject = manager->CreateObject<cBackboneData>();
}

void cBackboneManager::Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t /*version*/) {
  if (!object || object->GetTypeId() != cBackboneData::kTypeId) return;
  stream.WriteUInt32(&socialPoints);
  stream.WriteUInt32(&value2);
  stream.WriteUInt32(&value3);
  stream.WriteUInt32(&value4);
}

void cBackboneManager::Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t /*version*/) {
  if (!object || object->GetTypeId() != cBackboneData::kTypeId) return;
  int32_t points;
  uint32_t second, third, fourth;
  stream.ReadUInt32(&points);
  stream.ReadUInt32(&second);
  stream.ReadUInt32(&third);
  stream.ReadUInt32(&fourth);
  if (stream.HasFailed()) return;  // a short record changes nothing; the loader drops the object
  socialPoints = points;
  value2 = second;
  value3 = third;
  value4 = fourth;
  // A file with two backbone records must still leave one live object: the
  // later record replaces the earlier one.
  if (backboneObject && backboneObject != object) GetDataManager()->Remove(backboneObject);
  backboneObject = static_cast<cBackboneData*>(object);
}

void cBackboneManager::BeforeLoad() {
  if (!backboneObject) return;
  GetDataManager()->Remove(backboneObject);
  backboneObject = nullptr;
}

void cBackboneManager::AfterLoad() {
  if (!backboneObject) backboneObject = GetDataManager()->CreateObject<cBackboneData>();
}
