#include "modes/tribe/TribeController.h"

cTribeController::cTribeController(cTribeGameMode* mode) : mMode(mode) { mTimeSinceAttack.Restart(); }

cTribeController::~cTribeController() = default;

void cTribeController::Update(uint32_t) {}
void cTribeController::Enter() {}
void cTribeController::Leave() {}
void cTribeController::StartRaid(cTribe*, int) {}
void cTribeController::PlaceNpcTribes() {}
void cTribeController::GrowNpcTribes() {}
void cTribeController::GrowNpcTribe(cTribe*) {}
void cTribeController::TestAttack() {}
Ru::Math::Vector3 cTribeController::GetNpcLocation(const Ru::Math::Vector3& centre, int) { return centre; }
