// The human's selected vehicles and the orders the input controller gives them.
#pragma once

#include <cstddef>
#include <vector>

#include "math/Types.h"

class cCivModeDecoratedCity;
class cCivModeVehicle;

// The human's selected vehicles in the order they were chosen. Every order
// ends the selection.
class cCivVehicleSelection {
 public:
  void Add(cCivModeVehicle* vehicle);     // marked selected; nothing when already in
  void Remove(cCivModeVehicle* vehicle);  // both marks off
  bool Contains(cCivModeVehicle* vehicle) const;
  size_t Count() const { return mVehicles.size(); }
  bool IsEmpty() const { return mVehicles.empty(); }
  cCivModeVehicle* First() const { return mVehicles.empty() ? nullptr : mVehicles.front(); }
  void Clear();                           // both marks off on every member
  void Forget(cCivModeVehicle* vehicle);  // the vehicle leaves the world: no mark is touched
  // The first goes to the point, the others near it (5 to 10 away).
  void OrderMove(const Ru::Math::Vector3& point);
  void OrderAttackCity(cCivModeDecoratedCity* city, int mission);
  void OrderAttackVehicle(cCivModeVehicle* target);

 private:
  std::vector<cCivModeVehicle*> mVehicles;
};
