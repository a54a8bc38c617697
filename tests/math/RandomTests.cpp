// The six-word generator against its reference values, and the draws on the
// program's 15-bit generator.
#include <gtest/gtest.h>

#include <cstdint>

#include "MathTestHelpers.h"
#include "math/Random.h"
#include "platform/Sys.h"

using namespace Ru::Math;

namespace {
const uint32_t kSeedZeroState[6] = {0xF22D0E56u, 0x883126E9u, 0xC624DD2Fu, 0x0702C49Cu, 0x9E353F7Du, 0x6FDF3B64u};

class SixWordGenerator : public ::testing::Test {
 protected:
  void SetUp() override { RandomGetState(mSaved); }
  void TearDown() override { RandomSetState(mSaved); }
  uint32_t mSaved[6];
};
}  // namespace

TEST_F(SixWordGenerator, SeedZeroGivesTheInitialStateAndTheReferenceSequence) {
  SeedRandom(0);
  uint32_t s[6];
  RandomGetState(s);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s[i], kSeedZeroState[i]) << "word " << i;
  EXPECT_EQ(RandomNext(), 0x559a51edu);
  EXPECT_EQ(RandomNext(), 0x274ea7f5u);
  EXPECT_EQ(RandomNext(), 0xe827f7e0u);
}

TEST_F(SixWordGenerator, SeedOneAddsOneToEveryWord) {
  SeedRandom(1);
  uint32_t s[6];
  RandomGetState(s);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s[i], kSeedZeroState[i] + 1u) << "word " << i;
}

TEST_F(SixWordGenerator, FirstStepCarriesOutOfTheLowWords) {
  SeedRandom(0);
  RandomNext();
  uint32_t s[6];
  RandomGetState(s);
  EXPECT_EQ(s[4], 0x0E147AE1u);  // 0x9E353F7D + 0x6FDF3B64 wraps, carrying 1 upward
  EXPECT_EQ(s[3], 0x0702C49Cu + 0x0E147AE1u + 1u);
  EXPECT_EQ(s[5], 0x6FDF3B65u);
}

TEST_F(SixWordGenerator, CounterWrapIncrementsTheNextWord) {
  uint32_t s[6] = {1, 2, 3, 4, 5, 0xFFFFFFFFu};
  RandomSetState(s);
  RandomNext();
  uint32_t after[6];
  RandomGetState(after);
  uint32_t t4 = 5u + 0xFFFFFFFFu;  // 4, with a carry
  EXPECT_EQ(after[5], 0u);
  EXPECT_EQ(after[4], t4 + 1u);
  EXPECT_EQ(after[3], 4u + t4 + 1u);
}

TEST_F(SixWordGenerator, SeedingNeverTouchesTheProgramGenerator) {
  Sys_SeedRandom(77);
  int expected = Sys_Random();
  Sys_SeedRandom(77);
  SeedRandom(123);
  RandomNext();
  EXPECT_EQ(Sys_Random(), expected);
}

TEST(RandomFloat, StaysWithinItsRangeOverManyDraws) {
  Sys_SeedRandom(1);
  for (int i = 0; i < 100000; ++i) {
    float v = RandomFloat(-3.0f, 7.0f);
    ASSERT_GE(v, -3.0f);
    ASSERT_LE(v, 7.0f);
    float u = RandomFloat(0.0f, 1.0f);
    ASSERT_GE(u, 0.0f);
    ASSERT_LE(u, 1.0f);
  }
}

// Regression: with rounding, the top draw landed past hi, e.g. 0.300003 for (-100, 0.3).
TEST(RandomFloat, TopDrawNeverOvershootsHi) {
  for (uint32_t seed = 0;; ++seed) {
    Sys_SeedRandom(seed);
    if (Sys_Random() != SYS_RAND_MAX) continue;
    Sys_SeedRandom(seed);
    EXPECT_EQ(RandomFloat(-100.0f, 0.3f), 0.3f);
    Sys_SeedRandom(seed);
    EXPECT_EQ(RandomFloat(0.0f, 1.0f), 1.0f);
    break;
  }
}

TEST(RandomFloat, DrawsExactlyOneValueAndHandlesDegenerateRanges) {
  Sys_SeedRandom(5);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(RandomFloat(5.0f, 5.0f), 5.0f);
  Sys_SeedRandom(9);
  RandomFloat(0.0f, 1.0f);
  int next = Sys_Random();
  Sys_SeedRandom(9);
  Sys_Random();
  EXPECT_EQ(Sys_Random(), next);
  // Reversed ranges stay between their ends too.
  for (int i = 0; i < 1000; ++i) {
    float v = RandomFloat(1.0f, -1.0f);
    ASSERT_GE(v, -1.0f);
    ASSERT_LE(v, 1.0f);
  }
}

TEST(RandomFloat, ZeroDrawGivesLo) {
  // Find a seed whose first draw is 0.
  for (uint32_t seed = 0;; ++seed) {
    Sys_SeedRandom(seed);
    if (Sys_Random() != 0) continue;
    Sys_SeedRandom(seed);
    EXPECT_EQ(RandomFloat(0.0f, 1.0f), 0.0f);
    break;
  }
}

TEST(RandomUnitVector, ReturnsUnitVectorsAndSpreadsOverAllOctants) {
  Sys_SeedRandom(3);
  int octants[8] = {};
  for (int i = 0; i < 20000; ++i) {
    Vector3 v = RandomUnitVector();
    ASSERT_NEAR(Vector3Length(v), 1.0f, 1e-5f);
    ++octants[(v.x > 0) | ((v.y > 0) << 1) | ((v.z > 0) << 2)];
  }
  for (int n : octants) EXPECT_GT(n, 2000);
}

TEST(RandomUnitVector, DrawsThreeValuesPerAttemptInSwappedOrder) {
  // Replay the draws by hand: (second, first, third), kept when inside the ball.
  for (uint32_t seed = 1; seed < 200; ++seed) {
    Sys_SeedRandom(seed);
    Vector3 expected;
    for (;;) {
      float a = Sys_Random() * 3.051851e-5f * 2.0f - 1.0f;
      float b = Sys_Random() * 3.051851e-5f * 2.0f - 1.0f;
      float c = Sys_Random() * 3.051851e-5f * 2.0f - 1.0f;
      Vector3 v{b, a, c};
      if (Vector3Length(v) <= 1.0f) {
        expected = Vector3Normalized(v);
        break;
      }
    }
    int after = Sys_Random();
    Sys_SeedRandom(seed);
    Vector3 got;
    RandomUnitVector(got);
    EXPECT_TRUE(MathTest::Near3(got, expected, 0.0f)) << "seed " << seed;
    EXPECT_EQ(Sys_Random(), after) << "seed " << seed;
  }
}
