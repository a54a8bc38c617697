// Hot paths of the math library beside plain reference versions in the same run:
// the scene multiplies a matrix per object per frame, and cameras and units
// slerp orientations every update.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "math/Math.h"

using namespace Ru::Math;

namespace {
std::vector<Matrix4> MakeMatrices(int n) {
  std::vector<Matrix4> out;
  for (int i = 0; i < n; ++i)
    out.push_back(QuatToMatrix4(QuatFromAngleAxis(Vector3Normalized(Vector3{1.0f + i, 2.0f, 3.0f - i}), 0.01f * i),
                                Vector3{(float)i, 1.0f, 2.0f}));
  return out;
}

std::vector<Quaternion> MakeQuats(int n) {
  std::vector<Quaternion> out;
  for (int i = 0; i < n; ++i)
    out.push_back(QuatFromAngleAxis(Vector3Normalized(Vector3{1.0f, 0.5f * i, 2.0f}), 0.37f * i));
  return out;
}

// Reference: the textbook triple loop over (row, column, k).
Matrix4 NaiveMultiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int row = 0; row < 4; ++row)
    for (int c = 0; c < 4; ++c) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.At(row, k) * b.At(k, c);
      r.At(row, c) = sum;
    }
  return r;
}

// Reference: always spherical, in double precision, no 5-degree switch.
Quaternion NaiveSlerp(const Quaternion& q0, const Quaternion& q1, float t) {
  double d = (double)q0.x * q1.x + (double)q0.y * q1.y + (double)q0.z * q1.z + (double)q0.w * q1.w;
  double sign = d < 0 ? -1.0 : 1.0;
  d = std::fabs(d);
  if (d > 1.0) d = 1.0;
  double angle = std::acos(d), s = std::sin(angle);
  double a = s > 1e-9 ? std::sin((1 - t) * angle) / s : 1 - t;
  double b = s > 1e-9 ? std::sin(t * angle) / s : t;
  return Quaternion{(float)(sign * a * q0.x + b * q1.x), (float)(sign * a * q0.y + b * q1.y),
                    (float)(sign * a * q0.z + b * q1.z), (float)(sign * a * q0.w + b * q1.w)};
}
}  // namespace

static void BM_Matrix4Multiply(benchmark::State& state) {
  std::vector<Matrix4> m = MakeMatrices(256);
  size_t i = 0;
  for (auto _ : state) {
    Matrix4 r = Matrix4Multiply(m[i & 255], m[(i + 1) & 255]);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_Matrix4Multiply);

static void BM_Matrix4MultiplyNaiveReference(benchmark::State& state) {
  std::vector<Matrix4> m = MakeMatrices(256);
  size_t i = 0;
  for (auto _ : state) {
    Matrix4 r = NaiveMultiply(m[i & 255], m[(i + 1) & 255]);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_Matrix4MultiplyNaiveReference);

static void BM_QuatSlerp(benchmark::State& state) {
  std::vector<Quaternion> q = MakeQuats(256);
  size_t i = 0;
  for (auto _ : state) {
    Quaternion r = QuatSlerp(q[i & 255], q[(i + 7) & 255], 0.035f);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_QuatSlerp);

static void BM_QuatSlerpNaiveReference(benchmark::State& state) {
  std::vector<Quaternion> q = MakeQuats(256);
  size_t i = 0;
  for (auto _ : state) {
    Quaternion r = NaiveSlerp(q[i & 255], q[(i + 7) & 255], 0.035f);
    benchmark::DoNotOptimize(r);
    ++i;
  }
}
BENCHMARK(BM_QuatSlerpNaiveReference);

static void BM_QuatRotateVector(benchmark::State& state) {
  std::vector<Quaternion> q = MakeQuats(256);
  Vector3 v{1, 2, 3};
  size_t i = 0;
  for (auto _ : state) {
    v = QuatRotateVector(q[i & 255], v);
    benchmark::DoNotOptimize(v);
    ++i;
  }
}
BENCHMARK(BM_QuatRotateVector);

// Reference: q v q* with two Hamilton products.
static void BM_QuatRotateVectorProductReference(benchmark::State& state) {
  std::vector<Quaternion> q = MakeQuats(256);
  Vector3 v{1, 2, 3};
  size_t i = 0;
  for (auto _ : state) {
    const Quaternion& r = q[i & 255];
    Quaternion p = QuatMultiply(QuatMultiply(r, Quaternion{v.x, v.y, v.z, 0}), Quaternion{-r.x, -r.y, -r.z, r.w});
    v = Vector3{p.x, p.y, p.z};
    benchmark::DoNotOptimize(v);
    ++i;
  }
}
BENCHMARK(BM_QuatRotateVectorProductReference);
