#include "modes/creature/CreatureCommon.h"

#include <cmath>

#include "math/Math.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
uint32_t gLastCreatureId = 0;  // the last id handed out or loaded
}

uint32_t cCreatureCommon::PeekNextId() { return gLastCreatureId + 1; }
void cCreatureCommon::ResetIdCounterForTest(uint32_t last) { gLastCreatureId = last; }

cCreatureCommon::cCreatureCommon() : mId(++gLastCreatureId) {}

cCreatureCommon::~cCreatureCommon() {
  if (mOwnsSceneObject) delete mSceneObject;  // a listed object takes itself out of the scene
}

void cCreatureCommon::SetId(uint32_t id) {
  mId = id;
  if (id > gLastCreatureId) gLastCreatureId = id;
}

cSceneShapeCreature* cCreatureCommon::GetBodyShape() {
  static cSceneShapeCreature* shape = new cSceneShapeCreature(0);  // shared for the whole run
  return shape;
}

void cCreatureCommon::SetSceneObject(cSceneObject* object) {
  if (object == mSceneObject) return;
  if (mOwnsSceneObject) delete mSceneObject;
  mSceneObject = object;
  mOwnsSceneObject = false;
}

void cCreatureCommon::AdoptSceneObject(cSceneObject* object) {
  SetSceneObject(object);
  mOwnsSceneObject = true;
}

Vector3 cCreatureCommon::GetObjectPosition() const {
  return mSceneObject ? mSceneObject->GetPosition() : Vector3{0.0f, 0.0f, 0.0f};
}
void cCreatureCommon::SetObjectPosition(const Vector3& position) {
  if (mSceneObject) mSceneObject->SetPosition(position);
}
Quaternion cCreatureCommon::GetObjectOrientation() const {
  return mSceneObject ? mSceneObject->GetOrientation() : QuatIdentity();
}
void cCreatureCommon::SetObjectOrientation(const Quaternion& orientation) {
  if (mSceneObject) mSceneObject->SetOrientation(orientation);
}

void cCreatureCommon::TurnAboutUp(float angle) {
  if (!mSceneObject) return;
  const Quaternion turn{0.0f, std::sin(angle * 0.5f), 0.0f, std::cos(angle * 0.5f)};
  mSceneObject->SetOrientation(QuatMultiply(mSceneObject->GetOrientation(), turn));
}

void cCreatureCommon::SteerTowards(const Vector3& target, float seconds, float speed, float turnRate) {
  if (!mSceneObject) return;
  const Quaternion q = mSceneObject->GetOrientation();
  const Vector3 up = QuatRotateVector(q, Vector3{0.0f, 1.0f, 0.0f});
  const Vector3 heading = QuatRotateVector(q, Vector3{0.0f, 0.0f, -1.0f});
  Vector3 toTarget = Vector3Sub(target, mSceneObject->GetPosition());
  toTarget = Vector3Sub(toTarget, Vector3Scale(up, Vector3Dot(toTarget, up)));  // in the body's ground plane
  if (Vector3LengthSquared(toTarget) < 1e-12f || !IsValidVector3(toTarget)) {
    mSpeed = speed;  // standing on the point: nothing to turn towards
    return;
  }
  // The signed angle from the heading to the target about the body's up.
  float angle = std::atan2(Vector3Dot(CrossProduct(heading, toTarget), up), Vector3Dot(heading, toTarget));
  const float limit = std::fabs(turnRate * seconds);
  const float turn = ClampFloat(angle, -limit, limit);
  TurnAboutUp(turn);
  const float facing = std::cos(angle - turn);
  mSpeed = facing > 0.0f ? speed * facing : 0.0f;
}

void cCreatureCommon::MoveForward(float distance) {
  if (!mSceneObject) return;
  const Quaternion q = mSceneObject->GetOrientation();
  const Vector3 heading = QuatRotateVector(q, Vector3{0.0f, 0.0f, -1.0f});
  const Vector3 moved = Vector3Add(mSceneObject->GetPosition(), Vector3Scale(heading, distance));
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, moved);
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, ground, q);
  mSceneObject->SetPosition(ground);
  mSceneObject->SetOrientation(upright);
}

float cCreatureCommon::GetDistanceToTarget() const {
  if (!mSceneObject || (mGoal.x == 0.0f && mGoal.y == 0.0f && mGoal.z == 0.0f)) return 0.0f;
  return Vector3Length(Vector3Sub(mGoal, mSceneObject->GetPosition()));
}
