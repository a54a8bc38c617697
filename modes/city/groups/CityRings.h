// The four pulsing rings a raid or a recruiting drive shows on the ground:
// circles of 12 segments, one unit above a point, turned as the camera sees
// them and laid flat on the planet there.
#pragma once

#include "math/Types.h"

class cSceneObject;
class cSceneShapeCircle;

class cCityRingPulse {
 public:
  static constexpr int kRingCount = 4;
  static constexpr int kSegments = 12;

  cCityRingPulse() = default;
  ~cCityRingPulse() { Remove(); }
  cCityRingPulse(const cCityRingPulse&) = delete;
  cCityRingPulse& operator=(const cCityRingPulse&) = delete;

  void Make(const Ru::Math::Vector3& colour);  // in the scene at zero size
  void Remove();
  // Ring i at t x radii[i] round the point.
  void Place(const Ru::Math::Vector3& at, float t, const float radii[kRingCount]);
  void SetColour(int i, const Ru::Math::Vector3& colour);
  float GetScale(int i) const;
  cSceneObject* GetRing(int i) const { return i >= 0 && i < kRingCount ? mRings[i] : nullptr; }

 private:
  cSceneObject* mRings[kRingCount] = {};            // owned
  cSceneShapeCircle* mShapes[kRingCount] = {};      // owned, one per ring
};
