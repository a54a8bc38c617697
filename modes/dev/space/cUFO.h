// The flying saucer of the space stage: a game object with no state of its own
// yet. It lives only while the space mode is current and writes nothing to saves.
#pragma once

#include "sim/gamedata/GameData.h"

class cUFO : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x6E94E250;
  Ko::cIGameData* Create() override { return new cUFO(); }
  uint32_t GetTypeId() override { return kTypeId; }

  static cUFO& GetPrototype();  // the one registered with the data manager, built on first use
};
