// The four-float toolkit beside the GL set-up: what the math library's
// Vector4 functions (math/Vector.h: set, add, scale, cross) do not already offer.
#pragma once

#include <cmath>

#include "math/Vector.h"

namespace Ru::Math {

inline void Vector4AddInPlace(Vector4& a, const Vector4& b) { a = Vector4Add(a, b); }
inline Vector4 Vector4Scale(float s, const Vector4& v) { return Vector4Scale(v, s); }
inline Vector4 Vector4Divide(const Vector4& v, float s) { return Vector4Scale(v, 1.0f / s); }
inline float Vector4Dot3(const Vector4& a, const Vector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// All four components over the length of (x, y, z), times s.
inline Vector4 Vector4NormalizeScale3(const Vector4& v, float s) {
  return Vector4Scale(v, s / std::sqrt(Vector4Dot3(v, v)));
}

}  // namespace Ru::Math
