// The creature mode's moving body parts, drawn as extra objects beside the
// creature: swimming fins, flapping wings (neither is ever picked), and the
// nest, a bowl under a pulsing stack of rings.
#pragma once

#include "world/scene/SceneServices.h"
#include "world/scene/SceneShape.h"

// What fins and wings share: never picked (radius 0), drawn solid or as a
// translucent shadow, bent by four offsets that their phase setter fills.
class cCreaturePartShape : public cISceneShape {
 public:
  Ru::Math::Vector3 GetScale() override { return {1.0f, 1.0f, 1.0f}; }
  void SetScale(const Ru::Math::Vector3&) override {}
  float GetBoundingRadius() override { return 0.0f; }
  void BeginDraw() override {}
  void EndDraw() override {}
  bool IntersectRay(const Ru::Math::Ray&, Ru::Math::Vector3& hit) override;
  void SetTranslucent(bool translucent) { mTranslucent = translucent; }
  void SetAlpha(float alpha) { mAlpha = alpha; }
  float GetOffset(int i) const { return mOffsets[i]; }

 protected:
  bool mTranslucent = false;
  float mAlpha = 1.0f;
  float mOffsets[4] = {};
};

class cCreatureFinsShape : public tShapeClass<cCreatureFinsShape, cCreaturePartShape> {
 public:
  void Draw(cSceneObject* object) override;
  const char* GetTypeName() override { return "Fins"; }
  void SetSwimPhase(float phase);  // 0..1 of a stroke
};

class cCreatureWingShape : public tShapeClass<cCreatureWingShape, cCreaturePartShape> {
 public:
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return mScale; }
  void SetScale(const Ru::Math::Vector3& scale) override { mScale = scale; }  // the owner sets it before drawing
  const char* GetTypeName() override { return "Wings"; }
  void SetFlapPhase(float phase);  // 0..1 of a beat

 private:
  Ru::Math::Vector3 mScale;
};

// A shallow bowl of radius 3 with a white flash climbing a stack of widening
// rings every two seconds of game time.
class cCreatureNestShape : public tShapeClass<cCreatureNestShape, cISceneShape> {
 public:
  cCreatureNestShape();
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return {1.0f, 1.0f, 1.0f}; }
  void SetScale(const Ru::Math::Vector3&) override {}
  float GetBoundingRadius() override { return 4.0f; }
  void BeginDraw() override {}
  void EndDraw() override {}
  bool IntersectRay(const Ru::Math::Ray& objectRay, Ru::Math::Vector3& hit) override;
  const char* GetTypeName() override { return "Nest"; }

 private:
  static Ru::Math::Vector3 BowlPoint(int i);  // 3 x ring point i at height 1
};
