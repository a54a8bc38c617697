// The civ mode's debug switches from the [debug] section of the civ tuning
// file. The control panels write them later; every civ object reads them.
#pragma once

#include <cstdint>

#include "modes/civ/CivTuning.h"

extern int32_t gCivShowVehiclePaths;
extern int32_t gCivShowCityPatrolPaths;
extern int32_t gCivUseNPCAI;  // the cities and vehicles run their NPC behaviour only while it is set
extern int32_t gCivPlayerCanSelectNPCObjects;
extern int32_t gCivBulletsAlwaysHit;
// The civ overlay switches of the control panel (0 off).
extern int32_t gCivShowPoleMarkers;
extern int32_t gCivShowLatitudeLines;
extern int32_t gCivShowLongitudeLines;
extern int32_t gCivShowInfluence;
// The player the debug panel's add-vehicle buttons make vehicles for (0 to NumPlayers).
extern int32_t gCivDebugVehicleOwner;
// The debug-text switch: a highlighted city shows its info lines (not read from the file).
extern int32_t gCivShowDebugText;

// Reads the five switches, each 0 when absent. The civ mode calls it once when it is built.
void ReadCivDebugFlags(const tCivIniReader& read);
void ReadCivDebugFlags();  // from ".\Data\CivGameMode.ini"
