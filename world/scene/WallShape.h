// A hollow square band one unit high whose inner edge is the unit square
// and whose width stays `thickness` world units whatever the scale: the
// geometry is rebuilt whenever the scale changes.
#pragma once

#include "math/Scalar.h"
#include "world/scene/PolyModelShape.h"

class cSceneShapeWall : public tShapeClass<cSceneShapeWall, cSceneShapePolyModel> {
 public:
  cSceneShapeWall();
  void SetScale(const Ru::Math::Vector3& scale) override;
  float GetBoundingRadius() override;
  const char* GetTypeName() override { return "Wall"; }
  virtual float GetThickness() { return mThickness; }
  virtual void SetThickness(float thickness) { mThickness = thickness; }  // takes effect at the next Rebuild
  virtual void Rebuild();
  // Two triangles (c1, c2, c4) and (c1, c3, c4), all six corners with the normal.
  virtual void AddQuad(const Ru::Math::Vector3& c1, const Ru::Math::Vector3& c2, const Ru::Math::Vector3& c3,
                       const Ru::Math::Vector3& c4, const Ru::Math::Vector3& normal);

 private:
  float mThickness = 1.0f;
};
