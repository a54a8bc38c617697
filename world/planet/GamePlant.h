// One plant of the planet: food that creatures eat and that grows back, a
// place interactions can go to, drawn by the shared plant shape. The planet
// owns its plants and saves them in its own record; they are never registered
// with the data manager. Position and orientation live in the plant's scene
// object only.
#pragma once

#include <cstdint>

#include "sim/behavior/InteractionTarget.h"
#include "sim/behavior/SpatialObject.h"
#include "sim/gamedata/GameData.h"
#include "world/scene/PlantShape.h"

class cSceneObject;

// cILocation and cISpatialObject both name a GetPosition with different
// results, which one class cannot override together; these two give each its
// own name underneath.
class cPlantLocation : public cILocation {
 public:
  const float* GetPosition() override { return GetLocationPosition(); }

 protected:
  virtual const float* GetLocationPosition() = 0;
};

class cPlantSpatialObject : public cISpatialObject {
 public:
  Ru::Math::Vector3 GetPosition() override { return GetSpatialPosition(); }

 protected:
  virtual Ru::Math::Vector3 GetSpatialPosition() = 0;
};

class cGamePlant : public Ko::cGameData,
                   public cIInteractionTarget,
                   public cPlantLocation,
                   public cPlantSpatialObject,
                   public cIEdible,
                   public cIFruitBearer {
 public:
  static constexpr uint32_t kTypeId = 0xAEB336B4;
  static constexpr float kFullFood = 100.0f;

  cGamePlant() = default;

  Ko::cIGameData* Create() override { return new cGamePlant; }
  uint32_t GetTypeId() override { return kTypeId; }

  int GetCounter() const { return mCounter; }
  void SetCounter(int value) { mCounter = value < 0 ? 0 : value; }
  bool IsHidden() const { return mHidden; }
  void SetHidden(bool hidden) { mHidden = hidden; }

  // cISpatialObject: forwards to the scene object; without one the setters do
  // nothing and the getters give the origin and the identity.
  void SetPosition(const Ru::Math::Vector3& position) override;
  using cPlantSpatialObject::GetPosition;  // plant->GetPosition() is the spatial one
  void SetOrientation(const Ru::Math::Quaternion& orientation) override;
  Ru::Math::Quaternion GetOrientation() override;

  // cIEdible
  bool IsMeat() override { return false; }
  float GetFoodValue() override { return mFood; }
  void SetFoodValue(float food) override;  // clamped to [0, 100]; NaN counts as 0
  cISpatialObject* GetSpatialObject() override { return this; }

  int GetFruitCount() override;  // floor(food x 0.09) within 0..8

  cSceneObject* GetSceneObject() const { return mSceneObject; }
  void SetSceneObject(cSceneObject* object) { mSceneObject = object; }
  // The scene object holds an owner reference on its plant, so the plant's
  // count never reaches 0 while it has one: whoever drops a plant calls this
  // first, which takes the object out of the scene and deletes it.
  void DestroySceneObject();

 protected:
  ~cGamePlant() override;
  const float* GetLocationPosition() override;
  Ru::Math::Vector3 GetSpatialPosition() override;

 private:
  cSceneObject* mSceneObject = nullptr;
  float mFood = kFullFood;
  bool mHidden = false;
  int32_t mCounter = 0;
  Ru::Math::Vector3 mLocation{};  // the cILocation answer, copied so the pointer stays valid
};
