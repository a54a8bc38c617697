#include "modes/tribe/TribeInputController.h"

#include <iterator>

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/Overlay2D.h"
#include "input/MouseDevice.h"
#include "math/Vector.h"
#include "modes/tribe/FoodPile.h"
#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeGround.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CursorMarker.h"
#include "world/scene/SceneManager.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

namespace {
constexpr int kLeftButton = 0, kButtonDown = 0, kButtonUp = 1;  // GLUT's codes
constexpr float kCursorMarkerSize = 5.0f;
constexpr float kNeedStep = 20.0f;  // what the debug keys take off a need

cTribeInputView* gTestView = nullptr;

bool IsZero(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// The point lifted radially to `lift` above the ground under it.
Vector3 AboveGround(const Vector3& p, float lift) {
  return Vector3Scale(Vector3Normalized(p), GetPlanetModel().GetSurfaceRadius(p) + lift);
}
}  // namespace

// ---- the game's view: scene picks, the planet's ground, the camera ----

void cTribeInputView::Pick(cScenePickResult& result, int x, int y) {
  GetSceneManager().PickAtScreenPoint(result, x, y, nullptr);
}

Vector3 cTribeInputView::GroundPoint(int x, int y) {
  Vector3 ground;
  GetPlanetModel().IntersectRay(ground, cSceneManager::ScreenPointToRay(x, y));
  return ground;
}

cMultiSelector* cTribeInputView::MakeMultiSelector(cIMultiSelectClient* client) { return new cMultiSelector(client); }
void cTribeInputView::ClearMouseMovement() { gMouseDevice.ClearAccumulatedMovement(); }

void cTribeInputView::DragCamera() {
  int dx = 0, dy = 0, wheel = 0;
  gMouseDevice.GetAccumulatedMovement(dx, dy, wheel);
  SetCameraMouseMove(dx, dy);
}

void cTribeInputView::MoveCameraTo(int x, int y) { MoveCameraToScreenPoint(x, y); }
void cTribeInputView::CenterCameraOn(const Vector3& point) { ::CenterCameraOn(&point.x); }

Quaternion cTribeInputView::GetCameraBaseOrientation() {
  const float* q = ::GetCameraBaseOrientation();
  return Quaternion{q[0], q[1], q[2], q[3]};
}

void cTribeInputController::SetViewForTest(cTribeInputView* view) { gTestView = view; }

cTribeInputView& cTribeInputController::View() {
  static cTribeInputView game;  // built on first use
  return gTestView ? *gTestView : game;
}

// ---- life ----

uint32_t cTribeInputController::sMemberCycle = 0;

cTribeInputController::cTribeInputController(cTribeGameMode* mode) : mMode(mode) {}

cTribeInputController::~cTribeInputController() {
  Leave();  // harmless after the mode's own Leave; frees everything when it was skipped
  mMode = nullptr;
  delete mClickedGround;
  mClickedGround = nullptr;
}

void cTribeInputController::Enter() {
  mMultiSelector = View().MakeMultiSelector(this);
  mMultiSelector->SetRadius(GetSharedTuningData().GetTribeSelectionRadius());
  mCursorMarker = new cCursorMarker();
  mCursorMarker->Create(kCursorMarkerSize);
  BuildPieMenus();
}

void cTribeInputController::Leave() {
  if (mCursorMarker) mCursorMarker->Destroy();
  delete mCursorMarker;
  mCursorMarker = nullptr;
  delete mMultiSelector;
  mMultiSelector = nullptr;
  for (cGLFPieMenu** menu : mMenus) {
    delete *menu;
    *menu = nullptr;
  }
  delete mHutGhost;  // which also takes it out of the scene
  mHutGhost = nullptr;
  // The world goes with the visit: nothing may point into it afterwards.
  if (mHoveredCreature) mHoveredCreature->ShowStatusMeter(false);
  ClearHoverTargets();
  mClickedPlant = nullptr;
  mClickedHerd = nullptr;
  mClickedHut = nullptr;
  mToolBeingPlaced = nullptr;
}

cTribeObjectController* cTribeInputController::Objects() const { return mMode->GetObjectController(); }
cTribe* cTribeInputController::PlayerTribe() const { return Objects()->GetPlayerTribe(); }

bool cTribeInputController::HasSelection() const {
  cTribeCreatureGroup* selection = Objects()->GetSelectionGroup();
  return selection && selection->GetMemberCount() > 0;
}

void cTribeInputController::ObjectRemoved(Ko::cIGameData* object) {
  if (!object) return;
  auto is = [object](Ko::cIGameData* held) { return held && held == object; };
  if (is(mHoveredCreature)) mHoveredCreature = nullptr;  // its meters go with it
  if (is(mHoveredTribe)) mHoveredTribe = nullptr;
  if (is(mHoveredTool)) mHoveredTool = nullptr;
  if (is(mHoveredHerd)) mHoveredHerd = nullptr;
  if (is(mHoveredPlant)) mHoveredPlant = nullptr;
  if (is(mHoveredFoodPile)) mHoveredFoodPile = nullptr;
  if (is(mClickedPlant)) mClickedPlant = nullptr;
  if (is(mClickedHerd)) mClickedHerd = nullptr;
  if (is(mClickedHut)) mClickedHut = nullptr;
  if (is(mToolBeingPlaced)) mToolBeingPlaced = nullptr;
}

// ---- selection ----

bool cTribeInputController::CanSelect(Ko::cGameData* owner) {
  if (!owner || owner->GetTypeId() != cTribeCreature::kTypeId) return false;
  return static_cast<cTribeCreature*>(owner)->GetTribe() == PlayerTribe();
}

void cTribeInputController::Select(Ko::cGameData* owner) {
  if (!owner || owner->GetTypeId() != cTribeCreature::kTypeId) return;
  Objects()->SelectCreature(static_cast<cTribeCreature*>(owner));
  // The brush grows with the selection.
  const cSharedTuningData& tuning = GetSharedTuningData();
  const size_t n = Objects()->GetSelectionGroup()->GetMemberCount();
  mMultiSelector->SetRadius(tuning.GetTribeSelectionRadius() + (float)n * tuning.GetTribeRadiusIncrement());
}

void cTribeInputController::SelectOnly(cTribeCreature* creature, bool centre) {
  if (centre) View().CenterCameraOn(Vector3{creature->GetPosition()[0], creature->GetPosition()[1],
                                            creature->GetPosition()[2]});
  Objects()->ClearSelection();
  Objects()->SelectCreature(creature);
}

void cTribeInputController::DragSelect(int x, int y) {
  if (mMemberMenu) mMemberMenu->OnMouseMove(x, y);
  const int dx = mPressX - x, dy = mPressY - y;
  if (!mPressedOnOwnCreature && dx * dx + dy * dy <= kDragDeadZoneSquared) return;
  if (mLastDragX == mPressX && mLastDragY == mPressY) {
    // The first step of a drag; one that began on an own member adds to the selection.
    mPressX = mPressY = -1;
    if (!mPressedOnOwnCreature) {
      Objects()->ClearSelection();
      mMultiSelector->SetRadius(GetSharedTuningData().GetTribeSelectionRadius());
    }
  }
  mMultiSelector->SelectAt(x, y);
  mLastDragX = x;
  mLastDragY = y;
  mLongPressTimer.Stop();
}

void cTribeInputController::UpdateCursorPoint(int x, int y) {
  const Vector3 ground = View().GroundPoint(x, y);
  mCursorPoint = IsZero(ground) ? ground : AboveGround(ground, kCursorLift);
}

// ---- the left button ----

void cTribeInputController::OnLeftButtonDown(int x, int y) {
  mLastDragX = x;
  mLastDragY = y;
  mLeftButtonHeld = true;
  mPressedOnOwnCreature = false;
  if (cGLFPieMenu* menu = GetOpenPieMenu()) {
    if (!menu->HandleMouse(kLeftButton, kButtonDown, x, y)) {
      // A press beside the items closes the menu.
      mClickedPlant = nullptr;
      menu->Hide();
      mPressX = mPressY = -1;
    }
    return;
  }
  mPressX = x;
  mPressY = y;
  if (mToolBeingPlaced) {
    mToolBeingPlaced = nullptr;  // dropped where it is
    return;
  }
  cScenePickResult pick;
  View().Pick(pick, x, y);
  if (pick.object) {
    PressOnObject(pick.object->GetOwner(), x, y);
    return;
  }
  if (!mLongPressTimer.IsRunning() && HasSelection()) mLongPressTimer.Restart();
  const Vector3 ground = View().GroundPoint(x, y);
  delete mClickedGround;
  mClickedGround = new cLocation(ground.x, ground.y, ground.z);
}

void cTribeInputController::PressOnObject(Ko::cGameData* owner, int x, int y) {
  if (!owner) return;
  cTribeObjectController* objects = Objects();
  switch (owner->GetTypeId()) {
    case cTribeCreature::kTypeId: {
      auto* creature = static_cast<cTribeCreature*>(owner);
      if (creature->GetTribe() != PlayerTribe()) return;
      mPressedOnOwnCreature = true;
      if (objects->IsSelected(creature)) {
        OpenMenu(mMemberMenu, x, y);
      } else {
        objects->ClearSelection();
        objects->SelectCreature(creature);
      }
      return;
    }
    case cTribeHut::kTypeId: {
      auto* hut = static_cast<cTribeHut*>(owner);
      mClickedHut = hut;
      if (PlayerTribe() && hut == PlayerTribe()->GetHut()) {
        OpenMenu(mHutMenu, x, y);
      } else if (HasSelection() && hut->GetTribe() && hut->GetTribe()->GetPopulation() > 0) {
        OpenMenu(mRivalHutMenu, x, y);
      }
      return;
    }
    case cGamePlant::kTypeId:
      mClickedPlant = static_cast<cGamePlant*>(owner);
      if (HasSelection()) RunOrOpenMenu(mGatherMenu, x, y);
      return;
    case cTribeHerd::kTypeId: {
      auto* herd = static_cast<cTribeHerd*>(owner);
      mClickedHerd = herd;
      if (!herd->IsHunted() && HasSelection()) RunOrOpenMenu(mHerdMenu, x, y);
      return;
    }
    case cTribeTool::kTypeId:
      mToolBeingPlaced = static_cast<cTribeTool*>(owner);
      objects->ClearSelection();
      return;
    case cFoodPile::kTypeId:
      if (HasSelection()) OpenMenu(mFoodMenu, x, y);
      return;
    default:
      return;  // the cursor, a ghost, a label: not the ground either
  }
}

void cTribeInputController::OnLeftButtonUp(int x, int y) {
  const bool doubleClick = mClickTimer.IsRunning() && mClickTimer.GetElapsed() < kDoubleClickMs;
  mClickTimer.Restart();
  mLeftButtonHeld = false;
  if (cGLFPieMenu* menu = GetOpenPieMenu()) {
    menu->HandleMouse(kLeftButton, kButtonUp, x, y);
    return;
  }
  if (mHutGhost) {
    StartHutMove();
    return;
  }
  if (mPressX == -1 && mPressY == -1) {  // the end of a drag
    mMultiSelector->SelectAt(x, y);
    return;
  }
  if (!mPressedOnOwnCreature) {
    const Vector3 ground = View().GroundPoint(x, y);
    if (!IsZero(ground)) SendSelectionTo(ground, doubleClick);
  }
  mLongPressTimer.Stop();  // a short click never opens the ground menu
}

// The selection walks (or, on a double click, runs) to the point and stays selected.
void cTribeInputController::SendSelectionTo(const Vector3& ground, bool run) {
  cIInteraction* started = StartGroupOrder(GetTribePrototype<cTribeGroupGoToNewTarget>(), nullptr,
                                           new cLocation(ground.x, ground.y, ground.z));
  if (auto* go = dynamic_cast<cTribeGroupGoToNewTarget*>(started)) {
    go->SetWaitTime(kOrderWaitSeconds);
    if (run) go->SetSprint(true);
  }
}

cIInteraction* cTribeInputController::StartGroupOrder(cIInteraction* prototype, cIInteractionTarget* target,
                                                      cLocation* ownedLocation) {
  if (ownedLocation) target = ownedLocation;
  cTribeCreatureGroup* selection = Objects()->GetSelectionGroup();
  auto* group = selection ? new cTransientCreatureGroup(*selection) : new cTransientCreatureGroup();
  group->AddRef();  // ours until the behaviour controller holds it
  GetBehaviorController().AddAgent(group);
  cIInteraction* started = nullptr;
  if (group->StartInteraction(prototype, TargetWordOf(target)))
    started = group->GetInteraction();
  else
    delete ownedLocation;  // no interaction took it
  group->Release();
  return started;
}

// ---- the mouse moving ----

void cTribeInputController::OnMouseMove(int x, int y) {
  // An open menu takes the move alone: its pressed item lights only under the pointer.
  if (cGLFPieMenu* menu = GetOpenPieMenu()) {
    menu->OnMouseMove(x, y);
    return;
  }
  if (mToolBeingPlaced) {
    const Vector3 ground = View().GroundPoint(x, y);
    if (!IsZero(ground)) {
      const Vector3 place = ToolStandPoint(ground, kToolLift);
      mToolBeingPlaced->SetPosition(place);
      Quaternion upright;
      cPlanetModel::AlignOrientationToSurface(upright, place, mToolBeingPlaced->GetOrientation());
      mToolBeingPlaced->SetOrientation(upright);
    }
  }
  if (mHutGhost) mHutGhost->SetPosition(View().GroundPoint(x, y));
  if (!mLeftButtonHeld && !mRightButtonHeld) {
    cScenePickResult pick;
    View().Pick(pick, x, y);
    TakeHoverTarget(pick, x, y);
  } else if (mHoveredCreature && !mHoverFadeTimer.IsRunning()) {
    mHoverFadeTimer.Start();
  }
  if (mLeftButtonHeld)
    DragSelect(x, y);
  else
    UpdateCursorPoint(x, y);
}

// ---- the right button: the camera ----

void cTribeInputController::OnRightButtonDown(int, int) {
  mRightButtonHeld = true;
  View().ClearMouseMovement();
  mRightPressTimer.Restart();
}

void cTribeInputController::OnRightButtonUp(int x, int y) {
  mRightButtonHeld = false;
  if (mRightPressTimer.GetElapsed() < kCameraClickMs) View().MoveCameraTo(x, y);
  mRightPressTimer.Stop();
}

// ---- every frame ----

void cTribeInputController::Update(uint32_t) {
  if (mLongPressTimer.IsRunning() && mLongPressTimer.GetElapsed() > kLongPressMs) {
    OpenMenu(mGroundMenu, mPressX, mPressY);
    mLongPressTimer.Stop();
  }
  if (mRightButtonHeld) View().DragCamera();
  UpdateHover();
}

void cTribeInputController::Render() {
  if (mLeftButtonHeld && mPressX == -1 && mPressY == -1 && mMultiSelector) mMultiSelector->Draw();
  if (mCursorMarker) {
    if (!mLeftButtonHeld && HasSelection()) {
      mCursorMarker->SetPosition(mCursorPoint);
      mCursorMarker->SetOrientation(View().GetCameraBaseOrientation());
    } else {
      mCursorMarker->SetPosition(Vector3{0.0f, 0.0f, 0.0f});  // inside the planet, out of sight
    }
  }
  DrawHoverTexts();
  for (cGLFPieMenu** menu : mMenus) {
    if (!*menu || !(*menu)->IsVisible()) continue;
    Begin2D();
    (*menu)->Draw();
    End2D();
  }
}

// ---- keys ----

void cTribeInputController::OnKeyPress(unsigned char key, int, int) {
  if (!PlayerTribe()) return;
  OnKeyCommand(key);
}

void cTribeInputController::OnKeyCommand(unsigned char key) {
  cTribeObjectController* objects = Objects();
  cTribe* player = PlayerTribe();
  switch (key) {
    case 'b':
    case 'B':
      if (player->GetHut()) objects->GetSelectionGroup()->StartGoToTarget(player->GetHut());
      return;
    case 'r':
    case 'R':
      StartGroupOrder(GetTribePrototype<cTribeGroupRecruits>(), nullptr);
      return;
    case 'a':
    case 'A':
      StartGroupOrder(GetTribePrototype<cTribeGroupRaids>(), nullptr);
      return;
    case 'e':
    case 'E':
      StartGroupOrder(GetTribePrototype<cTribeGroupEats>(), nullptr);
      return;
    case 'h':  // not 'H'
      StartGroupOrder(GetTribePrototype<cTribeGroupHeals>(), nullptr);
      return;
    case 's':
    case 'S':
      StartGroupOrder(GetTribePrototype<cTribeGroupRests>(), nullptr);
      return;
    case 'n':
    case 'N':
      objects->AddNewMember(player, false);
      return;
    case 'f':
    case 'F':
      player->AddFood(10.0f);
      return;
    case '`':
    case '~':
      if (player->GetHut()) View().CenterCameraOn(player->GetHut()->GetPositionVector());
      return;
    case ' ':
      CycleSelectedMember();
      return;
    case 'i':  // not 'I'
      SelectFirstIdler();
      return;
    case 27:
      objects->ClearSelection();
      return;
    case '1':
      ChangeSelectedNeeds(0, -kNeedStep);
      return;
    case '2':
      ChangeSelectedNeeds(1, -kNeedStep);
      return;
    case '3':
      ChangeSelectedNeeds(2, -kNeedStep);
      return;
    default:
      return;
  }
}

// The next member of the tribe, the counter wrapping at or past the
// population: deaths may have shrunk the tribe below the counter.
void cTribeInputController::CycleSelectedMember() {
  cTribe* player = PlayerTribe();
  const uint32_t population = player->GetPopulation();
  if (population == 0) return;
  ++sMemberCycle;
  if (sMemberCycle >= population) sMemberCycle = 0;
  auto member = player->MembersBegin();
  std::advance(member, sMemberCycle);
  SelectOnly(*member, true);
}

void cTribeInputController::SelectFirstIdler() {
  cTribe* player = PlayerTribe();
  for (auto member = player->MembersBegin(); member != player->MembersEnd(); ++member) {
    if (dynamic_cast<cMemberIdles*>((*member)->GetInteraction())) {
      SelectOnly(*member, true);
      return;
    }
  }
}

void cTribeInputController::ChangeSelectedNeeds(int which, float delta) {
  cTribeCreatureGroup* selection = Objects()->GetSelectionGroup();
  for (auto member = selection->MembersBegin(); member != selection->MembersEnd(); ++member) {
    cTribeCreature* creature = member->Get();
    if (which == 0) creature->SetHunger(creature->GetHunger() + delta);
    if (which == 1) creature->SetEnergy(creature->GetEnergy() + delta);
    if (which == 2) creature->SetHealth(creature->GetHealth() + delta);
  }
}
