// A creature: the pyramid body at the creature scale of its kind, two eyes
// with brows (lowered while it is in a group) and, for creature-mode
// creatures the avatar cares about, a ring at its feet.
#pragma once

#include "world/scene/SolidShapes.h"

class cSceneShapeCreature : public tShapeClass<cSceneShapeCreature, cSceneShapePyramid> {
 public:
  explicit cSceneShapeCreature(int kind) : mKind(kind) {}
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override;  // the tuning's creature scale of the kind, read on every call
  float GetBoundingRadius() override { return 3.0f; }
  const char* GetTypeName() override { return "Creature"; }
  virtual int GetCreatureKind() { return mKind; }

 private:
  int mKind;
};
