#include "modes/tribe/TribeInputController.h"

cTribeInputController::cTribeInputController(cTribeGameMode* mode) : mMode(mode) {}

cTribeInputController::~cTribeInputController() { mMode = nullptr; }

bool cTribeInputController::CanSelect(Ko::cGameData*) { return false; }
void cTribeInputController::Select(Ko::cGameData*) {}
void cTribeInputController::Enter() {}
void cTribeInputController::Leave() {}
void cTribeInputController::Update(uint32_t) {}
void cTribeInputController::OnLeftButtonDown(int, int) {}
void cTribeInputController::OnLeftButtonUp(int, int) {}
void cTribeInputController::OnRightButtonDown(int, int) {}
void cTribeInputController::OnRightButtonUp(int, int) {}
void cTribeInputController::OnMouseMove(int, int) {}
void cTribeInputController::OnKeyPress(unsigned char, int, int) {}
void cTribeInputController::Render() {}
void cTribeInputController::OnPieMenuSelection(int) {}
void cTribeInputController::BuildBuyMenu() {}
void cTribeInputController::DragSelect(int, int) {}
void cTribeInputController::UpdateCursorPoint(int, int) {}
