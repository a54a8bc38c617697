#include "modes/civ/CivRecords.h"

#include "sim/gamedata/DataManager.h"
#include "world/scene/SceneObject.h"

namespace {
// Each class counts on its own; the first construction (the prototype) wraps to 0.
uint32_t& CityIdCounter() {
  static uint32_t last = 0xFFFFFFFFu;
  return last;
}
uint32_t& BuildingIdCounter() {
  static uint32_t last = 0xFFFFFFFFu;
  return last;
}

// Cities and buildings are rebuilt by the modes on every start, so nothing of
// them goes into a save file.
class cCivRecordSerializer : public Ko::cIGameDataSerializer {
 public:
  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  const char* KindKeptOutOfSaves() const override { return "civ"; }
};
}  // namespace

cCityCommon::cCityCommon(bool isPlayerCity) : mId(++CityIdCounter()), mIsPlayerCity(isPlayerCity) {}
uint32_t cCityCommon::PeekNextId() { return CityIdCounter() + 1; }
void cCityCommon::ResetIdCounterForTest(uint32_t last) { CityIdCounter() = last; }

cBuildingCommon::cBuildingCommon() : mId(++BuildingIdCounter()) {}
uint32_t cBuildingCommon::PeekNextId() { return BuildingIdCounter() + 1; }
void cBuildingCommon::ResetIdCounterForTest(uint32_t last) { BuildingIdCounter() = last; }

void cBuildingCommon::SetPosition(const Ru::Math::Vector3& position) {
  if (mSceneObject) mSceneObject->SetPosition(position);
}

const Ru::Math::Vector3* cBuildingCommon::GetPosition() const {
  return mSceneObject ? &mSceneObject->GetPosition() : nullptr;
}

const Ru::Math::Quaternion* cBuildingCommon::SetOrientation(const Ru::Math::Quaternion& orientation) {
  if (!mSceneObject) return nullptr;
  mSceneObject->SetOrientation(orientation);
  return &mSceneObject->GetOrientation();
}

const Ru::Math::Quaternion* cBuildingCommon::GetOrientation() const {
  return mSceneObject ? &mSceneObject->GetOrientation() : nullptr;
}

Ko::cIGameDataSerializer* CivNoSaveSerializer() {
  static cCivRecordSerializer* serializer = new cCivRecordSerializer();  // lives for the whole run
  return serializer;
}

void RegisterCivRecordTypes() {
  Ko::cIGameDataSerializer* serializer = CivNoSaveSerializer();
  static cCityCommon* cityPrototype = new cCityCommon(false);
  static cBuildingCommon* buildingPrototype = new cBuildingCommon();
  cDataManager* data = GetDataManager();
  data->RegisterType(cityPrototype, serializer);
  data->RegisterType(buildingPrototype, serializer);
}
