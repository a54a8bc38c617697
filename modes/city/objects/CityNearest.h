// The one nearest-object search of the city: the registered T nearest a point
// (strictly nearer replaces, so the earlier id keeps a tie), within a reach
// and passing a filter; null when none.
#pragma once

#include <cfloat>

#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityScene.h"

template <class T, class tWanted>
T* FindNearestCityObject(const Ru::Math::Vector3& from, float reach, tWanted wanted) {
  std::vector<T*> all;
  GetCityObjectRegistry().CollectObjectsOfClass(all);
  T* best = nullptr;
  float bestDistance = reach;
  for (T* candidate : all) {
    const float d = DistanceBetween(candidate->GetPosition(), from);
    if (d < bestDistance && wanted(candidate)) {
      best = candidate;
      bestDistance = d;
    }
  }
  return best;
}

template <class T>
T* FindNearestCityObject(const Ru::Math::Vector3& from) {
  return FindNearestCityObject<T>(from, FLT_MAX, [](T*) { return true; });
}
