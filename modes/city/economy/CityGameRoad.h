// A road between two buildings. Registered so that the city's type table is
// whole; laying, drawing, following and removing roads come with the roads'
// own work and do nothing yet.
#pragma once

#include "modes/city/objects/CityGameObject.h"

class cCityGameRoad : public tCityGameClass<cCityGameRoad, cCityGameWorldObject, 0x4EC15858> {};
