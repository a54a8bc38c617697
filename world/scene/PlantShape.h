// A tree: a green canopy over an orange trunk (per-vertex colours), with up
// to eight fruit hanging from it, as many as its owner reports. An object
// colour whose red is not exactly 1 draws the tree as a wireframe.
#pragma once

#include "world/scene/PolyModelShape.h"

// What the plant shape reads from its object's owner (the planet's plants answer it).
class cIFruitBearer {
 public:
  virtual ~cIFruitBearer() = default;
  virtual int GetFruitCount() = 0;
};

class cSceneShapePlant : public tShapeClass<cSceneShapePlant, cSceneShapePolyModel> {
 public:
  static constexpr int kMaxFruit = 8;
  static constexpr float kFruitHeight = 3.5f;
  cSceneShapePlant();
  void Draw(cSceneObject* object) override;
  void BeginDraw() override;
  void EndDraw() override;
  bool IntersectRay(const Ru::Math::Ray& objectRay, Ru::Math::Vector3& hit) override;
  const char* GetTypeName() override { return "Plant"; }
  static const Ru::Math::Vector3& FruitPosition(int i);  // (x, 3.5, z) in object space

 private:
  Ru::Math::Vector3 mColours[24];
};

cSceneShapePlant& GetPlantShape();  // the class-wide singleton
