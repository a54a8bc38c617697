#include "modes/tribe/TribeHerd.h"

#include <cmath>

#include "world/planet/SavedValueRepair.h"
#include "math/Math.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeRecordFields.h"
#include "modes/tribe/TribeSceneObjects.h"
#include "modes/tribe/cTribeGameMode.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/HealthMeterShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

uint32_t gHerdHuntCounts[kTribeHerdTypeCount] = {0, 0, 0, 0};

cTribeHerd::cTribeHerd() = default;

cTribeHerd::~cTribeHerd() { ReleaseSceneObjects(); }

Ko::cIGameData* cTribeHerd::Create() {
  cTribeHerd* herd = new cTribeHerd();
  herd->mShape = new cSceneShapePyramid();
  herd->mShape->SetScale(Vector3{kShapeScale, kShapeScale, kShapeScale});
  herd->mSceneObject = new cSceneObject(herd, herd->mShape);
  GetSceneManager().AddObject(herd->mSceneObject);
  herd->mLifeStopwatch.Start();
  herd->mHuntedStopwatch.Start();
  return herd;
}

const float* cTribeHerd::GetPosition() { return mSceneObject ? mSceneObject->GetPosition().Ptr() : mPosition.Ptr(); }

void cTribeHerd::SetPosition(const Vector3& position) {
  mPosition = position;
  if (mSceneObject) mSceneObject->SetPosition(position);
}

const Quaternion* cTribeHerd::GetOrientation() { return mSceneObject ? &mSceneObject->GetOrientation() : &mOrientation; }

void cTribeHerd::SetOrientation(const Quaternion& orientation) {
  mOrientation = orientation;
  if (mSceneObject) mSceneObject->SetOrientation(orientation);
}

void cTribeHerd::SetTarget(const Vector3& point) {
  Vector3 target = point;
  // Widening searches for land near a point in the sea. Bounded: far out in
  // an ocean, or at the planet's centre, there may be no land in reach.
  const cPlanetModel& planet = GetPlanetModel();
  for (int tries = 0, reach = 2; tries < kLandSearchTries && planet.IsUnderWater(target); ++tries, ++reach) {
    Vector3 next;
    planet.GetRandomSurfacePointNear(next, target, 1.0f, (float)reach);
    target = next;
  }
  // No land found: a herd that had a goal keeps it rather than swim out to sea.
  const bool hadTarget = mTarget.x != 0.0f || mTarget.y != 0.0f || mTarget.z != 0.0f;
  if (planet.IsUnderWater(target) && hadTarget) return;
  mTarget = target;
}

void cTribeHerd::SetType(uint32_t type) {
  mType = type;
  if (!mSceneObject) return;
  if (type == kTribeHerdBigGame) mSceneObject->SetColour(Vector3{1.0f, 1.0f, 0.0f});
  else if (type == kTribeHerdRunts) mSceneObject->SetColour(Vector3{0.0f, 1.0f, 0.0f});
  else if (type == kTribeHerdPredators) mSceneObject->SetColour(Vector3{1.0f, 0.0f, 0.0f});
}

void cTribeHerd::SetSize(uint32_t size) {
  mSize = size;
  SetCount((int32_t)size);
}

void cTribeHerd::SetCount(int32_t count) {
  mCount = count;
  if (!mShape) return;
  // In floating point: with whole numbers 4 of 5 animals would be 0 and the
  // herd would vanish. A herd made with no animals counts as one.
  const float size = mSize >= 1 ? (float)mSize : 1.0f;
  const float scale = count > 0 ? kShapeScale * std::cbrt((float)count / size) : 0.0f;
  mShape->SetScale(Vector3{scale, scale, scale});
}

void cTribeHerd::OnHunted() {
  // Away from the player's hut; with no player tribe, away from the planet's axis.
  cTribeObjectController* world = GetTribeObjectController();
  OnHunted(HutPositionOf(world ? world->GetPlayerTribe() : nullptr));
}

void cTribeHerd::OnHunted(const Vector3& awayFrom) {
  ++mTimesHunted;
  if (mType < kTribeHerdTypeCount) ++gHerdHuntCounts[mType];
  mHuntedStopwatch.Restart();
  SetCount(mCount - 1);
  Vector3 away = Vector3Sub(GetPositionVector(), awayFrom);
  away.y = 0.0f;
  const Vector3 d = TribeUnitOrZero(away);
  const cPlanetModel& planet = GetPlanetModel();
  planet.ProjectToSurface(mHomeCentre, Vector3Add(mHomeCentre, Vector3Scale(d, mHomeRadius)));
  planet.ProjectToSurface(mTarget, Vector3Add(mHomeCentre, Vector3Scale(d, mHomeRadius)));
}

void cTribeHerd::ResetHuntCounts() {
  for (uint32_t& count : gHerdHuntCounts) count = 0;
}

uint32_t cTribeHerd::GetHuntCount(uint32_t type) { return type < kTribeHerdTypeCount ? gHerdHuntCounts[type] : 0; }

void cTribeHerd::SetHuntCount(uint32_t type, uint32_t count) {
  if (type < kTribeHerdTypeCount) gHerdHuntCounts[type] = count;
}

void cTribeHerd::ShowMeter(bool show) {
  const Vector3 position = GetPositionVector();
  ShowValueMeter(show, mMeterObject, mMeterShape,
                 Vector3Scale(TribeUnitOrZero(position), Vector3Length(position) + kMeterHeight));
}

void cTribeHerd::SetMeterValue(float value) {
  if (mMeterObject && mMeterShape) mMeterShape->SetValue(value);
}

void cTribeHerd::ReleaseSceneObjects() {
  ShowMeter(false);
  cSceneShapePyramid* shape = mShape;
  mShape = nullptr;
  DeleteOwnedSceneObject(mSceneObject, mPosition, mOrientation);
  delete shape;
}

namespace {
// The herd's part of a save, in file order.
struct sHerdRecord {
  uint32_t type = 0;
  Vector3 position;
  Quaternion orientation;
  uint32_t timesHunted = 0;
  int32_t count = 2;
  Vector3 homeCentre;
  float homeRadius = 5.0f;
  Vector3 target;
  uint32_t huntCounts[3] = {0, 0, 0};  // of herd types 1, 2 and 3
};
}  // namespace

void cTribeHerd::Write(cMemoryStream& stream, uint32_t) {
  Vector3 position = GetPositionVector();
  Quaternion orientation = *GetOrientation();
  stream.WriteUInt32(&mType);
  stream.WriteVector3(&position);
  stream.WriteQuaternion(&orientation);
  stream.WriteUInt32(&mTimesHunted);
  stream.WriteUInt32(&mCount);
  stream.WriteVector3(&mHomeCentre);
  stream.WriteFloat(&mHomeRadius);
  stream.WriteVector3(&mTarget);
  for (uint32_t type = kTribeHerdBigGame; type <= kTribeHerdPredators; ++type) stream.WriteUInt32(&gHerdHuntCounts[type]);
}

void cTribeHerd::Read(cMemoryStream& stream, uint32_t version) {
  sHerdRecord record;
  stream.ReadUInt32(&record.type);
  stream.ReadVector3(&record.position);
  stream.ReadQuaternion(&record.orientation);
  if (version >= 6) {
    stream.ReadUInt32(&record.timesHunted);
    stream.ReadUInt32(&record.count);
    stream.ReadVector3(&record.homeCentre);
    stream.ReadFloat(&record.homeRadius);
    stream.ReadVector3(&record.target);
    for (uint32_t& count : record.huntCounts) stream.ReadUInt32(&count);
  } else {
    // Older files knew no home: the herd stays where it stands.
    record.homeCentre = record.position;
    record.target = record.position;
  }
  // A herd type the hunts do not know (0 is "none", never a saved herd's) is
  // damage like a non-finite value; so is a herd with no animals left, which
  // the world would drop without a word.
  if (stream.HasFailed()) return;
  if (record.type < kTribeHerdBigGame || record.type >= kTribeHerdTypeCount) return stream.MarkFailed("unknown herd type");
  if (record.count < 1 && version >= 6) return stream.MarkFailed("herd with no animals");
  const bool valid = IsValidVector3(record.position) && IsFiniteQuaternion(record.orientation) &&
                     IsValidVector3(record.homeCentre) && IsValidFloat(record.homeRadius) &&
                     IsValidVector3(record.target);
  if (!valid) return stream.MarkFailed("not a finite number");
  if (record.count > kMostAnimals) {
    record.count = kMostAnimals;
    GetDataManager()->CountLoadRepair("herd count beyond the cap");
  }
  RepairSavedPoint(record.position, "herd position");
  RepairSavedPoint(record.homeCentre, "herd home");
  RepairSavedPoint(record.target, "herd target");
  RepairSavedFacing(record.orientation, "herd facing");
  RepairSavedDistance(record.homeRadius, "herd home radius");
  SetType(record.type);
  SetPosition(record.position);
  SetOrientation(record.orientation);
  mTimesHunted = record.timesHunted;
  // The size is not saved and the loaded model stands at full scale, so the
  // herd counts as whole at its loaded count: the next hunt shrinks it
  // instead of growing it against a size of 1.
  mCount = record.count;
  mSize = record.count >= 1 ? (uint32_t)record.count : 1u;
  mHomeCentre = record.homeCentre;
  mHomeRadius = record.homeRadius;
  mTarget = record.target;
  for (uint32_t type = kTribeHerdBigGame; type <= kTribeHerdPredators; ++type)
    gHerdHuntCounts[type] = record.huntCounts[type - 1];
}
