// The city's gatherings (their own header) and the player's recruit manager
// (raids and recruiting drives have their own files). The recruit manager is
// registered and made where the city makes it; its work comes later.
#pragma once

#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityGameObject.h"

class cCityGameRecruitManager : public tCityGameClass<cCityGameRecruitManager, cCityGameWorldObject, 0x6F958B42> {};
