#include "math/Vector.h"

namespace Ru::Math {

// Below this squared length a direction is too short to trust (2^-16).
static const float kShortSquaredLength = 1.0f / 65536.0f;
// Under 5 degrees apart, spherical interpolation loses precision; blend linearly.
static const float kSlerpLinearCos = std::cos(0.0872664675f);

float Vector3NormalizeSafe(const Vector3& v, Vector3& out) {
  float q = Vector3LengthSquared(v);
  if (q <= kShortSquaredLength) return 0.0f;
  float inv = 1.0f / std::sqrt(q);
  out = Vector3Scale(v, inv);
  return q * inv;
}

float Vector4NormalizeSafe(const Vector4& v, Vector4& out) {
  float q = Vector4LengthSquared(v);
  if (q <= kShortSquaredLength) return 0.0f;
  float inv = 1.0f / std::sqrt(q);
  out = Vector4Scale(v, inv);
  return q * inv;
}

Vector3 Vector3Slerp(const Vector3& a, const Vector3& b, float t) {
  float d = Vector3Dot(a, b);
  if (d > kSlerpLinearCos) return Vector3NLerp(a, b, t);
  // Rounding can push the dot of opposite unit vectors just below -1; acos would give NaN.
  float angle = std::acos(MaxFloat(d, -1.0f));
  float s = std::sin(angle);
  return Vector3Add(Vector3Scale(a, std::sin((1.0f - t) * angle) / s), Vector3Scale(b, std::sin(t * angle) / s));
}
void Vector3Slerp(const Vector3& a, const Vector3& b, float t, Vector3& out) { out = Vector3Slerp(a, b, t); }

Vector4 Vector4Slerp(const Vector4& a, const Vector4& b, float t) {
  float d = Vector4Dot(a, b);
  if (d > kSlerpLinearCos) return Vector4NLerp(a, b, t);
  float angle = std::acos(MaxFloat(d, -1.0f));
  float s = std::sin(angle);
  return Vector4Add(Vector4Scale(a, std::sin((1.0f - t) * angle) / s), Vector4Scale(b, std::sin(t * angle) / s));
}
void Vector4Slerp(const Vector4& a, const Vector4& b, float t, Vector4& out) { out = Vector4Slerp(a, b, t); }

Vector4 Vector4DirSlerp(const Vector4& a, const Vector4& b, float t) {
  float ia = 1.0f / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  float ib = 1.0f / std::sqrt(b.x * b.x + b.y * b.y + b.z * b.z);
  float d = (a.x * ia) * (b.x * ib) + (a.y * ia) * (b.y * ib) + (a.z * ia) * (b.z * ib);
  // Coinciding directions can round a step past 1; clamped, they take the linear path.
  float angle = std::acos(ClampFloat(d, -1.0f, 1.0f));
  float s = std::sin(angle);
  if (std::fabs(s) < 0.01f) return Vector4Lerp(a, b, t);
  Vector4 sum = Vector4Add(Vector4Scale(a, std::sin((1.0f - t) * angle)), Vector4Scale(b, std::sin(t * angle)));
  return Vector4{sum.x / s, sum.y / s, sum.z / s, sum.w / s};
}
void Vector4DirSlerp(Vector4& out, const Vector4& a, const Vector4& b, float t) { out = Vector4DirSlerp(a, b, t); }

}  // namespace Ru::Math
