// The city's creatures and its neighbouring tribes. They are registered and
// made where the city makes them (citizens at the hall, tribes around it);
// their bodies, motives, choices, walking and the tribes' camps, members and
// diplomacy come with the creatures' and tribes' own work: until then
// Initialize does nothing, so a citizen has no owner, no body and no mood.
#pragma once

#include "modes/city/objects/CityGameObject.h"

class cCityGameCreature : public cCityGameWorldObject {
 public:
  static constexpr uint32_t kTypeId = 0xCE9F6639;
  uint32_t GetTypeId() override { return kTypeId; }
  void Initialize(cCityGameObject* /*owner*/) override {}
  virtual float GetHappiness() { return 0.0f; }
  virtual float GetMotive(int /*index*/) { return 100.0f; }  // 0 hunger, 1 energy, 2 happiness; full until motives exist
};

class cCityGamePlayerCreature : public tCityGameClass<cCityGamePlayerCreature, cCityGameCreature, 0x4F176642> {
 public:
  bool IsMustered() const { return false; }  // set by a muster order once citizens take orders
};

class cCityGameTribeCreature : public tCityGameClass<cCityGameTribeCreature, cCityGameCreature, 0xEF3DA0D7> {};

class cCityGameTribe : public tCityGameClass<cCityGameTribe, cCityGameWorldObject, 0x4F396A66> {
 public:
  enum eState { kNone = 0, kWar = 1, kTrade = 2, kPilgrimage = 3 };

  void Initialize(cCityGameObject* /*owner*/) override {}
  int GetState() const { return kNone; }
  // The tribe's feeling towards the city, -10 to 10.
  void SetRelationship(float value) { mRelationship = value < -10.0f ? -10.0f : value > 10.0f ? 10.0f : value; }
  float GetRelationship() const { return mRelationship; }

 private:
  float mRelationship = 0.0f;
};
