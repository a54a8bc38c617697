// 3x3 and 4x4 matrices. Row vectors multiply on the left (v * M), rotation rows
// are the rotated axes, translation lives in elements 12-14, and A * B applies A
// first. Out forms may write over any of their inputs. Only the two general
// inverses guard a singular matrix (they return the determinant, 0 = singular).
#pragma once

#include "math/Types.h"
#include "math/Vector.h"

namespace Ru::Math {

// ---- 3x3: building ---------------------------------------------------------------
Matrix3 Matrix3Zero();
void Matrix3Zero(Matrix3& out);
Matrix3 Matrix3Identity();
void Matrix3Identity(Matrix3& out);
// Nine floats in row order: m00, m01, m02, m10, ...
Matrix3 Matrix3Construct(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                         float m22);
void Matrix3Set(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22,
                Matrix3& out);
void Matrix3Init(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22,
                 Matrix3& out);

// ---- 3x3: element-wise (division multiplies by 1/s, unguarded) -----------------
Matrix3 Matrix3Add(const Matrix3& a, const Matrix3& b);
Matrix3 Matrix3Sub(const Matrix3& a, const Matrix3& b);
Matrix3 Matrix3Scale(float s, const Matrix3& a);
Matrix3 Matrix3Div(const Matrix3& a, float s);
Matrix3 Matrix3Negate(const Matrix3& a);
void Matrix3AddTo(const Matrix3& a, const Matrix3& b, Matrix3& out);
void Matrix3SubTo(const Matrix3& a, const Matrix3& b, Matrix3& out);
void Matrix3ScaleTo(const Matrix3& a, float s, Matrix3& out);
void Matrix3DivTo(const Matrix3& a, float s, Matrix3& out);
void Matrix3NegateTo(const Matrix3& a, Matrix3& out);
void Matrix3AddInPlace(Matrix3& a, const Matrix3& b);
void Matrix3SubInPlace(Matrix3& a, const Matrix3& b);
void Matrix3ScaleInPlace(Matrix3& a, float s);
void Matrix3DivInPlace(Matrix3& a, float s);

// ---- 3x3: products -----------------------------------------------------------------
Matrix3 Matrix3Multiply(const Matrix3& a, const Matrix3& b);  // a * b: a first, then b
void Matrix3MultiplyTo(const Matrix3& a, const Matrix3& b, Matrix3& out);
void Matrix3MultiplyInPlace(Matrix3& a, const Matrix3& b);     // a = a * b
Vector3 Vector3MulMatrix3(const Vector3& v, const Matrix3& a);  // row vector v * a
void Vector3MulMatrix3To(const Vector3& v, const Matrix3& a, Vector3& out);
void Vector3MulMatrix3(const Vector3& v, const Matrix3& a, Vector3& out);
void Vector3MulMatrix3(Vector3& out, const Vector3& v, const Matrix3& a);  // the planet code's argument order

// ---- 3x3: transpose, determinant, inverse, comparison --------------------------------
Matrix3 Matrix3Transpose(const Matrix3& a);
void Matrix3Transpose(const Matrix3& a, Matrix3& out);
float Matrix3Determinant(const Matrix3& a);
// Returns the determinant; when it is exactly 0, out is left untouched.
float Matrix3Inverse(const Matrix3& a, Matrix3& out);
bool Matrix3Equal(const Matrix3& a, const Matrix3& b);
bool Matrix3NotEqual(const Matrix3& a, const Matrix3& b);
// Strict: a difference of exactly the tolerance counts as different.
bool Matrix3NearEqual(const Matrix3& a, const Matrix3& b, float tolerance);

// ---- 3x3: rotations ------------------------------------------------------------------
// Right-handed turn about a unit axis (counter-clockwise seen from the axis tip).
Matrix3 Matrix3FromAngleAxis(const Vector3& axis, float angle);
void Matrix3FromAngleAxis(const Vector3& axis, float angle, Matrix3& out);
// About x by a0 first, then y by a1, then z by a2 (fixed axes).
Matrix3 Matrix3FromEulerAngles(const Vector3& angles);
Matrix3 Matrix3FromEulerAngles(float a0, float a1, float a2);
void Matrix3FromEulerAngles(const Vector3& angles, Matrix3& out);
void Matrix3FromEulerAngles(float a0, float a1, float a2, Matrix3& out);
Vector3 Matrix3ToEulerAngles(const Matrix3& a);
void Matrix3ToEulerAngles(const Matrix3& a, Vector3& angles);

// ---- 4x4: building ----------------------------------------------------------------
Matrix4 Matrix4Zero();
void Matrix4Zero(Matrix4& out);
Matrix4 Matrix4Identity();
void Matrix4Identity(Matrix4& out);
void Matrix4Set(const float rowOrder[16], Matrix4& out);
void Matrix4Set(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
                float m21, float m22, float m23, float m30, float m31, float m32, float m33, Matrix4& out);
void Matrix4Init(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
                 float m21, float m22, float m23, float m30, float m31, float m32, float m33, Matrix4& out);
inline float* Matrix4Row(Matrix4& a, int i) { return &a.m[4 * i]; }
inline const float* Matrix4Row(const Matrix4& a, int i) { return &a.m[4 * i]; }

// ---- 4x4: element-wise -----------------------------------------------------------------
Matrix4 Matrix4Add(const Matrix4& a, const Matrix4& b);
Matrix4 Matrix4Sub(const Matrix4& a, const Matrix4& b);
Matrix4 Matrix4Scale(float s, const Matrix4& a);
Matrix4 Matrix4Div(const Matrix4& a, float s);
Matrix4 Matrix4Negate(const Matrix4& a);
void Matrix4AddTo(const Matrix4& a, const Matrix4& b, Matrix4& out);
void Matrix4SubTo(const Matrix4& a, const Matrix4& b, Matrix4& out);
void Matrix4ScaleTo(const Matrix4& a, float s, Matrix4& out);
void Matrix4DivTo(const Matrix4& a, float s, Matrix4& out);
void Matrix4NegateTo(const Matrix4& a, Matrix4& out);

// ---- 4x4: products ------------------------------------------------------------------
Matrix4 Matrix4Multiply(const Matrix4& a, const Matrix4& b);  // a * b: a first, then b
void Matrix4MultiplyTo(const Matrix4& a, const Matrix4& b, Matrix4& out);
Vector4 Vector4MulMatrix4(const Vector4& v, const Matrix4& a);  // row vector v * a
void Vector4MulMatrix4To(const Vector4& v, const Matrix4& a, Vector4& out);
void Vector4MulMatrix4(const Vector4& v, const Matrix4& a, Vector4& out);
// Each output k is row k of a dotted with v (a times a column vector).
Vector4 Matrix4MulVector4Rows(const Matrix4& a, const Vector4& v);
// Conveniences for points (w = 1) and directions (w = 0).
Vector3 Vector3TransformPoint(const Vector3& p, const Matrix4& a);
Vector3 Vector3TransformDirection(const Vector3& d, const Matrix4& a);

// ---- 4x4: transpose, determinants, inverses, comparison ---------------------------------
Matrix4 Matrix4Transpose(const Matrix4& a);
void Matrix4Transpose(const Matrix4& a, Matrix4& out);
float Matrix4Determinant(const Matrix4& a);
float Matrix4Determinant3(const Matrix4& a);  // of the upper-left 3x3
// Returns the determinant; when it is exactly 0, out is left untouched.
float Matrix4Inverse(const Matrix4& a, Matrix4& out);
// Inverts the upper-left 3x3 only; translation cleared. Same singular rule.
float Matrix4InverseRotation(const Matrix4& a, Matrix4& out);
// For rotation plus translation without scale; unguarded.
Matrix4 Matrix4RigidInverse(const Matrix4& a);
void Matrix4RigidInverse(const Matrix4& a, Matrix4& out);
bool Matrix4NearEqual(const Matrix4& a, const Matrix4& b, float tolerance);  // strict
Matrix3 Matrix4GetRotation(const Matrix4& a);
void Matrix4GetRotation(const Matrix4& a, Matrix3& out);

// ---- 4x4: rotations and view transforms --------------------------------------------------
Matrix4 Matrix4FromAngleAxis(const Vector3& axis, float angle);
void Matrix4FromAngleAxis(const Vector3& axis, float angle, Matrix4& out);
Matrix4 Matrix4FromEulerAngles(const Vector3& angles);
void Matrix4FromEulerAngles(const Vector3& angles, Matrix4& out);
Vector3 Matrix4ToEulerAngles(const Matrix4& a);
void Matrix4ToEulerAngles(const Matrix4& a, Vector3& angles);
// World to a right-handed view space looking down -z.
Matrix4 Matrix4LookAt(const Vector3& eye, const Vector3& target, const Vector3& up);
void Matrix4LookAt(const Vector3& eye, const Vector3& target, const Vector3& up, Matrix4& out);
// fovy in radians; depth maps to 0..1 (not OpenGL's -1..1), so not for glLoadMatrix projections.
Matrix4 Matrix4Perspective(float fovy, float aspect, float zNear, float zFar);
void Matrix4Perspective(float fovy, float aspect, float zNear, float zFar, Matrix4& out);

}  // namespace Ru::Math
