// The city's gatherings: fight, protest, sing, raid-defence and party
// groups (raids and recruiting drives have their own files). They are registered and made where the city makes them (the
// hall's protest group); members, timers, sounds and effects come with the
// groups' own work and do nothing yet.
#pragma once

#include "modes/city/objects/CityGameObject.h"

class cCityGameGroup : public cCityGameWorldObject {
 public:
  static constexpr uint32_t kTypeId = 0xAF2726E2;
  uint32_t GetTypeId() override { return kTypeId; }
};

class cCityGameFightGroup : public tCityGameClass<cCityGameFightGroup, cCityGameGroup, 0xEF287DE7> {};
class cCityGameProtestGroup : public tCityGameClass<cCityGameProtestGroup, cCityGameGroup, 0x6F303426> {};
class cCityGameSingGroup : public tCityGameClass<cCityGameSingGroup, cCityGameGroup, 0xAF343AA9> {};
class cCityGameRaidDefenseGroup : public tCityGameClass<cCityGameRaidDefenseGroup, cCityGameGroup, 0xEF6A155C> {};
class cCityGameParty : public tCityGameClass<cCityGameParty, cCityGameGroup, 0x2F381889> {};

