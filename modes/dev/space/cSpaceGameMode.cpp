#include "modes/dev/space/cSpaceGameMode.h"

#include <GL/freeglut.h>

#include "camera/CameraControl.h"
#include "glf/Overlay2D.h"
#include "modes/dev/space/cUFO.h"
#include "sim/gamedata/DataManager.h"

cUFO& cUFO::GetPrototype() {
  static cUFO prototype;
  return prototype;
}

cSpaceGameMode::cSpaceGameMode() : tDataModeShell("Space") {
  GetDataManager()->RegisterType(&cUFO::GetPrototype(), this);
}

void cSpaceGameMode::Enter() {
  tDataModeShell::Enter();
  SetCameraScriptFile(".\\Data\\Scripts\\space_camera.txt");
  cDataManager* data = GetDataManager();
  Ko::cIGameData* made = data->CreateObject(cUFO::kTypeId);
  mSaucer = dynamic_cast<cUFO*>(made);
  // Another class registered under the saucer's id first: what was made is no
  // saucer, and nobody else knows it, so it must not stay behind.
  if (made && !mSaucer) data->Remove(made);
}

void cSpaceGameMode::Leave() {
  tDataModeShell::Leave();
  if (mSaucer) GetDataManager()->Remove(mSaucer);
  mSaucer = nullptr;
}

void cSpaceGameMode::OnRender() {
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawText2D(100, 100, GLUT_BITMAP_8_BY_13, "Hi, I'm in cSpaceGameMode::OnRender()");
  End2D();
}
