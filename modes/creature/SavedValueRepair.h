// Repairs of values read from a save that are readable but absurd: each one
// mended is counted in the load's one report instead of refusing the record.
#pragma once

#include "math/Scalar.h"
#include "math/Types.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"

// An amount (food, a need, a speed) that is not a finite number or is
// negative becomes 0.
inline float RepairedAmount(float value, const char* what) {
  if (Ru::Math::IsValidFloat(value) && value >= 0.0f) return value;
  GetDataManager()->CountLoadRepair(what);
  return 0.0f;
}

// A point far beyond the world goes back to the ground under it; one at the
// centre, which has no ground under it, to the ground at the north pole.
inline void RepairSavedPoint(Ru::Math::Vector3& point, const char* what) {
  switch (GetPlanetModel().CheckSavedPoint(point)) {
    case cPlanetModel::eSavedPoint::Fine:
      return;
    case cPlanetModel::eSavedPoint::AtCentre:
      GetPlanetModel().ProjectToSurface(point, Ru::Math::Vector3{0.0f, 1.0f, 0.0f});
      break;
    case cPlanetModel::eSavedPoint::BroughtDown:
      break;
  }
  GetDataManager()->CountLoadRepair(what);
}
