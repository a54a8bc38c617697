// The civ world's bullets in firing order. NOT BUILT YET: a spawn request is
// dropped, so nothing ever flies or hits.
#pragma once

#include <cstdint>

#include "math/Types.h"

namespace Ko { class cIGameData; }
class cCivModeDecoratedCity;
class cCivModeVehicle;
class cICivModeVictim;

enum eCivBulletKind { kCivPillageBullet = 0, kCivDiplomaticBullet = 1 };

class cCivBulletList {
 public:
  void Spawn(const Ru::Math::Vector3& /*from*/, cICivModeVictim* /*target*/, cCivModeDecoratedCity* /*home*/,
             int /*kind*/, cCivModeVehicle* /*vehicle*/) {}
  void Update(uint32_t /*dtMs*/) {}
  void OnObjectRemoved(Ko::cIGameData* /*object*/) {}
  void Clear() {}
  size_t GetCount() const { return 0; }
};
