// Scalar helpers on 32-bit floats, shared by every subsystem.
#pragma once

#include <climits>
#include <cmath>

#include "math/Types.h"

namespace Ru::Math {

inline float FloatAbs(float x) { return std::fabs(x); }
inline float FloatSqrt(float x) { return std::sqrt(x); }
inline float FloatInvSqrt(float x) { return 1.0f / std::sqrt(x); }
inline float FloatSin(float x) { return std::sin(x); }
inline float FloatCos(float x) { return std::cos(x); }
inline float FloatTan(float x) { return std::tan(x); }
// No clamping: callers that may stray past +-1 clamp themselves.
inline float FloatAcos(float x) { return std::acos(x); }
inline float FloatAsin(float x) { return std::asin(x); }
inline float FloatAtan2(float y, float x) { return std::atan2(y, x); }
inline float DegToRad(float degrees) { return degrees * 0.017453292f; }
inline float RadToDeg(float radians) { return radians * 57.295776f; }
inline void SinCos(float angle, float& sine, float& cosine) {
  sine = std::sin(angle);
  cosine = std::cos(angle);
}

// The second argument wins ties and unordered (NaN) comparisons.
inline float MinFloat(float a, float b) { return (a < b) ? a : b; }
inline float MaxFloat(float a, float b) { return (b < a) ? a : b; }
inline float ClampFloat(float value, float lo, float hi) { return MaxFloat(lo, MinFloat(value, hi)); }
inline bool IsValidFloat(float f) { return std::isfinite(f); }
inline bool IsValidVector3(const Vector3& v) { return IsValidFloat(v.x) && IsValidFloat(v.y) && IsValidFloat(v.z); }
// Truncates toward zero like a cast, but a value beyond int's range stops at
// its end and NaN gives 0: converting those with a cast is undefined.
inline int SaturatedInt(double value) {
  if (!(value == value)) return 0;
  if (value >= (double)INT_MAX) return INT_MAX;
  if (value <= (double)INT_MIN) return INT_MIN;
  return (int)value;
}

}  // namespace Ru::Math

// Game code calls these without qualification.
using Ru::Math::ClampFloat;
using Ru::Math::IsValidFloat;
using Ru::Math::IsValidVector3;
using Ru::Math::MaxFloat;
using Ru::Math::MinFloat;
using Ru::Math::SaturatedInt;
