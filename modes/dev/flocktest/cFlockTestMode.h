#pragma once

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "modes/ModeShell.h"

class cFlockTestMode : public tDataModeShell {
 public:
  cFlockTestMode() : tDataModeShell("FlockTest") {}
  void Enter() override {
    SetCameraScriptFile(".\\Data\\Scripts\\civ_camera.txt");
    SetCameraAngles(0.0f, 0.0f, 750.0f);
    tDataModeShell::Enter();
  }
};
