#include "modes/city/cursors/CityDragCursor.h"

#include <vector>

#include "math/Math.h"
#include "modes/city/CityWorld.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityNearest.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
// Sees only the terrain: every scene object is refused.
class cTerrainHitPick : public cIScenePickTest {
 public:
  bool Accept(cSceneObject*) override { return false; }
};

cSceneObject* SceneOf(cCityGameWorldObject* object) { return object ? object->GetSceneObject() : nullptr; }
}  // namespace

cCityGameDragCursor& GetCityDragCursor() {
  static auto* cursor = new cCityGameDragCursor;
  return *cursor;
}

bool cCityGameDragCursor::Carrying() const { return mDragged && !mDragged->IsDead(); }

bool cCityGameDragCursor::IsCursorObject(cCityGameWorldObject* object) { return object && mDragged.Get() == object; }

bool cCityGameDragCursor::Accept(cSceneObject* object) {
  // Objects made without an owner report the null object: they count as unowned.
  Ko::cGameData* owner = object ? object->GetOwner() : nullptr;
  if (!owner || owner == cNullGameDataObject::GetInstance()) return false;
  return owner != static_cast<Ko::cGameData*>(mDragged.Get());
}

void cCityGameDragCursor::BeginDrag(cCityGameWorldObject* object) {
  if (!mSoundLoaded) {
    mBonk.Load(kBonkSound);
    mSoundLoaded = true;
  }
  mDragged = object;
  mStartPosition = object ? object->GetPosition() : Vector3{};
  if (cSceneObject* scene = SceneOf(object)) {
    mSavedColour = scene->GetColour();
    scene->SetColour(Vector3{1.0f, 1.0f, 1.0f});
    mStartOrientation = scene->GetOrientation();
  }
}

int cCityGameDragCursor::OnMouseMove(int x, int y) {
  if (!Carrying()) return kStay;
  cTerrainHitPick terrainOnly;
  cScenePickResult ground, target;
  GetCityInputView().Pick(ground, x, y, &terrainOnly);
  GetCityInputView().Pick(target, x, y, this);
  mDragged->SetPosition(ground.point, Vector3{});
  if (cSceneObject* scene = SceneOf(mDragged.Get()))
    scene->SetColour(mDragged->CanPlaceAt(target) ? Vector3{1.0f, 1.0f, 1.0f} : Vector3{1.0f, 0.0f, 0.0f});
  return kStay;
}

int cCityGameDragCursor::OnLeftButtonUp(int x, int y) {
  if (Carrying()) {
    cScenePickResult target;
    GetCityInputView().Pick(target, x, y, this);
    if (cSceneObject* scene = SceneOf(mDragged.Get())) scene->SetColour(mSavedColour);
    if (mDragged->CanPlaceAt(target)) {
      CompleteDrop();
    } else {
      ++mBonks;
      mBonk.Play();
      CancelDrop();
    }
  }
  mDragged.Reset();
  return kDone;
}

void cCityGameDragCursor::LetGo() {
  if (Carrying()) {
    if (cSceneObject* scene = SceneOf(mDragged.Get())) scene->SetColour(mSavedColour);
    CancelDrop();
  }
  mDragged.Reset();
}

void cCityGameDragCursor::CancelDrop() {
  if (!mDragged) return;
  mDragged->SetPosition(mStartPosition, Vector3{});
  if (cSceneObject* scene = SceneOf(mDragged.Get())) scene->SetOrientation(mStartOrientation);
}

void cCityGameDragCursor::CompleteDrop() {
  if (!mDragged) return;
  mDragged->OnDropped();
  if (auto* building = dynamic_cast<cCityGameBuilding*>(mDragged.Get())) PushCreaturesOutOfBuilding(building);
}

void PushCreaturesOutOfBuilding(cCityGameBuilding* building) {
  std::vector<cCityGameCreature*> creatures;
  GetCityObjectRegistry().CollectObjectsOfClass(creatures);
  const float r = building->GetRadius();
  const Vector3 centre = building->GetPosition();
  cPlanetModel& planet = GetPlanetModel();
  for (cCityGameCreature* creature : creatures) {
    if (!(Vector3Length(Vector3Sub(creature->GetPosition(), centre)) < 1.4f * r)) continue;
    Vector3 near, out;
    planet.GetRandomSurfacePointNear(near, centre, 1.4f * r, 1.5f * r);
    planet.ProjectToSurface(out, near);
    creature->SetPosition(out, Vector3{});
  }
}

cCityGameBuildingMilitary* FindNearestMilitaryBuilding(const Vector3& point) {
  return FindNearestCityObject<cCityGameBuildingMilitary>(point);
}
