// Gradient noise and its fractal sums: lattice zeros, octave arithmetic,
// bounds, and the guards on settings the sums read.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/Noise.h"
#include "platform/Sys.h"

using namespace Ru::Math;

TEST(NoiseScalars, ToolkitValues) {
  EXPECT_EQ(NoiseClamp(0, 1, 2), 1.0f);
  EXPECT_EQ(NoiseClamp(0, 1, -1), 0.0f);
  EXPECT_EQ(NoiseSignedSquare(-3), -9.0f);
  EXPECT_EQ(NoiseSignedSqrt(-9), -3.0f);
  EXPECT_EQ(NoiseFloor(-0.5f), -1);
  EXPECT_EQ(NoiseCubic(0.5f), 0.5f);
  EXPECT_EQ(NoiseCubic(1.0f), 1.0f);
  float v[3] = {3, 0, 4};
  NoiseNormalize(v, 3);
  EXPECT_FLOAT_EQ(v[2], 0.8f);
  // Far-off coordinates saturate instead of overflowing the conversion.
  EXPECT_EQ(NoiseFloor(1e20f), std::numeric_limits<int>::max());
  EXPECT_EQ(NoiseFloor(-1e20f), std::numeric_limits<int>::min());
}

TEST(NoiseScalars, RandomHelpersStayInRange) {
  Sys_SeedRandom(4);
  for (int i = 0; i < 20000; ++i) {
    ASSERT_EQ(NoiseRandomInt(3, 3), 3);
    int k = NoiseRandomInt(-2, 5);
    ASSERT_GE(k, -2);
    ASSERT_LE(k, 5);
    float f = NoiseRandom(2.0f, 3.0f);
    ASSERT_GE(f, 2.0f);
    ASSERT_LE(f, 3.0f);
    float u = NoiseRandom();
    ASSERT_GE(u, 0.0f);
    ASSERT_LE(u, 1.0f);
  }
}

TEST(Noise, ZeroAtLatticePointsAndBoundedEverywhere) {
  for (int dims = 1; dims <= 4; ++dims) {
    cNoise noise(dims, 42);
    float lattice[4] = {3, -2, 7, 0};
    EXPECT_EQ(noise.Noise(lattice), 0.0f) << dims;
    bool varied = false;
    for (int i = 0; i < 2000; ++i) {
      float p[4] = {i * 0.173f, i * -0.291f, i * 0.057f, i * 0.311f};
      float n = noise.Noise(p);
      ASSERT_LE(std::fabs(n), 0.99999f);
      varied |= std::fabs(n) > 0.1f;
    }
    EXPECT_TRUE(varied) << dims;
  }
}

TEST(Noise, SameSeedSameNoiseAndBuildingLeavesTheGameSequenceAlone) {
  Sys_SeedRandom(100);
  int expected = Sys_Random();
  Sys_SeedRandom(100);
  cNoise a(3, 9), b(3, 9), c(3, 10);
  EXPECT_EQ(Sys_Random(), expected);
  float p[3] = {1.3f, 2.7f, -0.4f};
  EXPECT_EQ(a.Noise(p), b.Noise(p));
  EXPECT_NE(a.Noise(p), c.Noise(p));
}

// Regression: zero or negative dimension counts normalised empty gradients (NaN)
// and larger ones ran past the four-wide gradient rows.
TEST(Noise, DimensionCountIsKeptBetweenOneAndFour) {
  EXPECT_EQ(cNoise(0, 1).Dimensions(), 1);
  EXPECT_EQ(cNoise(-5, 1).Dimensions(), 1);
  EXPECT_EQ(cNoise(9, 1).Dimensions(), 4);
  float p[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  EXPECT_FALSE(std::isnan(cNoise(0, 1).Noise(p)));
}

TEST(Fractal, OctaveArithmetic) {
  cFractal f(2, 7);
  float p[2] = {0.37f, 1.91f};
  EXPECT_EQ(f.FBm(p, 0.0f), 0.0f);
  // 2.5 octaves: two whole octaves plus half of the third.
  float q[2] = {p[0] * 4.0f, p[1] * 4.0f};  // coordinates after two lacunarity steps
  float two = f.FBm(p, 2.0f);
  EXPECT_NEAR(f.FBm(p, 2.5f), two + f.Noise(q) * f.Exponent(2) * 0.5f, 1e-6f);
  float one = f.FBm(p, 1.0f);
  EXPECT_NEAR(one, f.Noise(p), 1e-7f);
  EXPECT_GE(f.Turbulence(p, 3.0f), 0.0f);
}

// Regression: lacunarity and octave weights were never given values, and large
// octave counts read past the weight table.
TEST(Fractal, DefaultsAndOctaveCountsBeyondTheTable) {
  cFractal f(3, 11);
  EXPECT_EQ(f.Lacunarity(), 2.0f);
  EXPECT_EQ(f.Exponent(0), 1.0f);
  EXPECT_EQ(f.Exponent(3), 0.125f);
  float p[3] = {0.2f, 0.9f, 1.7f};
  float huge = f.FBm(p, 1e9f);
  EXPECT_EQ(huge, f.FBm(p, (float)(cFractal::kMaxOctaves - 1)));
  EXPECT_EQ(f.FBm(p, std::numeric_limits<float>::quiet_NaN()), 0.0f);
  EXPECT_EQ(f.FBm(p, -4.0f), 0.0f);
  f.SetParameters(3.0f, 0.5f);
  EXPECT_NEAR(f.Exponent(2), 1.0f / 3.0f, 1e-6f);
}

TEST(Fractal, EverySumGivesBoundedNumbers) {
  cFractal f(3, 5);
  for (int i = 0; i < 300; ++i) {
    float p[3] = {i * 0.13f, i * 0.07f - 3.0f, i * 0.021f};
    float clamped[] = {f.FBm(p, 6.5f), f.Turbulence(p, 6.5f), f.Multifractal(p, 5.3f, 0.8f),
                       f.ProductSum(p, 6.5f, 0.3f), f.HybridSum(p, 6.5f, 0.7f, 1.2f)};
    for (float v : clamped) ASSERT_LE(std::fabs(v), 0.99999f) << i;
    float folded[] = {f.FoldedPowerSum(p, 8.0f, 0.2f), f.SignedSquareFoldedSum(p)};
    for (float v : folded) ASSERT_LE(std::fabs(v), 1.0f) << i;
    ASSERT_FALSE(std::isnan(f.ErodedSum(p, 0.5f, 0.2f))) << i;
    ASSERT_FALSE(std::isnan(f.RidgedCompositeSum(p, 1.5f, 0.3f))) << i;
  }
}

// Regression: folding a large sum by repeated reflection never ended once
// 2 - v rounded back to -v.
TEST(Fractal, FoldingLargeSumsTerminates) {
  cFractal f(2, 3);
  float p[2] = {0.3f, 0.6f};
  for (float offset : {1e3f, 1e9f, 3e30f, -1e9f}) {
    float v = f.FoldedPowerSum(p, 4.0f, offset);
    EXPECT_LE(std::fabs(v), 1.0f) << offset;
    EXPECT_FALSE(std::isnan(f.RidgedCompositeSum(p, 1.0f, offset))) << offset;
  }
  // Small excursions fold by plain reflection: 1.5 -> 0.5 whichever path runs.
  cFractal g(1, 1);
  float z[1] = {0.0f};  // noise 0 at a lattice point, so the sum is exactly the offsets
  float sum = 0.0f + 1.5f;
  for (int i = 1; i < 2; ++i) sum += (0.0f + 1.5f) * g.Exponent(i);
  float folded = sum > 1.0f ? 2.0f - sum : sum;  // 2.25 -> -0.25
  EXPECT_NEAR(g.FoldedPowerSum(z, 2.0f, 1.5f), -std::pow(-folded, 0.7f), 1e-6f);
}

TEST(TableNoise, BlendsTheTableAndClampsOutsideIndices) {
  std::vector<float> table(64 * 4, 0.0f);
  table[1 * 64 + 2] = 0.5f;
  cTableNoise2D noise(table);
  EXPECT_EQ(noise.Value(2.0f, 1.0f), 0.5f);
  EXPECT_EQ(noise.Value(2.5f, 1.0f), 0.25f);
  // Regression: indices outside the table read past its end.
  EXPECT_EQ(noise.Value(500.0f, -30.0f), 0.0f);
  EXPECT_EQ(noise.Value(63.5f, 3.5f), 0.0f);
  EXPECT_EQ(cTableNoise2D({}).Value(1, 1), 0.0f);
}
