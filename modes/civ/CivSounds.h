// The civ mode's sounds, loaded from ".\Data\Sounds\" on every entry into the
// mode. A missing file leaves its handle silent.
#pragma once

#include <cstdint>

class cSoundHandle;

enum class eCivSound {
  TurretUnderAttack,  // the turrets' own handle
  Capture,
  CityLost,
  GameWon,
  GameLost,
  UnderAttack,
  Negotiations,
  BuildingDestroyed,
  EmbassyComplete,
  Party,
  Bonk,
  Coin,
  VehicleLost,
  Count
};

cSoundHandle& GetCivSound(eCivSound which);
const char* GetCivSoundFile(eCivSound which);
void LoadCivSounds();
// Plays when the tuning's "UseSound" is on; the party, coin, bonk and embassy sounds always play.
void PlayCivSound(eCivSound which);
uint32_t GetCivSoundPlayCount(eCivSound which);  // the plays asked for since start-up (silent or not)
