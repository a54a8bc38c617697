// Bars over an object that keep their pixel size at any distance: one or
// more values from 0 to 1 drawn as framed bars (green from 0.6, yellow from
// 0.3, red below), horizontal and stacked for size 0, upright side by side
// otherwise, each with an optional label to its left.
#pragma once

#include <string>
#include <vector>

#include "world/scene/SceneShape.h"

class cSceneShapeHealthMeter : public tShapeClass<cSceneShapeHealthMeter, cISceneShape> {
 public:
  explicit cSceneShapeHealthMeter(unsigned char size) : mSize(size) {}
  void Draw(cSceneObject* object) override;
  Ru::Math::Vector3 GetScale() override { return {1.0f, 1.0f, 1.0f}; }
  void SetScale(const Ru::Math::Vector3&) override {}
  float GetBoundingRadius() override { return 1.0f; }
  void BeginDraw() override;
  void EndDraw() override;
  bool IntersectRay(const Ru::Math::Ray&, Ru::Math::Vector3&) override { return false; }
  const char* GetTypeName() override { return "Health Meter"; }
  virtual void SetValue(float value) { mValues.assign(1, value); }
  void SetBarCount(int count) { mBarCount = count; }
  void SetBarValues(const std::vector<float>& values) { mValues = values; }
  void SetBarLabels(const std::vector<std::string>& labels) { mLabels = labels; }

 private:
  float mSize;
  int mBarCount = 1;
  std::vector<float> mValues{1.0f};
  std::vector<std::string> mLabels;
};
