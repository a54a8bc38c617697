// The fly/swim mode's small library of free functions: time waves, vector and
// height helpers, where the eye is and where it looks, ray intersections with
// spheres and planes, and the cursor picks on the planet and on spheres. The
// view functions read the camera's stored matrices, never live GL state.
#pragma once

#include "math/Types.h"

namespace nFlySwim {

struct sUnit;

// ---- time waves ("now" is the game clock in seconds) ----
float CyclePhase(float start, float period);    // 0..1 through the period
float TriangleWave(float start, float period);  // 0 rising to 1 at mid-period and back
inline float Smoothstep(float x) { return 3.0f * x * x - 2.0f * x * x * x; }

// ---- vectors and heights ----
float Distance(const Ru::Math::Vector3& a, const Ru::Math::Vector3& b);
bool IsZeroVector(const Ru::Math::Vector3& v);
Ru::Math::Vector3 Normalize(const Ru::Math::Vector3& v);  // no zero check
Ru::Math::Vector3 RandomUnitDirection();                   // three draws, no rejection
Ru::Math::Vector3 RayPoint(const Ru::Math::Ray& ray, float t);
Ru::Math::Vector3 PointAtHeight(const Ru::Math::Vector3& p, float h);  // h above the ground under p
Ru::Math::Vector3 ClampLength(const Ru::Math::Vector3& v, float max);
Ru::Math::Vector3 SetLength(const Ru::Math::Vector3& v, float length);
float HeightAboveGround(const Ru::Math::Vector3& p);
bool IsBelowTerrain(const Ru::Math::Vector3& p, float margin);
bool IsUnderwater(const Ru::Math::Vector3& p);
Ru::Math::Vector3 UnitForwardVector(const sUnit& unit);
float UnitLag(const sUnit& unit);
// The alpha of the marker at the unit's target: 0 (none) within 1.0 of it, fading in to 1 at 4.0.
float TargetMarkerAlpha(const sUnit& unit);
// Where that marker stands: the target, lifted to 1.0 over the ground when a flyer's target lies lower.
Ru::Math::Vector3 TargetMarkerPoint(const sUnit& unit);

// ---- view ----
Ru::Math::Vector3 GetViewEyePosition();
Ru::Math::Vector3 EyePositionForAnchorFrame(const Ru::Math::Vector3& anchor, const Ru::Math::Quaternion& q);
Ru::Math::Vector3 GetViewDirection();
void GetCameraEyeAndDirection(Ru::Math::Vector3& eye, Ru::Math::Vector3* direction);
Ru::Math::Ray CursorRay();  // through the stored mouse position

// ---- intersections ----
// 0, 1 or 2 points ahead of the origin, the nearer first.
int RaySphere(const Ru::Math::Vector3& origin, const Ru::Math::Vector3& direction, const Ru::Math::Vector3& centre,
              float radius, Ru::Math::Vector3* hits);
// False only for a direction parallel to the plane; hits behind the origin count.
bool RayPlane(const Ru::Math::Vector3& origin, const Ru::Math::Vector3& direction,
              const Ru::Math::Vector3& planePoint, const Ru::Math::Vector3& normal, Ru::Math::Vector3* point, float* t);

// ---- picks under the cursor ----
bool PickPlanetAtCursor(Ru::Math::Vector3& point, float height);  // the point stays as it was on a miss
int CursorSphereHits(Ru::Math::Vector3& point, float radius);
void ScreenAnchorPoints(Ru::Math::Vector3& low, Ru::Math::Vector3* centre);

}  // namespace nFlySwim
