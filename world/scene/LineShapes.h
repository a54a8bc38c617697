// Shapes drawn as lines: a flat circle and a creature's weapon (a shaft with
// a pointed head). Neither is ever picked.
#pragma once

#include <vector>

#include "world/scene/SceneShape.h"

// A flat line loop of n points around the object, in its local x-z plane.
class cSceneShapeCircle : public tShapeClass<cSceneShapeCircle, cISceneShape> {
 public:
  explicit cSceneShapeCircle(int segments);
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return mScale; }
  void SetScale(const Ru::Math::Vector3& scale) override { mScale = scale; }
  float GetBoundingRadius() override;
  void BeginDraw() override;
  void EndDraw() override;
  bool IntersectRay(const Ru::Math::Ray&, Ru::Math::Vector3&) override { return false; }
  const char* GetTypeName() override { return "Circle"; }

 private:
  Ru::Math::Vector3 mScale{1.0f, 1.0f, 1.0f};
  std::vector<Ru::Math::Vector3> mPoints;
};

// A shaft from (0, 1, 0) forward to z = -length and a head pointing on to -length - 1.
class cSceneShapeCreatureWeapon : public tShapeClass<cSceneShapeCreatureWeapon, cISceneShape> {
 public:
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return mScale; }
  void SetScale(const Ru::Math::Vector3& scale) override { mScale = scale; }
  float GetBoundingRadius() override { return mScale.x; }
  void BeginDraw() override {}
  void EndDraw() override {}
  bool IntersectRay(const Ru::Math::Ray&, Ru::Math::Vector3&) override { return false; }
  const char* GetTypeName() override { return "Weapon"; }
  virtual void SetLength(float length) { mLength = length; }  // before the first draw

 private:
  Ru::Math::Vector3 mScale{1.0f, 1.0f, 1.0f};
  float mLength = 0.0f;
};
