// Matrices: inverses, determinants, Euler angles, axis-angle, view transforms.
#include "MathTestHelpers.h"

using namespace Ru::Math;
using MathTest::Near3;
using MathTest::NearM3;
using MathTest::NearM4;

TEST(MatrixInverse, SingularMatricesReturnZeroAndLeaveOutUntouched) {
  Matrix3 zeroRow = Matrix3Construct(1, 2, 3, 0, 0, 0, 4, 5, 6);
  Matrix3 out = Matrix3Construct(9, 9, 9, 9, 9, 9, 9, 9, 9);
  Matrix3 before = out;
  EXPECT_EQ(Matrix3Inverse(zeroRow, out), 0.0f);
  EXPECT_TRUE(Matrix3Equal(out, before));

  Matrix4 zeroRow4 = Matrix4Identity();
  zeroRow4.m[4] = zeroRow4.m[5] = zeroRow4.m[6] = zeroRow4.m[7] = 0.0f;
  Matrix4 out4 = Matrix4Zero();
  out4.m[3] = 42.0f;
  Matrix4 before4 = out4;
  EXPECT_EQ(Matrix4Inverse(zeroRow4, out4), 0.0f);
  EXPECT_EQ(Matrix4InverseRotation(zeroRow4, out4), 0.0f);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out4.m[i], before4.m[i]);
}

TEST(MatrixInverse, RotationInvertsToItsTransposeWithDeterminantOne) {
  Matrix3 r = Matrix3FromEulerAngles(0.3f, -1.1f, 2.0f);
  Matrix3 inv;
  EXPECT_NEAR(Matrix3Inverse(r, inv), 1.0f, 1e-5f);
  EXPECT_TRUE(NearM3(inv, Matrix3Transpose(r)));
  Matrix4 r4 = Matrix4FromEulerAngles(Vector3{0.3f, -1.1f, 2.0f});
  Matrix4 inv4;
  EXPECT_NEAR(Matrix4Inverse(r4, inv4), 1.0f, 1e-5f);
  EXPECT_TRUE(NearM4(inv4, Matrix4Transpose(r4)));
}

TEST(MatrixInverse, InverseTimesMatrixIsIdentityOverManyInputs) {
  MathTest::cInputs in;
  int checked = 0;
  for (int i = 0; i < 500; ++i) {
    Matrix3 a = in.Mat3();
    Matrix4 b = in.Mat4();
    Matrix3 ia;
    Matrix4 ib;
    float da = Matrix3Inverse(a, ia), db = Matrix4Inverse(b, ib);
    EXPECT_NEAR(da, Matrix3Determinant(a), 1e-6f);
    EXPECT_NEAR(db, Matrix4Determinant(b), 1e-6f);
    // Skip nearly singular draws, whose inverses are legitimately imprecise.
    if (std::fabs(da) > 0.5f) {
      EXPECT_TRUE(NearM3(Matrix3Multiply(ia, a), Matrix3Identity(), 1e-3f)) << i;
    }
    if (std::fabs(db) > 0.5f) {
      EXPECT_TRUE(NearM4(Matrix4Multiply(ib, b), Matrix4Identity(), 1e-3f)) << i;
      EXPECT_TRUE(NearM4(Matrix4Multiply(b, ib), Matrix4Identity(), 1e-3f)) << i;
      ++checked;
    }
  }
  EXPECT_GT(checked, 300);
}

TEST(MatrixInverse, RigidAndRotationInversesUndoTheTransform) {
  MathTest::cInputs in(7);
  for (int i = 0; i < 200; ++i) {
    Matrix4 m = QuatToMatrix4(in.UnitQuat(), in.Vec3(50));
    Vector3 p = in.Vec3();
    Vector3 there = Vector3TransformPoint(p, m);
    EXPECT_TRUE(Near3(Vector3TransformPoint(there, Matrix4RigidInverse(m)), p, 1e-3f));
    Matrix4 rotInv;
    EXPECT_NEAR(Matrix4InverseRotation(m, rotInv), 1.0f, 1e-4f);
    EXPECT_EQ(rotInv.m[12], 0.0f);
    EXPECT_EQ(rotInv.m[15], 1.0f);
    EXPECT_TRUE(Near3(Vector3TransformDirection(Vector3TransformDirection(p, m), rotInv), p, 1e-3f));
  }
}

TEST(MatrixDeterminant, MatchesKnownValuesAndTheUpperLeftBlock) {
  EXPECT_EQ(Matrix3Determinant(Matrix3Construct(2, 0, 0, 0, 3, 0, 0, 0, 4)), 24.0f);
  EXPECT_EQ(Matrix3Determinant(Matrix3Construct(1, 2, 3, 4, 5, 6, 7, 8, 10)), -3.0f);
  Matrix4 m = Matrix4Identity();
  m.m[0] = 2, m.m[5] = 3, m.m[10] = 4, m.m[15] = 5, m.m[12] = 7;
  EXPECT_EQ(Matrix4Determinant(m), 120.0f);
  EXPECT_EQ(Matrix4Determinant3(m), 24.0f);
}

TEST(EulerAngles, RoundTripAndGimbalCase) {
  Vector3 angles = Matrix3ToEulerAngles(Matrix3FromEulerAngles(0.1f, 0.2f, 0.3f));
  EXPECT_TRUE(Near3(angles, Vector3{0.1f, 0.2f, 0.3f}));
  EXPECT_TRUE(Near3(Matrix4ToEulerAngles(Matrix4FromEulerAngles(Vector3{0.1f, 0.2f, 0.3f})), Vector3{0.1f, 0.2f, 0.3f}));
  // At a1 = pi/2 the first and last turns share an axis: only a0 - a2 survives.
  Matrix3 gimbal = Matrix3FromEulerAngles(0.7f, 1.5707964f, 0.2f);
  Vector3 g = Matrix3ToEulerAngles(gimbal);
  EXPECT_NEAR(g.x, 0.7f - 0.2f, 1e-3f);
  EXPECT_NEAR(g.y, 1.5707964f, 1e-3f);
  EXPECT_EQ(g.z, 0.0f);
  EXPECT_TRUE(NearM3(Matrix3FromEulerAngles(g), gimbal, 1e-3f));
}

// Regression: within 0.001 of the lock the third angle was dropped, so the
// rebuilt matrix was off by up to 1.8e-3; the small terms still hold it.
TEST(EulerAngles, NearTheLockTheRebuiltMatrixMatches) {
  for (float offset : {1e-6f, 1e-4f, 5e-4f, 9e-4f, 2e-3f})
    for (float side : {1.0f, -1.0f})
      for (float a0 : {-2.5f, 0.3f, 1.9f})
        for (float a2 : {-1.2f, 0.7f, 3.0f}) {
          Matrix3 m = Matrix3FromEulerAngles(a0, side * (1.5707964f - offset), a2);
          EXPECT_TRUE(NearM3(Matrix3FromEulerAngles(Matrix3ToEulerAngles(m)), m, 1e-5f)) << offset << " " << side;
        }
}

TEST(EulerAngles, TurnAboutXThenYThenZOnFixedAxes) {
  Vector3 a{0.4f, -0.9f, 1.3f};
  Matrix3 expected = Matrix3Multiply(Matrix3Multiply(Matrix3FromAngleAxis(Vector3{1, 0, 0}, a.x),
                                                      Matrix3FromAngleAxis(Vector3{0, 1, 0}, a.y)),
                                     Matrix3FromAngleAxis(Vector3{0, 0, 1}, a.z));
  EXPECT_TRUE(NearM3(Matrix3FromEulerAngles(a), expected));
  EXPECT_TRUE(NearM3(QuatToMatrix3(QuatFromEulerAngles(a)), expected));
}

TEST(MatrixCompare, NearEqualIsStrictForMatricesInclusiveForVectors) {
  Matrix3 a = Matrix3Identity(), b = Matrix3Identity();
  b.m[4] += 0.5f;
  EXPECT_FALSE(Matrix3NearEqual(a, b, 0.5f));
  EXPECT_TRUE(Matrix3NearEqual(a, b, 0.5001f));
  EXPECT_TRUE(Vector3NearEqual(Vector3{1, 1, 1}, Vector3{1, 1.5f, 1}, 0.5f));
  EXPECT_TRUE(Matrix3NotEqual(a, b));
  EXPECT_FALSE(Matrix4NearEqual(Matrix4Identity(), Matrix4Zero(), 1.0f));
}

TEST(ViewTransforms, LookAtMapsTheEyeToTheOriginAndTheTargetDownMinusZ) {
  Vector3 eye{10, 5, 3}, target{1, 2, -4}, up{0, 1, 0};
  Matrix4 view = Matrix4LookAt(eye, target, up);
  EXPECT_TRUE(Near3(Vector3TransformPoint(eye, view), Vector3{}, 1e-4f));
  Vector3 t = Vector3TransformPoint(target, view);
  float distance = Vector3Length(Vector3Sub(target, eye));
  EXPECT_TRUE(Near3(t, Vector3{0, 0, -distance}, 1e-4f));
  EXPECT_EQ(view.m[15], 1.0f);
  EXPECT_GT(Vector3TransformDirection(up, view).y, 0.0f);
}

TEST(ViewTransforms, PerspectiveMapsNearAndFarToZeroAndOne) {
  Matrix4 p = Matrix4Perspective(1.0f, 1.5f, 2.0f, 100.0f);
  Vector4 nearPoint = Vector4MulMatrix4(Vector4{0, 0, -2, 1}, p);
  Vector4 farPoint = Vector4MulMatrix4(Vector4{0, 0, -100, 1}, p);
  EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-5f);
  EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5f);
  EXPECT_NEAR(p.m[5], 1.0f / std::tan(0.5f), 1e-5f);
  EXPECT_NEAR(p.m[0], p.m[5] / 1.5f, 1e-5f);
}
