#include "modes/civ/CivInputController.h"

#include <algorithm>
#include <cstdio>

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "app/AppGlobals.h"
#include "glf/Overlay2D.h"
#include "input/MouseDevice.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivDebugVehicle.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/CivPieMenus.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/cCivGameMode.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CursorMarker.h"
#include "world/scene/SceneManager.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

int32_t gCivCameraButtonDown = 0;
int32_t gCivFocusCycleOn = 0;

namespace {
constexpr int kLeftButton = 0, kButtonDown = 0, kButtonUp = 1;  // GLUT's codes
constexpr int kKeyControl = 0x11;
constexpr float kCursorMarkerSize = 30.0f;
const Vector3 kCursorFacing{0.0f, 1.0f, 0.0f};

cCivInputView* gTestView = nullptr;

bool IsZero(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }
// The HUD's map, shown and under window point (x, y): a press there moves the camera, nothing else.
cCivHud* MapUnder(int x, int y) {
  cCivHud* hud = GetCivHud();
  return gCivShowMap && hud && hud->MapHitTest(x, y) ? hud : nullptr;
}

bool IsLiveVehicle(cCivModeVehicle* v) { return v->GetState() != kCivVehicleDying && v->GetState() != kCivVehicleDead; }

// Every scene object but a city's own marker: the buildings under a city stay pickable.
class cCivModeDecoratedCityTest : public cIScenePickTest {
 public:
  bool Accept(cSceneObject* object) override {
    for (cCivModeDecoratedCity* city : GetCivCities())
      if (city->GetMarker() == object) return false;
    return true;
  }
};
}  // namespace


// ---- the game's view ----

void cCivInputView::Pick(cScenePickResult& result, int x, int y, cIScenePickTest* filter) {
  GetSceneManager().PickAtScreenPoint(result, x, y, filter);
}

Vector3 cCivInputView::GroundPoint(int x, int y) {
  Vector3 ground;
  GetPlanetModel().IntersectRay(ground, cSceneManager::ScreenPointToRay(x, y));
  return ground;
}

// The band's own pick offers nothing: civ scene objects carry no owner, so
// the controller finds the vehicles under it itself.
void cCivInputView::MarkBand(cMultiSelector* band, int x, int y) { band->SelectAt(x, y); }

void cCivInputView::ClearMouseMovement() { gMouseDevice.ClearAccumulatedMovement(); }

void cCivInputView::DragCamera() {
  int dx = 0, dy = 0, wheel = 0;
  gMouseDevice.GetAccumulatedMovement(dx, dy, wheel);
  SetCameraMouseMove(dx, dy);
}

void cCivInputView::MoveCameraTo(int x, int y) {
  if (!gUseCivTestCamera) {
    MoveCameraToScreenPoint(x, y);
    return;
  }
  const Vector3 ground = GroundPoint(x, y);
  if (!IsZero(ground)) CameraFocusOnPoint(ground.x, ground.y, ground.z);
}

void cCivInputView::FocusOn(const Vector3& point) {
  if (gUseCivTestCamera) {
    CameraFocusOnPoint(point.x, point.y, point.z);
    return;
  }
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, point, CameraBaseOrientation());
  SetCameraPositionOrientation(&point.x, &upright.x);
}

float cCivInputView::CameraDistance() { return GetCameraDistance(); }

Vector3 cCivInputView::CameraAnchor() {
  const float* a = GetCameraAnchor();
  return Vector3{a[0], a[1], a[2]};
}

Quaternion cCivInputView::CameraBaseOrientation() {
  const float* q = GetCameraBaseOrientation();
  return Quaternion{q[0], q[1], q[2], q[3]};
}

void cCivInputView::CommitCameraYaw() { ::CommitCameraYaw(); }
void cCivInputView::CursorClientPos(int& x, int& y) { GetCursorClientPos(x, y); }

int cCivInputView::WindowWidth() {
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  return width;
}

void cCivInputController::SetViewForTest(cCivInputView* view) { gTestView = view; }

cCivInputView& cCivInputController::View() {
  static cCivInputView game;  // built on first use
  return gTestView ? *gTestView : game;
}

// ---- life ----

cCivInputController::cCivInputController(cCivGameMode* mode) : mMode(mode) {
  mMultiSelector = new cMultiSelector(this);
  mMultiSelector->SetRadius(GetSharedTuningData().GetCivSelectionRadius());
  mPieMenus = new cCivPieMenus(this);
  mSelection = new cCivVehicleSelection();
  // The world's new vehicles join this selection; a selected guard turns to the cursor's ground.
  SetCivInputHooks({[this] { return mCursorGroundPoint; }, [this](cCivModeVehicle* v) { AddToSelection(v); }});
}

cCivInputController::~cCivInputController() {
  SetCivInputHooks({});
  Leave();
  EndPendingRoad();
  delete mSelection;
  delete mPieMenus;
  delete mMultiSelector;
}

void cCivInputController::Enter() {
  if (mCursorMarker) return;
  mCursorMarker = new cCursorMarker();
  mCursorMarker->Create(kCursorMarkerSize);
}

void cCivInputController::Leave() {
  delete mCursorMarker;  // which takes it out of the scene
  mCursorMarker = nullptr;
}

// ---- pointers into the world ----

void cCivInputController::ResetBeforeLoad() {
  // Every city goes with the load: nothing may point at one afterwards.
  if (mMenuCity) mMenuCity->SetHighlighted(false);
  mMenuCity = nullptr;
  if (mZoomedCity) mZoomedCity->SetBuildingStyle(0);
  mZoomedCity = mHoveredCity = mEmbassyCity = mGiftTargetCity = nullptr;
  mGrabbedBuilding = nullptr;
  if (mViewState == kCivViewCloseUp) mViewState = kCivViewWorld;
  mSelection->Clear();
  mLeftButtonHeld = mCameraButtonHeld = false;
  gCivCameraButtonDown = 0;
  mPlacingRoad = mPlacingTradeRoute = mChoosingEmbassyToExpel = mChoosingGiftProvider = false;
  mGiftGivenNotice = mGiftCancelledNotice = false;
  mDragged = mAddedThisPress = false;
  EndPendingRoad();
  mHoveredVehicle = nullptr;
  if (cGLFPieMenu* menu = mPieMenus->GetVisibleMenu()) menu->Hide();
}

void cCivInputController::OnObjectRemoved(Ko::cIGameData* object) {
  if (!object) return;
  switch (object->GetTypeId()) {
    case cCivModeVehicle::kTypeId: {
      auto* vehicle = static_cast<cCivModeVehicle*>(object);
      mSelection->Forget(vehicle);
      if (mHoveredVehicle == vehicle) mHoveredVehicle = nullptr;
      ForgetCivDebugObject(vehicle);  // the debug vehicle being placed
      return;
    }
    case cCivModeDecoratedCity::kTypeId: {
      auto* city = static_cast<cCivModeDecoratedCity*>(object);
      if (mZoomedCity == city) LeaveCloseUp();
      if (mMenuCity == city) {
        mMenuCity = nullptr;
        if (cGLFPieMenu* menu = mPieMenus->GetVisibleMenu()) menu->Hide();
      }
      if (mHoveredCity == city) mHoveredCity = nullptr;
      if (mEmbassyCity == city) {
        mEmbassyCity = nullptr;
        mChoosingEmbassyToExpel = false;
      }
      if (mGiftTargetCity == city) {
        mGiftTargetCity = nullptr;
        mChoosingGiftProvider = false;
      }
      if (mPendingRoad && mPendingRoad->GetStart() == city) {
        mPlacingRoad = mPlacingTradeRoute = false;
        EndPendingRoad();
      }
      return;
    }
    case cCivModeRoad::kTypeId:
      if (mPendingRoad == object) {
        mPendingRoad->Release();
        mPendingRoad = nullptr;
        mPlacingRoad = mPlacingTradeRoute = false;
      }
      return;
    default:
      // Any building kind: an expelled embassy is dropped by its city mid-drag.
      if (mGrabbedBuilding == object) mGrabbedBuilding = nullptr;
      return;
  }
}

void cCivInputController::EndPendingRoad() {
  if (!mPendingRoad) return;
  cCivModeRoad* road = mPendingRoad;
  mPendingRoad = nullptr;  // before the removal notice comes back here
  GetDataManager()->Remove(road);
  road->Release();
}

void cCivInputController::LeaveCloseUp() {
  mViewState = kCivViewWorld;
  if (mZoomedCity) mZoomedCity->SetBuildingStyle(0);
  mZoomedCity = nullptr;
  mGrabbedBuilding = nullptr;
}

// ---- what the menus start ----

void cCivInputController::BeginRoad(cCivModeRoad* road) {
  EndPendingRoad();
  road->AddRef();
  mPendingRoad = road;
  if (road->GetKind() == kCivTradeRoute)
    mPlacingTradeRoute = true;
  else
    mPlacingRoad = true;
}

void cCivInputController::BeginExpelEmbassy(cCivModeDecoratedCity* city) {
  mChoosingEmbassyToExpel = true;
  mEmbassyCity = city;
}

void cCivInputController::RecordGift(cCivModeDecoratedCity* target, float amount) {
  mGiftTargetCity = target;
  mGiftAmount = amount;
}

void cCivInputController::OnPieMenuSelection(int itemId) { mPieMenus->OnSelection(itemId); }

// ---- selection ----

bool cCivInputController::CanSelect(Ko::cGameData* owner) {
  return owner && owner->GetTypeId() == cCivModeVehicle::kTypeId;
}

bool cCivInputController::IsSelectable(cCivModeVehicle* vehicle) const {
  return vehicle && (gCivPlayerCanSelectNPCObjects || !vehicle->IsNPC());
}

void cCivInputController::Select(Ko::cGameData* owner) {
  if (!CanSelect(owner)) return;
  auto* vehicle = static_cast<cCivModeVehicle*>(owner);
  if (!IsSelectable(vehicle) || mSelection->Contains(vehicle)) return;
  mSelection->Add(vehicle);
  // The brush grows with the selection.
  const cSharedTuningData& tuning = GetSharedTuningData();
  mMultiSelector->SetRadius(tuning.GetCivSelectionRadius() + tuning.GetCivRadiusIncrement() * (float)mSelection->Count());
}

void cCivInputController::AddToSelection(cCivModeVehicle* vehicle) {
  mSelection->Add(vehicle);
  mAddedThisPress = true;
}

void cCivInputController::SelectCity(cCivModeDecoratedCity* city) {
  if (city) {
    // One city is selected at a time: the one it replaces loses its highlight.
    if (mMenuCity && mMenuCity != city) mMenuCity->SetHighlighted(false);
    mMenuCity = city;
    city->SetHighlighted(true);
    return;
  }
  if (mMenuCity) mMenuCity->SetHighlighted(false);
  mMenuCity = nullptr;
}

bool cCivInputController::CtrlHeld() const { return Sys_IsKeyDown(kKeyControl); }

// ---- picks ----

cCivInputController::sHit cCivInputController::PickAt(int x, int y, bool skipCities) {
  cCivModeDecoratedCityTest filter;
  cScenePickResult result;
  View().Pick(result, x, y, skipCities ? &filter : nullptr);
  sHit hit;
  hit.object = result.object;
  if (!hit.object) return hit;
  if (cCivWorld* world = GetCivWorld())
    for (cCivModeVehicle* vehicle : world->GetVehicles())
      if (vehicle->GetSceneObject() == hit.object) {
        hit.vehicle = vehicle;
        return hit;
      }
  for (cCivModeDecoratedCity* city : GetCivCities()) {
    if (!skipCities && city->GetMarker() == hit.object) {
      hit.city = city;
      return hit;
    }
    if ((hit.building = city->FindBuildingBySceneObject(hit.object))) {
      hit.city = city;
      return hit;
    }
    for (cCivModeTurret* turret : city->GetTurrets())
      if (turret->GetSceneObject() == hit.object) {
        hit.turret = turret;
        hit.city = city;
        return hit;
      }
  }
  return hit;
}

// ---- the left button ----

void cCivInputController::OnLeftButtonDown(int x, int y) {
  gCivFocusCycleOn = 0;
  mPressX = mLastPaintX = x;
  mPressY = mLastPaintY = y;
  mLeftButtonHeld = true;
  mDragged = mAddedThisPress = false;
  if (NoticeUnder(x, y)) {
    View().FocusOn(GetCivEventNoticePoint());
    return;
  }
  if (GetCivDebugVehicle().state != 0 && GetCivDebugVehicle().vehicle) {
    PlaceDebugVehicle();
    return;
  }
  if (cGLFPieMenu* menu = mPieMenus->GetVisibleMenu()) {
    if (!menu->HandleMouse(kLeftButton, kButtonDown, x, y)) menu->Hide();
    return;
  }
  if (cCivHud* hud = MapUnder(x, y)) {
    hud->MapClick(x, y);
    return;
  }
  if (mViewState == kCivViewCloseUp) {
    const sHit hit = PickAt(x, y, true);
    if (hit.building) {
      mGrabbedBuilding = hit.building;
      mGrabbedBuilding->SetHighlighted(true);
    }
    return;
  }
  const sHit hit = PickAt(x, y, false);
  if (mViewState == kCivViewPlacement) {
    if (mMenuCity)
      SelectCity(nullptr);
    else if (hit.building)
      SelectCity(hit.city);
    return;
  }
  if (CtrlHeld()) {
    // Toggles one own vehicle; never a menu, never an order.
    if (hit.vehicle && !hit.vehicle->IsNPC()) {
      if (mSelection->Contains(hit.vehicle)) {
        mSelection->Remove(hit.vehicle);
      } else {
        mSelection->Add(hit.vehicle);
        mAddedThisPress = true;
      }
    }
    return;
  }
  if (PressPendingAction(hit)) return;
  if (mSelection->IsEmpty())
    PressWithEmptySelection(hit, x, y);
  else
    PressWithSelection(hit, x, y);
}

void cCivInputController::PlaceDebugVehicle() {
  cCivModeVehicle* vehicle = GetCivDebugVehicle().vehicle;
  if (GetCivDebugVehicle().state == 1) {
    const Vector3 ground = View().GroundPoint(mPressX, mPressY);
    if (!IsZero(ground)) vehicle->SetPosition(ground);
    GetCivDebugVehicle().state = 2;
    return;
  }
  // Stays where it was dropped, and the world runs it from now on.
  vehicle->SetState(kCivVehicleGuard, vehicle->GetPosition(), nullptr, nullptr, 0);
  if (cCivWorld* world = GetCivWorld()) world->AdoptVehicle(vehicle);
  GetCivDebugVehicle().vehicle = nullptr;
  GetCivDebugVehicle().state = 0;
  vehicle->Release();  // the panel's reference: the world's list holds the vehicle now
}

// The two-click actions a menu started: this click names their target. Each
// pays only now, after testing the money again, and ends without a charge
// when the target or the money is not right.
bool cCivInputController::PressPendingAction(const sHit& hit) {
  const int human = GetCivHumanPlayer();
  const cCivTuningCosts& costs = *cCivTuning::GetCosts();
  cCivWorld* world = GetCivWorld();
  if (mPlacingRoad || mPlacingTradeRoute) {
    const bool trade = mPlacingTradeRoute;
    mPlacingRoad = mPlacingTradeRoute = false;
    cCivModeRoad* road = mPendingRoad;
    cCivModeDecoratedCity* start = road ? road->GetStart() : nullptr;
    cCivModeDecoratedCity* end = hit.building ? hit.city : nullptr;
    const float price = trade ? costs.TradeRouteCost : costs.RoadCost;
    bool accepted = start && end && end != start && world;
    if (accepted && trade) accepted = end->GetOwner() != human && end->FindEmbassy(human);
    if (accepted && !trade) accepted = end->GetOwner() == human;
    if (accepted && start->GetAvailableWealth() >= price) {
      start->Pay(price);
      road->SetEnd(end);
      world->PlaceRoad(road);  // the start city holds it now
      mPendingRoad = nullptr;
      road->Release();
    } else {
      EndPendingRoad();
    }
    return true;
  }
  if (mChoosingGiftProvider) {
    mChoosingGiftProvider = false;
    if (!mSelection->IsEmpty()) mSelection->Clear();
    cCivModeDecoratedCity* giver = hit.building ? hit.city : nullptr;
    if (giver && mGiftTargetCity && giver->GetOwner() == human && giver->GetMoney() >= mGiftAmount) {
      giver->GiveGift(mGiftTargetCity, mGiftAmount);
      mGiftGivenNotice = true;
      mGiftCancelledNotice = false;
    } else {
      PlayCivSound(eCivSound::Bonk);
      mGiftCancelledNotice = true;
      mGiftGivenNotice = false;
    }
    mNoticeTimer.Restart();
    return true;
  }
  if (mChoosingEmbassyToExpel) {
    mChoosingEmbassyToExpel = false;
    cCivModeDecoratedCity* city = mEmbassyCity;
    mEmbassyCity = nullptr;
    cCivModeDecoratedBuilding* embassy = hit.building;
    if (city && embassy && hit.city == city && embassy->GetTypeId() == cCivModeEmbassyBuilding::kTypeId &&
        embassy->GetState() != kCivRemoved && city->GetAvailableWealth() >= costs.CostExpelEmbassy) {
      city->Pay(costs.CostExpelEmbassy);
      city->ExpelEmbassy(embassy);
    }
    return true;
  }
  return false;
}

void cCivInputController::PressWithEmptySelection(const sHit& hit, int x, int y) {
  if (hit.vehicle) {
    if (IsSelectable(hit.vehicle)) AddToSelection(hit.vehicle);
    return;
  }
  if (!hit.city) return;
  if (hit.building) {
    auto* embassy = hit.building->AsEmbassy();
    if (embassy && embassy->GetEmbassyOwner() == GetCivHumanPlayer()) return;  // the human's own embassy abroad
    SelectCity(hit.city);
    if (hit.city->IsNPC() && !gCivPlayerCanSelectNPCObjects)
      mPieMenus->OpenNPCCityMenu(x, y);
    else
      mPieMenus->OpenCityMenu(x, y);
    return;
  }
  if (hit.turret && (!hit.city->IsNPC() || gCivPlayerCanSelectNPCObjects)) {
    SelectCity(hit.city);
    mPieMenus->OpenCityMenu(x, y);
  }
}

void cCivInputController::PressWithSelection(const sHit& hit, int x, int y) {
  if (hit.vehicle) {
    if (hit.vehicle->IsNPC() && !mSelection->Contains(hit.vehicle)) {
      mSelection->OrderAttackVehicle(hit.vehicle);
    } else if (mSelection->Count() > 1) {
      mSelection->Clear();
      AddToSelection(hit.vehicle);
    }
    return;
  }
  if (!hit.city || (!hit.building && !hit.turret)) return;
  if (hit.city->GetOwner() == mSelection->First()->GetOwner()) return;
  if (mMenuCity != hit.city) {
    SelectCity(nullptr);
    SelectCity(hit.city);
  }
  mPieMenus->OpenAttackMenu(x, y);
}

void cCivInputController::OnLeftButtonUp(int x, int y) {
  mLeftButtonHeld = false;
  if (cGLFPieMenu* menu = mPieMenus->GetVisibleMenu()) {
    menu->HandleMouse(kLeftButton, kButtonUp, x, y);
    return;
  }
  if (MapUnder(x, y) || NoticeUnder(x, y)) return;  // the press moved the camera; no order follows
  if (mViewState == kCivViewCloseUp) {
    if (mGrabbedBuilding) mGrabbedBuilding->SetHighlighted(false);
    if (mZoomedCity) mZoomedCity->RefreshLayout();
    mGrabbedBuilding = nullptr;
    return;
  }
  if (mViewState != kCivViewWorld || mSelection->IsEmpty() || mAddedThisPress || CtrlHeld()) return;
  if (mDragged) {
    mSelection->Clear();
    mHoveredVehicle = nullptr;
    return;
  }
  const Vector3 ground = View().GroundPoint(x, y);
  if (Ru::Math::Vector3Length(ground) > 1.0f) mSelection->OrderMove(ground);
}

// ---- the mouse moving ----

void cCivInputController::OnMouseMove(int x, int y) {
  if (cGLFPieMenu* menu = mPieMenus->GetVisibleMenu()) {
    menu->OnMouseMove(x, y);  // an open menu takes the move alone
    return;
  }
  if (mViewState == kCivViewCloseUp) {
    if (!mGrabbedBuilding) return;
    cCivModeDecoratedCityTest filter;
    cScenePickResult result;
    View().Pick(result, x, y, &filter);
    if (!result.object && !result.terrain) return;
    const Vector3 up = Ru::Math::Vector3Normalized(result.point);
    const float radius = GetPlanetModel().GetSurfaceRadius(result.point) + GetSharedTuningData().GetBuildingCivScale() * 0.5f;
    mGrabbedBuilding->SetPositionOnSurface(Ru::Math::Vector3Scale(up, radius));
    return;
  }
  if (mViewState == kCivViewPlacement) {
    if (!mMenuCity) return;
    const Vector3 ground = View().GroundPoint(x, y);
    if (!IsZero(ground)) mMenuCity->Relocate(ground.x, ground.y, ground.z);
    return;
  }
  if (GetCivDebugVehicle().state == 2 && GetCivDebugVehicle().vehicle) {
    const Vector3 ground = View().GroundPoint(x, y);
    if (!IsZero(ground)) GetCivDebugVehicle().vehicle->SetPosition(ground);
  } else if (mLeftButtonHeld) {
    PaintAt(x, y);
  } else {
    HoverAt(x, y);
  }
  UpdateCursorGroundPoint(x, y);
}

void cCivInputController::PaintAt(int x, int y) {
  const int dx = x - mPressX, dy = y - mPressY;
  if (dx * dx + dy * dy <= kDragDeadZoneSquared) return;
  if (mLastPaintX == mPressX && mLastPaintY == mPressY) {
    mMultiSelector->SetRadius(GetSharedTuningData().GetCivSelectionRadius());
    mPressX = mPressY = -1;  // every later move paints
  }
  View().MarkBand(mMultiSelector, x, y);
  const size_t before = mSelection->Count();
  const Vector3 ground = View().GroundPoint(x, y);
  if (!IsZero(ground))
    if (cCivWorld* world = GetCivWorld())
      for (cCivModeVehicle* vehicle : world->GetVehicles()) {
        const float reach = mMultiSelector->GetRadius() + vehicle->GetScale();
        if (IsLiveVehicle(vehicle) && Ru::Math::Vector3Length(Ru::Math::Vector3Sub(vehicle->GetPosition(), ground)) < reach)
          Select(vehicle);
      }
  if (mSelection->Count() > before) mAddedThisPress = true;
  mLastPaintX = x;
  mLastPaintY = y;
  mDragged = true;
}

bool cCivInputController::NoticeUnder(int x, int y) {
  return IsCivEventNoticeShown() && x > View().WindowWidth() - 100 && y > 100 && y < 300;
}

void cCivInputController::HoverAt(int x, int y) {
  const sHit hit = PickAt(x, y, false);
  if (!hit.object) {
    if (mMenuCity && !mPieMenus->GetVisibleMenu()) {
      SelectCity(nullptr);
      if (mHoveredCity) ResetLabelMarkers();
      mHoveredCity = nullptr;
    }
    EndHoveredVehicle();
    return;
  }
  if (hit.vehicle) {
    if (mHoveredVehicle && mHoveredVehicle != hit.vehicle && !mSelection->Contains(mHoveredVehicle))
      mHoveredVehicle->SetHighlighted(false);
    hit.vehicle->SetHighlighted(true);
    mHoveredVehicle = hit.vehicle;
    mLabelX = x;
    mLabelY = y;
    mHoverTimer.Restart();
  }
  if (!mMenuCity && hit.city && (hit.building || hit.turret)) {
    SelectCity(hit.city);
    if (hit.city->IsNPC()) ResetLabelMarkers();
    mHoveredCity = hit.city;
    mLabelX = x;
    mLabelY = y;
    mHoverTimer.Restart();
  }
}

void cCivInputController::EndHoveredVehicle() {
  if (mHoveredVehicle && !mSelection->Contains(mHoveredVehicle)) mHoveredVehicle->SetHighlighted(false);
  mHoveredVehicle = nullptr;
}

void cCivInputController::EndHover() {
  EndHoveredVehicle();
  if (mHoveredCity) ResetLabelMarkers();
  mHoveredCity = nullptr;
}

void cCivInputController::UpdateCursorGroundPoint(int x, int y) {
  Vector3 point = View().GroundPoint(x, y);
  mCursorGroundPoint = point;
  if (IsZero(point)) return;
  const Vector3 up = Ru::Math::Vector3Normalized(point);
  if (!mCameraButtonHeld) {
    mCursorGroundPoint = Ru::Math::Vector3Scale(up, GetPlanetModel().GetSurfaceRadius(point));
    cPlanetModel::MakeSurfaceOrientation(mCursorOrientation, mCursorGroundPoint, kCursorFacing);
    return;
  }
  // Dragging with the camera button: the camera keeps the grabbed point under the cursor.
  mCursorGroundPoint = Ru::Math::Vector3Scale(up, mPressSurfaceRadius);
  if (IsValidVector3(mCursorGroundPoint)) View().FocusOn(mCursorGroundPoint);
}
