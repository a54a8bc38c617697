#include "modes/tribe/TribeDisplayController.h"

cTribeDisplayController::cTribeDisplayController(cTribeGameMode* mode) : mMode(mode) {}

cTribeDisplayController::~cTribeDisplayController() = default;

void cTribeDisplayController::Enter() {}
void cTribeDisplayController::Leave() {}
void cTribeDisplayController::Update(uint32_t) {}
void cTribeDisplayController::Render() {}
bool cTribeDisplayController::SetConditionLabel(cTribeCreature*, int) { return false; }
bool cTribeDisplayController::UpdatePopulationIcon(cTribe*) { return false; }
void cTribeDisplayController::RemoveConditionLabel(cTribeCreature*) {}
cSceneShapeBillboard* cTribeDisplayController::GetPopulationIconShape(uint32_t) { return nullptr; }
