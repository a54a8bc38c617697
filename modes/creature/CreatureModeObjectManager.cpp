#include "modes/creature/CreatureModeObjectManager.h"

#include <algorithm>

#include "modes/creature/CreatureNavigation.h"
#include "modes/creature/cCreatureModeCreature.h"

static cCreatureModeObjectManager* gCreatureObjectManager = nullptr;

cCreatureModeObjectManager::cCreatureModeObjectManager() { gCreatureObjectManager = this; }

cCreatureModeObjectManager::~cCreatureModeObjectManager() {
  for (cCreatureModeCreature* creature : mCreatures) creature->Release();
  if (gCreatureObjectManager == this) gCreatureObjectManager = nullptr;
}

cCreatureModeObjectManager* cCreatureModeObjectManager::GetInstance() { return gCreatureObjectManager; }

void cCreatureModeObjectManager::SetAvatarCreature(cCreatureModeCreature* avatar) {
  if (avatar) AddCreature(avatar);
  mAvatar = avatar;
}

bool cCreatureModeObjectManager::IsAvatarInCombat() const { return mAvatar && mAvatar->IsInCombat(); }

void cCreatureModeObjectManager::AddCreature(cCreatureModeCreature* creature) {
  if (!creature || std::find(mCreatures.begin(), mCreatures.end(), creature) != mCreatures.end()) return;
  creature->AddRef();
  mCreatures.push_back(creature);
}

void cCreatureModeObjectManager::RemoveCreature(cCreatureModeCreature* creature) {
  auto found = std::find(mCreatures.begin(), mCreatures.end(), creature);
  if (found == mCreatures.end()) return;
  mCreatures.erase(found);
  if (mAvatar == creature) mAvatar = nullptr;
  creature->Release();
}

void cCreatureModeObjectManager::InitAStar() {
  if (mAStarReady) return;  // the graph is read or built once per run
  InitCreatureAStar(mAStarGraph);
  mAStarReady = true;
}
