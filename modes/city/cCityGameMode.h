#pragma once

#include "camera/CameraControl.h"
#include "modes/ModeShell.h"

class cCityGameMode : public tDataModeShell {
 public:
  cCityGameMode() : tDataModeShell("City") {}
  void Enter() override {
    SetCameraScriptFile(".\\Data\\Scripts\\city_camera.txt");
    tDataModeShell::Enter();
  }
};
