// The two records through which the city mode and the civ mode share cities
// and buildings. Their prototypes are registered from start-up (the civ mode's
// constructor), so either mode can create them through the data manager. They
// are never kept in save files: their serializer writes nothing.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"

class cSceneObject;

// One city: its wealth, whether the city mode plays it, and where it stands.
class cCityCommon : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xAE94C83B;

  explicit cCityCommon(bool isPlayerCity = false);  // takes the next id of its own counter
  Ko::cIGameData* Create() override { return new cCityCommon(false); }
  uint32_t GetTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  float GetMoney() const { return mMoney; }
  void SetMoney(float money) { mMoney = money; }
  bool IsPlayerCity() const { return mIsPlayerCity; }
  void SetPlayerCity(bool isPlayerCity) { mIsPlayerCity = isPlayerCity; }

  // Plain fields the creator writes and the civ mode reads.
  const Ru::Math::Vector3& GetPosition() const { return mPosition; }
  void SetPosition(const Ru::Math::Vector3& position) { mPosition = position; }
  const Ru::Math::Quaternion& GetOrientation() const { return mOrientation; }
  void SetOrientation(const Ru::Math::Quaternion& orientation) { mOrientation = orientation; }

  static uint32_t PeekNextId();
  // `last` is the id the counter last handed out (0: as after the prototype took 0).
  static void ResetIdCounterForTest(uint32_t last = 0);

 protected:
  ~cCityCommon() override = default;

 private:
  uint32_t mId;
  float mMoney = 0.0f;
  bool mIsPlayerCity;
  Ru::Math::Vector3 mPosition;
  Ru::Math::Quaternion mOrientation;
};

// One building: the city it belongs to and the scene object that draws it
// (not owned: the building's owner adds it to and removes it from the scene).
class cBuildingCommon : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x8E95B743;

  cBuildingCommon();  // takes the next id of its own counter
  Ko::cIGameData* Create() override { return new cBuildingCommon(); }
  uint32_t GetTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  cCityCommon* GetCityRecord() const { return mCityRecord; }
  void SetCityRecord(cCityCommon* city) { mCityRecord = city; }
  cSceneObject* GetSceneObject() const { return mSceneObject; }
  void SetSceneObject(cSceneObject* object) { mSceneObject = object; }

  // These act on the scene object itself. Without one the setters do nothing
  // and the getters answer null, so a half-built building cannot crash a caller
  // that checks.
  void SetPosition(const Ru::Math::Vector3& position);
  const Ru::Math::Vector3* GetPosition() const;
  const Ru::Math::Quaternion* SetOrientation(const Ru::Math::Quaternion& orientation);
  const Ru::Math::Quaternion* GetOrientation() const;

  static uint32_t PeekNextId();
  static void ResetIdCounterForTest(uint32_t last = 0);

 protected:
  ~cBuildingCommon() override = default;

 private:
  uint32_t mId;
  cCityCommon* mCityRecord = nullptr;
  cSceneObject* mSceneObject = nullptr;
};

// Registers both prototypes with the data manager (once; later calls do
// nothing). The civ mode's constructor calls it; tests may too.
void RegisterCivRecordTypes();

// The serializer of every civ type: it writes and reads nothing, so no civ
// object ever reaches a save file.
Ko::cIGameDataSerializer* CivNoSaveSerializer();
