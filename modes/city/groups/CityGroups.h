// The city's gatherings (their own header) and disasters: raids and
// recruiting drives and the player's recruit manager. The disasters are
// registered and made where the city makes them; their work comes later.
#pragma once

#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityGameObject.h"

class cCityGameRecruitDisaster
    : public tCityGameClass<cCityGameRecruitDisaster, cCityGameWorldObject, 0x4F4C0E21> {};
class cCityGameRecruitManager : public tCityGameClass<cCityGameRecruitManager, cCityGameWorldObject, 0x6F958B42> {};
class cCityGameRaidDisaster : public tCityGameClass<cCityGameRaidDisaster, cCityGameWorldObject, 0x0F6258B9> {};
