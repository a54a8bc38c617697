// The owner of the food pile beside the player's hut (a green cube drawn by
// the HUD): hovering it shows the player's food and a press on it with
// members selected opens the food menu. It is made directly, never through
// the data manager, so it is never saved.
#pragma once

#include <cstdint>

#include "sim/gamedata/GameData.h"

class cFoodPile : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xCF471DFF;
  Ko::cIGameData* Create() override { return new cFoodPile(); }
  uint32_t GetTypeId() override { return kTypeId; }
};
