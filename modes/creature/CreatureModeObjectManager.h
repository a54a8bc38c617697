// The creature mode's object manager: the mode's creatures, which of them is
// the player's avatar, and the navigation graph their controllers search.
#pragma once

#include <vector>

#include "world/planet/AStarGraph.h"

class cCreatureModeCreature;

class cCreatureModeObjectManager {
 public:
  cCreatureModeObjectManager();   // becomes the one instance
  ~cCreatureModeObjectManager();  // lets go of its creatures
  cCreatureModeObjectManager(const cCreatureModeObjectManager&) = delete;
  cCreatureModeObjectManager& operator=(const cCreatureModeObjectManager&) = delete;
  static cCreatureModeObjectManager* GetInstance();  // null before the mode is built

  cCreatureModeCreature* GetAvatarCreature() { return mAvatar; }
  void SetAvatarCreature(cCreatureModeCreature* avatar);  // also listed; null for none
  bool IsAvatarInCombat() const;  // the camera's "in_combat"; false without an avatar

  // The creatures in the order they came; each listed one holds a reference.
  void AddCreature(cCreatureModeCreature* creature);
  void RemoveCreature(cCreatureModeCreature* creature);
  const std::vector<cCreatureModeCreature*>& GetCreatures() const { return mCreatures; }

  // Reads the graph from the path cache or builds it (and writes the cache),
  // with the creature travel cost as its creature layer. Needs the planet.
  void InitAStar();
  cAStarGraph& GetAStarGraph() { return mAStarGraph; }

 private:
  cCreatureModeCreature* mAvatar = nullptr;
  std::vector<cCreatureModeCreature*> mCreatures;
  cAStarGraph mAStarGraph;
  bool mAStarReady = false;
};
