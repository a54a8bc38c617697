#include "modes/civ/CivTurret.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "app/AppGlobals.h"
#include "glf/DrawTally.h"
#include "glf/PreparedGeometry.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SceneServices.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
constexpr float kDegrees = 180.0f / 3.14159265358979f;

Quaternion TurnAbout(const Vector3& axis, float degrees) { return QuatFromAngleAxis(axis, degrees / kDegrees); }
}  // namespace

cCivModeTurret::~cCivModeTurret() {
  if (mSceneObject) {
    GetSceneManager().RemoveObject(mSceneObject);
    delete mSceneObject;
  }
  if (mModel) CivForgetShape(mModel);
  delete mModel;
}

void cCivModeTurret::Init(int owner, const Vector3& position, int slot, cCivModeDecoratedCity* city) {
  if (city) mCity = city;
  mOwner = owner;
  mSlot = slot;
  if (!mModel) {
    mModel = new cSceneShapeTurret();
    CivCullBehindPlanet(mModel);
    CivBatchCubes(mModel);
  }
  mModel->SetScale(mScale);
  if (!mSceneObject) mSceneObject = new cSceneObject(nullptr, mModel);
  mSceneObject->SetColour(CivPlayerColour(owner));
  cPlanetModel& planet = GetPlanetModel();
  Vector3 up = Vector3Normalized(position);
  float ground = planet.GetSurfaceRadius(position);
  mSceneObject->SetPosition(Vector3Scale(up, ground + mScale.y * 0.5f));
  Quaternion orientation;
  if (mCity)  // the gun rests pointing away from the city
    cPlanetModel::MakeSurfaceOrientation(orientation, position, Vector3Sub(position, mCity->GetPosition()));
  else
    cPlanetModel::AlignOrientationToSurface(orientation, position, QuatIdentity());
  mSceneObject->SetOrientation(orientation);
  GetSceneManager().AddObject(mSceneObject);
  mGunPosition = Vector3Scale(up, ground + mScale.y * 1.3f);
  mGunOrientation = orientation;
}

void cCivModeTurret::Enter() {
  if (mSceneObject && mState != kCivTurretDead) GetSceneManager().AddObject(mSceneObject);
}

void cCivModeTurret::Leave() {
  if (mSceneObject) GetSceneManager().RemoveObject(mSceneObject);
}

void cCivModeTurret::SetOwner(int owner) {
  mOwner = owner;
  if (mSceneObject) mSceneObject->SetColour(CivPlayerColour(owner));
}

void cCivModeTurret::SetSelected(bool on) {
  mSelected = on;
  if (!mSceneObject) return;
  int entry = !on ? mOwner : (mOwner == GetCivHumanPlayer() ? -2 : -3);
  mSceneObject->SetColour(CivPlayerColour(entry));
}

void cCivModeTurret::ForgetTarget(cCivModeVehicle* vehicle) {
  if (!vehicle || vehicle != mTarget) return;
  mState = kCivTurretReturn;
  mTarget = nullptr;
}

const Vector3* cCivModeTurret::GetVictimPosition() { return mSceneObject ? &mSceneObject->GetPosition() : &mGunPosition; }

// Hostile (relationship below 0) or pillaging this very turret, live, and
// strictly inside the range; the first such in the world's vehicle order.
cCivModeVehicle* cCivModeTurret::FindTarget() const {
  cCivWorld* world = GetCivWorld();
  if (!world || !mSceneObject) return nullptr;
  cCivPlayers* players = GetCivPlayers();
  const float range = cCivTuning::GetCombat()->TurretRange;
  const cPlanetModel::sSurfacePoint tower = GetPlanetModel().GetSurfacePoint(mSceneObject->GetPosition());
  // The cheap tests first: most vehicles are neither hostile nor after this turret.
  for (cCivModeVehicle* vehicle : world->GetVehicles()) {
    if (vehicle->GetOwner() == mOwner) continue;
    if (vehicle->GetState() == kCivVehicleDying || vehicle->GetState() == kCivVehicleDead) continue;
    bool hostile = players && players->GetRelationships()->Get(vehicle->GetOwner(), mOwner) < 0.0f;
    bool pillagingMe = vehicle->GetTargetTurret() == this && vehicle->GetMission() == kCivMissionPillage;
    if (!hostile && !pillagingMe) continue;
    if (cPlanetModel::IsSurfaceDistanceBelow(vehicle->GetSurfacePoint(), tower, range)) return vehicle;
  }
  return nullptr;
}

bool cCivModeTurret::TurnToward(float yaw, float pitch) {
  auto step = [](float& value, float goal) {
    if (value < goal - kTurnStep) {
      value += kTurnStep;
      return true;
    }
    if (value > goal + kTurnStep) {
      value -= kTurnStep;
      return true;
    }
    value = goal;
    return false;
  };
  bool yawMoved = step(mYaw, yaw);
  bool pitchMoved = step(mPitch, pitch);
  return yawMoved || pitchMoved;
}

void cCivModeTurret::Fire() {
  mLastFireTime = Sys_Milliseconds();
  mFirePeriod = DrawCivFirePeriodMs();
  if (cCivWorld* world = GetCivWorld())
    world->GetBullets()->Spawn(mGunPosition, mTarget, mCity, kCivPillageBullet, nullptr);
}

void cCivModeTurret::Update() {
  // At speed 0 the world stands still: a turret neither aims, sweeps, fires
  // (though its period on the real clock has passed) nor shrinks away.
  cCivWorld* world = GetCivWorld();
  if (!mSceneObject || (world && world->IsStandingStill())) return;
  const Vector3 tower = mSceneObject->GetPosition();
  const Quaternion towerOrientation = mSceneObject->GetOrientation();
  if (mState != kCivTurretEngage && mState != kCivTurretDying && mState != kCivTurretDead) {
    if (cCivModeVehicle* vehicle = FindTarget()) {
      mState = kCivTurretEngage;
      mTarget = vehicle;
    }
  }
  if (mState == kCivTurretEngage && mTarget &&
      (GetPlanetModel().GetSurfaceDistance(mTarget->GetPosition(), tower) > cCivTuning::GetCombat()->TurretRange ||
       mTarget->GetOwner() == mOwner)) {
    mState = kCivTurretReturn;
    mTarget = nullptr;
  }
  switch (mState) {
    case kCivTurretSweepLeft:
      if (mYaw >= -kSweepLimit) mYaw -= kTurnStep;
      else mState = kCivTurretSweepRight, mTarget = nullptr;
      break;
    case kCivTurretSweepRight:
      if (mYaw <= kSweepLimit) mYaw += kTurnStep;
      else mState = kCivTurretSweepLeft, mTarget = nullptr;
      break;
    case kCivTurretEngage:
      if (mTarget) {
        Vector3 v = QuatRotateVector(QuatInverse(towerOrientation), Vector3Sub(mTarget->GetPosition(), mGunPosition));
        mTargetPitch = -std::atan2(v.y, std::sqrt(v.x * v.x + v.z * v.z)) * kDegrees;
        mTargetYaw = std::atan2(v.x, v.z) * kDegrees;
        bool turning = TurnToward(mTargetYaw, mTargetPitch);
        if (!turning && Sys_Milliseconds() - mLastFireTime > mFirePeriod) Fire();
      }
      break;
    case kCivTurretReturn:
      if (!TurnToward(mYaw, 0.0f)) mState = kCivTurretSweepLeft, mTarget = nullptr;
      break;
    case kCivTurretDying:
      mScale = Vector3Sub(mScale, Vector3{kShrinkStep, kShrinkStep, kShrinkStep});
      if (mScale.x >= 0.0f) {
        mModel->SetScale(mScale);
        mGunPosition = Vector3Add(tower, Vector3Scale(Vector3Normalized(tower), mScale.y * 0.5f));
      } else {
        mState = kCivTurretDead;
        mTarget = nullptr;
      }
      break;
    default:
      break;
  }
  mGunOrientation = QuatMultiply(QuatMultiply(towerOrientation, TurnAbout({0, 1, 0}, mYaw)), TurnAbout({1, 0, 0}, mPitch));
}

void cCivModeTurret::OnHit(int) {
  const uint32_t now = Sys_Milliseconds();
  if (mCity && mCity->GetOwner() == GetCivHumanPlayer() && cCivTuning::GetGeneral()->UseSound &&
      now - mCity->GetLastHitTime() > kAlarmPeriodMs) {
    PlayCivSound(eCivSound::TurretUnderAttack);
    if (mSceneObject) CivShowEventNotice(mSceneObject->GetPosition());
  }
  bool hit = gCivBulletsAlwaysHit || (float)Sys_Random() < cCivTuning::GetCombat()->ChanceBulletHitsTurret * 32767.0f;
  if (hit) {
    if (mCity && mCity->IsNPC() && mCity->GetAgent()) mCity->GetAgent()->SetGoal(kCivGoalTurret, nullptr);
    mState = kCivTurretDying;
    mTarget = nullptr;
  }
  if (mCity) mCity->SetLastHitTime(now);
}

namespace {
// The frame's barrels, placed on the processor as GL would place each.
struct cGunList {
  bool listing = false;
  std::vector<float> positions, normals;  // kept between frames: no allocation
};
cGunList& Guns() {
  static cGunList* guns = new cGunList();
  return *guns;
}
const float kGunGrey[3] = {0.2f, 0.2f, 0.2f};
}  // namespace

void cCivModeTurret::BeginGuns() {
  cGunList& guns = Guns();
  guns.listing = true;
  guns.positions.clear();
  guns.normals.clear();
}

void cCivModeTurret::EndGuns() {
  cGunList& guns = Guns();
  if (!guns.listing) return;
  guns.listing = false;
  if (guns.positions.empty()) return;
  CountGLDraw(guns.positions.size() / 3, guns.positions.size() / 9);
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glEnable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);  // an open tube: its inside shows at the muzzle
  glColor3fv(kGunGrey);
  PushLitArrays(guns.positions.data(), guns.normals.data());
  glDrawArrays(GL_TRIANGLES, 0, (GLsizei)(guns.positions.size() / 3));
  glPopClientAttrib();
  glPopAttrib();
}

// The barrel: a cylinder along the gun frame's z axis, from a mesh made once
// (one stack draws the picture of gluCylinder's twenty: its normals do not
// change along it). A gun the planet hides is not drawn, as its tower is not.
void cCivModeTurret::DrawGun(const Vector3& eye) {
  if (!mSceneObject || mState == kCivTurretDead || mScale.x <= 0.0f) return;
  const float radius = mScale.x * 0.1f, length = mScale.x * 1.5f;
  if (BehindBall(eye, mGunPosition, length + radius, kCivHorizonBall)) return;
  const Matrix4 frame = QuatToMatrix4(mGunOrientation, mGunPosition);
  cGunList& guns = Guns();
  if (!guns.listing) {
    glPushMatrix();
    glMultMatrixf(frame.m);
    glEnable(GL_LIGHTING);
    glColor3fv(kGunGrey);
    DrawPreparedCylinder(GetSceneQuadric(), radius, length, kGunSlices);
    glPopMatrix();
    return;
  }
  // The strip's quads as triangles; each edge along the tube has one normal,
  // so the quads shade alike however they are cut.
  cSphereMesh made;
  const cSphereMesh* kept = FindPreparedCylinder(radius, length, kGunSlices);
  if (!kept) made = BuildCylinderMesh(radius, length, kGunSlices, 1);
  const cSphereMesh& tube = kept ? *kept : made;
  const float* m = frame.m;
  auto add = [&](int v) {
    const float* p = &tube.positions[3 * v];
    const float* n = &tube.normals[3 * v];
    for (int r = 0; r < 3; ++r) {
      guns.positions.push_back(m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r]);
      guns.normals.push_back(m[r] * n[0] + m[4 + r] * n[1] + m[8 + r] * n[2]);
    }
  };
  const int count = (int)tube.positions.size() / 3;
  for (int k = 0; k + 3 < count; k += 2) {
    for (int v : {k, k + 1, k + 3}) add(v);
    for (int v : {k, k + 3, k + 2}) add(v);
  }
}
