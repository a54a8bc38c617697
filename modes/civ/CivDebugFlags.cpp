#include "modes/civ/CivDebugFlags.h"

int32_t gCivShowVehiclePaths = 0;
int32_t gCivShowCityPatrolPaths = 0;
int32_t gCivUseNPCAI = 0;
int32_t gCivPlayerCanSelectNPCObjects = 0;
int32_t gCivBulletsAlwaysHit = 0;
int32_t gCivShowDebugText = 0;
int32_t gCivShowPoleMarkers = 0;
int32_t gCivShowLatitudeLines = 0;
int32_t gCivShowLongitudeLines = 0;
int32_t gCivShowInfluence = 0;
int32_t gCivDebugVehicleOwner = 0;

void ReadCivDebugFlags(const tCivIniReader& read) {
  gCivShowVehiclePaths = read("debug", "ShowVehiclePaths");
  gCivShowCityPatrolPaths = read("debug", "ShowCityPatrolPaths");
  gCivUseNPCAI = read("debug", "UseNPCAI");
  gCivPlayerCanSelectNPCObjects = read("debug", "PlayerCanSelectNPCObjects");
  gCivBulletsAlwaysHit = read("debug", "BulletsAlwaysHit");
}

void ReadCivDebugFlags() { ReadCivDebugFlags(CivIniFileReader(kCivTuningFile)); }
