// Quaternions: worked examples, slerp's 5-degree switch, the shortest arc,
// matrix round trips, and property checks over many random rotations.
#include "MathTestHelpers.h"

using namespace Ru::Math;
using MathTest::Near3;
using MathTest::NearM3;
using MathTest::NearQ;
using MathTest::SameRotation;
using MathTest::kQuarter, MathTest::kX, MathTest::kY, MathTest::kZ;

TEST(QuaternionExamples, QuarterTurnsAboutZ) {
  Quaternion quarter = QuatFromAngleAxis(kZ, kQuarter);
  EXPECT_TRUE(SameRotation(QuatMultiply(quarter, quarter), Quaternion{0, 0, 1, 0}, 1e-6f));
  EXPECT_TRUE(Near3(QuatRotateVector(quarter, kX), kY));
  Vector3 axis;
  float angle;
  QuatToAngleAxis(quarter, axis, angle);
  EXPECT_NEAR(angle, kQuarter, 1e-5f);
  EXPECT_TRUE(Near3(axis, kZ));
}

TEST(QuaternionExamples, InverseUndoesTheRotation) {
  Quaternion q = QuatFromAngleAxis(Vector3Normalized(Vector3{1, 2, 3}), 0.8f);
  EXPECT_TRUE(NearQ(QuatMultiply(q, QuatInverse(q)), QuatIdentity()));
  // Not unit: the inverse divides by the squared norm.
  Quaternion twice{q.x * 2, q.y * 2, q.z * 2, q.w * 2};
  EXPECT_TRUE(NearQ(QuatMultiply(twice, QuatInverse(twice)), QuatIdentity()));
}

TEST(QuatFromTwoVectors, FixedAnswersForDegenerateInput) {
  EXPECT_TRUE(NearQ(QuatFromTwoVectors(Vector3{1, 0, 0}, Vector3{-1, 0, 0}), Quaternion{0, 0, -1, 0}, 0));
  EXPECT_TRUE(NearQ(QuatFromTwoVectors(Vector3{0, 0, 0}, kY), QuatIdentity(), 0));
  EXPECT_TRUE(NearQ(QuatFromTwoVectors(kY, Vector3{0, 1e-6f, 0}), QuatIdentity(), 0));
  EXPECT_TRUE(NearQ(QuatFromTwoVectors(Vector3{0, 3, 0}, kY), QuatIdentity(), 0));
  // Opposite along y: the half turn's axis is at right angles to y.
  Quaternion half = QuatFromTwoVectors(kY, Vector3{0, -2, 0});
  EXPECT_EQ(half.w, 0.0f);
  EXPECT_TRUE(Near3(QuatRotateVector(half, kY), Vector3{0, -1, 0}));
}

TEST(QuatFromTwoVectors, TurnsTheFirstDirectionOntoTheSecond) {
  MathTest::cInputs in(3);
  for (int i = 0; i < 500; ++i) {
    Vector3 a = in.Vec3(), b = in.Vec3();
    if (Vector3Length(a) < 0.5f || Vector3Length(b) < 0.5f) continue;
    Quaternion q = QuatFromTwoVectors(a, b);
    EXPECT_NEAR(QuatDot(q, q), 1.0f, 1e-5f);
    EXPECT_TRUE(Near3(QuatRotateVector(q, Vector3Normalized(a)), Vector3Normalized(b), 1e-3f)) << i;
  }
}

// Regression: directions up to about 8 degrees apart were treated as parallel
// and gave the identity, so a bullet or circle centred near the axis did not turn.
TEST(QuatFromTwoVectors, SmallAnglesStillTurn) {
  for (float degrees : {0.5f, 2.0f, 5.0f, 8.0f, 172.0f, 179.0f}) {
    Vector3 b = QuatRotateVector(QuatFromAngleAxis(kX, DegToRad(degrees)), Vector3{0, 0, -1});
    Quaternion q = QuatFromTwoVectors(Vector3{0, 0, -1}, b);
    EXPECT_TRUE(Near3(QuatRotateVector(q, Vector3{0, 0, -1}), b, 1e-4f)) << degrees;
  }
}

// Regression: a short `a` opposite `b` tested its fallback axis on the raw `a`
// and normalised a zero vector (NaN); lengths past 1e19 overflowed the squared
// length and the cross product. The guarded builder stays finite and unit.
TEST(QuatFromTwoVectors, ShortAndLongInputsGiveAUnitTurn) {
  const Vector3 dirs[] = {kY, Vector3Normalized(Vector3{3, 1, -2}), Vector3Normalized(Vector3{-1, 2, 2}), kX, kZ};
  for (float la : {1e-4f, 1.0f, 1e19f, 3e37f})
    for (float lb : {1e-4f, 1.0f, 3e37f})
      for (const Vector3& da : dirs)
        for (const Vector3& db : dirs)
          for (float sign : {1.0f, -1.0f}) {
            Quaternion q = QuatFromTwoVectors(Vector3Scale(da, la), Vector3Scale(db, lb * sign));
            ASSERT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w))
                << la << " " << lb;
            ASSERT_NEAR(QuatDot(q, q), 1.0f, 1e-5f);
            ASSERT_TRUE(Near3(QuatRotateVector(q, da), Vector3Scale(db, sign), 1e-4f)) << la << " " << lb;
          }
}

// Regression: near the identity w rounds to 1, acos gave angle 0 and the axis
// divided by sin 0 (inf, nan, nan).
TEST(QuatToAngleAxis, SmallTurnsKeepTheirAngleAndAxis) {
  const Vector3 axis = Vector3Normalized(Vector3{1, -2, 2});
  for (float turn : {1e-6f, 1e-4f, 3e-3f, 0.5f, 3.0f}) {
    Vector3 gotAxis;
    float gotAngle;
    QuatToAngleAxis(QuatFromAngleAxis(axis, turn), gotAxis, gotAngle);
    EXPECT_NEAR(gotAngle, turn, turn * 1e-4f) << turn;
    EXPECT_TRUE(Near3(gotAxis, axis, 1e-4f)) << turn;
  }
  Vector3 gotAxis;
  float gotAngle;
  QuatToAngleAxis(QuatIdentity(), gotAxis, gotAngle);
  EXPECT_EQ(gotAngle, 0.0f);
  EXPECT_NEAR(Vector3Length(gotAxis), 1.0f, 1e-6f);  // any unit axis turns by 0
}

// "Apart" is the angle between the quaternions as 4-vectors, half the turn
// between the orientations: 4 degrees apart is an 8-degree turn.
TEST(QuatSlerp, SwitchesToNormalisedLerpUnderFiveDegrees) {
  Quaternion q0 = QuatFromAngleAxis(kY, 0.2f);
  Quaternion near = QuatMultiply(QuatFromAngleAxis(kZ, DegToRad(8)), q0);
  ASSERT_NEAR(std::acos(QuatDot(q0, near)), DegToRad(4), 1e-4f);
  EXPECT_TRUE(NearQ(QuatSlerp(q0, near, 0.3f), QuatNLerp(q0, near, 0.3f), 0));

  Quaternion far = QuatMultiply(QuatFromAngleAxis(kZ, DegToRad(12)), q0);
  float angle = std::acos(QuatDot(q0, far));
  float s = std::sin(angle), a = std::sin(0.7f * angle) / s, b = std::sin(0.3f * angle) / s;
  Quaternion spherical{q0.x * a + far.x * b, q0.y * a + far.y * b, q0.z * a + far.z * b, q0.w * a + far.w * b};
  Quaternion got = QuatSlerp(q0, far, 0.3f);
  EXPECT_TRUE(NearQ(got, spherical, 0));
  EXPECT_FALSE(NearQ(got, QuatNLerp(q0, far, 0.3f), 0));  // a different path, not just a different label
  EXPECT_TRUE(SameRotation(got, QuatMultiply(QuatFromAngleAxis(kZ, DegToRad(12) * 0.3f), q0), 1e-5f));
}

TEST(QuatSlerp, EndsAndOppositeSigns) {
  Quaternion q0 = QuatFromAngleAxis(kY, 0.3f);
  Quaternion q1 = QuatFromAngleAxis(kX, 2.0f);
  EXPECT_TRUE(NearQ(QuatSlerp(q0, q1, 0.0f), q0));
  EXPECT_TRUE(NearQ(QuatSlerp(q0, q1, 1.0f), q1));
  Quaternion negated{-q0.x, -q0.y, -q0.z, -q0.w};
  // q0 is flipped to meet q1 the short way, so t = 0 gives -q0.
  Quaternion flippedStart = QuatSlerp(negated, q1, 0.0f);
  EXPECT_TRUE(NearQ(flippedStart, q0));
  for (float t : {0.0f, 0.25f, 0.5f, 1.0f}) EXPECT_TRUE(NearQ(QuatSlerp(q0, negated, t), negated)) << t;
  Quaternion out;
  QuatSlerp(q0, q1, 0.5f, out);
  EXPECT_TRUE(NearQ(out, QuatInterpolate(q0, q1, 0.5f), 0));
}

TEST(QuatLerp, TakesTheShortWayAndNLerpNormalises) {
  Quaternion a{0, 0, 0, 1}, b{0, 0, 0, -1};
  EXPECT_TRUE(NearQ(QuatLerp(a, b, 0.5f), a));
  Quaternion c = QuatFromAngleAxis(kZ, 1.0f);
  EXPECT_NEAR(QuatDot(QuatNLerp(a, c, 0.5f), QuatNLerp(a, c, 0.5f)), 1.0f, 1e-6f);
}

TEST(VectorSlerp, FiveDegreeSwitchAndMidpoints) {
  Vector3 mid = Vector3Slerp(kX, kY, 0.5f);
  EXPECT_TRUE(Near3(mid, Vector3Normalized(Vector3{1, 1, 0})));
  Vector3 slight = Vector3Normalized(Vector3{1, 0.05f, 0});  // under 3 degrees
  EXPECT_TRUE(Near3(Vector3Slerp(kX, slight, 0.5f), Vector3NLerp(kX, slight, 0.5f), 0));
  Vector4 a{1, 0, 0, 0}, b{0, 0, 0, 1};
  EXPECT_TRUE(MathTest::Near4(Vector4Slerp(a, b, 0.5f), Vector4{0.70710677f, 0, 0, 0.70710677f}));
}

// Regression: rounding could put the dot of opposite unit vectors below -1 and
// make acos return NaN.
TEST(VectorSlerp, NearlyOppositeDirectionsGiveNumbers) {
  MathTest::cInputs in(11);
  for (int i = 0; i < 1000; ++i) {
    Vector3 a = in.Unit3();
    Vector3 r = Vector3Slerp(a, Vector3Negate(a), 0.0f);
    ASSERT_FALSE(std::isnan(r.x) || std::isnan(r.y) || std::isnan(r.z)) << i;
  }
}

TEST(VectorDirSlerp, UsesDirectionsForTheAngleAndHandlesCoincidingOnes) {
  Vector4 a{2, 0, 0, 1}, b{0, 3, 0, 1};
  Vector4 out;
  Vector4DirSlerp(out, a, b, 0.5f);
  float s = std::sin(0.78539819f) / std::sin(1.5707964f);
  EXPECT_TRUE(MathTest::Near4(out, Vector4{2 * s, 3 * s, 0, 2 * s}));
  // Coinciding directions take the linear path instead of NaN.
  Vector4 c{0.3f, 0.3f, 0.3f, 0}, d{0.6f, 0.6f, 0.6f, 2};
  EXPECT_TRUE(MathTest::Near4(Vector4DirSlerp(c, d, 0.5f), Vector4{0.45f, 0.45f, 0.45f, 1.0f}));
}

TEST(QuatSlerpNear, LerpsCloseEndsAndSlerpsFarOnes) {
  Quaternion a = QuatIdentity(), b = QuatFromAngleAxis(kZ, 1.2f);
  EXPECT_TRUE(NearQ(QuatSlerpNear(a, b, 0.5f), QuatFromAngleAxis(kZ, 0.6f)));
  Quaternion c = QuatFromAngleAxis(kZ, 0.1f);
  Quaternion out;
  QuatSlerpNear(out, a, c, 0.5f);
  EXPECT_TRUE(NearQ(out, QuatFromAngleAxis(kZ, 0.05f), 1e-4f));
}

TEST(MatrixToQuat, RecoversHalfTurnsAboutEachAxisAndEveryBranch) {
  for (Vector3 axis : {kX, kY, kZ, Vector3Normalized(Vector3{1, 1, 0}), Vector3Normalized(Vector3{0, 1, -1})}) {
    Quaternion half = QuatFromAngleAxis(axis, 3.1415927f);
    EXPECT_TRUE(SameRotation(Matrix3ToQuat(QuatToMatrix3(half)), half));
    EXPECT_TRUE(SameRotation(Matrix4ToQuat(Matrix4FromQuat(half)), half));
  }
}

TEST(QuaternionProperties, MatrixRoundTripAndRotationAgreeOverRandomInputs) {
  MathTest::cInputs in(99);
  for (int i = 0; i < 2000; ++i) {
    Quaternion q = in.UnitQuat();
    Matrix3 m = QuatToMatrix3(q);
    ASSERT_TRUE(SameRotation(Matrix3ToQuat(m), q)) << i;
    Vector3 v = in.Vec3();
    ASSERT_TRUE(Near3(QuatRotateVector(q, v), Vector3MulMatrix3(v, m), 1e-4f)) << i;
    Matrix3 inv;
    ASSERT_NEAR(Matrix3Inverse(m, inv), 1.0f, 1e-4f);
    ASSERT_TRUE(NearM3(Matrix3Multiply(inv, m), Matrix3Identity(), 1e-4f)) << i;
    Quaternion r = in.UnitQuat();
    ASSERT_TRUE(NearM3(QuatToMatrix3(QuatMultiply(q, r)), Matrix3Multiply(QuatToMatrix3(r), m), 1e-4f)) << i;
    // Angle-axis and Euler round trips.
    Vector3 axis;
    float angle;
    QuatToAngleAxis(q, axis, angle);
    ASSERT_TRUE(SameRotation(QuatFromAngleAxis(axis, angle), q)) << i;
    ASSERT_TRUE(NearM3(Matrix3FromEulerAngles(Matrix3ToEulerAngles(m)), m, 1e-3f)) << i;
  }
}

TEST(ScaledTransforms, ScaleThenRotateThenTranslate) {
  Quaternion q = QuatFromAngleAxis(kZ, kQuarter);
  Matrix4 m = Matrix4FromScaleQuatPosition(Vector3{2, 3, 4}, q, Vector3{10, 20, 30});
  // x scaled by 2, turned onto y, moved.
  EXPECT_TRUE(Near3(Vector3TransformPoint(kX, m), Vector3{10, 22, 30}, 1e-5f));
  Matrix4 noMove = Matrix4FromScaleQuat(Vector3{2, 3, 4}, q);
  EXPECT_TRUE(Near3(Vector3TransformPoint(kZ, noMove), Vector3{0, 0, 4}, 1e-5f));
  EXPECT_EQ(noMove.m[12], 0.0f);
}

TEST(Transform, KeepsQuaternionAndMatrixInStep) {
  cTransform t;
  EXPECT_FALSE(t.matrixChanged);
  EXPECT_FALSE(t.quatChanged);
  t.SetIdentity();
  EXPECT_TRUE(t.quatChanged);
  EXPECT_TRUE(MathTest::NearM4(t.GetMatrix(), Matrix4Identity(), 1e-7f));
  EXPECT_FALSE(t.quatChanged);

  MathTest::cInputs in(5);
  for (int i = 0; i < 300; ++i) {
    Quaternion q = in.UnitQuat();
    Vector3 p = in.Vec3();
    t.matrix = QuatToMatrix4(q, p);
    t.matrixChanged = true;
    ASSERT_TRUE(SameRotation(t.GetQuat(), q, 1e-4f)) << i;
    EXPECT_TRUE(MathTest::Near4(t.position, Vector4{p.x, p.y, p.z, 1}, 0));
    t.quatChanged = true;
    ASSERT_TRUE(MathTest::NearM4(t.GetMatrix(), QuatToMatrix4(q, p), 1e-4f)) << i;
  }
  // Regression: near half turns (w about 0) the record divided rounding noise by
  // about 0 and returned an unrelated rotation for axes off the coordinate axes.
  for (Vector3 axis : {kX, kY, kZ, Vector3Normalized(Vector3{1, 0, 1})}) {
    Quaternion half = QuatFromAngleAxis(axis, 3.1415927f);
    t.matrix = Matrix4FromQuat(half);
    t.matrixChanged = true;
    EXPECT_TRUE(SameRotation(t.GetQuat(), half, 1e-4f));
  }
  Vector4 in4[2] = {{1, 0, 0, 1}, {0, 0, 0, 1}};
  Vector4 out4[2];
  t.TransformPoints(in4, out4, 2);
  EXPECT_TRUE(MathTest::Near4(out4[0], Vector4MulMatrix4(in4[0], t.matrix), 0));
  EXPECT_TRUE(MathTest::Near4(out4[1], Vector4{t.matrix.m[12], t.matrix.m[13], t.matrix.m[14], 1}, 0));
}
