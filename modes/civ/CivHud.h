// The civ mode's HUD. NOT BUILT YET: it draws nothing; the civ camera it
// would switch to on entry is set up by the mode itself.
#pragma once

#include <cstdint>

class cCivHud {
 public:
  void Enter() {}
  void Leave() {}
  void Update(uint32_t /*dtMs*/) {}
  void Draw() {}
};
