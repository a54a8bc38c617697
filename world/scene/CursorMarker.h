// A ground cursor: a thin green vertical line marking a point of the world
// (where a creature is sent, the target of an order). Each marker owns its
// own line shape and the scene object that shows it. Rays pass through it.
#pragma once

#include "math/Types.h"
#include "world/scene/SceneShape.h"

class cCursorShape : public tShapeClass<cCursorShape, cISceneShape> {
 public:
  void Draw(cSceneObject* object) override;  // from the origin up the local y axis, 2 x scale y long
  Ru::Math::Vector3 GetScale() override { return mScale; }
  void SetScale(const Ru::Math::Vector3& scale) override { mScale = scale; }
  float GetBoundingRadius() override { return 0.0f; }
  void BeginDraw() override {}
  void EndDraw() override {}
  bool IntersectRay(const Ru::Math::Ray&, Ru::Math::Vector3&) override { return false; }
  const char* GetTypeName() override { return "Cursor"; }

 private:
  Ru::Math::Vector3 mScale;
};

class cSceneObject;

class cCursorMarker {
 public:
  ~cCursorMarker() { Destroy(); }
  void Create(float size);  // a line 2 x size long, added to the scene
  void Destroy();           // takes it out of the scene and frees both parts
  // Before Create and after Destroy the getters answer the origin and the
  // identity, and the setters do nothing.
  Ru::Math::Vector3 GetPosition() const;
  Ru::Math::Quaternion GetOrientation() const;
  void SetPosition(const Ru::Math::Vector3& position);
  void SetOrientation(const Ru::Math::Quaternion& orientation);
  cSceneObject* GetSceneObject() const { return mObject; }

 private:
  cSceneObject* mObject = nullptr;
  cCursorShape* mShape = nullptr;
};
