#pragma once

#include "camera/CameraControl.h"
#include "modes/ModeShell.h"

class cTovansGameMode : public tDataModeShell {
 public:
  cTovansGameMode() : tDataModeShell("Tovans") {}
  // The experiment starts as "Fish", a single creature, which follows the creature camera.
  void Enter() override {
    SetCameraScriptFile(".\\Data\\Scripts\\creature_camera.txt");
    tDataModeShell::Enter();
  }
};
