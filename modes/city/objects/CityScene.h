// What city objects share about their places and drawn parts: the distance
// between two points, the way up at a point on the planet (straight up where
// the point gives none) and taking an owned scene object out of the scene for good.
#pragma once

#include "math/Math.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

inline float DistanceBetween(const Ru::Math::Vector3& a, const Ru::Math::Vector3& b) {
  return Ru::Math::Vector3Length(Ru::Math::Vector3Sub(a, b));
}

inline Ru::Math::Vector3 CityUpAt(const Ru::Math::Vector3& point) {
  Ru::Math::Vector3 up{0.0f, 1.0f, 0.0f};
  Ru::Math::Vector3NormalizeSafe(point, up);
  return up;
}

inline void RemoveFromCityScene(cSceneObject*& object) {
  if (!object) return;
  GetSceneManager().RemoveObject(object);
  delete object;
  object = nullptr;
}
