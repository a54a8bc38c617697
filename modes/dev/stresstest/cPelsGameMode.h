#pragma once

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "modes/ModeShell.h"

class cPelsGameMode : public tDataModeShell {
 public:
  cPelsGameMode() : tDataModeShell("Pels") {}
  void Enter() override {
    SetCameraScriptFile(".\\Data\\Scripts\\pels_camera.txt");
    SetCameraAngles(0.0f, 0.0f, 750.0f);
    tDataModeShell::Enter();
  }
};
