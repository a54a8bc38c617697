// Scalar helpers and the vector operations with edge cases of their own.
#include <limits>

#include "MathTestHelpers.h"

using namespace Ru::Math;
using MathTest::Near3;

TEST(ScalarHelpers, MinMaxClampTiesAndNaN) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(MinFloat(1, 2), 1.0f);
  EXPECT_EQ(MaxFloat(1, 2), 2.0f);
  // Unordered comparisons give the second argument.
  EXPECT_TRUE(std::isnan(MinFloat(1, nan)));
  EXPECT_EQ(MinFloat(nan, 1), 1.0f);
  EXPECT_EQ(MaxFloat(nan, 1), 1.0f);
  EXPECT_TRUE(std::isnan(MaxFloat(1, nan)));
  // Ties return b: visible with signed zeros.
  EXPECT_TRUE(std::signbit(MinFloat(0.0f, -0.0f)));
  EXPECT_TRUE(std::signbit(MaxFloat(0.0f, -0.0f)));
  EXPECT_EQ(ClampFloat(5, 0, 1), 1.0f);
  EXPECT_EQ(ClampFloat(-5, 0, 1), 0.0f);
  EXPECT_EQ(ClampFloat(0.5f, 0, 1), 0.5f);
  EXPECT_EQ(::ClampFloat(nan, 0, 1), 1.0f);  // also reachable without the namespace
}

TEST(ScalarHelpers, ValidityChecks) {
  EXPECT_TRUE(IsValidFloat(1e30f));
  EXPECT_FALSE(IsValidFloat(std::numeric_limits<float>::infinity()));
  EXPECT_FALSE(IsValidFloat(std::numeric_limits<float>::quiet_NaN()));
  EXPECT_TRUE(::IsValidVector3(Vector3{1, 2, 3}));
  EXPECT_FALSE(IsValidVector3(Vector3{1, -std::numeric_limits<float>::infinity(), 3}));
}

TEST(ScalarHelpers, AngleConversionsAndTrig) {
  EXPECT_FLOAT_EQ(DegToRad(180.0f), 3.1415927f);
  EXPECT_FLOAT_EQ(RadToDeg(3.1415927f), 180.0f);
  float s, c;
  SinCos(0.5f, s, c);
  EXPECT_EQ(s, std::sin(0.5f));
  EXPECT_EQ(c, std::cos(0.5f));
  EXPECT_FLOAT_EQ(FloatInvSqrt(4.0f), 0.5f);
  EXPECT_FLOAT_EQ(FloatAtan2(1.0f, 0.0f), 1.5707964f);
}

TEST(VectorNormalize, SafeFormRejectsShortVectors) {
  Vector3 out{7, 7, 7};
  EXPECT_EQ(Vector3NormalizeSafe(Vector3{0.001f, 0, 0}, out), 0.0f);
  EXPECT_TRUE(Near3(out, Vector3{7, 7, 7}, 0));
  EXPECT_FLOAT_EQ(Vector3NormalizeSafe(Vector3{3, 4, 0}, out), 5.0f);
  EXPECT_TRUE(Near3(out, Vector3{0.6f, 0.8f, 0}, 1e-6f));
  Vector4 out4{7, 7, 7, 7};
  EXPECT_EQ(Vector4NormalizeSafe(Vector4{0, 0, 0, 0.003f}, out4), 0.0f);
  EXPECT_EQ(out4.w, 7.0f);
  EXPECT_FLOAT_EQ(Vector4NormalizeSafe(Vector4{0, 0, 3, 4}, out4), 5.0f);
  EXPECT_FLOAT_EQ(out4.w, 0.8f);
  // The unguarded forms give NaN for zero, as documented.
  EXPECT_TRUE(std::isnan(Vector3Normalized(Vector3{}).x));
}

TEST(VectorArithmetic, BasicOperationsAndComparisons) {
  Vector3 a{1, 2, 3}, b{4, 5, 6};
  EXPECT_TRUE(Near3(Vector3Add(a, b), Vector3{5, 7, 9}, 0));
  EXPECT_TRUE(Near3(Vector3Sub(a, b), Vector3{-3, -3, -3}, 0));
  EXPECT_TRUE(Near3(FloatTimesVector3(2, a), Vector3Scale(a, 2), 0));
  EXPECT_TRUE(Near3(Vector3DivScalar(b, 2), Vector3{2, 2.5f, 3}, 0));
  EXPECT_EQ(Vector3Dot(a, b), 32.0f);
  EXPECT_TRUE(Near3(CrossProduct(Vector3{1, 0, 0}, Vector3{0, 1, 0}), Vector3{0, 0, 1}, 0));
  EXPECT_EQ(Vector3LengthSquared(a), 14.0f);
  EXPECT_FLOAT_EQ(Vector3InvLength(Vector3{0, 3, 4}), 0.2f);
  EXPECT_TRUE(Near3(Vector3Lerp(a, b, 0.5f), Vector3{2.5f, 3.5f, 4.5f}, 0));
  EXPECT_TRUE(Vector3Equal(a, Vector3Copy(a)));
  EXPECT_TRUE(Vector3NotEqual(a, b));
  EXPECT_EQ(Vector3At(b, 1), 5.0f);
  EXPECT_TRUE(Vector3NearEqual(Vector3{0, 0, 0}, Vector3{0.5f, -0.5f, 0}, 0.5f));
  EXPECT_FALSE(Vector3NearEqual(Vector3{0, 0, 0}, Vector3{0.50001f, 0, 0}, 0.5f));
  Vector4 c{1, 2, 3, 4};
  EXPECT_EQ(Vector4Dot(c, c), 30.0f);
  EXPECT_EQ(Vector4Cross(Vector4{1, 0, 0, 5}, Vector4{0, 1, 0, 5}).w, 0.0f);
  Vector2 d{3, 4};
  EXPECT_EQ(Vector2Length(d), 5.0f);
  Vector2DivInPlace(d, 2.0f);
  EXPECT_EQ(d.x, 1.5f);
}
