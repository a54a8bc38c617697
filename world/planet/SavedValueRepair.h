// Repairs of values read from a save that are readable but absurd: each one
// mended is counted in the load's one report instead of refusing the record.
// Every record that holds a place, a facing, a radius or a distance comes
// through here, so no loaded number is one the world or its drawing cannot take.
#pragma once

#include <algorithm>
#include <cmath>

#include "math/Scalar.h"
#include "math/Types.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"

// Two points inside the saved bounds lie at most this far apart: the farthest
// radius or distance a record may hold.
inline constexpr float kFarSavedDistance = 2.0f * cPlanetModel::kFarSavedRadius;

// An amount (food, a need, a speed) that is not a finite number or is
// negative becomes 0.
inline float RepairedAmount(float value, const char* what) {
  if (Ru::Math::IsValidFloat(value) && value >= 0.0f) return value;
  GetDataManager()->CountLoadRepair(what);
  return 0.0f;
}

// A point far beyond the world goes back to the ground under it; one at the
// centre, which has no ground under it, to the ground at the north pole.
// True when it was moved. The point must be finite.
inline bool MendSavedPoint(Ru::Math::Vector3& point, const cPlanetModel& planet = GetPlanetModel()) {
  switch (planet.CheckSavedPoint(point)) {
    case cPlanetModel::eSavedPoint::Fine:
      return false;
    case cPlanetModel::eSavedPoint::AtCentre:
      planet.ProjectToSurface(point, Ru::Math::Vector3{0.0f, 1.0f, 0.0f});
      return true;
    case cPlanetModel::eSavedPoint::BroughtDown:
      return true;
  }
  return false;
}

inline void RepairSavedPoint(Ru::Math::Vector3& point, const char* what) {
  if (MendSavedPoint(point)) GetDataManager()->CountLoadRepair(what);
}

// A facing far from unit length would stretch whatever it turns (1e30 squared
// is infinite): it is made unit again. A zero facing, the "none yet" of a
// fresh camera, stays. True when it was changed. The facing must be finite.
inline bool MendSavedFacing(float& x, float& y, float& z, float& w) {
  const float largest = std::max({std::fabs(x), std::fabs(y), std::fabs(z), std::fabs(w)});
  if (largest == 0.0f) return false;
  // Scaled down first: the length of a facing 1e30 long overflows a float.
  const float sx = x / largest, sy = y / largest, sz = z / largest, sw = w / largest;
  const float scaledLength = std::sqrt(sx * sx + sy * sy + sz * sz + sw * sw);
  if (std::fabs(largest * scaledLength - 1.0f) <= 0.01f) return false;
  x = sx / scaledLength, y = sy / scaledLength, z = sz / scaledLength, w = sw / scaledLength;
  return true;
}

inline bool MendSavedFacing(Ru::Math::Quaternion& q) { return MendSavedFacing(q.x, q.y, q.z, q.w); }

inline void RepairSavedFacing(Ru::Math::Quaternion& q, const char* what) {
  if (MendSavedFacing(q)) GetDataManager()->CountLoadRepair(what);
}

// A radius or a distance below 0 or beyond any two places in the world comes
// back inside. True when it was changed. The value must be finite.
inline bool MendSavedDistance(float& value) {
  const float bounded = std::clamp(value, 0.0f, kFarSavedDistance);
  if (bounded == value) return false;
  value = bounded;
  return true;
}

inline void RepairSavedDistance(float& value, const char* what) {
  if (MendSavedDistance(value)) GetDataManager()->CountLoadRepair(what);
}
