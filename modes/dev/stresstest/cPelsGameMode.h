// The scene stress test: three thousand pyramids walking and jumping over the
// planet, to load the scene manager and the planet queries. A left click
// sends every walker off in a new direction; a right click moves the camera
// there; "Auto Camera" in "Pel's Game Mode Control Panel" glides the camera
// over the planet. No option selects it: it is reached by switching modes.
#pragma once

#include "modes/ModeShell.h"

class GLUI;

class cPelsGameMode : public tDataModeShell {
 public:
  cPelsGameMode() : tDataModeShell("Pels") {}
  void Enter() override;
  void Leave() override;
  void Update(unsigned int ms) override;  // one step per walker, whatever ms says
  void OnRender() override;
  void OnLeftButtonDown(int x, int y) override;
  void OnRightButtonDown(int x, int y) override;

  // The panel, made by the first Enter and kept open for the rest of the program.
  static GLUI* GetControlPanel();
};
