#pragma once

#include "modes/ModeShell.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/creature/CreatureModeObjectManager.h"

class cCreatureWingShape;

// Lets the creature shape ask this mode about its creatures (made with the mode).
void InstallCreatureShapeQueries();

class cCreatureGameMode : public tModeShell<cIGameMode>, public Ko::cIGameDataClient {
 public:
  cCreatureGameMode() : tModeShell<cIGameMode>("Creature") { InstallCreatureShapeQueries(); }
  std::string GetName() override { return "Creature"; }
  void Init() override;   // sets up the navigation graph (the planet is loaded by then)
  void Enter() override;  // installs the creature camera script, makes the two wing shapes
  void OnRender() override;  // the planet and the scene, as the other modes
  cCreatureModeObjectManager* GetObjectManager() { return &mObjectManager; }

  // The mode's two wing shapes (index 0 or 1), made on first use so that modes
  // entered before this one can draw wing markers too; they live for the run.
  static cCreatureWingShape* GetWingShape(int index);

 private:
  cCreatureModeObjectManager mObjectManager;
};
