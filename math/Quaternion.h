// Unit quaternions for orientation, stored x, y, z, w. QuatMultiply(a, b) is the
// Hamilton product and rotates by b first, then a; QuatRotateVector(q, v) equals
// v * QuatToMatrix3(q), whose rows are the rotated axes. Interpolations switch
// from spherical to normalised linear when the ends are under 5 degrees apart
// as 4-vectors, which for quaternions means orientations under 10 degrees apart.
#pragma once

#include "math/Matrix.h"
#include "math/Types.h"
#include "math/Vector.h"

namespace Ru::Math {

inline Quaternion QuatIdentity() { return Quaternion{0.0f, 0.0f, 0.0f, 1.0f}; }
inline float QuatDot(const Quaternion& a, const Quaternion& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
inline bool QuatNearEqual(const Quaternion& a, const Quaternion& b, float tolerance) {
  return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance &&
         std::fabs(a.w - b.w) <= tolerance;
}

Quaternion QuatMultiply(const Quaternion& a, const Quaternion& b);
void QuatMultiplyTo(const Quaternion& a, const Quaternion& b, Quaternion& out);
void QuatMultiply(const Quaternion& a, const Quaternion& b, Quaternion& out);

Quaternion QuatFromAngleAxis(const Vector3& axis, float angle);  // axis unit length
void QuatFromAngleAxis(const Vector3& axis, float angle, Quaternion& out);
// Unguarded: the identity has no axis and divides by zero.
void QuatToAngleAxis(const Quaternion& q, Vector3& axis, float& angle);
// Conjugate over the squared norm; unguarded for the zero quaternion.
Quaternion QuatInverse(const Quaternion& q);
void QuatInverse(const Quaternion& q, Quaternion& out);
Vector3 QuatRotateVector(const Quaternion& q, const Vector3& v);
void QuatRotateVector(const Quaternion& q, const Vector3& v, Vector3& out);

// ---- conversions ----------------------------------------------------------------------
Matrix3 QuatToMatrix3(const Quaternion& q);
void QuatToMatrix3(const Quaternion& q, Matrix3& out);
// Rotation in the upper-left 3x3, position in elements 12-14.
Matrix4 QuatToMatrix4(const Quaternion& q, const Vector3& position);
void QuatToMatrix4(const Quaternion& q, const Vector3& position, Matrix4& out);
Matrix4 Matrix4FromQuat(const Quaternion& q);
void Matrix4FromQuat(const Quaternion& q, Matrix4& out);
// Row i of the rotation times scale component i: scale first, then rotate.
Matrix4 Matrix4FromScaleQuat(const Vector3& scale, const Quaternion& q);
void Matrix4FromScaleQuat(const Vector3& scale, const Quaternion& q, Matrix4& out);
Matrix4 Matrix4FromScaleQuatPosition(const Vector3& scale, const Quaternion& q, const Vector3& position);
void Matrix4FromScaleQuatPosition(const Vector3& scale, const Quaternion& q, const Vector3& position, Matrix4& out);
// Not renormalised: a rotation matrix gives a unit quaternion (q or -q).
Quaternion Matrix3ToQuat(const Matrix3& a);
void Matrix3ToQuat(const Matrix3& a, Quaternion& out);
Quaternion Matrix4ToQuat(const Matrix4& a);
void Matrix4ToQuat(const Matrix4& a, Quaternion& out);
// Same rotation as Matrix3FromEulerAngles: x by a0, then y by a1, then z by a2.
Quaternion QuatFromEulerAngles(const Vector3& angles);
void QuatFromEulerAngles(const Vector3& angles, Quaternion& out);

// ---- interpolation ---------------------------------------------------------------------
Quaternion QuatLerp(const Quaternion& a, const Quaternion& b, float t);  // short way, not normalised
void QuatLerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out);
Quaternion QuatNLerp(const Quaternion& a, const Quaternion& b, float t);
void QuatNLerp(const Quaternion& a, const Quaternion& b, float t, Quaternion& out);
Quaternion QuatSlerp(const Quaternion& q0, const Quaternion& q1, float t);
void QuatSlerp(const Quaternion& q0, const Quaternion& q1, float t, Quaternion& out);
Quaternion QuatInterpolate(const Quaternion& q0, const Quaternion& q1, float t);
Quaternion QuatSlerpNear(const Quaternion& q0, const Quaternion& q1, float t);
void QuatSlerpNear(Quaternion& out, const Quaternion& q0, const Quaternion& q1, float t);

// Shortest-arc rotation turning direction a into direction b; identity for
// near-zero or (nearly) parallel inputs, a half turn for opposite ones.
Quaternion QuatFromTwoVectors(const Vector3& a, const Vector3& b);
void QuatFromTwoVectors(const Vector3& a, const Vector3& b, Quaternion& out);

void Quat4Normalize(Quaternion& q);  // in place, over all four components
inline Quaternion QuatNormalized(const Quaternion& q) {
  Quaternion r = q;
  Quat4Normalize(r);
  return r;
}

// A quaternion and a matrix kept in step: whoever writes one side sets its flag,
// and readers call the update first (GetMatrix/GetQuat do that).
struct cTransform {
  Quaternion orientation;
  Vector4 position{0.0f, 0.0f, 0.0f, 1.0f};
  Vector4 extra{0.0f, 0.0f, 0.0f, 1.0f};  // set by SetIdentity, not read by the record itself
  Matrix4 matrix = Matrix4Identity();
  bool matrixChanged = false;  // rebuild the quaternion and position from the matrix
  bool quatChanged = false;    // rebuild the matrix

  void SetIdentity();
  const Matrix4& UpdateMatrix();
  void UpdateQuat();
  const Matrix4& GetMatrix();
  const Quaternion& GetQuat();
  // out[i] = in[i] * matrix, the row-vector convention of the whole library.
  void TransformPoints(const Vector4* in, Vector4* out, int count);
};

}  // namespace Ru::Math
