#include "modes/civ/CivBuilding.h"

#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivShapes.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

cCivModeDecoratedBuilding::cCivModeDecoratedBuilding() : mShape(new cSceneShapeCube()) {
  CivCullBehindPlanet(mShape);
  CivBatchCubes(mShape);
  cCivModeDecoratedBuilding::SetState(mState, mStyle);
}

cCivModeDecoratedBuilding::~cCivModeDecoratedBuilding() {
  DropSceneObject();
  SetRecord(nullptr);
  CivForgetShape(mShape);
  delete mShape;
}

void cCivModeDecoratedBuilding::SetRecord(cBuildingCommon* record) {
  if (record == mRecord) return;
  if (record) record->AddRef();
  if (mRecord) mRecord->Release();
  mRecord = record;
}

void cCivModeDecoratedBuilding::MakeSceneObject() {
  DropSceneObject();
  mSceneObject = new cSceneObject(nullptr, mShape);
  mSceneObject->SetColour(CivPlayerColour(mOwner));
  if (mRecord) mRecord->SetSceneObject(mSceneObject);
  GetSceneManager().AddObject(mSceneObject);
}

void cCivModeDecoratedBuilding::DropSceneObject() {
  if (!mSceneObject) return;
  GetSceneManager().RemoveObject(mSceneObject);
  if (mRecord && mRecord->GetSceneObject() == mSceneObject) mRecord->SetSceneObject(nullptr);
  delete mSceneObject;
  mSceneObject = nullptr;
}

cSceneObject* cCivModeDecoratedBuilding::GetSceneObject() const { return mRecord ? mRecord->GetSceneObject() : nullptr; }
const Vector3* cCivModeDecoratedBuilding::GetPosition() const { return mRecord ? mRecord->GetPosition() : nullptr; }
const Quaternion* cCivModeDecoratedBuilding::GetOrientation() const { return mRecord ? mRecord->GetOrientation() : nullptr; }

void cCivModeDecoratedBuilding::SetOrientation(const Quaternion& orientation) {
  if (mRecord) mRecord->SetOrientation(orientation);
}

void cCivModeDecoratedBuilding::SetColour(float r, float g, float b) {
  if (cSceneObject* object = GetSceneObject()) object->SetColour(Vector3{r, g, b});
}

void cCivModeDecoratedBuilding::SetPosition(const Vector3& p) {
  InfluenceOff();
  if (mRecord) mRecord->SetPosition(p);
  InfluenceOn();
}

void cCivModeDecoratedBuilding::SetPositionOnSurface(const Vector3& p) {
  SetPosition(p);
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, p, Quaternion{});
  SetOrientation(upright);
}

void cCivModeDecoratedBuilding::SetOwner(int owner, cCivModeDecoratedCity* city) {
  if (owner != mOwner) {
    InfluenceOff();
    mOwner = owner;
    InfluenceOn();
    if (mState == kCivIntact) {
      Vector3 c = CivPlayerColour(mOwner);
      SetColour(c.x, c.y, c.z);
    }
  }
  mCity = city;
}

void cCivModeDecoratedBuilding::SetState(int state) {
  if (state != mState) {
    InfluenceOff();
    mState = state;
    InfluenceOn();
  }
  SetState(state, mStyle);
}

void cCivModeDecoratedBuilding::SetStyle(int style) { SetState(mState, style); }

Vector3 cCivModeDecoratedBuilding::StateColour() const { return CivPlayerColour(mOwner); }

void cCivModeDecoratedBuilding::SetState(int state, int style) {
  mState = state;
  mStyle = style;
  const cSharedTuningData& tuning = GetSharedTuningData();
  if (state == kCivIntact) {
    float scale = style == 0 ? tuning.GetBuildingCivScale() : tuning.GetBuildingScale();
    mShape->SetScale(Vector3{scale, scale, scale});
    Vector3 c = StateColour();
    SetColour(c.x, c.y, c.z);
  } else if (state == kCivRubble) {
    Vector3 scale;
    if (style == 0) tuning.GetCivBuildingRubbleScale(&scale);
    else tuning.GetCityBuildingRubbleScale(&scale);
    mShape->SetScale(scale);
    SetColour(0.0f, 0.0f, 0.0f);
  }
}

void cCivModeDecoratedBuilding::SetHighlighted(bool on) {
  mHighlighted = on;
  if (mState == kCivIntact) {
    int highlightOwner = HighlightOwner();
    Vector3 c = CivPlayerColour(!on ? highlightOwner : highlightOwner == GetCivHumanPlayer() ? -2 : -3);
    SetColour(c.x, c.y, c.z);
  } else if (mState == kCivRubble) {
    SetColour(0.0f, 0.0f, 0.0f);
  }
}

// Registered once while intact and owned; removed only when registered.
void cCivModeDecoratedBuilding::InfluenceOn() {
  cCivInfluence* influence = GetCivInfluence();
  const Vector3* position = GetPosition();
  if (!influence || !position || mState != kCivIntact || mInfluenceRegistered || mOwner < 0) return;
  influence->AddSource(mOwner, *position, kInfluenceStrength, kInfluenceRadius);
  mInfluenceRegistered = true;
}

void cCivModeDecoratedBuilding::InfluenceOff() {
  cCivInfluence* influence = GetCivInfluence();
  const Vector3* position = GetPosition();
  if (!mInfluenceRegistered || mState != kCivIntact) return;
  if (influence && position) influence->RemoveSource(*position);
  mInfluenceRegistered = false;
}

void cCivModeEmbassyBuilding::SetSource(cCivModeDecoratedCity* source) {
  mSource = source;
  mEmbassyOwner = source ? source->GetOwner() : -1;
}

Vector3 cCivModeEmbassyBuilding::StateColour() const {
  return CivPlayerColour(mSource ? mSource->GetOwner() : mEmbassyOwner);
}
