#include "glf/SqrtTable.h"

#include <cmath>
#include <cstring>

uint32_t gSqrtMantissaTable[65536];

static uint32_t FloatBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

static float BitsFloat(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// The root is rounded to float once, from double, before its mantissa is kept.
static uint32_t RootMantissa(uint32_t argumentBits) {
  return FloatBits((float)std::sqrt((double)BitsFloat(argumentBits))) & 0x7FFFFF;
}

int InitSqrtTables() {
  for (uint32_t i = 0; i < 32768; ++i) {
    gSqrtMantissaTable[i] = RootMantissa((i | 0x400000) << 8);            // 2 <= y < 4
    gSqrtMantissaTable[32768 + i] = RootMantissa((i | 0x3F8000) << 8);    // 1 <= y < 2
  }
  return 32768;
}

float FastSqrt(float x) {
  const uint32_t bits = FloatBits(x);
  if (bits == 0) return 0.0f;
  const uint32_t exponent = (((bits - 0x3F800000u) >> 1) + 0x3F800000u) & 0x7F800000u;
  return BitsFloat(exponent | gSqrtMantissaTable[(bits >> 8) & 0xFFFF]);
}
