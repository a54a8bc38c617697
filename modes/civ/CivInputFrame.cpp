// The civ input controller's frame: the camera buttons, the per-frame
// close-up test and camera keys, the key commands and the drawing.
#include "modes/civ/CivInputController.h"

#include <algorithm>
#include <cmath>

#include "glf/DebugWindow.h"
#include "glf/Overlay2D.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/CivPieMenus.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CursorMarker.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

namespace {
constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;
}  // namespace

// ---- the camera buttons ----

void cCivInputController::OnCameraButtonDown(int x, int y) {
  gCivCameraButtonDown = 1;
  View().ClearMouseMovement();
  gCivPressStopwatch.Restart();
  mCameraButtonHeld = true;
  const Vector3 ground = View().GroundPoint(x, y);
  mPressSurfaceRadius = Ru::Math::Vector3LengthSquared(ground) > 0.0f ? GetPlanetModel().GetSurfaceRadius(ground) : 0.0f;
  gCivFocusCycleOn = 0;
}

void cCivInputController::OnCameraButtonUp(int x, int y) {
  gCivCameraButtonDown = 0;
  if (gCivPressStopwatch.GetElapsed() < kCameraClickMs) View().MoveCameraTo(x, y);
  gCivPressStopwatch.Stop();
  mCameraButtonHeld = false;
}

// ---- every frame ----

void cCivInputController::Update() {
  if (gCivCameraButtonDown) View().DragCamera();
  const cCivTuningGeneral& general = *cCivTuning::GetGeneral();
  if (mViewState == kCivViewCloseUp && View().CameraDistance() > (float)general.ViewFarDistance) {
    LeaveCloseUp();
  } else {
    int cx = 0, cy = 0;
    View().CursorClientPos(cx, cy);
    const bool hovering = mHoveredCity || mHoveredVehicle;
    sHit hit;  // nothing, when the cursor is off the window
    if (cx <= kCursorPickLimit && cy <= kCursorPickLimit && (mViewState == kCivViewWorld || hovering))
      hit = PickAt(cx, cy, false);
    if (mViewState == kCivViewWorld && hit.city && !hit.turret &&
        View().CameraDistance() < (float)general.ViewNearDistance) {
      mViewState = kCivViewCloseUp;
      mZoomedCity = hit.city;
      mZoomedCity->SetHighlighted(false);
      mZoomedCity->SetBuildingStyle(1);
    }
    if (hovering) FollowHover(hit, cx, cy);
  }
  StepCameraByKeys();
}

// The camera, or the object itself, may have moved since the mouse did: the
// label stands at the cursor while the hovered object is still under it, and
// goes once it is not.
void cCivInputController::FollowHover(const sHit& hit, int x, int y) {
  const bool still = mHoveredVehicle ? hit.vehicle == mHoveredVehicle
                                     : hit.city == mHoveredCity && (hit.building || hit.turret);
  if (still) {
    mLabelX = x;
    mLabelY = y;
    // An open menu's level items are centred on its centre's row, the first
    // one a ring radius right of it: a label at the pointer, wider than that
    // radius, would run over it. It stands just above that row instead,
    // inside the ring, where no item lies.
    if (cGLFPieMenu* menu = mPieMenus->GetVisibleMenu()) {
      float cx = 0.0f, cy = 0.0f;
      menu->GetCentre(&cx, &cy);
      mLabelX = (int)cx;
      mLabelY = (int)std::floor(menu->GetControlCount() > 0 ? std::min(cy, menu->GetControl(0)->Y0()) : cy) - 1;
    }
    return;
  }
  if (mViewState == kCivViewWorld && mMenuCity && !mPieMenus->GetVisibleMenu()) SelectCity(nullptr);
  EndHover();
}

void cCivInputController::StepCameraByKeys() {
  float stepX = 0.0f, stepZ = 0.0f;
  if (Sys_IsKeyDown(kKeyLeft) || Sys_IsKeyDown('A'))
    stepX = -kCameraKeyStep;
  else if (Sys_IsKeyDown(kKeyRight) || Sys_IsKeyDown('D'))
    stepX = kCameraKeyStep;
  else if (Sys_IsKeyDown(kKeyUp) || Sys_IsKeyDown('W'))
    stepZ = -kCameraKeyStep;
  else if (Sys_IsKeyDown(kKeyDown) || Sys_IsKeyDown('S'))
    stepZ = kCameraKeyStep;
  else
    return;
  View().CommitCameraYaw();
  const Vector3 anchor = View().CameraAnchor();
  const float distance = Ru::Math::Vector3Length(anchor);
  if (distance <= 0.0f) return;
  const Vector3 step = Ru::Math::QuatRotateVector(View().CameraBaseOrientation(), Vector3{stepX, 0.0f, stepZ});
  const Vector3 moved = Ru::Math::Vector3Add(anchor, step);
  if (Ru::Math::Vector3Length(moved) <= 0.0f) return;
  View().FocusOn(Ru::Math::Vector3Scale(Ru::Math::Vector3Normalized(moved), distance));
}

// ---- keys ----

void cCivInputController::OnKeyPress(unsigned char key) {
  cCivWorld* world = GetCivWorld();
  switch (key) {
    case ' ':
      if (world) world->FocusNextPlayerCity(gCivFocusCycleOn != 0);
      gCivFocusCycleOn = 1;
      return;
    case 'D':
      gCivShowDebugText = !gCivShowDebugText;
      return;
    case 'M':
    case 'm':
      if (mViewState == kCivViewCloseUp) LeaveCloseUp();
      mViewState = mViewState != kCivViewPlacement ? kCivViewPlacement : kCivViewWorld;
      SelectCity(nullptr);
      return;
    case 'P':
    case 'p':
      if (world) world->DumpCityPositions();
      return;
    case 'h': {
      const std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
      for (size_t i = 0; i < cities.size(); ++i) DebugPrintf("%zu: %g", i, cities[i]->GetMood()->GetValue());
      return;
    }
    case 'i':
      if (cCivHud* hud = GetCivHud()) hud->PrintIncomeDistribution();
      return;
    default:
      return;
  }
}

// ---- drawing ----

std::string cCivInputController::GetNoticeText() const {
  if (mChoosingGiftProvider) return "Which city is providing the gift?";
  if (mGiftGivenNotice) return "Gift given";
  if (mGiftCancelledNotice) return "Gift transaction cancelled";
  return "";
}

bool cCivInputController::IsInfluenceMarkerAllowed() const {
  return !mLeftButtonHeld && mSelection->IsEmpty() && !mPieMenus->GetVisibleMenu() && !mHoveredVehicle;
}

void cCivInputController::OnRender() {
  if (mCursorMarker) {
    const bool marked = !mLeftButtonHeld && !mSelection->IsEmpty();
    mCursorMarker->SetPosition(marked ? mCursorGroundPoint : Vector3{0, 0, 0});  // the centre hides it
    if (marked) mCursorMarker->SetOrientation(mCursorOrientation);
  }
  if (IsPainting()) mMultiSelector->Draw();
  mPieMenus->DrawVisibleMenu();
  if (mHoveredCity && mHoverTimer.GetElapsed() > 2000) {
    mHoverTimer.Restart();
    if (mHoveredCity->IsNPC()) ResetLabelMarkers();  // the markers follow the next label drawn
  }
  if (mHoveredVehicle) mHoveredCity = nullptr;
  if ((mGiftGivenNotice || mGiftCancelledNotice) && mNoticeTimer.GetElapsed() > kNoticeMs)
    mGiftGivenNotice = mGiftCancelledNotice = false;
  const std::string notice = GetNoticeText();
  if (notice.empty()) return;
  Begin2D();
  SetColour2D(0.0f, 1.0f, 0.0f);
  DrawText2D(View().WindowWidth() - 200, 100, GLFDefaultFont(), notice.c_str());
  End2D();
}
