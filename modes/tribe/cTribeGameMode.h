#pragma once

#include "camera/CameraControl.h"
#include "modes/ModeShell.h"

class cTribeGameMode : public tModeShell<cGameMode>, public Ko::cIGameDataClient {
 public:
  cTribeGameMode() : tModeShell<cGameMode>("Tribe") {}
  void Enter() override {
    SetCameraScriptFile(".\\Data\\Scripts\\tribe_camera.txt");
    tModeShell<cGameMode>::Enter();
  }
};
