// What the civ HUD draws of the input controller's state: the city or
// vehicle under the cursor with the window point its label goes to, and the
// ground point under the cursor for the influence marker. The input
// controller fills it; without one everything stays empty and the HUD draws
// no labels. Objects the data manager removes are cleared (ForgetCivHudObject).
#pragma once

#include "math/Types.h"

class cCivModeDecoratedCity;
class cCivModeVehicle;
namespace Ko { class cIGameData; }

struct sCivHudView {
  cCivModeDecoratedCity* hoveredCity = nullptr;
  cCivModeVehicle* hoveredVehicle = nullptr;  // wins over the city
  int labelX = 0, labelY = 0;                 // window pixels, y from the top
  bool hasGroundPoint = false;
  Ru::Math::Vector3 groundPoint{0, 0, 0};
};

sCivHudView& GetCivHudView();
void ForgetCivHudObject(Ko::cIGameData* object);
