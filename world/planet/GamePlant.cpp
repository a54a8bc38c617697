#include "world/planet/GamePlant.h"

#include <cmath>

#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

cGamePlant::~cGamePlant() { DestroySceneObject(); }

void cGamePlant::DestroySceneObject() {
  cSceneObject* object = mSceneObject;
  if (!object) return;
  mSceneObject = nullptr;  // before the delete: it releases its reference on this plant
  while (object->GetSceneRefCount() > 0 && GetSceneManager().RemoveObject(object)) {
  }
  delete object;
}

void cGamePlant::SetPosition(const Vector3& position) {
  if (mSceneObject) mSceneObject->SetPosition(position);
}

Vector3 cGamePlant::GetSpatialPosition() { return mSceneObject ? mSceneObject->GetPosition() : Vector3{}; }

void cGamePlant::SetOrientation(const Quaternion& orientation) {
  if (mSceneObject) mSceneObject->SetOrientation(orientation);
}

Quaternion cGamePlant::GetOrientation() {
  return mSceneObject ? mSceneObject->GetOrientation() : Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
}

const float* cGamePlant::GetLocationPosition() {
  mLocation = GetPosition();
  return &mLocation.x;
}

void cGamePlant::SetFoodValue(float food) {
  if (!(food > 0.0f)) food = 0.0f;
  mFood = food > kFullFood ? kFullFood : food;
}

int cGamePlant::GetFruitCount() {
  const float fruit = mFood * 0.09f;
  if (!(fruit > 0.0f)) return 0;
  return fruit >= 8.0f ? 8 : static_cast<int>(std::floor(fruit));
}
