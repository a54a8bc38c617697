#include "modes/civ/CivBullets.h"

#include <cmath>

#include "app/AppGlobals.h"
#include "math/Math.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivVictim.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
// The bullets' shapes, built on first use and kept until exit.
cISceneShape* BulletShape(int kind) {
  static cSceneShapeSphere* sphere = [] {
    auto* shape = new cSceneShapeSphere();
    shape->SetScale(Vector3{5.0f, 5.0f, 5.0f});
    shape->SetDrawnInOneBatch(CivCubesBatched());  // a grown world has a hundred in flight
    CivCullBehindPlanet(shape);
    return shape;
  }();
  return kind == kCivPillageBullet ? static_cast<cISceneShape*>(CivMarkerCube()) : sphere;
}
}  // namespace

uint32_t DrawCivFirePeriodMs() {
  const cCivTuningCombat& combat = *cCivTuning::GetCombat();
  int jitter = (int)((float)Sys_Random() * combat.FirePeriodSpreadMs / 32767.0f);
  if (Sys_Random() >= 16383) jitter = -jitter;
  return (uint32_t)(combat.FirePeriodMs + (float)jitter);
}

cCivModeBullet::cCivModeBullet(const Vector3& from, cICivModeVictim* target, int shooter, int kind)
    : mTarget(target), mSceneObject(new cSceneObject(nullptr, BulletShape(kind))), mShooter(shooter) {
  mSceneObject->SetColour(CivPlayerColour(shooter));
  mSceneObject->SetPosition(from);
  GetSceneManager().AddObject(mSceneObject);
}

cCivModeBullet::~cCivModeBullet() {
  GetSceneManager().RemoveObject(mSceneObject);
  delete mSceneObject;
}

const Vector3& cCivModeBullet::GetPosition() const { return mSceneObject->GetPosition(); }
const Quaternion& cCivModeBullet::GetOrientation() const { return mSceneObject->GetOrientation(); }

float cCivModeBullet::DistanceToTarget() {
  if (!mTarget) return 0.0f;
  float d = Vector3Length(Vector3Sub(*mTarget->GetVictimPosition(), GetPosition()));
  if (d > 1.0f) return d;
  mDone = true;
  return 0.0f;
}

void cCivModeBullet::Update(uint32_t dtMs) {
  if (DistanceToTarget() > 1.0f) {
    Orient();
    Move(dtMs);
    return;
  }
  mDone = true;
  if (mTarget) Arrive();
}

// The heading is the turn from the bullet's forward axis (-z) onto the line to
// the target, taken in world space so it does not depend on the last heading.
void cCivModeBullet::Orient() {
  if (!mTarget) return;
  Vector3 toTarget = Vector3Sub(*mTarget->GetVictimPosition(), GetPosition());
  if (Vector3Length(toTarget) <= 0.0f) return;
  mSceneObject->SetOrientation(QuatFromTwoVectors(Vector3{0.0f, 0.0f, -1.0f}, Vector3Normalized(toTarget)));
}

void cCivModeBullet::Move(uint32_t dtMs) {
  float step = (float)dtMs * 0.001f * cCivTuning::GetCombat()->BulletSpeed;
  Vector3 candidate = Vector3Add(GetPosition(), QuatRotateVector(GetOrientation(), Vector3{0.0f, 0.0f, -step}));
  float ground = GetPlanetModel().GetSurfaceRadius(candidate);
  if (ground > Vector3Length(candidate)) candidate = Vector3Scale(Vector3Normalized(candidate), ground);
  // A step that reaches the target lands on it: overshooting by more than the
  // arrival distance would swing it to and fro past the target for ever (long
  // frames at a high simulation speed).
  if (mTarget && step >= Vector3Length(Vector3Sub(*mTarget->GetVictimPosition(), GetPosition())))
    candidate = *mTarget->GetVictimPosition();
  Orient();
  mSceneObject->SetPosition(candidate);
}

void cCivPillageBullet::Arrive() { mTarget->OnHit(mShooter); }

cCivDiplomaticBullet::cCivDiplomaticBullet(const Vector3& from, cICivModeVictim* target, cCivModeDecoratedCity* home,
                                           cCivModeVehicle* vehicle)
    : cCivModeBullet(from, target, home->GetOwner(), kCivDiplomaticBullet), mHome(home), mVehicle(vehicle) {}

void cCivDiplomaticBullet::ForgetVehicle(cCivModeVehicle* vehicle) {
  if (mVehicle == vehicle) mVehicle = nullptr;
}

void cCivDiplomaticBullet::Arrive() { mTarget->OnDiplomaticHit(mHome, mVehicle); }

// ---- the list ----

void cCivBulletList::Spawn(const Vector3& from, cICivModeVictim* target, cCivModeDecoratedCity* home, int kind,
                           cCivModeVehicle* vehicle) {
  if (!target || !home) return;
  if (kind == kCivPillageBullet)
    mBullets.push_back(new cCivPillageBullet(from, target, home->GetOwner()));
  else
    mBullets.push_back(new cCivDiplomaticBullet(from, target, home, vehicle));
}

void cCivBulletList::Update(uint32_t dtMs) {
  mUpdating = true;  // a hit may remove objects: their bullets are only dropped meanwhile
  for (auto at = mBullets.begin(); at != mBullets.end(); ++at) {
    cCivModeBullet* bullet = *at;
    if (!bullet) continue;
    if (bullet->IsDone()) {
      delete bullet;
      *at = nullptr;
      continue;
    }
    bullet->Update(dtMs);
  }
  mUpdating = false;
  mBullets.remove(nullptr);
}

void cCivBulletList::OnObjectRemoved(Ko::cIGameData* object) {
  if (!object) return;
  uint32_t type = object->GetTypeId();
  if (type != cCivModeTurret::kTypeId && type != cCivModeDecoratedCity::kTypeId && type != cCivModeVehicle::kTypeId)
    return;
  auto* victim = dynamic_cast<cICivModeVictim*>(object);
  for (auto at = mBullets.begin(); at != mBullets.end();) {
    cCivModeBullet* bullet = *at;
    if (bullet && bullet->GetTarget() == victim) {
      delete bullet;
      *at = nullptr;
    } else if (bullet && type == cCivModeVehicle::kTypeId) {
      bullet->ForgetVehicle(static_cast<cCivModeVehicle*>(object));
    }
    ++at;
  }
  if (!mUpdating) mBullets.remove(nullptr);
}

void cCivBulletList::Clear() {
  for (cCivModeBullet*& bullet : mBullets) {
    delete bullet;
    bullet = nullptr;
  }
  if (!mUpdating) mBullets.clear();
}
