// The player tribe's food store as a thing in the world: the owner of the
// green cube by the hut, so that a pick of the cube can be told apart from a
// pick of the tribe. It is made directly (never through the data manager), so
// it is never saved.
#pragma once

#include <cstdint>

#include "sim/gamedata/GameData.h"

class cFoodPile : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xCF471DFF;
  Ko::cIGameData* Create() override { return new cFoodPile(); }
  uint32_t GetTypeId() override { return kTypeId; }
};
