#include "modes/city/cursors/CityCursorController.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>

#include "camera/Camera.h"
#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/city/CityWorld.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityBuildCursor.h"
#include "modes/city/cursors/CityContainerMenus.h"
#include "modes/city/cursors/CityCreatureCursor.h"
#include "modes/city/cursors/CityCursor.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/cursors/CityRoadCursor.h"
#include "modes/city/cursors/CityTribeCursor.h"
#include "modes/city/economy/CityGameBuilding.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

cCityGameCursorController& GetCityCursorController() {
  static auto* controller = new cCityGameCursorController;  // its key file is read on first use
  return *controller;
}

cCityGameCursorController::cCityGameCursorController() {
  for (const char* action : {"PAN_LEFT", "PAN_FORWARD", "FOCUS_CITY", "CANCEL_BUY"})
    mKeys.RegisterAction(action, this);
  mKeys.LoadKeyFile(kKeyFile);
}

cCityGameCursorController::~cCityGameCursorController() = default;

void cCityGameCursorController::ResetForTest() {
  mCursor = nullptr;
  mMouseX = mMouseY = 0;
  mFrameMs = 0;
  mLabelStopwatch = cGameStopwatch();
  mLabelObjectId = -1;
  mLeftDown = false;
  mPressX = mPressY = 0;
  mPressed.Reset();
  mPressedScene = nullptr;
  mCity = nullptr;
  mHover.Reset();
  mHighlight = nullptr;
  mSavedColour = Vector3{1.0f, 1.0f, 1.0f};
  mInspected.Reset();
}

void cCityGameCursorController::LetGoOfAll() {
  for (cICityGameCursor* cursor : std::initializer_list<cICityGameCursor*>{
           &GetCityBuildCursor(), &GetCityDragCursor(), &GetCityRoadCursor(), &GetCityCreatureCursor(),
           &GetCityTribeCursor(), &GetCityContainerPieMenuCursor(), &GetCityGlobalFoodPieMenuCursor(),
           &GetCityBuildingPieMenuCursor(), &GetCityCityCursor()})
    cursor->LetGo();
  SetHoverObject(nullptr, nullptr);
  mCursor = nullptr;
  mLeftDown = false;
  mPressed.Reset();
  mPressedScene = nullptr;
  mLabelObjectId = -1;
  mInspected.Reset();
}

bool cCityGameCursorController::Accept(cSceneObject* object) {
  return object && dynamic_cast<cCityGameWorldObject*>(object->GetOwner()) != nullptr;
}

bool cCityGameCursorController::IsCursorObject(cCityGameWorldObject* object) {
  return mCursor && mCursor->IsCursorObject(object);
}

bool cCityGameCursorController::HandleCursorResult(int code) {
  if (code == cICityGameCursor::kStay) return false;
  if (code != cICityGameCursor::kDonePassOn && code != cICityGameCursor::kDone) return true;
  cICityGameCursor* next = mCursor ? mCursor->GetNextCursor() : nullptr;
  mCursor = next;
  return code == cICityGameCursor::kDonePassOn && !next;
}

cCityGameWorldObject* cCityGameCursorController::PickWorldObject(int x, int y, cSceneObject** sceneObject) {
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, this);
  if (sceneObject) *sceneObject = pick.object;
  return pick.object ? dynamic_cast<cCityGameWorldObject*>(pick.object->GetOwner()) : nullptr;
}

void cCityGameCursorController::Update(uint32_t ms) {
  mFrameMs = ms;
  mKeys.Poll();
  if (mCursor) HandleCursorResult(mCursor->Update(ms, mMouseX, mMouseY));
}

void cCityGameCursorController::OnMouseMove(int x, int y) {
  mMouseX = x;
  mMouseY = y;
  if (mCursor && !HandleCursorResult(mCursor->OnMouseMove(x, y))) return;
  if (!mLeftDown) {
    cSceneObject* picked = nullptr;
    cCityGameWorldObject* owner = PickWorldObject(x, y, &picked);
    const bool hoverable = dynamic_cast<cCityGamePlayerCreature*>(owner) || dynamic_cast<cCityGameBuilding*>(owner) ||
                           dynamic_cast<cCityGameTribe*>(owner);
    cSceneObject* tint = nullptr;
    if (hoverable) {
      // An icon floating over the object tints the object itself.
      tint = dynamic_cast<cSceneShapeBillboard*>(picked->GetShape()) ? owner->GetSceneObject() : picked;
    }
    if (tint) SetHoverObject(owner, tint);
    else SetHoverObject(nullptr, nullptr);
    return;
  }
  const bool moved = mPressX - x > kClickTolerance || x - mPressX > kClickTolerance ||
                     mPressY - y > kClickTolerance || y - mPressY > kClickTolerance;
  if (mPressed && moved && !HasLeftTheGame(mPressed.Get())) mCursor = mPressed->StartDrag(x, y, mPressedScene);
}

void cCityGameCursorController::OnLeftButtonDown(int x, int y) {
  SetHoverObject(nullptr, nullptr);
  mPressX = x;
  mPressY = y;
  mLeftDown = true;
  cSceneObject* picked = nullptr;
  mPressed = PickWorldObject(x, y, &picked);
  mPressedScene = mPressed ? picked : nullptr;
  if (mCursor && !HandleCursorResult(mCursor->OnLeftButtonDown(x, y))) return;
  if (mPressed) return;  // the press waits for the release or a drag
  // A press on the ground starts a rubber-band selection of citizens.
  cCityGameCreatureCursor& band = GetCityCreatureCursor();
  band.Begin(true, nullptr, nullptr);
  mCursor = &band;
}

void cCityGameCursorController::OnLeftButtonUp(int x, int y) {
  tRefPtr<cCityGameWorldObject> pressed = mPressed;
  cSceneObject* pressedScene = mPressedScene;
  mLeftDown = false;
  mPressed.Reset();
  mPressedScene = nullptr;
  if (mCursor && !HandleCursorResult(mCursor->OnLeftButtonUp(x, y))) return;
  if (!pressed || HasLeftTheGame(pressed.Get())) return;
  if (GetCityInputView().IsCtrlHeld()) {
    mInspected = pressed.Get();
    return;
  }
  mCursor = pressed->GetCursor(x, y, pressedScene);
}

void cCityGameCursorController::SetHoverObject(cCityGameWorldObject* object, cSceneObject* sceneObject) {
  if (object == mHover.Get() && (!sceneObject || sceneObject == mHighlight)) return;
  // A removed object's scene objects may be gone already: leave them untouched.
  if (mHover && HasLeftTheGame(mHover.Get())) mHighlight = nullptr;
  if (mHighlight) mHighlight->SetColour(mSavedColour);
  mHighlight = nullptr;
  mHover = object;
  if (!object) return;
  mHighlight = sceneObject ? sceneObject : object->GetSceneObject();
  if (!mHighlight) return;
  mSavedColour = mHighlight->GetColour();
  mHighlight->SetColour(Vector3Add(Vector3Scale(mSavedColour, 0.05f), Vector3{0.95f, 0.475f, 0.19f}));
}

cCityGameWorldObject* cCityGameCursorController::GetInspectedObject() {
  if (mInspected && HasLeftTheGame(mInspected.Get())) mInspected.Reset();
  return mInspected.Get();
}

void cCityGameCursorController::Draw() {
  if (cCityGameWorldObject* inspected = GetInspectedObject()) {
    char text[32];
    std::snprintf(text, sizeof text, "ID: %d", (int)inspected->GetId());
    int width = 0, height = 0;
    Begin2D();
    GetWindowSize2D(&width, &height);
    SetColour2D(1.0f, 1.0f, 1.0f);
    DrawText2D(width - (MeasureTextWidth(GLUT_BITMAP_HELVETICA_12, text) + 10), height - 7, GLUT_BITMAP_HELVETICA_12,
               text);
    End2D();
  }
  if (mCursor && !HandleCursorResult(mCursor->Draw(mMouseX, mMouseY))) return;
  cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  cCityGameWorldObject* under = PickWorldObject(mMouseX, mMouseY, nullptr);
  if (under) {
    if ((int)under->GetId() == mLabelObjectId) {
      if (mLabelStopwatch.GetElapsed() > kLabelDelayMs) under->DrawLabel(true, mMouseX, mMouseY);
      return;
    }
    if (mLabelObjectId != -1)
      if (cCityGameWorldObject* old = registry.FindCityWorldObject((uint32_t)mLabelObjectId))
        old->DrawLabel(false, mMouseX, mMouseY);
    mLabelObjectId = (int)under->GetId();
    mLabelStopwatch.Restart();
    return;
  }
  if (mLabelObjectId != -1)
    if (cCityGameWorldObject* old = registry.FindCityWorldObject((uint32_t)mLabelObjectId))
      old->DrawLabel(false, mMouseX, mMouseY);
  mLabelObjectId = -1;
}

void cCityGameCursorController::Pan(const Vector3& axis, float value, unsigned int framesHeld) {
  const unsigned int n = framesHeld < kPanRampFrames ? framesHeld : kPanRampFrames;
  const Vector3 offset = Vector3Scale(axis, value * (float)mFrameMs * GetCameraDistance() * (float)n);
  const float* anchor = GetCameraAnchor();
  const float* base = GetCameraBaseOrientation();
  const Matrix3 turn = QuatToMatrix3(Quaternion{base[0], base[1], base[2], base[3]});
  const Vector3 moved = Vector3Add(Vector3{anchor[0], anchor[1], anchor[2]}, Vector3MulMatrix3(offset, turn));
  Vector3 target;
  GetPlanetModel().ProjectToSurface(target, moved);
  CenterCameraOn(&target.x);
}

void cCityGameCursorController::HandleInputEvent(const char* action, float value, unsigned int framesHeld) {
  if (!std::strcmp(action, "FOCUS_CITY")) {
    if (mCity) {
      const Vector3 home = mCity->GetPosition();
      CenterCameraOn(&home.x);
    }
    return;
  }
  if (!std::strcmp(action, "PAN_FORWARD")) return Pan(Vector3{0.0f, 0.0f, -kPanFactor}, value, framesHeld);
  if (!std::strcmp(action, "PAN_LEFT")) return Pan(Vector3{-kPanFactor, 0.0f, 0.0f}, value, framesHeld);
  if (mCursor) HandleCursorResult(mCursor->OnAction(action, value, (int)framesHeld));
}
