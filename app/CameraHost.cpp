#include "app/CameraHost.h"

#include "app/AppGlobals.h"
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
};

}  // namespace

void InstallAppCameraHost() {
  static cAppCameraHost host;
  SetCameraHost(&host);
}
