// Planes, ray and segment tests, and longitude/latitude on the planet sphere.
// Sphere coordinates: y is the polar axis (latitude +pi/2 at +y); longitude 0
// lies along +x and grows toward +z.
#pragma once

#include "math/Types.h"
#include "math/Vector.h"

namespace Ru::Math {

// Unit normal from the points' winding; d = -(normal . p0).
Plane PlaneFromPoints(const Vector3& p0, const Vector3& p1, const Vector3& p2);
void PlaneFromPoints(const Vector3& p0, const Vector3& p1, const Vector3& p2, Plane& out);
void PlaneFromPoints(Plane& out, const Vector3& p0, const Vector3& p1, const Vector3& p2);
Plane PlaneFromPointVectors(const Vector3& point, const Vector3& u, const Vector3& v);
void PlaneFromPointVectors(const Vector3& point, const Vector3& u, const Vector3& v, Plane& out);
void PlaneFromPointVectors(Plane& out, const Vector3& point, const Vector3& u, const Vector3& v);
Plane PlaneFromPoints4(const Vector4& p0, const Vector4& p1, const Vector4& p2);
void PlaneFromPoints4(Plane& out, const Vector4& p0, const Vector4& p1, const Vector4& p2);
Plane PlaneFromPointVectors4(const Vector4& point, const Vector4& u, const Vector4& v);
void PlaneFromPointVectors4(Plane& out, const Vector4& point, const Vector4& u, const Vector4& v);

// The whole line through start and end (hits before start or past end count).
// False with out untouched when the line is parallel to the plane.
bool RayPlaneIntersect(const Plane& plane, const Vector3& start, const Vector3& end, Vector3& out);
// Only the part from start (t = 0) to end (t = 1), both ends included.
bool SegmentPlaneIntersect(const Plane& plane, const Vector3& start, const Vector3& end, Vector3& out);
// Angle-sum test; corners and points off the plane count as outside.
bool PointInTriangle(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& p);
// Hit is written whenever the plane is hit, even when the point is outside.
bool RayIntersectsTriangle(const Vector3& a, const Vector3& b, const Vector3& c, const Ray& ray, Vector3& hit);
// Distance to the point times its angle off the (unit) ray direction.
float RayPointArcDistance(const Ray& ray, const Vector3& point);

void PointToLongitudeLatitude(float x, float y, float z, float& longitude, float& latitude);
void PointToLongitudeLatitude(const Vector3& p, float& longitude, float& latitude);
Vector3 LongitudeLatitudeToDirection(float longitude, float latitude);
void LongitudeLatitudeToDirection(float longitude, float latitude, float& x, float& y, float& z);
void LongitudeLatitudeToDirection(float longitude, float latitude, Vector3& out);

}  // namespace Ru::Math
