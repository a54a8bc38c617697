#include "modes/city/cursors/CityCreatureCursor.h"

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/creature/CreatureCommon.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
// The rubber band finds its ground through the city's view, so a headless
// view can sweep it too.
class cCitySelector : public cMultiSelector {
 public:
  using cMultiSelector::cMultiSelector;

 protected:
  bool GroundUnder(int x, int y, Vector3& ground) override {
    ground = GetCityInputView().GroundPoint(x, y);
    return Vector3LengthSquared(ground) > 0.0f && IsValidVector3(ground);
  }
};

// Whether a live bundle anywhere in the city (piled, in a global store or
// carried) still shows this cube: bundles are freed without telling anyone.
bool IsLiveBundleCube(cSceneObject* cube) {
  cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  std::vector<cCityGameCityBundleContainer*> global;
  registry.CollectObjectsOfClass(global);
  for (cCityGameCityBundleContainer* store : global)
    if (store->FindBundleBySceneObject(cube)) return true;
  std::vector<cCityGameBundleContainer*> stores;
  registry.CollectObjectsOfClass(stores);
  for (cCityGameBundleContainer* store : stores)
    for (const cCityGameBundleContainer::sPileEntry& entry : store->GetPile())
      if (entry.bundle->GetSceneObject() == cube) return true;
  std::vector<cCityGameCreature*> creatures;
  registry.CollectObjectsOfClass(creatures);
  for (cCityGameCreature* creature : creatures)
    if (creature->GetCarried() && creature->GetCarried()->GetSceneObject() == cube) return true;
  return false;
}

// Whether the highlighted scene object still exists, asked of what showed it.
bool StillShows(Ko::cGameData* owner, cSceneObject* sceneObject) {
  if (auto* plant = dynamic_cast<cGamePlant*>(owner)) return plant->GetSceneObject() == sceneObject;
  auto* object = dynamic_cast<cCityGameWorldObject*>(owner);
  if (!object || HasLeftTheGame(object)) return false;
  if (dynamic_cast<cCityGameCityBundleContainer*>(object) || dynamic_cast<cCityGameBundleContainer*>(object))
    return IsLiveBundleCube(sceneObject);
  return true;  // a building's models live as long as it does
}

// What an order can be given on: a building with a use, a store not held by
// a tribe, a plant.
bool IsOrderTarget(Ko::cGameData* owner) {
  if (dynamic_cast<cGamePlant*>(owner) || dynamic_cast<cCityGameCityBundleContainer*>(owner)) return true;
  if (auto* building = dynamic_cast<cCityGameBuilding*>(owner)) return building->GetDefaultInteraction() != nullptr;
  if (auto* store = dynamic_cast<cCityGameBundleContainer*>(owner))
    return !dynamic_cast<cCityGameTribe*>(store->GetHolder());
  return false;
}
}  // namespace

cCityGameCreatureCursor& GetCityCreatureCursor() {
  static cCityGameCreatureCursor cursor;
  return cursor;
}

cCityGameCreatureCursor::cCityGameCreatureCursor() : mSelector(new cCitySelector(this)) {
  mSelector->SetColour(1.0f, 1.0f, 1.0f);
}

cCityGameCreatureCursor::~cCityGameCreatureCursor() = default;

void cCityGameCreatureCursor::LetGo() {
  ClearSelection();
  mHoverOwner.Reset();
  mHoverScene = nullptr;
  mDragging = mCalledAll = false;
  mNextCursor = nullptr;
}

void cCityGameCreatureCursor::Begin(bool dragging, cCityGameObject* /*owner*/, cCityGamePlayerCreature* citizen) {
  ClearSelection();  // a selection left by a cursor that never got its release
  mNextCursor = nullptr;
  mDragging = dragging;
  mCalledAll = false;
  mSelectionRadius = GetSharedTuningData().GetCitySelectionRadius();
  mSelector->SetRadius(mSelectionRadius);
  if (citizen) Select(citizen);
  if (!dragging) mMarker.Create(kMarkerSize);
}

bool cCityGameCreatureCursor::CanSelect(Ko::cGameData* object) {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(object);
  return citizen && !citizen->IsLeaving();
}

void cCityGameCreatureCursor::Select(Ko::cGameData* object) {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(object);
  if (!citizen || citizen->IsLeaving() || citizen->IsSelected()) return;
  citizen->SetSelected(true);
  citizen->AddRef();  // a citizen removed meanwhile still answers until released
  mSelection.push_back(citizen);
  mSelectionRadius += GetSharedTuningData().GetCityRadiusIncrement();
  mSelector->SetRadius(mSelectionRadius);
}

void cCityGameCreatureCursor::CallAllCitizens() {
  mDragging = false;
  mCalledAll = true;
  mMarker.Destroy();
  mMarker.Create(kMarkerSize);
  std::vector<cCityGamePlayerCreature*> citizens;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* citizen : citizens) {
    if (citizen->IsLeaving() || citizen->IsHidden()) continue;
    Select(citizen);
    citizen->EndInteraction();
    citizen->StartWithMode(GetCityBehavior<cCityGameBehaviorWalk>(), 0, 1);
  }
}

bool cCityGameCreatureCursor::IsCursorObject(cCityGameWorldObject* object) {
  for (cCityGamePlayerCreature* citizen : mSelection)
    if (citizen == object) return true;
  return false;
}

void cCityGameCreatureCursor::ClearSelection() {
  for (cCityGamePlayerCreature* citizen : mSelection) {
    citizen->SetSelected(false);
    citizen->Release();
  }
  mSelection.clear();
  mMarker.Destroy();
}

void cCityGameCreatureCursor::SetHighlight(Ko::cGameData* owner, cSceneObject* sceneObject) {
  if (owner == mHoverOwner.Get() && sceneObject == mHoverScene) return;
  ClearHighlight();
  if (!owner || !sceneObject) return;
  mHoverOwner = owner;
  mHoverScene = sceneObject;
  mHoverColour = sceneObject->GetColour();
  sceneObject->SetColour(Vector3Add(Vector3Scale(mHoverColour, 0.05f), Vector3{0.95f, 0.475f, 0.19f}));
}

void cCityGameCreatureCursor::ClearHighlight() {
  // A cube eaten, sold or carried off is freed with its bundle: forget it.
  if (mHoverScene && StillShows(mHoverOwner.Get(), mHoverScene)) mHoverScene->SetColour(mHoverColour);
  mHoverScene = nullptr;
  mHoverOwner.Reset();
}

void cCityGameCreatureCursor::UpdateMarkerPoint(int x, int y) {
  mMarkerPoint = GetCityInputView().GroundPoint(x, y);
  if (Vector3LengthSquared(mMarkerPoint) <= 0.0f) return;
  cPlanetModel& planet = GetPlanetModel();
  const Vector3 up = Vector3Normalized(mMarkerPoint);
  mMarkerPoint = Vector3Scale(up, planet.GetSurfaceRadius(up) + kMarkerLift);
  // Upright over the point; the heading of a line does not matter.
  cPlanetModel::MakeSurfaceOrientation(mMarkerOrientation, mMarkerPoint, Vector3{0.0f, 0.0f, 1.0f});
  if (mMarkerOrientation.w == 1.0f)
    cPlanetModel::MakeSurfaceOrientation(mMarkerOrientation, mMarkerPoint, Vector3{1.0f, 0.0f, 0.0f});
}

int cCityGameCreatureCursor::OnMouseMove(int x, int y) {
  UpdateMarkerPoint(x, y);
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, nullptr);
  Ko::cGameData* owner = pick.object ? pick.object->GetOwner() : nullptr;
  if (owner && IsOrderTarget(owner)) SetHighlight(owner, pick.object);
  else ClearHighlight();
  return kStay;
}

int cCityGameCreatureCursor::Update(unsigned int /*ms*/, int x, int y) {
  UpdateMarkerPoint(x, y);
  if (Vector3LengthSquared(mMarkerPoint) <= 0.0f) return kStay;
  if (mDragging) {
    mSelector->SelectAt(x, y);
  } else {
    mMarker.SetPosition(mMarkerPoint);
    mMarker.SetOrientation(mMarkerOrientation);
  }
  return kStay;
}

int cCityGameCreatureCursor::Draw(int /*x*/, int /*y*/) {
  if (mDragging) mSelector->Draw();
  return kStay;
}

int cCityGameCreatureCursor::OnLeftButtonUp(int x, int y) {
  ClearHighlight();
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, nullptr);
  Ko::cGameData* picked = pick.object ? pick.object->GetOwner() : nullptr;
  auto* target = dynamic_cast<cCityGameWorldObject*>(picked);
  if (mDragging) {  // the band is let go: the next release gives the orders
    mDragging = false;
    if (!mSelection.empty()) {
      mMarker.Create(kMarkerSize);
      return kStay;
    }
    // A band over nobody ends here, so the next press starts afresh (a road
    // drag, a click) instead of being spent on orders for no one.
    mNextCursor = nullptr;
    return kDone;
  }
  std::vector<cCityGameWorldObject*> selected(mSelection.begin(), mSelection.end());
  mNextCursor = target ? target->GetSelectionCursor(x, y, pick.object, selected) : nullptr;
  const cCityGameTuning& tuning = GetCityGameTuning();
  for (cCityGamePlayerCreature* citizen : mSelection) {
    if (target && target->IsTargetProperty()) {
      target->Interact(citizen, target->GetDefaultInteraction(), target, 1);
    } else {
      citizen->DropCarried();
      if (auto* plant = dynamic_cast<cGamePlant*>(picked)) {
        citizen->StartWithMode(GetCityBehavior<cCityCreatureGatherInteraction>(),
                               TargetWordOf(static_cast<cIInteractionTarget*>(plant)), 1);
      } else if (dynamic_cast<cCityGameBuildingMilitary*>(target)) {
        citizen->EndInteraction();  // it idles by the hall, mustering while at war
        citizen->SetIdleTimer((int32_t)tuning.idleAtCityHallDuration);
      } else {
        citizen->StartWithMode(GetCityBehavior<cCityGameBehaviorWalk>(), 0, 1);
      }
    }
    if (!mNextCursor) {
      if (citizen->GetCommon()) citizen->GetCommon()->SetPosition(pick.point);
      citizen->SetSelected(false);
    }
  }
  for (cCityGamePlayerCreature* citizen : mSelection) citizen->Release();
  mSelection.clear();
  mMarker.Destroy();
  return kDone;
}
