#include "app/CameraHost.h"

#include "app/AppGlobals.h"
#include "app/FrameLoop.h"
#include "app/GameMode.h"
#include "camera/Camera.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"

namespace {

class cAppCameraHost : public cICameraHost {
 public:
  bool IsCivModeCurrent() override { return gCivGameMode && gCurrentGameMode == static_cast<cIGameMode*>(gCivGameMode); }
  bool IsCreatureModeCurrent() override {
    return gCreatureGameMode && gCurrentGameMode == static_cast<cIGameMode*>(gCreatureGameMode);
  }
  bool IsAvatarInCombat() override {
    cCreatureModeObjectManager* manager = cCreatureModeObjectManager::GetInstance();
    return manager && manager->IsAvatarInCombat();
  }
  float CivLatitudeLimit(float distance) override { return CivCameraLatitudeLimit(distance); }
  bool IsCivTestCameraOn() override { return gUseCivTestCamera != 0; }
  // Picks and window points use the size the frame was drawn at, whichever window is current.
  void GetWindowSize(int& width, int& height) override {
    if (!GetFrameWindowSize(width, height)) cICameraHost::GetWindowSize(width, height);
  }
};

}  // namespace

void InstallAppCameraHost() {
  static cAppCameraHost host;
  SetCameraHost(&host);
}
