#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "modes/ModeShell.h"

class cCivGameMode : public tDataModeShell {
 public:
  cCivGameMode();  // registers the city and building records every mode shares
  void Enter() override;  // installs the civ camera (the experimental one with the test camera)
};

// The civ tuning's general block: first the number of cities, then of players.
struct cCivTuningGeneral {
  int32_t NumCities = 4;
  int32_t NumPlayers = 4;
};
class cCivTuning {
 public:
  static cCivTuningGeneral* GetGeneral();  // the same writable block on every call
};

// Behind the civ debug panel's "Camera Constraint: Constrain Latitude" and "Show Map" check boxes.
extern int32_t gCivConstrainLatitude;
extern int32_t gCivShowMap;
// Runs while the civ input controller's mouse button is down.
extern cGameStopwatch gCivPressStopwatch;

float CivCameraLatitudeLimit(float cameraDistance);
