// The scene objects that tribe records own: deleting one (which also takes it
// out of the scene), and the value bar a hut or herd shows above itself.
#pragma once

#include "math/Types.h"
#include "world/scene/HealthMeterShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

// Out of the scene and deleted, its last place and facing kept. The pointer is
// cleared before the delete, which releases the object's reference on its
// owner (the record calling this), so the owner may go with it.
inline void DeleteOwnedSceneObject(cSceneObject*& object, Ru::Math::Vector3& position, Ru::Math::Quaternion& orientation) {
  cSceneObject* doomed = object;
  if (!doomed) return;
  position = doomed->GetPosition();
  orientation = doomed->GetOrientation();
  object = nullptr;
  delete doomed;
}

// Shows (a one-bar meter at value 0, placed at `at`) or hides (removed and
// deleted with its shape) a meter; showing a shown one or hiding a hidden one
// changes nothing.
inline void ShowValueMeter(bool show, cSceneObject*& object, cSceneShapeHealthMeter*& shape, const Ru::Math::Vector3& at) {
  if (show && !object) {
    shape = new cSceneShapeHealthMeter(1);
    shape->SetValue(0.0f);
    object = new cSceneObject(nullptr, shape);
    object->SetPosition(at);
    GetSceneManager().AddObject(object);
  } else if (!show && object) {
    delete object;
    delete shape;
    object = nullptr;
    shape = nullptr;
  }
}
