// A test bench for the creature mode's fly/swim avatar controller: one
// stand-alone creature (not in the data manager) that the controller flies and
// swims from the planet's north pole under the creature keys while the mode is
// current. No option selects it; tests make it current.
#pragma once

#include "modes/ModeShell.h"

class GLUI;
class cAvatarFlySwimController;
class cCreatureModeCreature;
class cSceneObject;

class cTestGameMode : public tDataModeShell {
 public:
  cTestGameMode() : tDataModeShell("Test") {}
  void Enter() override;  // builds the bench the first time, then puts the creature back at the pole
  void Leave() override;
  void Update(unsigned int ms) override;
  void OnRender() override;

  // The bench lives in static storage, built on the first Enter and kept for the run.
  static GLUI* GetPanel();  // null before the first Enter
  static cCreatureModeCreature* GetCreature();
  static cAvatarFlySwimController* GetController();
  static cSceneObject* GetWingMarker(int index);  // 0 or 1
};
