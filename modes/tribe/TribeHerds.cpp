// Not built yet: the herds around the player's hut are made from the herd
// script, graze, wander within their home, flee and tire; does nothing for now.
#include "modes/tribe/TribeObjectController.h"

void cTribeObjectController::PopulateHerds() {}

void cTribeObjectController::UpdateHerd(cTribeHerd*, float) {}

void cTribeObjectController::ApplyHerdParameters(cTribeHerd*) {}

Ru::Math::Vector3 cTribeObjectController::PickHerdHome(cTribeHerd*) { return Ru::Math::Vector3{0.0f, 0.0f, 0.0f}; }

cTribeHerd* cTribeObjectController::SplitHerd(cTribeHerd*) { return nullptr; }
