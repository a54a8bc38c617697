#include "modes/creature/cCreatureGameMode.h"

#include "sim/gamedata/DataManager.h"

static cCreatureModeObjectManager* gCreatureObjectManager = nullptr;

cCreatureModeObjectManager::cCreatureModeObjectManager() { gCreatureObjectManager = this; }
cCreatureModeObjectManager* cCreatureModeObjectManager::GetInstance() { return gCreatureObjectManager; }

void cCreatureGameMode::OnRender() { RenderPlanetAndScene(); }
