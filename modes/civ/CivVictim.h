// Anything a civ bullet can hit: a city, a turret or a vehicle.
#pragma once

#include <cstdint>

#include "math/Types.h"

class cCivModeDecoratedCity;
class cCivModeVehicle;

class cICivModeVictim {
 public:
  virtual ~cICivModeVictim() = default;
  virtual const Ru::Math::Vector3* GetVictimPosition() = 0;
  virtual void OnHit(int attacker) = 0;  // a pillage bullet arrived
  // A diplomatic bullet arrived from `home`'s vehicle (which may be gone).
  virtual void OnDiplomaticHit(cCivModeDecoratedCity* home, cCivModeVehicle* vehicle) = 0;
  virtual uint32_t GetVictimTypeId() = 0;
};
