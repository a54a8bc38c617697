// Shared helpers for the math tests: comparisons with readable failure output
// and a seeded source of random unit quaternions and vectors.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "math/Math.h"

namespace MathTest {
using namespace Ru::Math;

inline const float kQuarter = 1.5707964f;  // a quarter turn in radians
inline const Vector3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};

inline ::testing::AssertionResult Near3(const Vector3& a, const Vector3& b, float tol = 1e-5f) {
  if (Vector3NearEqual(a, b, tol)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
                                       << ", " << b.z << ")";
}
inline ::testing::AssertionResult Near4(const Vector4& a, const Vector4& b, float tol = 1e-5f) {
  if (Vector4NearEqual(a, b, tol)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs (" << b.x
                                       << ", " << b.y << ", " << b.z << ", " << b.w << ")";
}
inline ::testing::AssertionResult NearQ(const Quaternion& a, const Quaternion& b, float tol = 1e-5f) {
  if (QuatNearEqual(a, b, tol)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs (" << b.x
                                       << ", " << b.y << ", " << b.z << ", " << b.w << ")";
}
// The same rotation: q or -q.
inline ::testing::AssertionResult SameRotation(const Quaternion& a, const Quaternion& b, float tol = 1e-4f) {
  Quaternion nb{-b.x, -b.y, -b.z, -b.w};
  if (QuatNearEqual(a, b, tol) || QuatNearEqual(a, nb, tol)) return ::testing::AssertionSuccess();
  return NearQ(a, b, tol);
}
inline ::testing::AssertionResult NearM3(const Matrix3& a, const Matrix3& b, float tol = 1e-5f) {
  if (Matrix3NearEqual(a, b, tol)) return ::testing::AssertionSuccess();
  auto f = ::testing::AssertionFailure();
  for (int i = 0; i < 9; ++i) f << a.m[i] << "/" << b.m[i] << " ";
  return f;
}
inline ::testing::AssertionResult NearM4(const Matrix4& a, const Matrix4& b, float tol = 1e-5f) {
  if (Matrix4NearEqual(a, b, tol)) return ::testing::AssertionSuccess();
  auto f = ::testing::AssertionFailure();
  for (int i = 0; i < 16; ++i) f << a.m[i] << "/" << b.m[i] << " ";
  return f;
}

// Test inputs come from a fixed-seed engine so failures reproduce.
class cInputs {
 public:
  explicit cInputs(uint32_t seed = 12345) : mEngine(seed) {}
  float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(mEngine); }
  Vector3 Vec3(float range = 10.0f) { return Vector3{Uniform(-range, range), Uniform(-range, range), Uniform(-range, range)}; }
  Vector4 Vec4(float range = 10.0f) {
    return Vector4{Uniform(-range, range), Uniform(-range, range), Uniform(-range, range), Uniform(-range, range)};
  }
  Vector3 Unit3() {
    for (;;) {
      Vector3 v = Vec3(1.0f);
      float l = Vector3Length(v);
      if (l > 0.1f && l <= 1.0f) return Vector3Scale(v, 1.0f / l);
    }
  }
  Quaternion UnitQuat() {
    for (;;) {
      Vector4 v = Vec4(1.0f);
      float l = Vector4Length(v);
      if (l > 0.1f && l <= 1.0f) return Quaternion{v.x / l, v.y / l, v.z / l, v.w / l};
    }
  }
  Matrix3 Mat3() {
    Matrix3 m;
    for (float& e : m.m) e = Uniform(-3.0f, 3.0f);
    return m;
  }
  Matrix4 Mat4() {
    Matrix4 m;
    for (float& e : m.m) e = Uniform(-3.0f, 3.0f);
    return m;
  }

 private:
  std::mt19937 mEngine;
};

}  // namespace MathTest
