#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "modes/ModeShell.h"
#include "modes/civ/CivTuning.h"  // start-up narrows the general block for the test camera

class cCivPlayers;

class cCivGameMode : public tDataModeShell {
 public:
  // Registers the city and building records every mode shares, reads the
  // debug switches, names any tuning value it had to bound in the debug
  // window, and builds the players.
  cCivGameMode();
  ~cCivGameMode() override;
  void Enter() override;  // installs the civ camera (the experimental one with the test camera)

  cCivPlayers* GetPlayers() { return mPlayers; }

 private:
  cCivPlayers* mPlayers = nullptr;
};

// Behind the civ debug panel's "Camera Constraint: Constrain Latitude" and "Show Map" check boxes.
extern int32_t gCivConstrainLatitude;
extern int32_t gCivShowMap;
// Runs while the civ input controller's mouse button is down.
extern cGameStopwatch gCivPressStopwatch;

float CivCameraLatitudeLimit(float cameraDistance);
