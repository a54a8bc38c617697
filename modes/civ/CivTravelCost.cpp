// Where civ vehicles and roads may step. Each rule is pure; the test camera's
// band (read at every call) keeps paths where that camera looks. A NaN slope
// or coordinate fails its comparison, so such a step is refused.
#include <cmath>

#include "app/AppGlobals.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

namespace {
bool WithinSlope(float slope, float limit) { return -limit < slope && slope < limit; }
bool WithinVehicleBand(const Vector3& p) { return p.y < 400.0f && -400.0f < p.y; }

bool LandRule(const Vector3& p, const Quaternion& q) {
  cPlanetModel& planet = GetPlanetModel();
  if (!WithinSlope(planet.GetForwardSlope(p, q), cCivTuning::GetVehicles()->LandVehicleMaxSlope)) return false;
  if (planet.IsUnderWater(p)) return false;
  return !gUseCivTestCamera || WithinVehicleBand(p);
}
}  // namespace

bool cCivModeRoad::cCivRoadOtc::IsPassable(const Vector3& position, const Quaternion&) {
  // The planet answers a NaN point with some cell's radius: refuse it here.
  if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(position.z)) return false;
  if (!(GetPlanetModel().GetSurfaceRadius(position) > 490.0f)) return false;
  if (!gUseCivTestCamera) return true;
  return position.y < 400.0f && position.z > -400.0f;  // the road band's lower bound is on z
}

bool cCivModeVehicle::cCivLandVehicleOtc::IsPassable(const Vector3& p, const Quaternion& q) { return LandRule(p, q); }

// Without the test camera it is the land rule; with it, its own slope and water allowed.
bool cCivModeVehicle::cCivAmphibiousVehicleOtc::IsPassable(const Vector3& p, const Quaternion& q) {
  if (!gUseCivTestCamera) return LandRule(p, q);
  float slope = GetPlanetModel().GetForwardSlope(p, q);
  return WithinSlope(slope, cCivTuning::GetVehicles()->AmphibiousVehicleMaxSlope) && WithinVehicleBand(p);
}

bool cCivModeVehicle::cCivAirVehicleOtc::IsPassable(const Vector3& p, const Quaternion&) {
  return !gUseCivTestCamera || WithinVehicleBand(p);
}

namespace {
uint32_t gCivFindPathCalls = 0;
}

std::list<Vector3> CivFindPath(const Vector3& start, const Vector3& goal, cPlanetModel::cITravelCost* cost,
                               int maxRounds) {
  ++gCivFindPathCalls;
  return GetPlanetModel().FindPath(start, goal, cost, maxRounds);
}

uint32_t CivFindPathCalls() { return gCivFindPathCalls; }
void CivCountPathSearch() { ++gCivFindPathCalls; }
