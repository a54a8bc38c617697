#include "modes/tribe/TribeHut.h"

#include "world/planet/SavedValueRepair.h"
#include "math/Math.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeGround.h"
#include "modes/tribe/TribeRecordFields.h"
#include "modes/tribe/TribeSceneObjects.h"
#include "modes/tribe/TribeTool.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/HealthMeterShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

uint32_t gTribeHutIdCounter = 0;

cTribeHut::cTribeHut() : mId(++gTribeHutIdCounter) {}

cTribeHut::~cTribeHut() {
  ShowNestMeter(false);
  ReleaseSceneObject();
}

void cTribeHut::SetId(uint32_t id) {
  mId = id;
  if (id > gTribeHutIdCounter) gTribeHutIdCounter = id;
}

const Vector3* cTribeHut::GetRestSite() {
  if (mTribe && mTribe->GetToolPosition(kTribeToolRest, mToolSite)) return &mToolSite;
  return &mRestSite;
}

const Vector3* cTribeHut::GetHealSite() {
  if (mTribe && mTribe->GetToolPosition(kTribeToolHeal, mToolSite)) return &mToolSite;
  return &mHealSite;
}

void cTribeHut::ShowNestMeter(bool show) {
  const Vector3 up = TribeUnitOrZero(GetPositionVector());
  ShowValueMeter(show, mNestMeterObject, mNestMeterShape,
                 Vector3Scale(up, GetPlanetModel().GetSurfaceRadius(up) + kNestMeterHeight));
}

void cTribeHut::SetNestMeterValue(float value) {
  if (mNestMeterObject && mNestMeterShape) mNestMeterShape->SetValue(value);
}

void cTribeHut::ReleaseSceneObject() {
  const Vector3 position = mPosition;  // the cube stands above it: the hut's own point stays
  DeleteOwnedSceneObject(mSceneObject, mPosition, mOrientation);
  mPosition = position;
}

// The hut's point is on the surface, where members walk to and raids aim; its
// cube stands over it on the lowest ground of its footprint.
const float* cTribeHut::GetPosition() { return mPosition.Ptr(); }

const Quaternion& cTribeHut::GetOrientation() const {
  return mSceneObject ? mSceneObject->GetOrientation() : mOrientation;
}

void cTribeHut::SetOrientation(const Quaternion& orientation) {
  mOrientation = orientation;
  if (mSceneObject) mSceneObject->SetOrientation(orientation);
}

void cTribeHut::SetPosition(const Vector3& position) {
  mPosition = position;
  if (mSceneObject) mSceneObject->SetPosition(HutStandPoint(position));
  const cPlanetModel& planet = GetPlanetModel();
  auto site = [&](Vector3& out, float dx, float dz) {
    planet.ProjectToSurface(out, Vector3Add(position, Vector3{dx, 0.0f, dz}));
  };
  site(mRestSite, kSiteOffset, 0.0f);
  site(mHealSite, 0.0f, -kSiteOffset);
  site(mFoodSite, -kSiteOffset, 0.0f);
  site(mIdleSite, 0.0f, kSiteOffset);
  site(mNestSite, kNestOffset, kNestOffset);
}

void cTribeHut::Write(cMemoryStream& stream, uint32_t) {
  Vector3 position = GetPositionVector();
  Quaternion orientation = GetOrientation();
  stream.WriteVector3(&position);
  stream.WriteQuaternion(&orientation);
}

void cTribeHut::Read(cMemoryStream& stream, uint32_t) {
  Vector3 position;
  Quaternion orientation;
  stream.ReadVector3(&position);
  stream.ReadQuaternion(&orientation);
  if (!AcceptRecord(stream, IsValidVector3(position) && IsFiniteQuaternion(orientation))) return;
  RepairSavedPoint(position, "hut position");
  RepairSavedFacing(orientation, "hut facing");
  SetPosition(position);
  SetOrientation(orientation);
}
