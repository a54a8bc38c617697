#include "modes/creature/AvatarFlySwimController.h"

#include <cmath>
#include <cstring>

#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "math/Math.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kSeaRadius = 504.0f;  // the sea surface, from the planet's centre
}

cAvatarFlySwimController::cAvatarFlySwimController(cIGameMode* owner, cCreatureModeCreature* creature,
                                                   cSceneObject* firstMarker, cSceneObject* secondMarker,
                                                   const std::string& tuningFile, const std::string& dataFolder)
    : mOwner(owner), mCreature(creature), mMarkers{firstMarker, secondMarker}, mTuning(tuningFile, dataFolder) {}

void cAvatarFlySwimController::Activate() {
  if (mActive) return;
  mActive = true;
  mKeys.RegisterAction("MOVE", this);
  mKeys.RegisterAction("TURN", this);
  mKeys.RegisterAction("CLIMB", this);
  mKeys.LoadKeyFile(kKeyFile);
}

void cAvatarFlySwimController::Deactivate() {
  mActive = false;
  mMove = mTurn = mClimb = 0.0f;
  mSpeed = 0.0f;
}

void cAvatarFlySwimController::SetupCamera() {
  SetCameraScriptFile(kCameraScript);
  FollowWithMarkersAndCamera();
}

void cAvatarFlySwimController::HandleInputEvent(const char* action, float value, unsigned int) {
  if (!mActive || !IsValidFloat(value)) return;
  if (!std::strcmp(action, "MOVE")) mMove += value;
  else if (!std::strcmp(action, "TURN")) mTurn += value;
  else if (!std::strcmp(action, "CLIMB")) mClimb += value;
}

void cAvatarFlySwimController::Update(float seconds) {
  if (!mActive || !mCreature || !mCreature->GetCommon() || !mCreature->GetSceneObject()) return;
  if (!(seconds > 0.0f) || !IsValidFloat(seconds)) return;
  mKeys.Poll();
  mTuning.ReloadIfChanged();
  const float move = ClampFloat(mMove, -1.0f, 1.0f), turn = ClampFloat(mTurn, -1.0f, 1.0f),
              climb = ClampFloat(mClimb, -1.0f, 1.0f);
  mMove = mTurn = mClimb = 0.0f;

  cCreatureCommon* body = mCreature->GetCommon();
  body->TurnAboutUp(turn * mTuning.turnRate * seconds);

  // The speed follows MOVE at the tuning's acceleration; water is slower.
  const float wanted = move * (mSwimming ? mTuning.swimSpeed : mTuning.flySpeed);
  const float step = mTuning.acceleration * seconds;
  mSpeed = wanted > mSpeed ? MinFloat(wanted, mSpeed + step) : MaxFloat(wanted, mSpeed - step);

  // Forward along the heading, then up or down along the local vertical.
  const cPlanetModel& planet = GetPlanetModel();
  const Quaternion q = body->GetObjectOrientation();
  const Vector3 heading = QuatRotateVector(q, Vector3{0.0f, 0.0f, -1.0f});
  const Vector3 from = body->GetObjectPosition();
  Vector3 p = Vector3Add(from, Vector3Scale(heading, mSpeed * seconds));
  // The height comes from where it was: a straight step along the tangent
  // would otherwise lift it a little every frame.
  const float climbing = climb != 0.0f ? climb * mTuning.climbRate : (mSwimming ? 0.0f : -mTuning.sinkRate);
  float radius = Vector3Length(from) + climbing * seconds;
  if (!(radius > 0.0f)) radius = kSeaRadius;
  const Vector3 up = Vector3Scale(p, 1.0f / Vector3Length(p));

  // Between the floor (the ground, or the sea floor when diving) and the ceiling.
  const float ground = planet.GetSurfaceRadius(up);
  const bool overSea = ground < kSeaRadius;
  const bool diving = overSea && (mSwimming ? radius < kSeaRadius : climb < 0.0f);
  const float floor = diving ? ground : MaxFloat(ground, kSeaRadius);
  const float ceiling = MaxFloat(ground, kSeaRadius) + mTuning.maxHeight;
  radius = ClampFloat(radius, floor, ceiling);
  mSwimming = overSea && radius < kSeaRadius;
  p = Vector3Scale(up, radius);

  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, p, q);
  body->SetObjectPosition(p);
  body->SetObjectOrientation(upright);

  // Wings beat while flying, twice as fast while climbing; they rest in water.
  if (!mSwimming) {
    const float rate = mTuning.flapRate * (climb > 0.0f ? 2.0f : 1.0f);
    mFlapPhase = std::fmod(mFlapPhase + rate * seconds, 1.0f);
  }
  FollowWithMarkersAndCamera();
}

void cAvatarFlySwimController::FollowWithMarkersAndCamera() {
  if (!mCreature || !mCreature->GetSceneObject()) return;
  const Vector3 p = mCreature->GetPosition();
  const Quaternion q = mCreature->GetOrientation();
  for (cSceneObject* marker : mMarkers) {
    if (!marker) continue;
    marker->SetPosition(p);
    marker->SetOrientation(q);
    if (auto* wings = dynamic_cast<cCreatureWingShape*>(marker->GetShape())) wings->SetFlapPhase(mFlapPhase);
  }
  // The camera glides after the creature: its targets, not its current values.
  cCameraState& camera = GetCameraState();
  for (int i = 0; i < 3; ++i) camera.targetAnchor[i] = p.Ptr()[i];
  for (int i = 0; i < 4; ++i) camera.targetFrame[i] = q.Ptr()[i];
  camera.avatarSpeed = mSpeed;
}
