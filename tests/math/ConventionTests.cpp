// The conventions the camera, planet and scene depend on. Each test fails if a
// convention is flipped (column vectors, transposed rotations, translation in
// the last column, reversed product order, w-first quaternions).
#include "MathTestHelpers.h"

using namespace Ru::Math;
using MathTest::Near3;
using MathTest::NearM3;
using MathTest::NearQ;
using MathTest::kQuarter, MathTest::kX, MathTest::kY, MathTest::kZ;

TEST(Conventions, RowVectorTimesMatrixSumsDownTheColumns) {
  Matrix3 m = Matrix3Construct(1, 2, 3, 4, 5, 6, 7, 8, 9);
  // v * M: out[c] = sum over r of v[r] * M[r][c].
  EXPECT_TRUE(Near3(Vector3MulMatrix3(Vector3{1, 10, 100}, m), Vector3{1 + 40 + 700, 2 + 50 + 800, 3 + 60 + 900}, 0));
  Matrix4 m4 = Matrix4Identity();
  m4.m[1] = 2.0f;  // row 0, column 1
  EXPECT_TRUE(MathTest::Near4(Vector4MulMatrix4(Vector4{1, 0, 0, 0}, m4), Vector4{1, 2, 0, 0}, 0));
}

TEST(Conventions, RotationMatrixRowsAreTheRotatedAxes) {
  Matrix3 r = Matrix3FromAngleAxis(kZ, kQuarter);
  // A quarter turn about z takes x to y (counter-clockwise seen from +z).
  EXPECT_TRUE(Near3(Vector3{r.m[0], r.m[1], r.m[2]}, kY));
  EXPECT_TRUE(Near3(Vector3{r.m[3], r.m[4], r.m[5]}, Vector3{-1, 0, 0}));
  EXPECT_TRUE(Near3(Vector3MulMatrix3(kX, r), Vector3{r.m[0], r.m[1], r.m[2]}, 0));
  Matrix3 q = QuatToMatrix3(QuatFromAngleAxis(kZ, kQuarter));
  EXPECT_TRUE(NearM3(q, r));
}

TEST(Conventions, TranslationLivesInElementsTwelveToFourteen) {
  Matrix4 m = QuatToMatrix4(QuatIdentity(), Vector3{5, 6, 7});
  EXPECT_EQ(m.m[12], 5.0f);
  EXPECT_EQ(m.m[13], 6.0f);
  EXPECT_EQ(m.m[14], 7.0f);
  EXPECT_EQ(m.m[3], 0.0f);
  EXPECT_EQ(m.m[7], 0.0f);
  EXPECT_EQ(m.m[11], 0.0f);
  EXPECT_EQ(m.m[15], 1.0f);
  EXPECT_TRUE(Near3(Vector3TransformPoint(Vector3{1, 1, 1}, m), Vector3{6, 7, 8}, 0));
  EXPECT_TRUE(Near3(Vector3TransformDirection(Vector3{1, 1, 1}, m), Vector3{1, 1, 1}, 0));
}

TEST(Conventions, ProductAppliesTheLeftMatrixFirst) {
  Matrix3 a = Matrix3FromAngleAxis(kZ, kQuarter);  // x -> y
  Matrix3 b = Matrix3FromAngleAxis(kX, kQuarter);  // y -> z
  // x through a then b ends on z; the other order leaves it on y.
  EXPECT_TRUE(Near3(Vector3MulMatrix3(kX, Matrix3Multiply(a, b)), kZ));
  EXPECT_TRUE(Near3(Vector3MulMatrix3(kX, Matrix3Multiply(b, a)), kY));
  Matrix4 translate = QuatToMatrix4(QuatIdentity(), Vector3{10, 0, 0});
  Matrix4 turn = Matrix4FromAngleAxis(kZ, kQuarter);
  // Translate first, then turn: (1,0,0) -> (11,0,0) -> (0,11,0).
  EXPECT_TRUE(Near3(Vector3TransformPoint(kX, Matrix4Multiply(translate, turn)), Vector3{0, 11, 0}, 1e-5f));
}

TEST(Conventions, QuaternionsStoreWLastAndMultiplyHamiltonRotatingByTheRightFirst) {
  Quaternion q = QuatFromAngleAxis(kZ, kQuarter);
  EXPECT_NEAR(q.z, std::sin(kQuarter / 2), 1e-6f);
  EXPECT_NEAR(q.w, std::cos(kQuarter / 2), 1e-6f);
  EXPECT_EQ(reinterpret_cast<const float*>(&q)[3], q.w);
  // Hamilton: i * j = k.
  EXPECT_TRUE(NearQ(QuatMultiply(Quaternion{1, 0, 0, 0}, Quaternion{0, 1, 0, 0}), Quaternion{0, 0, 1, 0}, 0));
  Quaternion a = QuatFromAngleAxis(kZ, kQuarter);  // x -> y
  Quaternion b = QuatFromAngleAxis(kX, kQuarter);  // y -> z
  // a * b turns by b first: x stays x under b, then a takes it to y.
  EXPECT_TRUE(Near3(QuatRotateVector(QuatMultiply(a, b), kX), kY));
  EXPECT_TRUE(Near3(QuatRotateVector(QuatMultiply(b, a), kX), kZ));
  EXPECT_TRUE(NearM3(QuatToMatrix3(QuatMultiply(a, b)), Matrix3Multiply(QuatToMatrix3(b), QuatToMatrix3(a))));
}

TEST(Conventions, ValueTypesAreTheirFloatsInOrder) {
  Vector3 v{1, 2, 3};
  EXPECT_EQ(v.Ptr()[2], 3.0f);
  Ray r{Vector3{1, 2, 3}, Vector3{4, 5, 6}};
  EXPECT_EQ(r.Ptr()[4], 5.0f);
  Quaternion identity;
  EXPECT_EQ(identity.w, 1.0f);
  Matrix4 m = Matrix4Identity();
  EXPECT_EQ(Matrix4Row(m, 3), m.Ptr() + 12);
}
