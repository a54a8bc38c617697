// The value types of the math library: plain aggregates of 32-bit floats.
//
// Conventions every caller relies on:
//   - vectors are row vectors multiplied on the left: v' = v * M;
//   - the rows of a rotation matrix are the rotated x, y and z axes;
//   - a 4x4 transform keeps its translation in elements 12, 13, 14 (OpenGL's
//     memory order, so matrices go to glLoadMatrixf/glMultMatrixf unchanged);
//   - A * B applies A first, then B;
//   - quaternions are stored x, y, z, w; a * b rotates by b first, then a;
//   - all angles are radians.
// Save records and data files hold these types as consecutive floats, so their
// size and layout are fixed (checked below).
#pragma once

#include <cstdint>
#include <type_traits>

namespace Ru::Math {

struct Vector2 {
  float x = 0.0f, y = 0.0f;
  float* Ptr() { return &x; }
  const float* Ptr() const { return &x; }
};

struct Vector3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float* Ptr() { return &x; }
  const float* Ptr() const { return &x; }
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }
};

struct Vector4 {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
  float* Ptr() { return &x; }
  const float* Ptr() const { return &x; }
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }
};

// Element (row r, column c) is m[3r + c].
struct Matrix3 {
  float m[9] = {};
  float* Ptr() { return m; }
  const float* Ptr() const { return m; }
  float& operator[](int i) { return m[i]; }
  float operator[](int i) const { return m[i]; }
  float& At(int r, int c) { return m[3 * r + c]; }
  float At(int r, int c) const { return m[3 * r + c]; }
};

// Element (row r, column c) is m[4r + c]; translation in m[12..14].
struct Matrix4 {
  float m[16] = {};
  float* Ptr() { return m; }
  const float* Ptr() const { return m; }
  float& operator[](int i) { return m[i]; }
  float operator[](int i) const { return m[i]; }
  float& At(int r, int c) { return m[4 * r + c]; }
  float At(int r, int c) const { return m[4 * r + c]; }
};

// Defaults to the identity rotation: a zero quaternion rotates nothing sensibly.
struct Quaternion {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
  float* Ptr() { return &x; }
  const float* Ptr() const { return &x; }
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }
};

// A point p lies on the plane when a*p.x + b*p.y + c*p.z + d == 0.
struct Plane {
  float a = 0.0f, b = 0.0f, c = 0.0f, d = 0.0f;
  float* Ptr() { return &a; }
  const float* Ptr() const { return &a; }
};

// Six floats: origin, then direction.
struct Ray {
  Vector3 origin;
  Vector3 direction;
  float* Ptr() { return &origin.x; }
  const float* Ptr() const { return &origin.x; }
};

static_assert(sizeof(Vector2) == 8 && sizeof(Vector3) == 12 && sizeof(Vector4) == 16);
static_assert(sizeof(Matrix3) == 36 && sizeof(Matrix4) == 64 && sizeof(Quaternion) == 16);
static_assert(sizeof(Plane) == 16 && sizeof(Ray) == 24);
static_assert(std::is_standard_layout_v<Vector3> && std::is_trivially_copyable_v<Vector3>);
static_assert(std::is_standard_layout_v<Matrix4> && std::is_trivially_copyable_v<Matrix4>);
static_assert(std::is_standard_layout_v<Quaternion> && std::is_trivially_copyable_v<Quaternion>);
static_assert(std::is_standard_layout_v<Ray> && std::is_trivially_copyable_v<Ray>);

}  // namespace Ru::Math
