// The vehicle the debug panel's add buttons make: the input controller
// places it with the next left click and hands it to the world with the one
// after (state 0 none, 1 placing, 2 aiming). Until then the panel holds a
// reference to it.
#pragma once

class cCivModeVehicle;
namespace Ko { class cIGameData; }

enum eCivDebugVehicleState { kCivDebugVehicleNone = 0, kCivDebugVehiclePlacing = 1, kCivDebugVehicleAiming = 2 };

struct sCivDebugVehicle {
  int state = kCivDebugVehicleNone;
  cCivModeVehicle* vehicle = nullptr;
};

sCivDebugVehicle& GetCivDebugVehicle();
// The "Add ... Vehicle" buttons (kind 0 land, 1 amphibious, 2 air) for the
// debug owner's first city; null, with a line on standard output, when that
// owner has no city.
cCivModeVehicle* CivAddDebugVehicle(int kind);
// The data manager removes `object`: a debug vehicle it was is let go.
void ForgetCivDebugObject(Ko::cIGameData* object);
