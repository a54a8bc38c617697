// 2-, 3- and 4-component vector operations. Each operation has a by-value form
// and a form whose last argument receives the result; the out forms read all
// their inputs before writing, so the destination may be one of the inputs.
// Only the Safe normalisers guard a zero length.
#pragma once

#include "math/Scalar.h"
#include "math/Types.h"

namespace Ru::Math {

// ---- 2-vectors ------------------------------------------------------------------
inline void Vector2DivInPlace(Vector2& v, float s) {
  float inv = 1.0f / s;
  v.x *= inv;
  v.y *= inv;
}
inline float Vector2Length(const Vector2& v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// ---- 3-vectors: building and access ----------------------------------------------
inline Vector3 Vector3Set(float x, float y, float z) { return Vector3{x, y, z}; }
inline void Vector3Set(float x, float y, float z, Vector3& out) { out = Vector3{x, y, z}; }
inline Vector3 Vector3Copy(const Vector3& v) { return v; }
inline void Vector3Copy(const Vector3& v, Vector3& out) { out = v; }
inline float Vector3At(const Vector3& v, int i) { return v[i]; }
inline float& Vector3At(Vector3& v, int i) { return v[i]; }

// ---- 3-vectors: arithmetic --------------------------------------------------------
inline Vector3 Vector3Add(const Vector3& a, const Vector3& b) { return Vector3{a.x + b.x, a.y + b.y, a.z + b.z}; }
inline void Vector3AddTo(const Vector3& a, const Vector3& b, Vector3& out) { out = Vector3Add(a, b); }
inline Vector3 Vector3Sub(const Vector3& a, const Vector3& b) { return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}; }
inline void Vector3SubTo(const Vector3& a, const Vector3& b, Vector3& out) { out = Vector3Sub(a, b); }
inline Vector3 Vector3Scale(const Vector3& v, float s) { return Vector3{v.x * s, v.y * s, v.z * s}; }
inline Vector3 FloatTimesVector3(float s, const Vector3& v) { return Vector3Scale(v, s); }
inline void Vector3ScaleTo(const Vector3& v, float s, Vector3& out) { out = Vector3Scale(v, s); }
// One reciprocal, then a multiply: callers never pass zero.
inline Vector3 Vector3DivScalar(const Vector3& v, float s) { return Vector3Scale(v, 1.0f / s); }
inline void Vector3DivScalarTo(const Vector3& v, float s, Vector3& out) { out = Vector3DivScalar(v, s); }
inline void Vector3ScaleInPlace(Vector3& v, float s) { v = Vector3Scale(v, s); }
inline void Vector3DivInPlace(Vector3& v, float s) { v = Vector3DivScalar(v, s); }
inline void Vector3SubInPlace(Vector3& v, const Vector3& w) { v = Vector3Sub(v, w); }
inline Vector3 Vector3Negate(const Vector3& v) { return Vector3{-v.x, -v.y, -v.z}; }
inline void Vector3NegateTo(const Vector3& v, Vector3& out) { out = Vector3Negate(v); }

inline float Vector3Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vector3 CrossProduct(const Vector3& a, const Vector3& b) {
  return Vector3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Vector3 Vector3Cross(const Vector3& a, const Vector3& b) { return CrossProduct(a, b); }
inline void Vector3Cross(const Vector3& a, const Vector3& b, Vector3& out) { out = CrossProduct(a, b); }
inline void CrossProduct(const Vector3& a, const Vector3& b, Vector3& out) { out = CrossProduct(a, b); }

inline float Vector3LengthSquared(const Vector3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }
inline float Vector3Length(const Vector3& v) { return std::sqrt(Vector3LengthSquared(v)); }
inline float Vector3InvLength(const Vector3& v) { return 1.0f / Vector3Length(v); }
// Unguarded: a zero vector gives NaNs. Use Vector3NormalizeSafe when it can happen.
inline Vector3 Vector3Normalized(const Vector3& v) { return Vector3Scale(v, 1.0f / Vector3Length(v)); }
inline void Vector3NormalizeTo(const Vector3& v, Vector3& out) { out = Vector3Normalized(v); }
// Returns the length, or 0.0 with out untouched when the squared length is at most 2^-16.
float Vector3NormalizeSafe(const Vector3& v, Vector3& out);

inline Vector3 Vector3Lerp(const Vector3& a, const Vector3& b, float t) { return Vector3Add(a, Vector3Scale(Vector3Sub(b, a), t)); }
inline void Vector3Lerp(const Vector3& a, const Vector3& b, float t, Vector3& out) { out = Vector3Lerp(a, b, t); }
inline Vector3 Vector3NLerp(const Vector3& a, const Vector3& b, float t) { return Vector3Normalized(Vector3Lerp(a, b, t)); }
inline void Vector3NLerp(const Vector3& a, const Vector3& b, float t, Vector3& out) { out = Vector3NLerp(a, b, t); }
// Spherical between unit directions; normalised linear when under 5 degrees apart.
Vector3 Vector3Slerp(const Vector3& a, const Vector3& b, float t);
void Vector3Slerp(const Vector3& a, const Vector3& b, float t, Vector3& out);

inline bool Vector3Equal(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool Vector3NotEqual(const Vector3& a, const Vector3& b) { return !Vector3Equal(a, b); }
// Inclusive: a difference of exactly the tolerance counts as equal.
inline bool Vector3NearEqual(const Vector3& a, const Vector3& b, float tolerance) {
  return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance;
}

// ---- 4-vectors ---------------------------------------------------------------------
inline Vector4 Vector4Zero() { return Vector4{}; }
inline void Vector4Zero(Vector4& out) { out = Vector4{}; }
inline Vector4 Vector4Set(float x, float y, float z, float w) { return Vector4{x, y, z, w}; }
inline void Vector4Set(float x, float y, float z, float w, Vector4& out) { out = Vector4{x, y, z, w}; }
inline Vector4 Vector4Add(const Vector4& a, const Vector4& b) { return Vector4{a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline void Vector4AddTo(const Vector4& a, const Vector4& b, Vector4& out) { out = Vector4Add(a, b); }
inline Vector4 Vector4Sub(const Vector4& a, const Vector4& b) { return Vector4{a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
inline void Vector4SubTo(const Vector4& a, const Vector4& b, Vector4& out) { out = Vector4Sub(a, b); }
inline Vector4 Vector4Scale(const Vector4& v, float s) { return Vector4{v.x * s, v.y * s, v.z * s, v.w * s}; }
inline void Vector4ScaleTo(const Vector4& v, float s, Vector4& out) { out = Vector4Scale(v, s); }
inline Vector4 Vector4Negate(const Vector4& v) { return Vector4{-v.x, -v.y, -v.z, -v.w}; }
inline void Vector4NegateTo(const Vector4& v, Vector4& out) { out = Vector4Negate(v); }
inline float Vector4Dot(const Vector4& a, const Vector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
inline float Vector4LengthSquared(const Vector4& v) { return Vector4Dot(v, v); }
inline float Vector4Length(const Vector4& v) { return std::sqrt(Vector4LengthSquared(v)); }
inline Vector4 Vector4Normalized(const Vector4& v) { return Vector4Scale(v, 1.0f / Vector4Length(v)); }
inline void Vector4NormalizeTo(const Vector4& v, Vector4& out) { out = Vector4Normalized(v); }
float Vector4NormalizeSafe(const Vector4& v, Vector4& out);
// Cross product of the x, y, z parts; w of the result is 0.
inline Vector4 Vector4Cross(const Vector4& a, const Vector4& b) {
  return Vector4{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f};
}
inline void Vector4Cross(const Vector4& a, const Vector4& b, Vector4& out) { out = Vector4Cross(a, b); }
inline Vector4 Vector4Lerp(const Vector4& a, const Vector4& b, float t) { return Vector4Add(a, Vector4Scale(Vector4Sub(b, a), t)); }
inline void Vector4Lerp(const Vector4& a, const Vector4& b, float t, Vector4& out) { out = Vector4Lerp(a, b, t); }
inline void Vector4LerpTo(const Vector4& a, const Vector4& b, float t, Vector4& out) { out = Vector4Lerp(a, b, t); }
inline Vector4 Vector4NLerp(const Vector4& a, const Vector4& b, float t) { return Vector4Normalized(Vector4Lerp(a, b, t)); }
inline void Vector4NLerp(const Vector4& a, const Vector4& b, float t, Vector4& out) { out = Vector4NLerp(a, b, t); }
Vector4 Vector4Slerp(const Vector4& a, const Vector4& b, float t);
void Vector4Slerp(const Vector4& a, const Vector4& b, float t, Vector4& out);
// Angle from the directions of the x, y, z parts; blends the raw four components.
Vector4 Vector4DirSlerp(const Vector4& a, const Vector4& b, float t);
void Vector4DirSlerp(Vector4& out, const Vector4& a, const Vector4& b, float t);
inline bool Vector4NearEqual(const Vector4& a, const Vector4& b, float tolerance) {
  return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance &&
         std::fabs(a.w - b.w) <= tolerance;
}

}  // namespace Ru::Math
