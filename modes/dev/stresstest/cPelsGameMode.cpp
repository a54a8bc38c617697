#include "modes/dev/stresstest/cPelsGameMode.h"

#include <GL/gl.h>

#include "app/AppGlobals.h"
#include "camera/CameraControl.h"
#include "modes/dev/stresstest/StressCrowd.h"
#include "platform/glui/glui.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

namespace {
GLUI*& ControlPanel() {
  static GLUI* panel = nullptr;
  return panel;
}
}  // namespace

GLUI* cPelsGameMode::GetControlPanel() { return ControlPanel(); }

void cPelsGameMode::Enter() {
  if (!ControlPanel()) {
    GLUI* panel = GLUI_Master.create_glui("Pel's Game Mode Control Panel", 0, -1, -1);
    panel->set_main_gfx_window(gMainWindow);
    panel->add_checkbox("Auto Camera", &GetStressAutoCameraFlag(), -1);
    ControlPanel() = panel;
  } else {
    ControlPanel()->show();
  }
  StartStressVisit();
  tDataModeShell::Enter();
}

void cPelsGameMode::Leave() {
  DeleteStressWalkers();
  if (ControlPanel()) ControlPanel()->hide();  // the next mode's panels take its place
  tDataModeShell::Leave();
}

void cPelsGameMode::Update(unsigned int ms) {
  if (GetStressAutoCameraFlag()) StepStressAutoCamera();
  StepStressWalkers();
  tDataModeShell::Update(ms);
}

void cPelsGameMode::OnRender() {
  glEnable(GL_LIGHTING);
  GetPlanetModel().Draw();
  GetSceneManager().Render();
}

void cPelsGameMode::OnLeftButtonDown(int x, int y) {
  TurnStressWalkers();
  tDataModeShell::OnLeftButtonDown(x, y);
}

void cPelsGameMode::OnRightButtonDown(int x, int y) {
  MoveCameraToScreenPoint(x, y);
  tDataModeShell::OnRightButtonDown(x, y);
}
