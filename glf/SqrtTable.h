// A square root by table lookup: the mantissa of sqrt(x) for the 16 bits made
// of the exponent's lowest bit and the 15 highest mantissa bits of x, so the
// 8 lowest mantissa bits of the argument are ignored (relative error below
// about 2^-16). Built at start-up by LoadGLExtensions.
#pragma once

#include <cstdint>

extern uint32_t gSqrtMantissaTable[65536];

int InitSqrtTables();   // fills the table; returns 32768
float FastSqrt(float x);  // 0 for +0; otherwise defined for positive normal floats only
