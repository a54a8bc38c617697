// The civ mode's HUD. NOT BUILT YET: it draws nothing; the civ camera it
// would switch to on entry is set up by the mode itself.
#pragma once

#include <cstdint>

#include "modes/civ/CivAccess.h"
#include "modes/civ/CivWorld.h"

class cCivHud {
 public:
  void Enter() {}
  void Leave() {}
  // Runs after the world each tick, so the income shares are fresh for the NPC agent.
  void Update(uint32_t /*dtMs*/) {
    if (cCivWorld* world = GetCivWorld()) world->UpdateIncomeDistribution();
  }
  void Draw() {}
};
