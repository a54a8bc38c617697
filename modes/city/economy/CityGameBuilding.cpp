#include "modes/city/economy/CityGameBuilding.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "glf/PieMenu.h"
#include "math/Math.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/cursors/CityRoadCursor.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/economy/CityHorizontalMeter.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/economy/CityShapes.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/civ/CivRecords.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/PolyModelShape.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

cIInteraction* cCityGameBuilding::GetDefaultInteraction() { return GetCityBehavior<cCityGameBehaviorUseBuilding>(); }

void cCityGameBuilding::Initialize(cCityGameObject* owner) {
  SetOwner(owner);
  mRecord = GetDataManager()->CreateObject<cBuildingCommon>();
  if (mRecord) {
    mRecordId = mRecord->GetId();
    if (auto* city = dynamic_cast<cCityGameCity*>(owner)) mRecord->SetCityRecord(city->GetCommon());
  }
  cPlanetModel& planet = GetPlanetModel();
  Vector3 pole, start;
  planet.ProjectToSurface(pole, Vector3{0.0f, 1.0f, 0.0f});
  for (int i = 0; i < kStartTries; ++i) {
    planet.GetRandomSurfacePointNear(start, pole, kStartMinDistance, kStartMaxDistance);
    mPosition = start;
    if (!planet.IsUnderWater(start)) break;
  }
  CreateSceneObjects();
}

void cCityGameBuilding::CreateSceneObjects() {
  ScaleCityBuildingMarkers();
  cSceneManager& scene = GetSceneManager();
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, mPosition, QuatIdentity());
  mMain = new cSceneObject(this, GetCityBuildingShape());
  mMain->SetColour(GetColour());
  mMain->SetOrientation(upright);
  mMain->SetPosition(mPosition);
  scene.AddObject(mMain);
  if (mRecord) mRecord->SetSceneObject(mMain);
  mRing = new cSceneObject(nullptr, GetCityRingShape());
  mRing->SetColour(Vector3{0.8f, 0.8f, 0.8f});
  mRing->SetOrientation(upright);
  mDisc = new cSceneObject(this, GetCityDiscShape());
  mDisc->SetColour(Vector3{0.8f, 0.8f, 0.8f});
  mDisc->SetOrientation(upright);
  scene.AddObject(mDisc);
  mMeter = new cHorizontalMeter;
  mMeter->SetFillColour(0.0f, 0.0f, 0.8f);
  mMeter->SetOutlineColour(0.8f, 0.8f, 0.8f);
  mMeter->SetScreenOffset(0.0f, -15.0f, 0.0f);
  mMeter->SetSize(6.0f, 40.0f);
  SetPosition(mPosition, Vector3{});
}

void cCityGameBuilding::DestroySceneObjects() {
  cSceneManager& scene = GetSceneManager();
  for (cSceneObject** object : {&mDisc, &mRing, &mMain}) {
    if (!*object) continue;
    while (scene.RemoveObject(*object)) {
    }
    delete *object;  // a scene object holds an owner reference on this building: delete last
    *object = nullptr;
  }
  if (mRecord && !mRecord->IsDead()) mRecord->SetSceneObject(nullptr);
  delete mMeter;
  mMeter = nullptr;
}

void cCityGameBuilding::EndUsersInteractions() {
  cCityGameWorldObject::EndUsersInteractions();
  AddRef();  // the scene objects hold references on this building; it must outlive their deletion
  DestroySceneObjects();
  // A sold or cleared building takes its shared record along: no building
  // record is ever left without its scene object, nor kept for a save.
  if (mRecord) GetDataManager()->Remove(mRecord);
  mRecord = nullptr;
  // Its roads lose this end and go at their next update.
  std::vector<cCityGameRoad*> roads;
  GetRoads(roads);
  for (cCityGameRoad* road : roads) road->EndUsersInteractions();
  Release();
}

void cCityGameBuilding::GetRoads(std::vector<cCityGameRoad*>& out) {
  std::vector<cCityGameRoad*> all;
  GetCityObjectRegistry().CollectObjectsOfClass(all);
  for (cCityGameRoad* road : all)
    if (road->HasEnd(this)) out.push_back(road);
}

void cCityGameBuilding::Update(uint32_t) {
  if (!mRing) return;
  const bool full = GetCapacity() != 0 && mUsers == GetCapacity();
  const bool shown = mRing->GetSceneRefCount() > 0;
  if (full && !shown) GetSceneManager().AddObject(mRing);
  if (!full && shown) GetSceneManager().RemoveObject(mRing);
}

bool cCityGameBuilding::IsPickable(cCityGameWorldObject* user) {
  return mUsers < GetCapacity() && cCityGameWorldObject::IsPickable(user) && AcceptsUser(user);
}

bool cCityGameBuilding::AllowsStay(cCityGameWorldObject* user) {
  auto* creature = dynamic_cast<cCityGameCreature*>(user);
  if (!creature) return true;
  const int i = creature->LowestMotiveIndex();
  if (creature->GetMotive(i) > GetCityGameMotiveTuning().lowestMotive) return true;
  return (GetServedMotives() >> i) & 1u;
}

void cCityGameBuilding::AddOccupant(cCityGameWorldObject* user) {
  ++mUsers;
  if (auto* creature = dynamic_cast<cCityGameCreature*>(user)) creature->SetHidden(true);
}

void cCityGameBuilding::RemoveOccupant(cCityGameWorldObject* user) {
  --mUsers;
  if (auto* creature = dynamic_cast<cCityGameCreature*>(user)) creature->SetHidden(false);
}

void cCityGameBuilding::Draw() {
  if (!mMeter || GetCapacity() == 0) return;
  mMeter->SetValue((float)mUsers / (float)GetCapacity());
  mMeter->Draw(mPosition.x, mPosition.y, mPosition.z);
}

void cCityGameBuilding::DrawLabel(bool show, int x, int y) {
  if (!show) return;
  std::vector<sTextLine2D> lines = {{0, 0, GetBuildingName()}};
  const std::string detail = GetLabelDetail();
  if (!detail.empty()) lines.push_back({0, 12, detail});
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_12, lines);
  End2D();
}

void cCityGameBuilding::FillPieMenu(cGLFPieMenu* menu) {
  char label[64];
  std::snprintf(label, sizeof label, "Sell Building for: $%.2f", GetCost() * GetCityGameTuning().refundFraction);
  menu->AddItem(label, kSellItem);
  if (HasSwitch()) menu->AddItem(IsOn() ? "Turn Building Off" : "Turn Building On", kSwitchItem);
}

void cCityGameBuilding::OnPieMenuSelection(int id) {
  if (id == kSwitchItem) {
    mOn = !mOn;
    return;
  }
  if (id != kSellItem) return;
  if (auto* city = dynamic_cast<cCityGameCity*>(GetOwner())) city->AddMoney(GetCost() * GetCityGameTuning().refundFraction);
  GetCityObjectRegistry().RemoveNow(this);
}

cICityGameCursor* cCityGameBuilding::GetCursor(int x, int y, cSceneObject* picked) {
  if (!picked || picked != mMain) return nullptr;
  cCityGameBuildingPieMenuCursor& cursor = GetCityBuildingPieMenuCursor();
  cursor.Open(this, x, y);
  return &cursor;
}

void cCityGameBuilding::ResolveLinks() {
  cCityGameWorldObject::ResolveLinks();
  for (Ko::cIGameData* object : GetDataManager()->GetObjectsOfType(cBuildingCommon::kTypeId)) {
    auto* record = static_cast<cBuildingCommon*>(object);
    if (record->GetId() == mRecordId) mRecord = record;
  }
}

void cCityGameBuilding::OnModeEnter() {
  AddRef();
  DestroySceneObjects();
  Release();
  CreateSceneObjects();
}

void cCityGameBuilding::OnModeLeave() {
  cSceneManager& scene = GetSceneManager();
  for (cSceneObject* object : {mMain, mDisc, mRing})
    if (object) scene.RemoveObject(object);
}

void cCityGameBuilding::SetPosition(const Vector3& position, const Vector3& offset) {
  mPosition = position;
  mOffset = offset;
  if (!mMain) return;
  cPlanetModel& planet = GetPlanetModel();
  Vector3 up;
  if (Vector3NormalizeSafe(position, up) <= 0.0f) up = Vector3{0.0f, 1.0f, 0.0f};
  const float r = planet.GetSurfaceRadius(position);
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, position, mMain->GetOrientation());
  mMain->SetOrientation(upright);
  mMain->SetPosition(Vector3Scale(up, r + 0.5f * mMain->GetScale().x));
  mDisc->SetPosition(Vector3Scale(up, r + 0.75f));
  Quaternion discTurn;
  planet.AlignOrientationToTerrainAtSurface(discTurn, mDisc->GetPosition(), QuatIdentity(), 6.0f);
  mDisc->SetOrientation(discTurn);
  mRing->SetPosition(Vector3Scale(up, r + 5.0f));
  mRing->SetOrientation(mMain->GetOrientation());
}

cSceneObject* cCityGameBuilding::GetSceneObject() { return mMain; }

bool cCityGameBuilding::CanPlaceAt(const cScenePickResult& pick) {
  auto* city = dynamic_cast<cCityGameCity*>(GetOwner());
  cCityGameCityWalls* walls = city ? city->GetWalls() : nullptr;
  if (!walls || !pick.terrain) return false;
  return walls->SignedDistance(pick.point.x, pick.point.y, pick.point.z) < -GetRadius();
}

cICityGameCursor* cCityGameBuilding::StartDrag(int x, int y, cSceneObject* picked) {
  if (!picked || picked != GetRoadAnchor()) return cCityGameWorldObject::StartDrag(x, y, picked);
  // A drag from the disc lays a road from where it was pressed.
  cCityGameRoadCursor& roads = GetCityRoadCursor();
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, &roads);
  if (pick.object != picked) pick.point = picked->GetPosition();
  roads.BeginNewRoad(this, pick, 1);
  return &roads;
}
