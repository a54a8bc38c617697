#include "math/Random.h"

#include "math/Scalar.h"
#include "math/Vector.h"
#include "platform/Sys.h"

namespace Ru::Math {

// 1/32767 as a 32-bit float: the 15-bit generator's full range maps onto 0..1.
static const float kRandomScale = 3.051851e-5f;

float RandomFloat(float lo, float hi) {
  float value = (float)Sys_Random() * kRandomScale * (hi - lo) + lo;
  // The scale rounds a hair above 1/32767, so the top draw could land past hi.
  return (lo <= hi) ? ClampFloat(value, lo, hi) : ClampFloat(value, hi, lo);
}

Vector3 RandomUnitVector() {
  Vector3 v;
  float lengthSquared;
  do {
    float first = (float)Sys_Random() * kRandomScale * 2.0f - 1.0f;
    float second = (float)Sys_Random() * kRandomScale * 2.0f - 1.0f;
    float third = (float)Sys_Random() * kRandomScale * 2.0f - 1.0f;
    v = Vector3{second, first, third};
    lengthSquared = Vector3LengthSquared(v);
    // A zero vector has no direction; draw again rather than return NaNs.
  } while (!(std::sqrt(lengthSquared) <= 1.0f) || lengthSquared == 0.0f);
  return Vector3Normalized(v);
}
void RandomUnitVector(Vector3& out) { out = RandomUnitVector(); }

// ---- the six-word generator ----------------------------------------------------------
static const uint32_t kSeedOffsets[6] = {0xF22D0E56u, 0x883126E9u, 0xC624DD2Fu,
                                         0x0702C49Cu, 0x9E353F7Du, 0x6FDF3B64u};
// The state seed 0 gives, so an unseeded program draws as if seeded with 0.
static uint32_t gState[6] = {0xF22D0E56u, 0x883126E9u, 0xC624DD2Fu, 0x0702C49Cu, 0x9E353F7Du, 0x6FDF3B64u};

void SeedRandom(uint32_t seed) {
  for (int i = 0; i < 6; ++i) gState[i] = seed + kSeedOffsets[i];
}

// A chain of additions with carries from the low words up, then a counter in s5.
// The carry rule is kept exactly as it is, so seeded sequences stay reproducible.
uint32_t RandomNext() {
  uint32_t& s0 = gState[0];
  uint32_t& s1 = gState[1];
  uint32_t& s2 = gState[2];
  uint32_t& s3 = gState[3];
  uint32_t& s4 = gState[4];
  uint32_t& s5 = gState[5];
  uint32_t t4 = s4 + s5;
  uint32_t c = (t4 < s5 || t4 < s4) ? 1u : 0u;
  uint32_t t3 = t4 + s3 + c;
  c = (t3 < s3) ? 1u : 0u;
  uint32_t t2 = t3 + s2 + c;
  c = (t2 < s2) ? 1u : 0u;
  uint32_t t1 = t2 + s1 + c;
  c = (t1 < s1) ? 1u : 0u;
  uint32_t t0 = t1 + s0 + c;
  s4 = t4, s3 = t3, s2 = t2, s1 = t1, s0 = t0;
  s5 = s5 + 1u;
  if (s5 == 0u && ++s4 == 0u && ++s3 == 0u && ++s2 == 0u && ++s1 == 0u) s0 = t0 + 1u;
  return s0;
}

void RandomGetState(uint32_t state[6]) {
  for (int i = 0; i < 6; ++i) state[i] = gState[i];
}
void RandomSetState(const uint32_t state[6]) {
  for (int i = 0; i < 6; ++i) gState[i] = state[i];
}

}  // namespace Ru::Math
