// Every out form must give the same result when the destination is one of its
// inputs. Each check runs the call once into a separate value and once with the
// destination passed as each input of the same type, and compares bit for bit.
#include <cstring>

#include "MathTestHelpers.h"

using namespace Ru::Math;

namespace {
template <class T>
bool Same(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// f(a, out)
template <class T, class F>
void Unary(const char* name, F f, const T& a) {
  T separate;
  f(a, separate);
  T x = a;
  f(x, x);
  EXPECT_TRUE(Same(x, separate)) << name;
}

// f(a, b, out) with a, b and out of one type.
template <class T, class F>
void Binary(const char* name, F f, const T& a, const T& b) {
  T separate;
  f(a, b, separate);
  T x = a;
  f(x, b, x);
  EXPECT_TRUE(Same(x, separate)) << name << " (out is the first input)";
  T y = b;
  f(a, y, y);
  EXPECT_TRUE(Same(y, separate)) << name << " (out is the second input)";
}
}  // namespace

TEST(Aliasing, Vector3OutForms) {
  MathTest::cInputs in(1);
  for (int i = 0; i < 20; ++i) {
    Vector3 a = in.Vec3(), b = in.Vec3();
    Vector3 ua = in.Unit3(), ub = in.Unit3();
    Matrix3 m = in.Mat3();
    Quaternion q = in.UnitQuat();
    float s = in.Uniform(-3, 3), t = in.Uniform(0, 1);
    Binary<Vector3>("Vector3AddTo", [](auto& x, auto& y, auto& o) { Vector3AddTo(x, y, o); }, a, b);
    Binary<Vector3>("Vector3SubTo", [](auto& x, auto& y, auto& o) { Vector3SubTo(x, y, o); }, a, b);
    Binary<Vector3>("Vector3Cross", [](auto& x, auto& y, auto& o) { Vector3Cross(x, y, o); }, a, b);
    Binary<Vector3>("CrossProduct", [](auto& x, auto& y, auto& o) { CrossProduct(x, y, o); }, a, b);
    Binary<Vector3>("Vector3Lerp", [t](auto& x, auto& y, auto& o) { Vector3Lerp(x, y, t, o); }, a, b);
    Binary<Vector3>("Vector3NLerp", [t](auto& x, auto& y, auto& o) { Vector3NLerp(x, y, t, o); }, a, b);
    Binary<Vector3>("Vector3Slerp", [t](auto& x, auto& y, auto& o) { Vector3Slerp(x, y, t, o); }, ua, ub);
    Unary<Vector3>("Vector3ScaleTo", [s](auto& x, auto& o) { Vector3ScaleTo(x, s, o); }, a);
    Unary<Vector3>("Vector3DivScalarTo", [s](auto& x, auto& o) { Vector3DivScalarTo(x, s, o); }, a);
    Unary<Vector3>("Vector3NegateTo", [](auto& x, auto& o) { Vector3NegateTo(x, o); }, a);
    Unary<Vector3>("Vector3NormalizeTo", [](auto& x, auto& o) { Vector3NormalizeTo(x, o); }, a);
    Unary<Vector3>("Vector3NormalizeSafe", [](auto& x, auto& o) { Vector3NormalizeSafe(x, o); }, a);
    Unary<Vector3>("Vector3Copy", [](auto& x, auto& o) { Vector3Copy(x, o); }, a);
    Unary<Vector3>("Vector3MulMatrix3To", [&m](auto& x, auto& o) { Vector3MulMatrix3To(x, m, o); }, a);
    Unary<Vector3>("Vector3MulMatrix3(v, M, out)", [&m](auto& x, auto& o) { Vector3MulMatrix3(x, m, o); }, a);
    Unary<Vector3>("Vector3MulMatrix3(out, v, M)", [&m](auto& x, auto& o) { Vector3MulMatrix3(o, x, m); }, a);
    Unary<Vector3>("QuatRotateVector", [&q](auto& x, auto& o) { QuatRotateVector(q, x, o); }, a);
  }
}

TEST(Aliasing, Vector4OutForms) {
  MathTest::cInputs in(2);
  for (int i = 0; i < 20; ++i) {
    Vector4 a = in.Vec4(), b = in.Vec4();
    Matrix4 m = in.Mat4();
    float s = in.Uniform(-3, 3), t = in.Uniform(0, 1);
    Binary<Vector4>("Vector4AddTo", [](auto& x, auto& y, auto& o) { Vector4AddTo(x, y, o); }, a, b);
    Binary<Vector4>("Vector4SubTo", [](auto& x, auto& y, auto& o) { Vector4SubTo(x, y, o); }, a, b);
    Binary<Vector4>("Vector4Cross", [](auto& x, auto& y, auto& o) { Vector4Cross(x, y, o); }, a, b);
    Binary<Vector4>("Vector4Lerp", [t](auto& x, auto& y, auto& o) { Vector4Lerp(x, y, t, o); }, a, b);
    Binary<Vector4>("Vector4LerpTo", [t](auto& x, auto& y, auto& o) { Vector4LerpTo(x, y, t, o); }, a, b);
    Binary<Vector4>("Vector4NLerp", [t](auto& x, auto& y, auto& o) { Vector4NLerp(x, y, t, o); }, a, b);
    Binary<Vector4>("Vector4Slerp", [t](auto& x, auto& y, auto& o) { Vector4Slerp(x, y, t, o); },
                    Vector4Normalized(a), Vector4Normalized(b));
    Binary<Vector4>("Vector4DirSlerp", [t](auto& x, auto& y, auto& o) { Vector4DirSlerp(o, x, y, t); }, a, b);
    Unary<Vector4>("Vector4ScaleTo", [s](auto& x, auto& o) { Vector4ScaleTo(x, s, o); }, a);
    Unary<Vector4>("Vector4NegateTo", [](auto& x, auto& o) { Vector4NegateTo(x, o); }, a);
    Unary<Vector4>("Vector4NormalizeTo", [](auto& x, auto& o) { Vector4NormalizeTo(x, o); }, a);
    Unary<Vector4>("Vector4NormalizeSafe", [](auto& x, auto& o) { Vector4NormalizeSafe(x, o); }, a);
    Unary<Vector4>("Vector4MulMatrix4To", [&m](auto& x, auto& o) { Vector4MulMatrix4To(x, m, o); }, a);
    Unary<Vector4>("Vector4MulMatrix4(v, M, out)", [&m](auto& x, auto& o) { Vector4MulMatrix4(x, m, o); }, a);
  }
}

TEST(Aliasing, MatrixOutForms) {
  MathTest::cInputs in(3);
  for (int i = 0; i < 20; ++i) {
    Matrix3 a = in.Mat3(), b = in.Mat3();
    Matrix4 c = in.Mat4(), d = in.Mat4();
    Matrix4 rigid = QuatToMatrix4(in.UnitQuat(), in.Vec3());
    float s = in.Uniform(0.5f, 3);
    Binary<Matrix3>("Matrix3AddTo", [](auto& x, auto& y, auto& o) { Matrix3AddTo(x, y, o); }, a, b);
    Binary<Matrix3>("Matrix3SubTo", [](auto& x, auto& y, auto& o) { Matrix3SubTo(x, y, o); }, a, b);
    Binary<Matrix3>("Matrix3MultiplyTo", [](auto& x, auto& y, auto& o) { Matrix3MultiplyTo(x, y, o); }, a, b);
    Unary<Matrix3>("Matrix3ScaleTo", [s](auto& x, auto& o) { Matrix3ScaleTo(x, s, o); }, a);
    Unary<Matrix3>("Matrix3DivTo", [s](auto& x, auto& o) { Matrix3DivTo(x, s, o); }, a);
    Unary<Matrix3>("Matrix3NegateTo", [](auto& x, auto& o) { Matrix3NegateTo(x, o); }, a);
    Unary<Matrix3>("Matrix3Transpose", [](auto& x, auto& o) { Matrix3Transpose(x, o); }, a);
    Unary<Matrix3>("Matrix3Inverse", [](auto& x, auto& o) { Matrix3Inverse(x, o); }, a);
    Binary<Matrix4>("Matrix4AddTo", [](auto& x, auto& y, auto& o) { Matrix4AddTo(x, y, o); }, c, d);
    Binary<Matrix4>("Matrix4SubTo", [](auto& x, auto& y, auto& o) { Matrix4SubTo(x, y, o); }, c, d);
    Binary<Matrix4>("Matrix4MultiplyTo", [](auto& x, auto& y, auto& o) { Matrix4MultiplyTo(x, y, o); }, c, d);
    Unary<Matrix4>("Matrix4ScaleTo", [s](auto& x, auto& o) { Matrix4ScaleTo(x, s, o); }, c);
    Unary<Matrix4>("Matrix4DivTo", [s](auto& x, auto& o) { Matrix4DivTo(x, s, o); }, c);
    Unary<Matrix4>("Matrix4NegateTo", [](auto& x, auto& o) { Matrix4NegateTo(x, o); }, c);
    Unary<Matrix4>("Matrix4Transpose", [](auto& x, auto& o) { Matrix4Transpose(x, o); }, c);
    Unary<Matrix4>("Matrix4Inverse", [](auto& x, auto& o) { Matrix4Inverse(x, o); }, c);
    Unary<Matrix4>("Matrix4InverseRotation", [](auto& x, auto& o) { Matrix4InverseRotation(x, o); }, c);
    Unary<Matrix4>("Matrix4RigidInverse", [](auto& x, auto& o) { Matrix4RigidInverse(x, o); }, rigid);
  }
}

TEST(Aliasing, InPlaceFormsMatchTheirOutForms) {
  MathTest::cInputs in(4);
  Matrix3 a = in.Mat3(), b = in.Mat3();
  Matrix3 x = a;
  Matrix3MultiplyInPlace(x, b);
  EXPECT_TRUE(Same(x, Matrix3Multiply(a, b)));
  x = a;
  Matrix3AddInPlace(x, b);
  EXPECT_TRUE(Same(x, Matrix3Add(a, b)));
  x = a;
  Matrix3SubInPlace(x, b);
  EXPECT_TRUE(Same(x, Matrix3Sub(a, b)));
  x = a;
  Matrix3ScaleInPlace(x, 2.5f);
  EXPECT_TRUE(Same(x, Matrix3Scale(2.5f, a)));
  x = a;
  Matrix3DivInPlace(x, 2.5f);
  EXPECT_TRUE(Same(x, Matrix3Div(a, 2.5f)));
  Vector3 v = in.Vec3(), w = in.Vec3(), y = v;
  Vector3ScaleInPlace(y, 3.0f);
  EXPECT_TRUE(Same(y, Vector3Scale(v, 3.0f)));
  y = v;
  Vector3DivInPlace(y, 3.0f);
  EXPECT_TRUE(Same(y, Vector3DivScalar(v, 3.0f)));
  y = v;
  Vector3SubInPlace(y, y);
  EXPECT_TRUE(Same(y, Vector3{}));
  y = v;
  Vector3SubInPlace(y, w);
  EXPECT_TRUE(Same(y, Vector3Sub(v, w)));
}

TEST(Aliasing, QuaternionOutForms) {
  MathTest::cInputs in(5);
  for (int i = 0; i < 20; ++i) {
    Quaternion a = in.UnitQuat(), b = in.UnitQuat();
    float t = in.Uniform(0, 1);
    Binary<Quaternion>("QuatMultiplyTo", [](auto& x, auto& y, auto& o) { QuatMultiplyTo(x, y, o); }, a, b);
    Binary<Quaternion>("QuatMultiply(a, b, out)", [](auto& x, auto& y, auto& o) { QuatMultiply(x, y, o); }, a, b);
    Binary<Quaternion>("QuatLerp", [t](auto& x, auto& y, auto& o) { QuatLerp(x, y, t, o); }, a, b);
    Binary<Quaternion>("QuatNLerp", [t](auto& x, auto& y, auto& o) { QuatNLerp(x, y, t, o); }, a, b);
    Binary<Quaternion>("QuatSlerp", [t](auto& x, auto& y, auto& o) { QuatSlerp(x, y, t, o); }, a, b);
    Binary<Quaternion>("QuatSlerpNear", [t](auto& x, auto& y, auto& o) { QuatSlerpNear(o, x, y, t); }, a, b);
    Unary<Quaternion>("QuatInverse", [](auto& x, auto& o) { QuatInverse(x, o); }, a);
  }
}
