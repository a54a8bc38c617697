#pragma once

#include "camera/CameraControl.h"
#include "modes/ModeShell.h"

class cSpaceGameMode : public tDataModeShell {
 public:
  cSpaceGameMode() : tDataModeShell("Space") {}
  void Enter() override {
    SetCameraScriptFile(".\\Data\\Scripts\\space_camera.txt");
    tDataModeShell::Enter();
  }
};
