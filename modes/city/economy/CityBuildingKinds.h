// The building kinds the player buys. They are registered and made, stand
// and draw as buildings; what each kind does for its users (rooms, food,
// wages, trade, worship, mustering), its cost, capacity and pie menu come
// with the building kinds' own work and do nothing yet.
#pragma once

#include "modes/city/economy/CityGameBuilding.h"

// Buildings that serve a motive (the house, the silo).
class cCityGameBuildingMotive : public cCityGameBuilding {};
// Buildings that make a product (the farm).
class cCityGameBuildingProduction : public cCityGameBuilding {};

class cCityGameBuildingHouse : public tCityGameClass<cCityGameBuildingHouse, cCityGameBuildingMotive, 0xAEADD03E> {};
class cCityGameBuildingSilo : public tCityGameClass<cCityGameBuildingSilo, cCityGameBuildingMotive, 0x4EF12AEA> {};
class cCityGameBuildingTemple : public tCityGameClass<cCityGameBuildingTemple, cCityGameBuilding, 0xAF00F8AE> {};
class cCityGameBuildingFactory : public tCityGameClass<cCityGameBuildingFactory, cCityGameBuilding, 0x0ECADE42> {};
class cCityGameBuildingFarm : public tCityGameClass<cCityGameBuildingFarm, cCityGameBuildingProduction, 0x8F301968> {};
class cCityGameBuildingMarket : public tCityGameClass<cCityGameBuildingMarket, cCityGameBuilding, 0x6F174D77> {};
class cCityGameBuildingMilitary
    : public tCityGameClass<cCityGameBuildingMilitary, cCityGameBuilding, 0xCFBD5627> {};
