#include "math/Quaternion.h"

namespace Ru::Math {

static const float kSlerpLinearCos = std::cos(0.0872664675f);  // 5 degrees
static const float kShortLength = 1.0f / 65536.0f;               // 2^-16

Quaternion QuatMultiply(const Quaternion& a, const Quaternion& b) {
  return Quaternion{a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,  //
                    a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,  //
                    a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,  //
                    a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}
void QuatMultiplyTo(const Quaternion& a, const Quaternion& b, Quaternion& out) { out = QuatMultiply(a, b); }
void QuatMultiply(const Quaternion& a, const Quaternion& b, Quaternion& out) { out = QuatMultiply(a, b); }

Quaternion QuatFromAngleAxis(const Vector3& axis, float angle) {
  float s = std::sin(angle / 2.0f);
  return Quaternion{axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2.0f)};
}
void QuatFromAngleAxis(const Vector3& axis, float angle, Quaternion& out) { out = QuatFromAngleAxis(axis, angle); }

void QuatToAngleAxis(const Quaternion& q, Vector3& axis, float& angle) {
  // The same angle as 2 acos(w), but taken from the vector part: near the
  // identity w rounds to 1 while x, y, z still hold the turn.
  float s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
  angle = 2.0f * std::atan2(s, q.w);
  if (s == 0.0f) {
    axis = Vector3{1.0f, 0.0f, 0.0f};  // no turn: every axis is right
    return;
  }
  float k = 1.0f / s;
  axis = Vector3{q.x * k, q.y * k, q.z * k};
}

Quaternion QuatInverse(const Quaternion& q) {
  float k = 1.0f / (q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  return Quaternion{-q.x * k, -q.y * k, -q.z * k, q.w * k};
}
void QuatInverse(const Quaternion& q, Quaternion& out) { out = QuatInverse(q); }

// v times the rotation matrix of q, without building it.
Vector3 QuatRotateVector(const Quaternion& q, const Vector3& v) {
  float x = q.x, y = q.y, z = q.z, w = q.w;
  float m00 = 1.0f - 2.0f * (y * y + z * z), m01 = 2.0f * (x * y + z * w), m02 = 2.0f * (x * z - y * w);
  float m10 = 2.0f * (x * y - z * w), m11 = 1.0f - 2.0f * (x * x + z * z), m12 = 2.0f * (y * z + x * w);
  float m20 = 2.0f * (x * z + y * w), m21 = 2.0f * (y * z - x * w), m22 = 1.0f - 2.0f * (x * x + y * y);
  return Vector3{v.x * m00 + v.y * m10 + v.z * m20, v.x * m01 + v.y * m11 + v.z * m21,
                 v.x * m02 + v.y * m12 + v.z * m22};
}
void QuatRotateVector(const Quaternion& q, const Vector3& v, Vector3& out) { out = QuatRotateVector(q, v); }

// ---- conversions -------------------------------------------------------------------------
Matrix3 QuatToMatrix3(const Quaternion& q) {
  float x = q.x, y = q.y, z = q.z, w = q.w;
  return Matrix3{{1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + z * w), 2.0f * (x * z - y * w),  //
                  2.0f * (x * y - z * w), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + x * w),  //
                  2.0f * (x * z + y * w), 2.0f * (y * z - x * w), 1.0f - 2.0f * (x * x + y * y)}};
}
void QuatToMatrix3(const Quaternion& q, Matrix3& out) { out = QuatToMatrix3(q); }

static Matrix4 ScaledRotationWithPosition(const Vector3& scale, const Quaternion& q, const Vector3& p) {
  Matrix3 r = QuatToMatrix3(q);
  const float* m = r.m;
  return Matrix4{{m[0] * scale.x, m[1] * scale.x, m[2] * scale.x, 0,  //
                  m[3] * scale.y, m[4] * scale.y, m[5] * scale.y, 0,  //
                  m[6] * scale.z, m[7] * scale.z, m[8] * scale.z, 0,  //
                  p.x, p.y, p.z, 1}};
}
static const Vector3 kUnitScale{1.0f, 1.0f, 1.0f};

Matrix4 QuatToMatrix4(const Quaternion& q, const Vector3& position) {
  return ScaledRotationWithPosition(kUnitScale, q, position);
}
void QuatToMatrix4(const Quaternion& q, const Vector3& position, Matrix4& out) { out = QuatToMatrix4(q, position); }
Matrix4 Matrix4FromQuat(const Quaternion& q) { return ScaledRotationWithPosition(kUnitScale, q, Vector3{}); }
void Matrix4FromQuat(const Quaternion& q, Matrix4& out) { out = Matrix4FromQuat(q); }
Matrix4 Matrix4FromScaleQuat(const Vector3& scale, const Quaternion& q) {
  return ScaledRotationWithPosition(scale, q, Vector3{});
}
void Matrix4FromScaleQuat(const Vector3& scale, const Quaternion& q, Matrix4& out) {
  out = Matrix4FromScaleQuat(scale, q);
}
Matrix4 Matrix4FromScaleQuatPosition(const Vector3& scale, const Quaternion& q, const Vector3& position) {
  return ScaledRotationWithPosition(scale, q, position);
}
void Matrix4FromScaleQuatPosition(const Vector3& scale, const Quaternion& q, const Vector3& position, Matrix4& out) {
  out = Matrix4FromScaleQuatPosition(scale, q, position);
}

Quaternion Matrix3ToQuat(const Matrix3& a) {
  float m00 = a.m[0], m01 = a.m[1], m02 = a.m[2], m10 = a.m[3], m11 = a.m[4], m12 = a.m[5];
  float m20 = a.m[6], m21 = a.m[7], m22 = a.m[8];
  Quaternion q;
  float trace = m00 + m11 + m22;
  if (trace >= 0.0f) {
    float s = std::sqrt(trace + 1.0f);
    float k = 0.5f / s;
    q.w = 0.5f * s;
    q.x = (m12 - m21) * k;
    q.y = (m20 - m02) * k;
    q.z = (m01 - m10) * k;
    return q;
  }
  int branch;  // 0 = x, 1 = y, 2 = z; ties go to the earlier axis
  if (m11 <= m00)
    branch = (m22 <= m00) ? 0 : 2;
  else
    branch = (m22 <= m11) ? 1 : 2;
  if (branch == 0) {
    float s = std::sqrt(m00 - (m11 + m22) + 1.0f);
    float k = 0.5f / s;
    q.x = 0.5f * s;
    q.y = (m10 + m01) * k;
    q.z = (m20 + m02) * k;
    q.w = (m12 - m21) * k;
  } else if (branch == 1) {
    float s = std::sqrt(m11 - (m22 + m00) + 1.0f);
    float k = 0.5f / s;
    q.y = 0.5f * s;
    q.z = (m21 + m12) * k;
    q.x = (m10 + m01) * k;
    q.w = (m20 - m02) * k;
  } else {
    float s = std::sqrt(m22 - (m00 + m11) + 1.0f);
    float k = 0.5f / s;
    q.z = 0.5f * s;
    q.x = (m20 + m02) * k;
    q.y = (m21 + m12) * k;
    q.w = (m01 - m10) * k;
  }
  return q;
}

void Matrix3ToQuat(const Matrix3& a, Quaternion& out) { out = Matrix3ToQuat(a); }
Quaternion Matrix4ToQuat(const Matrix4& a) { return Matrix3ToQuat(Matrix4GetRotation(a)); }
void Matrix4ToQuat(const Matrix4& a, Quaternion& out) { out = Matrix4ToQuat(a); }

Quaternion QuatFromEulerAngles(const Vector3& angles) {
  float s0 = std::sin(angles.x / 2.0f), c0 = std::cos(angles.x / 2.0f);
  float s1 = std::sin(angles.y / 2.0f), c1 = std::cos(angles.y / 2.0f);
  float s2 = std::sin(angles.z / 2.0f), c2 = std::cos(angles.z / 2.0f);
  return Quaternion{c2 * s0 * c1 - s2 * c0 * s1, s2 * s0 * c1 + c0 * c2 * s1, s2 * c0 * c1 - c2 * s0 * s1,
                    s2 * s0 * s1 + c0 * c2 * c1};
}
void QuatFromEulerAngles(const Vector3& angles, Quaternion& out) { out = QuatFromEulerAngles(angles); }

// ---- interpolation ----------------------------------------------------------------------------
static Quaternion Scaled(const Quaternion& q, float s) { return Quaternion{q.x * s, q.y * s, q.z * s, q.w * s}; }
static Quaternion Sum(const Quaternion& a, const Quaternion& b) {
  return Quaternion{a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
static Quaternion Diff(const Quaternion& a, const Quaternion& b) {
  return Quaternion{a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
}

Quaternion QuatLerp(const Quaternion& a, const Quaternion& b, float t) {
  // Through -b when the ends lie more than a half turn apart: the short way.
  Quaternion end = (QuatDot(a, b) > 0.0f) ? b : Scaled(b, -1.0f);
  return Sum(a, Scaled(Diff(end, a), t));
}
void QuatLerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out) { out = QuatLerp(a, b, t); }

void Quat4Normalize(Quaternion& q) {
  float len = std::sqrt(QuatDot(q, q));
  q = Quaternion{q.x / len, q.y / len, q.z / len, q.w / len};
}

Quaternion QuatNLerp(const Quaternion& a, const Quaternion& b, float t) { return QuatNormalized(QuatLerp(a, b, t)); }
void QuatNLerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out) { out = QuatNLerp(a, b, t); }

Quaternion QuatSlerp(const Quaternion& q0, const Quaternion& q1, float t) {
  Quaternion from = q0;
  float d = QuatDot(q0, q1);
  if (d < 0.0f) {
    from = Scaled(from, -1.0f);
    d = -d;
  }
  if (d > kSlerpLinearCos) return QuatNLerp(from, q1, t);
  float angle = std::acos(d);
  float s = std::sin(angle);
  return Sum(Scaled(from, std::sin((1.0f - t) * angle) / s), Scaled(q1, std::sin(t * angle) / s));
}
void QuatSlerp(const Quaternion& q0, const Quaternion& q1, float t, Quaternion& out) { out = QuatSlerp(q0, q1, t); }
Quaternion QuatInterpolate(const Quaternion& q0, const Quaternion& q1, float t) { return QuatSlerp(q0, q1, t); }

Quaternion QuatSlerpNear(const Quaternion& q0, const Quaternion& q1, float t) {
  Quaternion to = q1;
  float d = QuatDot(q0, q1);
  if (d < 0.0f) {
    to = Scaled(to, -1.0f);
    d = -d;
  }
  if (d >= 0.95f) return QuatNormalized(Sum(q0, Scaled(Diff(to, q0), t)));
  float angle = std::acos(MinFloat(d, 1.0f));
  Quaternion sum = Sum(Scaled(to, std::sin(t * angle)), Scaled(q0, std::sin((1.0f - t) * angle)));
  float s = std::sin(angle);
  return Quaternion{sum.x / s, sum.y / s, sum.z / s, sum.w / s};
}
void QuatSlerpNear(Quaternion& out, const Quaternion& q0, const Quaternion& q1, float t) {
  out = QuatSlerpNear(q0, q1, t);
}

// The unit direction of v and false for a length under 2^-16. Scaled by the
// largest component first, so no square overflows for long vectors.
static bool DirectionOf(const Vector3& v, Vector3& unit) {
  float largest = MaxFloat(std::fabs(v.x), MaxFloat(std::fabs(v.y), std::fabs(v.z)));
  // Under 2^-17 in every component is short whatever the rest (and keeps
  // 1 / largest finite for denormal inputs).
  if (!(largest >= kShortLength * 0.5f)) return false;
  Vector3 scaled = Vector3Scale(v, 1.0f / largest);
  float length = Vector3Length(scaled);  // 1 to sqrt 3
  if (largest * length < kShortLength) return false;
  unit = Vector3Scale(scaled, 1.0f / length);
  return true;
}

// Directions closer than this (about 0.26 degrees) are treated as parallel or
// opposite: the cross product no longer gives a trustworthy axis.
static const float kParallelCos = 0.99999f;

Quaternion QuatFromTwoVectors(const Vector3& a, const Vector3& b) {
  Vector3 ua, ub;
  if (!DirectionOf(a, ua) || !DirectionOf(b, ub)) return QuatIdentity();
  float d = Vector3Dot(ua, ub);
  if (std::fabs(d) >= kParallelCos) {
    if (d > 0.0f) return QuatIdentity();
    // Opposite: any axis at right angles to a gives the half turn.
    Vector3 axis = Vector3Cross(Vector3{1.0f, 0.0f, 0.0f}, ua);
    if (Vector3LengthSquared(axis) < kShortLength) axis = Vector3Cross(Vector3{0.0f, 1.0f, 0.0f}, ua);
    axis = Vector3Normalized(axis);
    return Quaternion{axis.x, axis.y, axis.z, 0.0f};
  }
  Vector3 axis = Vector3Normalized(Vector3Cross(ua, ub));
  float h = std::acos(d) / 2.0f;
  float s = std::sin(h);
  return Quaternion{axis.x * s, axis.y * s, axis.z * s, std::cos(h)};
}
void QuatFromTwoVectors(const Vector3& a, const Vector3& b, Quaternion& out) { out = QuatFromTwoVectors(a, b); }

// ---- cTransform --------------------------------------------------------------------------------
void cTransform::SetIdentity() {
  orientation = QuatIdentity();
  position = Vector4{0.0f, 0.0f, 0.0f, 1.0f};
  extra = Vector4{0.0f, 0.0f, 0.0f, 1.0f};
  quatChanged = true;
  matrixChanged = false;
}

const Matrix4& cTransform::UpdateMatrix() {
  matrix = QuatToMatrix4(orientation, Vector3{position.x, position.y, position.z});
  quatChanged = false;
  return matrix;
}

void cTransform::UpdateQuat() {
  // Matrix4ToQuat takes the w branch only while the trace is at least 0 (w well
  // away from 0): near a half turn dividing by about 0 would blow rounding noise
  // in the off-diagonals up into the axis.
  Quaternion q = Matrix4ToQuat(matrix);
  Quat4Normalize(q);
  orientation = q;
  position = Vector4{matrix.m[12], matrix.m[13], matrix.m[14], 1.0f};
  matrixChanged = false;
}

const Matrix4& cTransform::GetMatrix() {
  if (quatChanged) UpdateMatrix();
  return matrix;
}

const Quaternion& cTransform::GetQuat() {
  if (matrixChanged) UpdateQuat();
  return orientation;
}

void cTransform::TransformPoints(const Vector4* in, Vector4* out, int count) {
  const Matrix4& m = GetMatrix();
  for (int i = 0; i < count; ++i) out[i] = Vector4MulMatrix4(in[i], m);
}

}  // namespace Ru::Math
