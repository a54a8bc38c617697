// The application's record in a saved game: which mode was being played,
// whether the game was paused, and where the camera was. These live in
// globals, so one small game-data object gives them a record. The static
// instance is at once the type's prototype, its serializer and a client.
#pragma once

#include <cstdint>

#include "sim/gamedata/GameData.h"

constexpr uint32_t kAppStateTypeId = 0xEE979250;

class cAppState : public Ko::cGameData, public Ko::cIGameDataSerializer, public Ko::cIGameDataClient {
 public:
  static constexpr uint32_t kTypeId = kAppStateTypeId;
  static constexpr uint32_t kNoModeIndex = 0;  // written for the modes that have no index (test and dev modes)
  static constexpr uint32_t kRecordSize = 4 + 4 + 80;

  static cAppState& GetStaticInstance();  // built on first use

  Ko::cIGameData* Create() override { return new cAppState; }
  uint32_t GetTypeId() override { return kTypeId; }

  // Serializer: mode index (1 creature, 2 tribe, 3 city, 4 civ, 5 space),
  // the effective pause as u32, then the 80-byte camera record.
  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  // All or nothing: a short record changes neither mode, pause nor camera.
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;

  // Client: the file's record replaces the live object; AfterLoad makes one
  // when the file had none and makes the loaded pause the player's own.
  void BeforeLoad() override;
  void AfterLoad() override;

  static uint32_t ModeIndexOfCurrentMode();

 private:
  bool mHaveLoadedPause = false;
  int32_t mLoadedPause = 0;
};
