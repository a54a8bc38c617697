// The civ vehicle and turret as game-data types, so the world can register
// every civ type in its order from start-up. Neither is built yet: no city
// buys them and they do nothing; moving, guarding, firing and their bullets
// come later.
#pragma once

#include <cstdint>

#include "sim/gamedata/GameData.h"

class cCivModeVehicle : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xCE94CB5B;
  Ko::cIGameData* Create() override { return new cCivModeVehicle(); }
  uint32_t GetTypeId() override { return kTypeId; }

 protected:
  ~cCivModeVehicle() override = default;
};

class cCivModeTurret : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x2F2F17BE;
  Ko::cIGameData* Create() override { return new cCivModeTurret(); }
  uint32_t GetTypeId() override { return kTypeId; }

 protected:
  ~cCivModeTurret() override = default;
};
