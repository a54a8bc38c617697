#include "modes/dev/flyswim/FlySwimGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include "app/GameClock.h"
#include "camera/Camera.h"
#include "camera/CameraView.h"
#include "glf/DebugWindow.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimState.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace nFlySwim {

const char* SelectionStateName(int state) {
  static const char* const kNames[] = {"idle", "selecting", "selecting multiple", "targeting", "deselecting"};
  return state >= 0 && state <= kDeselecting ? kNames[state] : "";
}

sState& State() {
  static sState state;
  return state;
}

float Now() { return (float)GetGameTime() * 0.001f; }

// The panel's spinners write these live. A value spun or typed past its
// bounds (a negative speed sends units away from their targets) is held where
// it is read, written back so the panel shows it, and named once.
float BoundedPanelValue(const char* name, float& value, float least, float most) {
  if (value >= least && value <= most) return value;
  const float bounded = value > most ? most : least;  // not a number: the least
  static std::set<std::string>* named = new std::set<std::string>();  // lives for the whole run
  if (named->insert(name).second) DebugPrintf("Fly/Swim UI: %s = %g cut to %g\n", name, value, bounded);
  value = bounded;
  return value;
}

float SpeedFactor() {
  return BoundedPanelValue("Creature Speed", State().creatureSpeed, kMinCreatureSpeed, kMaxCreatureSpeed) * 0.8f + 0.2f;
}

float WaterShellRadius() {
  if (!Has(kSwims)) return kPlanetRadius;
  return kPlanetRadius + BoundedPanelValue("Sea Level", State().seaLevel, kMinSeaLevel, kMaxSeaLevel) * kSeaLevelScale;
}
bool IsUnderWater(const Vector3& p, float margin) { return Vector3Length(p) <= WaterShellRadius() + margin; }

void AppendDebugText(const char* text) {
  if (State().collectDebugText) State().debugText += text;
}

float CyclePhase(float start, float period) {
  const float x = Now() - start;
  const float phase = (x - std::floor(x / period) * period) / period;
  return std::clamp(phase, 0.0f, 1.0f);
}

float TriangleWave(float start, float period) {
  const float p = CyclePhase(start, period);
  return std::clamp(p < 0.5f ? 2.0f * p : 2.0f * (1.0f - p), 0.0f, 1.0f);
}

float Distance(const Vector3& a, const Vector3& b) { return Vector3Length(Vector3Sub(a, b)); }
bool IsZeroVector(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }
Vector3 Normalize(const Vector3& v) { return Vector3Scale(v, 1.0f / Vector3Length(v)); }

Vector3 RandomUnitDirection() {
  Vector3 v;
  for (int i = 0; i < 3; ++i) v[i] = (float)Sys_Random() / 32767.0f * 2.0f - 1.0f;
  return Normalize(v);
}

Vector3 RayPoint(const Ray& ray, float t) { return Vector3Add(ray.origin, Vector3Scale(ray.direction, t)); }

Vector3 PointAtHeight(const Vector3& p, float h) {
  if (IsZeroVector(p)) return p;
  return Vector3Scale(Normalize(p), GetPlanetModel().GetSurfaceRadius(p) + h);
}

Vector3 ClampLength(const Vector3& v, float max) {
  const float length = Vector3Length(v);
  return length > max && !IsZeroVector(v) ? Vector3Scale(v, max / length) : v;
}

Vector3 SetLength(const Vector3& v, float length) {
  return IsZeroVector(v) ? v : Vector3Scale(v, length / Vector3Length(v));
}

float HeightAboveGround(const Vector3& p) { return Vector3Length(p) - Vector3Length(PointAtHeight(p, 0.0f)); }
bool IsBelowTerrain(const Vector3& p, float margin) {
  return Vector3Length(p) < Vector3Length(PointAtHeight(p, 0.0f)) + margin;
}
bool IsUnderwater(const Vector3& p) { return !IsBelowTerrain(p, 0.0f) && IsUnderWater(p, 0.0f); }

Vector3 UnitForwardVector(const sUnit& unit) {
  return Vector3MulMatrix3(Vector3{0.0f, 0.0f, -1.0f}, QuatToMatrix3(unit.displayOrientation));
}

// ---- view ----

Vector3 GetViewEyePosition() { return GetCameraEyePosition(); }

Vector3 EyePositionForAnchorFrame(const Vector3& anchor, const Quaternion& q) {
  cCameraState& s = GetCameraState();
  float savedAnchor[3], savedBase[4], savedTargetAnchor[3], savedTargetFrame[4];
  std::copy(s.anchor, s.anchor + 3, savedAnchor);
  std::copy(s.baseOrientation, s.baseOrientation + 4, savedBase);
  std::copy(s.targetAnchor, s.targetAnchor + 3, savedTargetAnchor);
  std::copy(s.targetFrame, s.targetFrame + 4, savedTargetFrame);
  SetCameraAnchorFrame(&anchor.x, &q.x);
  const Vector3 eye = GetViewEyePosition();
  std::copy(savedAnchor, savedAnchor + 3, s.anchor);
  std::copy(savedBase, savedBase + 4, s.baseOrientation);
  std::copy(savedTargetAnchor, savedTargetAnchor + 3, s.targetAnchor);
  std::copy(savedTargetFrame, savedTargetFrame + 4, s.targetFrame);
  return eye;
}

Vector3 GetViewDirection() {
  const float* a = GetCameraAnchor();
  return Normalize(Vector3Sub(Vector3{a[0], a[1], a[2]}, GetViewEyePosition()));
}

void GetCameraEyeAndDirection(Vector3& eye, Vector3* direction) {
  Vector3 position;
  Quaternion q;
  GetCameraPositionOrientation(&position.x, &q.x);
  eye = EyePositionForAnchorFrame(position, q);
  if (direction) *direction = Normalize(Vector3Sub(position, eye));
}

Ray CursorRay() { return CameraScreenPointToRay(State().mouseX, State().mouseY); }

// ---- intersections ----

int RaySphere(const Vector3& origin, const Vector3& direction, const Vector3& centre, float radius, Vector3* hits) {
  const Vector3 oc = Vector3Sub(origin, centre);
  const float a = Vector3LengthSquared(direction);
  const float b = 2.0f * Vector3Dot(oc, direction);
  const float c = Vector3LengthSquared(oc) - radius * radius;
  const float d = b * b - 4.0f * a * c;
  if (d < 0.0f) return 0;
  const Ray ray{origin, direction};
  if (d == 0.0f) {
    if (hits) hits[0] = RayPoint(ray, -b / (2.0f * a));
    return 1;
  }
  const float root = std::sqrt(d);
  const float ts[2] = {(root - b) / (2.0f * a), (-b - root) / (2.0f * a)};
  Vector3 found[2];
  int n = 0;
  for (float t : ts)
    if (t > 0.0f) found[n++] = RayPoint(ray, t);
  if (n == 2 && Distance(found[1], origin) < Distance(found[0], origin)) std::swap(found[0], found[1]);
  if (hits)
    for (int i = 0; i < n; ++i) hits[i] = found[i];
  return n;
}

bool RayPlane(const Vector3& origin, const Vector3& direction, const Vector3& planePoint, const Vector3& normal,
              Vector3* point, float* t) {
  const float d = Vector3Dot(direction, normal);
  if (d == 0.0f) return false;
  const float s = (Vector3Dot(normal, planePoint) - Vector3Dot(origin, normal)) / d;
  if (point) *point = Vector3Add(origin, Vector3Scale(direction, s));
  if (t) *t = s;
  return true;
}

// ---- picks ----

bool PickPlanetAtCursor(Vector3& point, float height) {
  Vector3 hit;
  GetPlanetModel().IntersectRayAtHeight(hit, CursorRay(), height);
  if (IsZeroVector(hit)) return false;
  point = hit;
  return true;
}

int CursorSphereHits(Vector3& point, float radius) {
  const Ray ray = CursorRay();
  Vector3 hits[2];
  int n = RaySphere(ray.origin, ray.direction, Vector3{}, radius, hits);
  const Vector3 e = GetViewEyePosition();
  const Vector3 v = GetViewDirection();
  if (n < 1) return n;
  auto keep = [&](const Vector3& h) { return !IsBelowTerrain(h, 0.0f) && Distance(h, e) >= kMinPickDistance; };
  if (!keep(hits[0])) {
    hits[0] = hits[1];
    n -= 1;
    if (n == 1 && !keep(hits[0])) n = 0;
  } else if (n == 2 && !keep(hits[1])) {
    n = 1;
  }
  if (n < 1) return n;
  int chosen = 0;
  if (n == 2 && IsUnderwater(e) &&
      Vector3Dot(Normalize(Vector3Sub(hits[1], e)), v) >= Vector3Dot(Normalize(Vector3Sub(hits[0], e)), v))
    chosen = 1;
  point = hits[chosen];
  return n;
}

void ScreenAnchorPoints(Vector3& low, Vector3* centre) {
  Vector3 eye, direction;
  GetCameraEyeAndDirection(eye, &direction);
  const Vector3 planePoint = Vector3Add(eye, Vector3Scale(direction, 3.0f * 8.0f));
  const Vector3 normal = Vector3Negate(direction);
  int width = 1, height = 1;
  GetCameraHost().GetWindowSize(width, height);
  auto hitAt = [&](int x, int y) {
    const Ray ray = CameraScreenPointToRay(x, y);
    Vector3 p;
    return RayPlane(ray.origin, ray.direction, planePoint, normal, &p, nullptr) ? p : Vector3{};
  };
  low = hitAt(width / 2, (int)((float)height * 0.9f));
  if (centre) *centre = hitAt(width / 2, height / 2);
}

}  // namespace nFlySwim
