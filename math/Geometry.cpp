#include "math/Geometry.h"

#include "math/Quaternion.h"

namespace Ru::Math {

static Plane PlaneFromNormalAndPoint(const Vector3& normalDirection, const Vector3& point) {
  Vector3 n = Vector3Normalized(normalDirection);
  return Plane{n.x, n.y, n.z, -Vector3Dot(n, point)};
}
static Vector3 Xyz(const Vector4& v) { return Vector3{v.x, v.y, v.z}; }

Plane PlaneFromPoints(const Vector3& p0, const Vector3& p1, const Vector3& p2) {
  return PlaneFromNormalAndPoint(Vector3Cross(Vector3Sub(p1, p0), Vector3Sub(p2, p0)), p0);
}
void PlaneFromPoints(const Vector3& p0, const Vector3& p1, const Vector3& p2, Plane& out) {
  out = PlaneFromPoints(p0, p1, p2);
}
void PlaneFromPoints(Plane& out, const Vector3& p0, const Vector3& p1, const Vector3& p2) {
  out = PlaneFromPoints(p0, p1, p2);
}
Plane PlaneFromPointVectors(const Vector3& point, const Vector3& u, const Vector3& v) {
  return PlaneFromNormalAndPoint(Vector3Cross(u, v), point);
}
void PlaneFromPointVectors(const Vector3& point, const Vector3& u, const Vector3& v, Plane& out) {
  out = PlaneFromPointVectors(point, u, v);
}
void PlaneFromPointVectors(Plane& out, const Vector3& point, const Vector3& u, const Vector3& v) {
  out = PlaneFromPointVectors(point, u, v);
}
Plane PlaneFromPoints4(const Vector4& p0, const Vector4& p1, const Vector4& p2) {
  return PlaneFromPoints(Xyz(p0), Xyz(p1), Xyz(p2));
}
void PlaneFromPoints4(Plane& out, const Vector4& p0, const Vector4& p1, const Vector4& p2) {
  out = PlaneFromPoints4(p0, p1, p2);
}
Plane PlaneFromPointVectors4(const Vector4& point, const Vector4& u, const Vector4& v) {
  return PlaneFromNormalAndPoint(Xyz(Vector4Cross(u, v)), Xyz(point));
}
void PlaneFromPointVectors4(Plane& out, const Vector4& point, const Vector4& u, const Vector4& v) {
  out = PlaneFromPointVectors4(point, u, v);
}

// The line parameter of the crossing, or false when the line runs parallel.
static bool LinePlaneParameter(const Plane& plane, const Vector3& start, const Vector3& e, float& t) {
  Vector3 n{plane.a, plane.b, plane.c};
  float den = Vector3Dot(n, e);
  if (den == 0.0f) return false;
  t = -(Vector3Dot(n, start) + plane.d) / den;
  return true;
}

bool RayPlaneIntersect(const Plane& plane, const Vector3& start, const Vector3& end, Vector3& out) {
  Vector3 e = Vector3Sub(end, start);
  float t;
  if (!LinePlaneParameter(plane, start, e, t)) return false;
  out = Vector3Add(start, Vector3Scale(e, t));
  return true;
}

bool SegmentPlaneIntersect(const Plane& plane, const Vector3& start, const Vector3& end, Vector3& out) {
  Vector3 e = Vector3Sub(end, start);
  float t;
  if (!LinePlaneParameter(plane, start, e, t) || t < 0.0f || t > 1.0f) return false;
  out = Vector3Add(start, Vector3Scale(e, t));
  return true;
}

bool PointInTriangle(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& p) {
  Vector3 ua = Vector3Normalized(Vector3Sub(a, p));
  Vector3 ub = Vector3Normalized(Vector3Sub(b, p));
  Vector3 uc = Vector3Normalized(Vector3Sub(c, p));
  float sum = std::acos(ClampFloat(Vector3Dot(ua, ub), -1.0f, 1.0f)) +
              std::acos(ClampFloat(Vector3Dot(ub, uc), -1.0f, 1.0f)) +
              std::acos(ClampFloat(Vector3Dot(uc, ua), -1.0f, 1.0f));
  // A point at a corner gives NaN, which fails this comparison: outside.
  return std::fabs(sum - 6.2831855f) < 0.01f;
}

bool RayIntersectsTriangle(const Vector3& a, const Vector3& b, const Vector3& c, const Ray& ray, Vector3& hit) {
  Plane plane = PlaneFromPoints(a, b, c);
  // The direction itself, not (origin + direction) - origin: far from the world
  // origin that difference loses the small normal part of a grazing ray.
  float t;
  if (!LinePlaneParameter(plane, ray.origin, ray.direction, t)) return false;
  hit = Vector3Add(ray.origin, Vector3Scale(ray.direction, t));
  return PointInTriangle(a, b, c, hit);
}

float RayPointArcDistance(const Ray& ray, const Vector3& point) {
  Vector3 e = Vector3Sub(point, ray.origin);
  float length = Vector3Length(e);
  if (!(length > 0.0f)) return 0.0f;
  float sine = Vector3Length(Vector3Cross(Vector3Scale(e, 1.0f / length), ray.direction));
  // Rounding can lift the sine of a right angle a step past 1, where asin is NaN.
  return length * std::asin(MinFloat(sine, 1.0f));
}

void PointToLongitudeLatitude(float x, float y, float z, float& longitude, float& latitude) {
  longitude = std::atan2(z, x);
  latitude = std::asin(y / std::sqrt(x * x + y * y + z * z));
}
void PointToLongitudeLatitude(const Vector3& p, float& longitude, float& latitude) {
  PointToLongitudeLatitude(p.x, p.y, p.z, longitude, latitude);
}

Vector3 LongitudeLatitudeToDirection(float longitude, float latitude) {
  // A turn about z by the latitude, then about -y by the longitude.
  Quaternion turn = QuatMultiply(Quaternion{0.0f, -std::sin(longitude / 2.0f), 0.0f, std::cos(longitude / 2.0f)},
                                 Quaternion{0.0f, 0.0f, std::sin(latitude / 2.0f), std::cos(latitude / 2.0f)});
  return QuatRotateVector(turn, Vector3{1.0f, 0.0f, 0.0f});
}
void LongitudeLatitudeToDirection(float longitude, float latitude, float& x, float& y, float& z) {
  Vector3 d = LongitudeLatitudeToDirection(longitude, latitude);
  x = d.x, y = d.y, z = d.z;
}
void LongitudeLatitudeToDirection(float longitude, float latitude, Vector3& out) {
  out = LongitudeLatitudeToDirection(longitude, latitude);
}

}  // namespace Ru::Math
