// Turning the cursor into a target point: the planet's surface in flying
// experiments; in swimming ones a point in the water (the sea floor, the
// inside of the water surface, a perch, or the shell where the cursor ray
// meets it). Each pick explains itself in the mode's debug text while the
// frame's own pick runs.
#include <cmath>
#include <cstdio>

#include "camera/CameraView.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;
using namespace nFlySwim;

bool cTovansGameMode::Pick(sUnit& unit, Vector3& point, Vector3& aim, bool& onPerch, bool perchPermission) {
  onPerch = false;
  if (Has(kSwims)) {
    if (State().useCandidatePick == 1) return PickNearestCandidate(unit, point, aim, onPerch, perchPermission);
    const bool hit = PickOnWaterShell(unit, point);
    if (hit) aim = point;
    return hit;
  }
  if (PickPlanetAtCursor(point, 0.0f)) {
    AppendDebugText("Mouse is on the planet.");
    aim = Vector3Add(point, Normalize(point));
    return true;
  }
  AppendDebugText("Hit air");
  return false;
}

bool cTovansGameMode::PickNearestCandidate(sUnit& unit, Vector3& point, Vector3& aim, bool& onPerch,
                                           bool perchPermission) {
  struct sCandidate {
    Vector3 point;
    bool perch;
  };
  sCandidate candidates[4];
  int count = 0;
  const float R = WaterShellRadius();
  AppendDebugText("3; ");
  Vector3 e, f;
  GetCameraEyeAndDirection(e, &f);

  float h = Has(kGroup) ? kGroupPickHeight : 0.0f;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Vector3 p;
    if (PickPlanetAtCursor(p, h) && Vector3Length(p) < R && Distance(p, e) > kMinPickDistance) {
      candidates[count++] = {p, false};
      AppendDebugText("planet; ");
      break;
    }
    h += 0.2f;
  }

  if (Vector3Length(e) >= R) {
    AppendDebugText("Camera above-water; ");
  } else {
    AppendDebugText("Camera underwater; ");
    Vector3 p;
    if (CursorSphereHits(p, R) >= 1) {
      candidates[count++] = {p, false};
      AppendDebugText("water; ");
    }
  }

  bool onAPerch = false;
  if (State().perchPickEnabled && perchPermission) {
    Vector3 hit;
    if (PickPerch(State().mouseX, State().mouseY, hit, -1.0f) && Distance(hit, e) > kMinPickDistance &&
        Vector3Dot(Vector3Sub(hit, e), f) > 0.0f) {
      candidates[count++] = {hit, true};
      onAPerch = true;
    }
  }

  if (!onAPerch && !Has(kGroup)) {
    const Ray ray = CursorRay();
    Vector3 hits[2];
    const int n = RaySphere(ray.origin, ray.direction, Vector3{}, R, hits);
    if (n > 0) {
      const Vector3 wall = hits[n == 1 ? 0 : 1];
      if (IsUnderWater(wall, 0.0f)) {
        candidates[count++] = {wall, false};
        AppendDebugText("wall; ");
      }
    }
  }

  if (count == 0) return false;
  int best = 0;
  for (int i = 1; i < count; ++i)
    if (Distance(candidates[i].point, e) < Distance(candidates[best].point, e)) best = i;
  point = aim = candidates[best].point;
  onPerch = candidates[best].perch;
  return true;
}

bool cTovansGameMode::PickOnWaterShell(sUnit& unit, Vector3& point) {
  AppendDebugText("O; ");
  const float R = WaterShellRadius();
  Vector3 e, f;
  GetCameraEyeAndDirection(e, &f);
  const float r = R - std::max(1.0f, unit.altitude * 0.5f);
  Vector3 s;
  const int n = CursorSphereHits(s, r);
  char hitsText[32];
  std::snprintf(hitsText, sizeof hitsText, " (%d hits)", n);
  AppendDebugText("Picking on inflated planet: ");

  float h = Has(kSwims) ? kSwimPickHeight : 0.0f;
  const float cameraHeight = HeightAboveGround(e) - 1.0f;
  if (cameraHeight < h) h = cameraHeight;
  const float unitHeight = HeightAboveGround(GetUnitPosition(unit));
  if (unitHeight <= h) h = unitHeight;

  enum { kMissed, kTooClose, kShell, kFail } fallback = kMissed;
  bool picked = false;
  if (h > 0.0f) {
    for (int attempt = 0; attempt < 8 && h > 0.0f; ++attempt) {
      if (PickPlanetAtCursor(point, h)) break;
      h += 0.25f;
    }
    picked = h > 0.0f && PickPlanetAtCursor(point, h);
  }
  if (picked) {
    if (Distance(point, e) < kMinPickDistance) {
      AppendDebugText("Point is too close to the camera; ");
      fallback = kTooClose;
    } else if (Distance(point, GetUnitPosition(unit)) < 1.0f) {
      AppendDebugText("Point is too close to the creature; ");
      AppendDebugText("Assuming we want to swim forward");
      point = Vector3Add(point, Vector3Scale(f, 2.0f));
      return true;
    } else if (IsUnderWater(point, 0.0f)) {
      AppendDebugText("Point is underwater.");
      return true;
    } else {
      AppendDebugText("Point is above water; ");
      if (n > 0) {
        fallback = kShell;
      } else {
        AppendDebugText("Clipping to water level.");
        const Vector3 clipped = SetLength(point, R - 1.0f);
        const bool near = Distance(clipped, point) <= 2.0f;
        point = clipped;
        if (near) return true;
        AppendDebugText("Too far to clip.");
        fallback = kFail;
      }
    }
  }
  if (fallback == kMissed) AppendDebugText("Missed... ");
  if ((fallback == kMissed || fallback == kTooClose) && n > 0) fallback = kShell;
  if (fallback == kShell) {
    AppendDebugText("Using point on water shell.");
    AppendDebugText(hitsText);
    point = s;
    return true;
  }
  Vector3 ground;
  GetPlanetModel().IntersectRay(ground, CursorRay());
  AppendDebugText(IsZeroVector(ground) ? "Hit air. Fail." : "User picked a mountain. Fail.");
  return false;
}

sPerch* cTovansGameMode::PickPerch(int x, int y, Vector3& hit, float maxDistance) {
  const Ray ray = CameraScreenPointToRay(x, y);
  float best = 1.0e21f;
  sPerch* found = nullptr;
  for (sPerch* perch : State().perches) {
    if (!perch->body) continue;
    if (maxDistance >= 0.0f && Distance(perch->body->GetPosition(), ray.origin) >= maxDistance) continue;
    if (!perch->perchable) continue;
    Vector3 p;
    if (!perch->body->IntersectRay(ray, p)) continue;
    const float d = Vector3LengthSquared(Vector3Sub(p, ray.origin));
    if (d < best) {
      best = d;
      found = perch;
      hit = p;
    }
  }
  return found;
}
