// Values that belong to the player's whole game rather than to one mode (the
// social points and three spare words). They live in the manager and reach the
// save file through one field-less game-data object, cBackboneData.
#pragma once

#include <cstdint>

#include "sim/gamedata/GameData.h"

class cBackboneData : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x4F287111;
  Ko::cIGameData* Create() override { return new cBackboneData; }
  uint32_t GetTypeId() override { return kTypeId; }
};

class cBackboneManager : public Ko::cIGameDataSerializer, public Ko::cIGameDataClient {
 public:
  static constexpr uint32_t kRecordSize = 16;

  // Start-up, once the data manager exists: registers the type, joins as a
  // client and creates the backbone object.
  void Initialize();

  int32_t GetSocialPoints() const { return socialPoints; }
  void SetSocialPoints(int32_t points) { socialPoints = points; }

  // Serializer: four words, only for cBackboneData objects.
  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  // Client: the file's record replaces the live object; AfterLoad makes one
  // when the file had none.
  void BeforeLoad() override;
  void AfterLoad() override;

  int32_t socialPoints = 0;
  uint32_t value2 = 0, value3 = 0, value4 = 0;  // saved and loaded with the points; nothing else uses them
};

cBackboneManager* GetBackboneManager();  // the one instance, built on first use
extern cBackboneData* backboneObject;    // the live backbone object, null while there is none
