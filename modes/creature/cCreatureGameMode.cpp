#include "modes/creature/cCreatureGameMode.h"

#include "camera/CameraControl.h"
#include "world/scene/CreatureParts.h"

void cCreatureGameMode::Init() {
  tModeShell<cIGameMode>::Init();
  mObjectManager.InitAStar();
}

void cCreatureGameMode::Enter() {
  tModeShell<cIGameMode>::Enter();
  // The camera script of the mode before (the flock test's after a sniff test) must not stay.
  SetCameraScriptFile(".\\Data\\Scripts\\creature_camera.txt");
  GetWingShape(0);
  GetWingShape(1);
}

void cCreatureGameMode::OnRender() { RenderPlanetAndScene(); }

cCreatureWingShape* cCreatureGameMode::GetWingShape(int index) {
  static cCreatureWingShape* shapes[2] = {};
  if (index < 0 || index > 1) return nullptr;
  if (!shapes[index]) {
    shapes[index] = new cCreatureWingShape();
    shapes[index]->SetScale({0.25f, 0.25f, 0.25f});
  }
  return shapes[index];
}
