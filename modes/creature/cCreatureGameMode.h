#pragma once

#include "modes/ModeShell.h"
#include "modes/creature/CommonCreatureManager.h"

class cCreatureModeCreature;

// The creature mode's object manager; holds the avatar once the mode plays.
class cCreatureModeObjectManager {
 public:
  cCreatureModeObjectManager();
  static cCreatureModeObjectManager* GetInstance();
  cCreatureModeCreature* GetAvatarCreature() { return mAvatar; }
  // The camera's "in_combat". There is no avatar creature yet, so nothing is
  // in combat; with one, this is the avatar's own combat flag.
  bool IsAvatarInCombat() const { return false; }

 private:
  cCreatureModeCreature* mAvatar = nullptr;
};

// Lets the creature shape ask this mode about its creatures (made with the mode).
void InstallCreatureShapeQueries();

class cCreatureGameMode : public tModeShell<cIGameMode>, public Ko::cIGameDataClient {
 public:
  cCreatureGameMode() : tModeShell<cIGameMode>("Creature") { InstallCreatureShapeQueries(); }
  std::string GetName() override { return "Creature"; }
  void OnRender() override;  // the planet and the scene, as the other modes
  cCreatureModeObjectManager* GetObjectManager() { return &mObjectManager; }

 private:
  cCreatureModeObjectManager mObjectManager;
};
