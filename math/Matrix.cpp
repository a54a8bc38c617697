#include "math/Matrix.h"

#include <cfloat>

namespace Ru::Math {

// ---- 3x3: building ----------------------------------------------------------------
Matrix3 Matrix3Zero() { return Matrix3{}; }
void Matrix3Zero(Matrix3& out) { out = Matrix3{}; }
Matrix3 Matrix3Identity() { return Matrix3{{1, 0, 0, 0, 1, 0, 0, 0, 1}}; }
void Matrix3Identity(Matrix3& out) { out = Matrix3Identity(); }
Matrix3 Matrix3Construct(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                         float m22) {
  return Matrix3{{m00, m01, m02, m10, m11, m12, m20, m21, m22}};
}
void Matrix3Set(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22,
                Matrix3& out) {
  out = Matrix3Construct(m00, m01, m02, m10, m11, m12, m20, m21, m22);
}
void Matrix3Init(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22,
                 Matrix3& out) {
  out = Matrix3Construct(m00, m01, m02, m10, m11, m12, m20, m21, m22);
}

// ---- 3x3: element-wise ---------------------------------------------------------------
Matrix3 Matrix3Add(const Matrix3& a, const Matrix3& b) {
  Matrix3 r;
  for (int i = 0; i < 9; ++i) r.m[i] = a.m[i] + b.m[i];
  return r;
}
Matrix3 Matrix3Sub(const Matrix3& a, const Matrix3& b) {
  Matrix3 r;
  for (int i = 0; i < 9; ++i) r.m[i] = a.m[i] - b.m[i];
  return r;
}
Matrix3 Matrix3Scale(float s, const Matrix3& a) {
  Matrix3 r;
  for (int i = 0; i < 9; ++i) r.m[i] = a.m[i] * s;
  return r;
}
Matrix3 Matrix3Div(const Matrix3& a, float s) { return Matrix3Scale(1.0f / s, a); }
Matrix3 Matrix3Negate(const Matrix3& a) {
  Matrix3 r;
  for (int i = 0; i < 9; ++i) r.m[i] = -a.m[i];
  return r;
}
void Matrix3AddTo(const Matrix3& a, const Matrix3& b, Matrix3& out) { out = Matrix3Add(a, b); }
void Matrix3SubTo(const Matrix3& a, const Matrix3& b, Matrix3& out) { out = Matrix3Sub(a, b); }
void Matrix3ScaleTo(const Matrix3& a, float s, Matrix3& out) { out = Matrix3Scale(s, a); }
void Matrix3DivTo(const Matrix3& a, float s, Matrix3& out) { out = Matrix3Div(a, s); }
void Matrix3NegateTo(const Matrix3& a, Matrix3& out) { out = Matrix3Negate(a); }
void Matrix3AddInPlace(Matrix3& a, const Matrix3& b) { a = Matrix3Add(a, b); }
void Matrix3SubInPlace(Matrix3& a, const Matrix3& b) { a = Matrix3Sub(a, b); }
void Matrix3ScaleInPlace(Matrix3& a, float s) { a = Matrix3Scale(s, a); }
void Matrix3DivInPlace(Matrix3& a, float s) { a = Matrix3Div(a, s); }

// ---- 3x3: products ---------------------------------------------------------------------
Matrix3 Matrix3Multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 r;
  for (int row = 0; row < 3; ++row)
    for (int c = 0; c < 3; ++c)
      r.m[3 * row + c] = a.m[3 * row] * b.m[c] + a.m[3 * row + 1] * b.m[3 + c] + a.m[3 * row + 2] * b.m[6 + c];
  return r;
}
void Matrix3MultiplyTo(const Matrix3& a, const Matrix3& b, Matrix3& out) { out = Matrix3Multiply(a, b); }
void Matrix3MultiplyInPlace(Matrix3& a, const Matrix3& b) { a = Matrix3Multiply(a, b); }

Vector3 Vector3MulMatrix3(const Vector3& v, const Matrix3& a) {
  return Vector3{v.x * a.m[0] + v.y * a.m[3] + v.z * a.m[6], v.x * a.m[1] + v.y * a.m[4] + v.z * a.m[7],
                 v.x * a.m[2] + v.y * a.m[5] + v.z * a.m[8]};
}
void Vector3MulMatrix3To(const Vector3& v, const Matrix3& a, Vector3& out) { out = Vector3MulMatrix3(v, a); }
void Vector3MulMatrix3(const Vector3& v, const Matrix3& a, Vector3& out) { out = Vector3MulMatrix3(v, a); }
void Vector3MulMatrix3(Vector3& out, const Vector3& v, const Matrix3& a) { out = Vector3MulMatrix3(v, a); }

// ---- 3x3: transpose, determinant, inverse -------------------------------------------------
Matrix3 Matrix3Transpose(const Matrix3& a) {
  return Matrix3{{a.m[0], a.m[3], a.m[6], a.m[1], a.m[4], a.m[7], a.m[2], a.m[5], a.m[8]}};
}
void Matrix3Transpose(const Matrix3& a, Matrix3& out) { out = Matrix3Transpose(a); }

float Matrix3Determinant(const Matrix3& a) {
  float m00 = a.m[0], m01 = a.m[1], m02 = a.m[2], m10 = a.m[3], m11 = a.m[4], m12 = a.m[5];
  float m20 = a.m[6], m21 = a.m[7], m22 = a.m[8];
  return m20 * m01 * m12 + m02 * m10 * m21 + m22 * m00 * m11 - m00 * m21 * m12 - m22 * m01 * m10 - m20 * m02 * m11;
}

// The adjugate (transposed cofactors) times 1/det; computed whole before out is written.
float Matrix3Inverse(const Matrix3& a, Matrix3& out) {
  float det = Matrix3Determinant(a);
  if (det == 0.0f) return 0.0f;
  const float* m = a.m;
  float inv = 1.0f / det;
  out = Matrix3{{
      (m[4] * m[8] - m[5] * m[7]) * inv, (m[2] * m[7] - m[1] * m[8]) * inv, (m[1] * m[5] - m[2] * m[4]) * inv,
      (m[5] * m[6] - m[3] * m[8]) * inv, (m[0] * m[8] - m[2] * m[6]) * inv, (m[2] * m[3] - m[0] * m[5]) * inv,
      (m[3] * m[7] - m[4] * m[6]) * inv, (m[1] * m[6] - m[0] * m[7]) * inv, (m[0] * m[4] - m[1] * m[3]) * inv,
  }};
  return det;
}

bool Matrix3Equal(const Matrix3& a, const Matrix3& b) {
  for (int i = 0; i < 9; ++i)
    if (a.m[i] != b.m[i]) return false;
  return true;
}
bool Matrix3NotEqual(const Matrix3& a, const Matrix3& b) { return !Matrix3Equal(a, b); }
bool Matrix3NearEqual(const Matrix3& a, const Matrix3& b, float tolerance) {
  for (int i = 0; i < 9; ++i)
    if (!(std::fabs(a.m[i] - b.m[i]) < tolerance)) return false;
  return true;
}

// ---- 3x3: rotations ----------------------------------------------------------------------
Matrix3 Matrix3FromAngleAxis(const Vector3& axis, float angle) {
  float s = std::sin(angle), c = std::cos(angle), k = 1.0f - c;
  float x = axis.x, y = axis.y, z = axis.z;
  return Matrix3{{k * x * x + c, k * x * y + s * z, k * x * z - s * y,  //
                  k * x * y - s * z, k * y * y + c, k * y * z + s * x,  //
                  k * x * z + s * y, k * y * z - s * x, k * z * z + c}};
}
void Matrix3FromAngleAxis(const Vector3& axis, float angle, Matrix3& out) { out = Matrix3FromAngleAxis(axis, angle); }

Matrix3 Matrix3FromEulerAngles(float a0, float a1, float a2) {
  float s0 = std::sin(a0), c0 = std::cos(a0);
  float s1 = std::sin(a1), c1 = std::cos(a1);
  float s2 = std::sin(a2), c2 = std::cos(a2);
  return Matrix3{{c1 * c2, c1 * s2, -s1,                                      //
                  s0 * s1 * c2 - c0 * s2, s0 * s1 * s2 + c0 * c2, s0 * c1,  //
                  c0 * s1 * c2 + s0 * s2, c0 * s1 * s2 - s0 * c2, c0 * c1}};
}
Matrix3 Matrix3FromEulerAngles(const Vector3& angles) { return Matrix3FromEulerAngles(angles.x, angles.y, angles.z); }
void Matrix3FromEulerAngles(const Vector3& angles, Matrix3& out) { out = Matrix3FromEulerAngles(angles); }
void Matrix3FromEulerAngles(float a0, float a1, float a2, Matrix3& out) { out = Matrix3FromEulerAngles(a0, a1, a2); }

Vector3 Matrix3ToEulerAngles(const Matrix3& a) {
  float m00 = a.At(0, 0), m01 = a.At(0, 1), m02 = a.At(0, 2);
  float cy = std::sqrt(m00 * m00 + m01 * m01);
  if (cy <= 0.001f) {
    // Near the lock rows 1 and 2 hold a0 and a2 only as a sum or difference;
    // the small m00, m01 still give a2 (unless they are rounding noise: then
    // a2 = 0), and a0 follows from rows 1 and 2 turned back by a2.
    float a2 = cy > FLT_EPSILON ? std::atan2(m01, m00) : 0.0f;
    float s2 = std::sin(a2), c2 = std::cos(a2);
    float a0 = std::atan2(s2 * a.At(2, 0) - c2 * a.At(2, 1), c2 * a.At(1, 1) - s2 * a.At(1, 0));
    return Vector3{a0, std::atan2(-m02, cy), a2};
  }
  return Vector3{std::atan2(a.At(1, 2), a.At(2, 2)), std::atan2(-m02, cy), std::atan2(m01, m00)};
}
void Matrix3ToEulerAngles(const Matrix3& a, Vector3& angles) { angles = Matrix3ToEulerAngles(a); }

// ---- 4x4: building -------------------------------------------------------------------------
Matrix4 Matrix4Zero() { return Matrix4{}; }
void Matrix4Zero(Matrix4& out) { out = Matrix4{}; }
Matrix4 Matrix4Identity() { return Matrix4{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }
void Matrix4Identity(Matrix4& out) { out = Matrix4Identity(); }
void Matrix4Set(const float rowOrder[16], Matrix4& out) {
  for (int i = 0; i < 16; ++i) out.m[i] = rowOrder[i];
}
void Matrix4Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
                float m21, float m22, float m23, float m30, float m31, float m32, float m33, Matrix4& out) {
  out = Matrix4{{m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33}};
}
void Matrix4Init(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
                 float m21, float m22, float m23, float m30, float m31, float m32, float m33, Matrix4& out) {
  Matrix4Set(m00, m01, m02, m03, m10, m11, m12, m13, m20, m21, m22, m23, m30, m31, m32, m33, out);
}

// ---- 4x4: element-wise ------------------------------------------------------------------------
Matrix4 Matrix4Add(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = a.m[i] + b.m[i];
  return r;
}
Matrix4 Matrix4Sub(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = a.m[i] - b.m[i];
  return r;
}
Matrix4 Matrix4Scale(float s, const Matrix4& a) {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = a.m[i] * s;
  return r;
}
Matrix4 Matrix4Div(const Matrix4& a, float s) { return Matrix4Scale(1.0f / s, a); }
Matrix4 Matrix4Negate(const Matrix4& a) {
  Matrix4 r;
  for (int i = 0; i < 16; ++i) r.m[i] = -a.m[i];
  return r;
}
void Matrix4AddTo(const Matrix4& a, const Matrix4& b, Matrix4& out) { out = Matrix4Add(a, b); }
void Matrix4SubTo(const Matrix4& a, const Matrix4& b, Matrix4& out) { out = Matrix4Sub(a, b); }
void Matrix4ScaleTo(const Matrix4& a, float s, Matrix4& out) { out = Matrix4Scale(s, a); }
void Matrix4DivTo(const Matrix4& a, float s, Matrix4& out) { out = Matrix4Div(a, s); }
void Matrix4NegateTo(const Matrix4& a, Matrix4& out) { out = Matrix4Negate(a); }

// ---- 4x4: products ------------------------------------------------------------------------------
Matrix4 Matrix4Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int row = 0; row < 4; ++row) {
    const float* ar = &a.m[4 * row];
    for (int c = 0; c < 4; ++c)
      r.m[4 * row + c] = ar[0] * b.m[c] + ar[1] * b.m[4 + c] + ar[2] * b.m[8 + c] + ar[3] * b.m[12 + c];
  }
  return r;
}
void Matrix4MultiplyTo(const Matrix4& a, const Matrix4& b, Matrix4& out) { out = Matrix4Multiply(a, b); }

Vector4 Vector4MulMatrix4(const Vector4& v, const Matrix4& a) {
  const float* m = a.m;
  return Vector4{v.x * m[0] + v.y * m[4] + v.z * m[8] + v.w * m[12], v.x * m[1] + v.y * m[5] + v.z * m[9] + v.w * m[13],
                 v.x * m[2] + v.y * m[6] + v.z * m[10] + v.w * m[14],
                 v.x * m[3] + v.y * m[7] + v.z * m[11] + v.w * m[15]};
}
void Vector4MulMatrix4To(const Vector4& v, const Matrix4& a, Vector4& out) { out = Vector4MulMatrix4(v, a); }
void Vector4MulMatrix4(const Vector4& v, const Matrix4& a, Vector4& out) { out = Vector4MulMatrix4(v, a); }
Vector4 Matrix4MulVector4Rows(const Matrix4& a, const Vector4& v) {
  const float* m = a.m;
  return Vector4{m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3] * v.w, m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7] * v.w,
                 m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11] * v.w,
                 m[12] * v.x + m[13] * v.y + m[14] * v.z + m[15] * v.w};
}
Vector3 Vector3TransformPoint(const Vector3& p, const Matrix4& a) {
  Vector4 r = Vector4MulMatrix4(Vector4{p.x, p.y, p.z, 1.0f}, a);
  return Vector3{r.x, r.y, r.z};
}
Vector3 Vector3TransformDirection(const Vector3& d, const Matrix4& a) {
  Vector4 r = Vector4MulMatrix4(Vector4{d.x, d.y, d.z, 0.0f}, a);
  return Vector3{r.x, r.y, r.z};
}

// ---- 4x4: transpose, determinants, inverses ---------------------------------------------------
Matrix4 Matrix4Transpose(const Matrix4& a) {
  Matrix4 r;
  for (int row = 0; row < 4; ++row)
    for (int c = 0; c < 4; ++c) r.m[4 * c + row] = a.m[4 * row + c];
  return r;
}
void Matrix4Transpose(const Matrix4& a, Matrix4& out) { out = Matrix4Transpose(a); }

// The adjugate of a 4x4 by cofactors, returning the determinant; valid in either
// memory order since the inverse of a transpose is the transpose of the inverse.
static float Adjugate4(const float* m, float* inv) {
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  return m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
}

float Matrix4Determinant(const Matrix4& a) {
  float inv[16];
  return Adjugate4(a.m, inv);
}

float Matrix4Determinant3(const Matrix4& a) { return Matrix3Determinant(Matrix4GetRotation(a)); }

float Matrix4Inverse(const Matrix4& a, Matrix4& out) {
  float inv[16];
  float det = Adjugate4(a.m, inv);
  if (det == 0.0f) return 0.0f;
  float k = 1.0f / det;
  for (int i = 0; i < 16; ++i) inv[i] *= k;
  Matrix4Set(inv, out);
  return det;
}

// The upper-left 3x3 of a 4x4 that is otherwise the identity.
static Matrix4 FromRotation3(const Matrix3& r) {
  const float* m = r.m;
  return Matrix4{{m[0], m[1], m[2], 0, m[3], m[4], m[5], 0, m[6], m[7], m[8], 0, 0, 0, 0, 1}};
}

float Matrix4InverseRotation(const Matrix4& a, Matrix4& out) {
  Matrix3 inverse;
  float det = Matrix3Inverse(Matrix4GetRotation(a), inverse);
  if (det == 0.0f) return 0.0f;
  out = FromRotation3(inverse);
  return det;
}

Matrix4 Matrix4RigidInverse(const Matrix4& a) {
  const float* m = a.m;
  Matrix4 r{{m[0], m[4], m[8], 0, m[1], m[5], m[9], 0, m[2], m[6], m[10], 0, 0, 0, 0, 1}};
  float tx = m[12], ty = m[13], tz = m[14];
  for (int j = 0; j < 3; ++j) r.m[12 + j] = -(tx * m[4 * j] + ty * m[4 * j + 1] + tz * m[4 * j + 2]);
  return r;
}
void Matrix4RigidInverse(const Matrix4& a, Matrix4& out) { out = Matrix4RigidInverse(a); }

bool Matrix4NearEqual(const Matrix4& a, const Matrix4& b, float tolerance) {
  for (int i = 0; i < 16; ++i)
    if (!(std::fabs(a.m[i] - b.m[i]) < tolerance)) return false;
  return true;
}

Matrix3 Matrix4GetRotation(const Matrix4& a) {
  const float* m = a.m;
  return Matrix3{{m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]}};
}
void Matrix4GetRotation(const Matrix4& a, Matrix3& out) { out = Matrix4GetRotation(a); }

// ---- 4x4: rotations and view transforms -----------------------------------------------------
Matrix4 Matrix4FromAngleAxis(const Vector3& axis, float angle) {
  return FromRotation3(Matrix3FromAngleAxis(axis, angle));
}
void Matrix4FromAngleAxis(const Vector3& axis, float angle, Matrix4& out) { out = Matrix4FromAngleAxis(axis, angle); }
Matrix4 Matrix4FromEulerAngles(const Vector3& angles) { return FromRotation3(Matrix3FromEulerAngles(angles)); }
void Matrix4FromEulerAngles(const Vector3& angles, Matrix4& out) { out = Matrix4FromEulerAngles(angles); }
Vector3 Matrix4ToEulerAngles(const Matrix4& a) { return Matrix3ToEulerAngles(Matrix4GetRotation(a)); }
void Matrix4ToEulerAngles(const Matrix4& a, Vector3& angles) { angles = Matrix4ToEulerAngles(a); }

Matrix4 Matrix4LookAt(const Vector3& eye, const Vector3& target, const Vector3& up) {
  Matrix4 r = Matrix4Identity();
  Vector3 z = Vector3Normalized(Vector3Sub(eye, target));
  Vector3 x = Vector3Normalized(Vector3Cross(up, z));
  Vector3 y = Vector3Cross(z, x);
  r.m[0] = x.x, r.m[1] = x.y, r.m[2] = x.z;
  r.m[4] = y.x, r.m[5] = y.y, r.m[6] = y.z;
  r.m[8] = z.x, r.m[9] = z.y, r.m[10] = z.z;
  r = Matrix4Transpose(r);
  // Only the translation is written: element 15 keeps its 1.
  Vector4 t = Vector4MulMatrix4(Vector4{-eye.x, -eye.y, -eye.z, 0.0f}, r);
  r.m[12] = t.x, r.m[13] = t.y, r.m[14] = t.z;
  return r;
}
void Matrix4LookAt(const Vector3& eye, const Vector3& target, const Vector3& up, Matrix4& out) {
  out = Matrix4LookAt(eye, target, up);
}

Matrix4 Matrix4Perspective(float fovy, float aspect, float zNear, float zFar) {
  float f = 1.0f / std::tan(fovy / 2.0f);
  Matrix4 r;
  r.m[0] = f / aspect;
  r.m[5] = f;
  r.m[10] = zFar / (zNear - zFar);
  r.m[11] = -1.0f;
  r.m[14] = zNear * zFar / (zNear - zFar);
  return r;
}
void Matrix4Perspective(float fovy, float aspect, float zNear, float zFar, Matrix4& out) {
  out = Matrix4Perspective(fovy, aspect, zNear, zFar);
}

}  // namespace Ru::Math
