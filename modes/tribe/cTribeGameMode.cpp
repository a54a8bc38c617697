#include "modes/tribe/cTribeGameMode.h"

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "modes/tribe/TribeController.h"
#include "modes/tribe/TribeDisplayController.h"
#include "modes/tribe/TribeInputController.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeSerializationController.h"
#include "sim/behavior/BehaviorController.h"

cTribeGameMode* GetTribeGameMode() { return gTribeGameMode; }

cTribeObjectController* GetTribeObjectController() {
  return gTribeGameMode ? gTribeGameMode->GetObjectController() : nullptr;
}

cTribeGameMode::cTribeGameMode() : tModeShell<cGameMode>("Tribe") {
  mObjectController = new cTribeObjectController(this);
  mSerializationController = new cTribeSerializationController(this);
}

cTribeGameMode::~cTribeGameMode() {
  // A mode destroyed while entered (at exit, or in tests) still frees its visit.
  delete mDisplayController;
  delete mInputController;
  delete mTribeController;
  delete mObjectController;
  mObjectController = nullptr;
  delete mSerializationController;
  mSerializationController = nullptr;
}

// Input belongs to the input controller, which exists between Enter and
// Leave; anything arriving outside a visit is dropped.
void cTribeGameMode::OnMouseMove(int x, int y) {
  if (mInputController) mInputController->OnMouseMove(x, y);
}
void cTribeGameMode::OnLeftButtonUp(int x, int y) {
  if (mInputController) mInputController->OnLeftButtonUp(x, y);
}
void cTribeGameMode::OnLeftButtonDown(int x, int y) {
  if (mInputController) mInputController->OnLeftButtonDown(x, y);
}
void cTribeGameMode::OnRightButtonUp(int x, int y) {
  if (mInputController) mInputController->OnRightButtonUp(x, y);
}
void cTribeGameMode::OnRightButtonDown(int x, int y) {
  if (mInputController) mInputController->OnRightButtonDown(x, y);
}
void cTribeGameMode::OnKeyPress(unsigned char key, int x, int y) {
  if (mInputController) mInputController->OnKeyPress(key, x, y);
}

void cTribeGameMode::OnRender() {
  cGameMode::OnRender();
  if (mInputController) mInputController->Render();
  if (mDisplayController) mDisplayController->Render();
}

void cTribeGameMode::Update(unsigned int ms) {
  tModeShell<cGameMode>::Update(ms);
  const uint32_t dt = ms > kLongestFrameMs ? kLongestFrameMs : ms;
  if (!mBehaviorController) return;  // not entered
  mBehaviorController->Update(dt);
  mDisplayController->Update(dt);
  mObjectController->Update(dt);
  mTribeController->Update(dt);
  mInputController->Update(dt);
}

void cTribeGameMode::Enter() {
  tModeShell<cGameMode>::Enter();
  SetCameraScriptFile(".\\Data\\Scripts\\tribe_camera.txt");
  mBehaviorController = &::GetBehaviorController();
  mInputController = new cTribeInputController(this);
  mInputController->Enter();
  mObjectController->Init();
  mTribeController = new cTribeController(this);
  mTribeController->Enter();
  mDisplayController = new cTribeDisplayController(this);
  mDisplayController->Enter();
  if (cTribe* player = mObjectController->GetPlayerTribe(); player && player->GetHut()) {
    const Ru::Math::Vector3 hut = player->GetHut()->GetPositionVector();
    const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    SetCameraAnchorFrame(&hut.x, identity);
  }
  mInputController->BuildBuyMenu();
}

void cTribeGameMode::Leave() {
  tModeShell<cGameMode>::Leave();
  if (mBehaviorController) {
    // A zero update only deletes: twice empties the deletion queue.
    mBehaviorController->Update(0);
    mBehaviorController->Update(0);
  }
  mBehaviorController = nullptr;
  if (mDisplayController) mDisplayController->Leave();
  delete mDisplayController;
  mDisplayController = nullptr;
  if (mInputController) mInputController->Leave();
  delete mInputController;
  mInputController = nullptr;
  if (mTribeController) mTribeController->Leave();
  delete mTribeController;
  mTribeController = nullptr;
  mObjectController->Clear();
  // Clear ended the tribe's interactions; they go now rather than whenever
  // the behaviour controller next runs.
  ::GetBehaviorController().Update(0);
  ::GetBehaviorController().Update(0);
}

void cTribeGameMode::ObjectRemoved(Ko::cIGameData* object) {
  if (mSerializationController) mSerializationController->ObjectRemoved(object);
  // The input controller points at what the mouse is on and what was clicked.
  if (mInputController) mInputController->ObjectRemoved(object);
}

void cTribeGameMode::ObjectLoaded(Ko::cIGameData* object) {
  if (mSerializationController) mSerializationController->ObjectLoaded(object);
}

void cTribeGameMode::BeforeLoad() {
  if (mSerializationController) mSerializationController->BeforeLoad();
}

void cTribeGameMode::AfterLoad() {
  if (mSerializationController) mSerializationController->AfterLoad();
}
