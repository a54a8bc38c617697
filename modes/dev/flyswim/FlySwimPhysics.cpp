// One physics step per unit and frame: steering only sets the target; this
// turns it into drift, wing beats, altitude (over the ground or under the
// water shell), pitch and the placement of the unit's four scene objects.
#include <algorithm>
#include <cmath>

#include "app/GameClock.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace nFlySwim {

Vector3 GetUnitPosition(const sUnit& unit) { return unit.body ? unit.body->GetPosition() : Vector3{}; }
float UnitLag(const sUnit& unit) { return std::clamp(Distance(GetUnitPosition(unit), unit.target), 0.0f, 4.0f); }
float TargetMarkerAlpha(const sUnit& unit) {
  const float L = Distance(GetUnitPosition(unit), unit.target);
  return L < 1.0f ? 0.0f : L >= 4.0f ? 1.0f : L * 0.25f;
}
Vector3 TargetMarkerPoint(const sUnit& unit) {
  if (!Has(kSwims) && HeightAboveGround(unit.target) <= 1.0f) return PointAtHeight(unit.target, 1.0f);
  return unit.target;
}
void SyncUnitPosition(sUnit& unit) { unit.target = GetUnitPosition(unit); }

void AddUnitFlapImpulse(sUnit& unit) {
  if (unit.flapSpeed != 0.0f) unit.flapSpeed += unit.flapSpeed > 0.0f ? 0.3f : -0.3f;
  else unit.flapSpeed = 0.2f;
  unit.lastFlapTime = GetGameTime();
}

void AddUnitBubble(sUnit& unit, const Vector3& point) {
  unit.bubbles[unit.nextBubble] = point;
  unit.nextBubble = (unit.nextBubble + 1) % kBubbleCount;
  // Counted up to a full ring: taking the count from the wrapped index would
  // stop it at 24 and leave the newest bubble out.
  if (unit.bubbleCount < kBubbleCount) ++unit.bubbleCount;
}

void RiseUnitBubbles(sUnit& unit) {
  for (int i = 0; i < unit.bubbleCount; ++i) {
    Vector3& b = unit.bubbles[i];
    if (!IsZeroVector(b)) b = Vector3Add(b, Vector3Scale(Normalize(b), 0.05f));
  }
}

void UpdateUnitPhysics(sUnit& unit) {
  const uint32_t now = GetGameTime();
  const bool swims = Has(kSwims);
  const float W = WaterShellRadius();
  if (!Has(kGroup)) RiseUnitBubbles(unit);
  unit.velocity = Vector3Scale(ClampLength(unit.velocity, 1.0f), 0.8f);

  const float lag = Distance(GetUnitPosition(unit), unit.target);
  const float effort = std::clamp(lag, 0.0f, 5.0f) * 0.2f;
  // The time since the last kick, modulo 2^32: it holds across the clock's wrap.
  if (now - unit.lastFlapTime > 500 && std::fabs(unit.flapSpeed) < 0.1f) {
    const float s = unit.flapSpeed < 0.0f ? -1.0f : 1.0f;
    unit.flapSpeed -= s * effort * 0.25f;
    unit.lastFlapTime = now;
  }
  unit.flapPhase += unit.flapSpeed;
  unit.flapSpeed = std::clamp(0.9f * unit.flapSpeed - 0.5f * unit.flapPhase, -0.2f, 0.2f);
  // The wing shape bends for a phase in [0, 1); the oscillator swings about 0.
  if (unit.wingShape) unit.wingShape->SetFlapPhase(unit.flapPhase - std::floor(unit.flapPhase));

  if (!unit.body || !unit.second) return;
  const Vector3 body = unit.body->GetPosition();
  const Vector3 m = Vector3Add(body, unit.velocity);
  const float maxStep = SpeedFactor() * unit.speedMultiplier;

  const Vector3 away = Vector3Sub(body, unit.target);
  // A target straight above or below gives no heading along the ground: the
  // unit keeps the one it has rather than take the planet's identity frame,
  // which lies on its side everywhere but the poles (and the follow camera with it).
  const Vector3 up = IsZeroVector(m) ? m : Normalize(m);
  const Vector3 across = Vector3Sub(away, Vector3Scale(up, Vector3Dot(away, up)));
  if (Vector3Length(away) > 2.0f && Vector3Length(across) > 0.01f) {
    cPlanetModel::MakeSurfaceOrientation(unit.orientation, m, away);
    unit.heading = Vector3Sub(unit.target, body);
  }

  const float climb = std::clamp((W - Vector3Length(body)) - (W - Vector3Length(unit.target)), -20.0f, 20.0f);
  unit.pitch += (0.05f * climb - unit.pitch) * 0.5f;
  const Quaternion tilt{std::sin(unit.pitch * 0.5f), 0.0f, 0.0f, std::cos(unit.pitch * 0.5f)};
  unit.displayOrientation = QuatMultiply(unit.orientation, tilt);
  unit.body->SetOrientation(unit.displayOrientation);

  if (swims) {
    if (Sys_Random() % 2 == 0) AddUnitBubble(unit, body);
    const float room = W - GetPlanetModel().GetSurfaceRadius(m) - 2.0f;
    if (room <= 0.5f) {
      unit.altitude = 0.5f;
    } else {
      const float delta = std::clamp(((W - Vector3Length(unit.target)) - unit.altitude) * 0.15f, -maxStep, maxStep);
      unit.altitude = std::max(std::min(unit.altitude + delta, room), 0.5f);
    }
  } else {
    const Vector3 g = PointAtHeight(m, 0.0f);
    const float L = Distance(unit.target, g);
    const float cap = std::min(15.0f, L);
    if (cap > unit.altitude) {
      unit.altitude += 0.1f;
    } else {
      unit.altitude -= std::min((unit.altitude - L) * 0.5f, 0.4f);
      if (unit.altitude < 0.0f) unit.altitude = 0.0f;
    }
    unit.altitude = std::min(unit.altitude, 15.0f);
  }

  const Vector3 step = ClampLength(Vector3Sub(Vector3Lerp(m, unit.target, 0.15f), m), maxStep);
  Vector3 p = Vector3Add(m, step);
  p = swims ? SetLength(p, W - unit.altitude) : PointAtHeight(p, unit.altitude);

  unit.body->SetPosition(p);
  unit.second->SetOrientation(unit.orientation);
  unit.second->SetPosition(PointAtHeight(p, -1.0f));
  if (unit.wing) {
    unit.wing->SetPosition(p);
    unit.wing->SetOrientation(unit.orientation);
  }
  if (unit.wingShadow) {
    unit.wingShadow->SetPosition(PointAtHeight(unit.wing ? unit.wing->GetPosition() : p, 0.1f));
    unit.wingShadow->SetOrientation(unit.orientation);
  }
}

}  // namespace nFlySwim
