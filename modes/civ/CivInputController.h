// The civ mode's mouse and keys. NOT BUILT YET: it selects nothing and
// ignores every key; only the info-text switch the cities read is real
// state, and nothing toggles it so far.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/civ/CivEventNotice.h"  // callers show the notice through this header

class cCivModeVehicle;

class cCivInputController {
 public:
  void Update(uint32_t /*dtMs*/) {}
  void AddToSelection(cCivModeVehicle* /*vehicle*/) {}
  const Ru::Math::Vector3& GetPickPoint() const { return mPickPoint; }
  bool IsInfoShown() const { return mInfoShown; }

 private:
  Ru::Math::Vector3 mPickPoint{0, 0, 0};
  bool mInfoShown = false;
};
