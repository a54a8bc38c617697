#include "modes/civ/CivCity.h"

#include "modes/civ/CivAccess.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivWall.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

cCivModeDecoratedCity::~cCivModeDecoratedCity() {
  DropWall();
  delete mMarker;
}

// The wall is the city's alone (never in the data manager): one reference, dropped with it.
void cCivModeDecoratedCity::MakeWall() {
  DropWall();
  mWall = new cCivModeWall();
  mWall->AddRef();
  Ru::Math::Vector3 centre = GetPosition();
  mWall->Init(centre.x, centre.y, centre.z, this);
}

void cCivModeDecoratedCity::DropWall() {
  if (mWall) mWall->Release();
  mWall = nullptr;
}

void cCivModeDecoratedCity::RefreshLayout() {
  if (!mWall) return;
  mWall->SetCentre(GetPosition());
  mWall->Reset();
}

void cCivModeDecoratedCity::Render() {
  if (mWall) mWall->Draw();
}

void cCivModeDecoratedCity::SetMarker(cSceneObject* marker) {
  if (marker == mMarker) return;
  delete mMarker;
  mMarker = marker;
}

void cCivModeDecoratedCity::Setup(int owner, const Ru::Math::Vector3& position) {
  mRecord = GetDataManager()->CreateObject<cCityCommon>();
  if (!mMarker) mMarker = new cSceneObject(nullptr, nullptr);
  Ru::Math::Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, position, Ru::Math::Quaternion{});
  mMarker->SetPosition(position);
  mMarker->SetOrientation(upright);
  if (mRecord) {
    mRecord->SetPosition(position);
    mRecord->SetOrientation(upright);
  }
  MakeWall();
  SetOwner(owner);
  RefreshLayout();
}

void cCivModeDecoratedCity::Reenter(int owner) {
  if (!mMarker) mMarker = new cSceneObject(nullptr, nullptr);
  if (mRecord) {
    mMarker->SetPosition(mRecord->GetPosition());
    mMarker->SetOrientation(mRecord->GetOrientation());
  }
  SetOwner(owner);
  MakeWall();
  RefreshLayout();
}

void cCivModeDecoratedCity::Leave() { DropWall(); }

void cCivModeDecoratedCity::Update(uint32_t) {}

void cCivModeDecoratedCity::SetOwner(int owner) {
  mOwner = owner;
  mIsNPC = owner != GetCivHumanPlayer();
}

Ru::Math::Vector3 cCivModeDecoratedCity::GetPosition() const {
  return mRecord ? mRecord->GetPosition() : Ru::Math::Vector3{};
}

float cCivModeDecoratedCity::GetMoney() const { return mRecord ? mRecord->GetMoney() : 0.0f; }

void cCivModeDecoratedCity::SetMoney(float money) {
  if (mRecord) mRecord->SetMoney(money);
}
