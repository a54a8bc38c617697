#include "modes/city/CityWorld.h"

#include "app/AppGlobals.h"
#include "modes/city/cCityGameMode.h"

cCityGameCity* GetPlayerCity() { return gCityGameMode ? gCityGameMode->GetCity() : nullptr; }
