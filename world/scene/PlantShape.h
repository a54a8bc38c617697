// A tree: a green canopy over an orange trunk (per-vertex colours), with up
// to eight fruit hanging from it, as many as its owner reports. An object
// colour whose red is not exactly 1 draws the tree as a wireframe.
#pragma once

#include "world/scene/PlantBatch.h"
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
  // The plants of the last frame's batch, grouped as drawn (see PlantBatch.h).
  const cPlantBatches::cStats& LastBatchStats() const { return mBatches.LastStats(); }

 private:
  Ru::Math::Vector3 mColours[24];
  // With prepared geometry on, a frame's plants are gathered between
  // BeginDraw and EndDraw and drawn there in groups, not one by one.
  cPlantBatches mBatches;
  bool mGathering = false;
  Ru::Math::Vector3 mLastColour{1.0f, 0.0f, 0.0f};
};

cSceneShapePlant& GetPlantShape();  // the class-wide singleton
