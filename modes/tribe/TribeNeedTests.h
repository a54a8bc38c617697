// The need test that ends a hunt, a raid or a recruiting trip: any of energy,
// health or hunger below its critical tuning level (the tribe's food does not
// matter). The levels are read anew at every test, so a tuning reload counts.
#pragma once

#include "modes/tribe/TribeCreature.h"
#include "sim/tuning/TribeTuningData.h"

inline bool IsAnyNeedCritical(const cTribeCreature& creature) {
  const cTribeTuningData& tuning = GetTribeTuningData();
  return creature.GetEnergy() < (float)tuning.GetCriticalEnergyLevel() ||
         creature.GetHealth() < (float)tuning.GetCriticalHealthLevel() ||
         creature.GetHunger() < (float)tuning.GetCriticalHungerLevel();
}
