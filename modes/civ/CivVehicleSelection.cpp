#include "modes/civ/CivVehicleSelection.h"

#include <algorithm>

#include "math/Vector.h"
#include "modes/civ/CivVehicle.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

namespace {
constexpr float kMoveSpreadMin = 5.0f, kMoveSpreadMax = 10.0f;
}  // namespace


void cCivVehicleSelection::Add(cCivModeVehicle* vehicle) {
  if (!vehicle || Contains(vehicle)) return;
  vehicle->SetSelected(true);
  mVehicles.push_back(vehicle);
}

void cCivVehicleSelection::Remove(cCivModeVehicle* vehicle) {
  if (!Contains(vehicle)) return;
  vehicle->SetSelected(false);
  vehicle->SetHighlighted(false);
  Forget(vehicle);
}

bool cCivVehicleSelection::Contains(cCivModeVehicle* vehicle) const {
  return std::find(mVehicles.begin(), mVehicles.end(), vehicle) != mVehicles.end();
}

void cCivVehicleSelection::Clear() {
  for (cCivModeVehicle* vehicle : mVehicles) {
    vehicle->SetSelected(false);
    vehicle->SetHighlighted(false);
  }
  mVehicles.clear();
}

void cCivVehicleSelection::Forget(cCivModeVehicle* vehicle) {
  mVehicles.erase(std::remove(mVehicles.begin(), mVehicles.end(), vehicle), mVehicles.end());
}

void cCivVehicleSelection::OrderMove(const Vector3& point) {
  for (size_t i = 0; i < mVehicles.size(); ++i) {
    Vector3 goal = point;
    if (i > 0) GetPlanetModel().GetRandomSurfacePointNear(goal, point, kMoveSpreadMin, kMoveSpreadMax);
    mVehicles[i]->SetState(kCivVehicleGuard, goal, nullptr, nullptr, 0);
  }
  Clear();
}

void cCivVehicleSelection::OrderAttackCity(cCivModeDecoratedCity* city, int mission) {
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->SetState(kCivVehicleCombat, Vector3{0, 0, 0}, nullptr, city, mission);
  Clear();
}

void cCivVehicleSelection::OrderAttackVehicle(cCivModeVehicle* target) {
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->SetState(kCivVehicleCombat, Vector3{0, 0, 0}, target, nullptr, 0);
  Clear();
}
