#include "math/Noise.h"

#include <climits>
#include <cmath>

#include "platform/Sys.h"

namespace Ru::Math {

static const float kNoiseLimit = 0.99999f;
static const float kFractionEpsilon = 0.000001f;

// ---- scalar toolkit ---------------------------------------------------------------
float NoiseAbs(float x) { return x < 0.0f ? -x : x; }
float NoiseSquare(float x) { return x * x; }
float NoiseSignedSquare(float x) { return x < 0.0f ? -(x * x) : x * x; }
float NoiseSignedSqrt(float x) { return x >= 0.0f ? std::sqrt(x) : -std::sqrt(-x); }
int NoiseFloor(float x) {
  // Far-off or NaN coordinates would overflow the integer conversion.
  double f = std::floor((double)x);
  if (!(f >= (double)INT_MIN)) return x > 0.0f ? INT_MAX : INT_MIN;
  if (f > (double)INT_MAX) return INT_MAX;
  return (int)f;
}
float NoiseClamp(float low, float high, float x) { return x < low ? low : (x > high ? high : x); }
float NoiseLerp(float a, float b, float t) { return a + (b - a) * t; }
float NoiseCubic(float t) { return (3.0f - 2.0f * t) * t * t; }
void NoiseNormalize(float* values, int n) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) sum += values[i] * values[i];
  float inv = 1.0f / std::sqrt(sum);
  for (int i = 0; i < n; ++i) values[i] *= inv;
}
void NoiseSeed(uint32_t seed) { Sys_SeedRandom(seed); }
float NoiseRandom() { return (float)Sys_Random() * 3.0518509476e-5f; }
float NoiseRandom(float a, float b) {
  float span = b - a;
  float scaled = (float)Sys_Random() * span / 32767.0f;
  return a + (scaled < span ? scaled : span);
}
int NoiseRandomInt(int a, int b) {
  int64_t span = (int64_t)b - (int64_t)a;
  int64_t k = (int64_t)((double)Sys_Random() * (double)(span + 1) / 32767.0);
  return k < span ? (int)(a + k) : b;
}

// ---- cNoise -------------------------------------------------------------------------
void cNoise::Initialise(int dimensions, uint32_t seed) {
  // At least one dimension: none would leave zero gradients to normalise.
  mDimensions = dimensions < 1 ? 1 : (dimensions > kMaxDimensions ? kMaxDimensions : dimensions);
  // The game's generator on a private state, so building noise leaves the game's sequence alone.
  uint32_t random = seed;
  for (int i = 0; i < 256; ++i) {
    mPermutation[i] = (uint8_t)i;
    for (int d = 0; d < kMaxDimensions; ++d) mGradients[i][d] = 0.0f;
    for (int d = 0; d < mDimensions; ++d) {
      float r = (float)Sys_RandomFrom(random) / 32767.0f;
      mGradients[i][d] = (r < 1.0f ? r : 1.0f) - 0.5f;
    }
    NoiseNormalize(mGradients[i], mDimensions);
  }
  for (int j = 255; j >= 1; --j) {
    int k = (int)((float)Sys_RandomFrom(random) * 256.0f / 32767.0f);
    if (k > 255) k = 255;
    uint8_t t = mPermutation[j];
    mPermutation[j] = mPermutation[k];
    mPermutation[k] = t;
  }
}

float cNoise::Lattice(int i1, float f1, int i2, float f2, int i3, float f3, int i4, float f4) const {
  const int cells[4] = {i1, i2, i3, i4};
  const float offsets[4] = {f1, f2, f3, f4};
  unsigned h = 0;
  for (int d = 0; d < mDimensions; ++d) h = mPermutation[((unsigned)cells[d] + h) & 255u];
  float dot = 0.0f;
  for (int d = 0; d < mDimensions; ++d) dot += mGradients[h][d] * offsets[d];
  return dot;
}

float cNoise::Noise(const float* point) const {
  int cell[4] = {0, 0, 0, 0};
  float offset[4] = {0, 0, 0, 0};
  float weight[4] = {0, 0, 0, 0};
  for (int d = 0; d < mDimensions; ++d) {
    cell[d] = NoiseFloor(point[d]);
    offset[d] = point[d] - (float)cell[d];
    weight[d] = NoiseCubic(offset[d]);
  }
  // Corner c takes cell + 1 (offset - 1) in dimension d when bit d of c is set.
  const int corners = 1 << mDimensions;
  float values[16];
  for (int c = 0; c < corners; ++c) {
    int i[4] = {0, 0, 0, 0};
    float f[4] = {0, 0, 0, 0};
    for (int d = 0; d < mDimensions; ++d) {
      bool upper = (c >> d) & 1;
      i[d] = upper ? (int)((unsigned)cell[d] + 1u) : cell[d];
      f[d] = upper ? offset[d] - 1.0f : offset[d];
    }
    values[c] = Lattice(i[0], f[0], i[1], f[1], i[2], f[2], i[3], f[3]);
  }
  // Blend pairs along dimension 1 first, then 2, 3 and 4.
  int count = corners;
  for (int d = 0; d < mDimensions; ++d) {
    count /= 2;
    for (int k = 0; k < count; ++k) values[k] = NoiseLerp(values[2 * k], values[2 * k + 1], weight[d]);
  }
  return NoiseClamp(-kNoiseLimit, kNoiseLimit, values[0] * 2.0f);
}

// ---- cFractal -------------------------------------------------------------------------
cFractal::cFractal() { SetParameters(2.0f, 1.0f); }

void cFractal::SetParameters(float lacunarity, float roughness) {
  mLacunarity = lacunarity;
  for (int i = 0; i < kMaxOctaves; ++i) mExponents[i] = std::pow(lacunarity, -(float)i * roughness);
}

void cFractal::Start(const float* point, float scale, float p[4]) const {
  for (int d = 0; d < kMaxDimensions; ++d) p[d] = (d < mDimensions) ? point[d] * scale : 0.0f;
}

void cFractal::Advance(float* p) const {
  for (int d = 0; d < mDimensions; ++d) p[d] *= mLacunarity;
}

float cFractal::OffsetSum(float* p, int count, float offset) const {
  float value = Noise(p) + offset;
  for (int i = 1; i < count; ++i) {
    Advance(p);
    value += (Noise(p) + offset) * mExponents[i];
  }
  return value;
}

namespace {
// Whole octaves and the fractional rest, kept inside the weight table.
struct cOctaves {
  int whole;
  float fraction;
  explicit cOctaves(float octaves) {
    float limit = (float)(cFractal::kMaxOctaves - 1);
    float o = (octaves > 0.0f) ? (octaves < limit ? octaves : limit) : 0.0f;  // NaN -> 0
    whole = (int)o;
    fraction = o - (float)whole;
  }
};

// Reflects a value into -1..1 at the walls +-1. Far-off values take the same
// answer by the period of 4, which avoids an endless loop once 2 - v rounds to -v.
float Fold(float v) {
  if (std::fabs(v) > 64.0f) {
    float u = std::fmod(v + 1.0f, 4.0f);
    if (u < 0.0f) u += 4.0f;
    return u <= 2.0f ? u - 1.0f : 3.0f - u;
  }
  while (std::fabs(v) > 1.0f) v = (v > 1.0f) ? 2.0f - v : -2.0f - v;
  return v;
}
}  // namespace

float cFractal::WeightedSum(const float* point, float octaves, bool absolute) const {
  float p[4];
  Start(point, 1.0f, p);
  auto sample = [&] { return absolute ? NoiseAbs(Noise(p)) : Noise(p); };
  cOctaves o(octaves);
  float sum = 0.0f;
  int i = 0;
  for (; i < o.whole; ++i) {
    sum += sample() * mExponents[i];
    Advance(p);
  }
  if (o.fraction > kFractionEpsilon) sum += sample() * mExponents[i] * o.fraction;
  return NoiseClamp(-kNoiseLimit, kNoiseLimit, sum);
}

float cFractal::FBm(const float* point, float octaves) const { return WeightedSum(point, octaves, false); }
float cFractal::Turbulence(const float* point, float octaves) const { return WeightedSum(point, octaves, true); }

float cFractal::Multifractal(const float* point, float octaves, float offset) const {
  float p[4];
  Start(point, 1.0f, p);
  cOctaves o(octaves);
  float value = 1.0f;
  int i = 0;
  for (; i < o.whole; ++i) {
    value *= Noise(p) * mExponents[i] + offset;
    Advance(p);
  }
  if (o.fraction > kFractionEpsilon) value *= (Noise(p) * mExponents[i] + offset) * o.fraction;
  return NoiseClamp(-kNoiseLimit, kNoiseLimit, value);
}

// Maps a folded value: a power curve below zero, a noise-driven one above.
static float FoldedResult(const cNoise& noise, const float* p, float value) {
  float v = Fold(value);
  if (v <= 0.0f) return -std::pow(-v, 0.7f);
  return std::pow(v, noise.Noise(p) * v + 1.0f);
}

float cFractal::FoldedPowerSum(const float* point, float octaves, float offset) const {
  float p[4];
  Start(point, 2.0f, p);
  float value = OffsetSum(p, cOctaves(octaves).whole, offset);
  return FoldedResult(*this, p, value);
}

float cFractal::SignedSquareFoldedSum(const float* point) const {
  float p[4];
  Start(point, 2.0f, p);
  float n = Noise(p);
  float value = n * NoiseAbs(n);
  for (int i = 1; i <= 11; ++i) {
    Advance(p);
    value += Noise(p) * mExponents[i];
  }
  return FoldedResult(*this, p, value);
}

float cFractal::ProductSum(const float* point, float octaves, float offset) const {
  float p[4];
  Start(point, 1.0f, p);
  cOctaves o(octaves);
  float value = Noise(p) + offset;
  Advance(p);
  int i = 1;
  for (; i < o.whole; ++i) {
    value *= (Noise(p) + offset) * mExponents[i] + 1.0f;
    Advance(p);
  }
  if (o.fraction > kFractionEpsilon) value *= (Noise(p) + offset) * mExponents[i] * o.fraction + 1.0f;
  return NoiseClamp(-kNoiseLimit, kNoiseLimit, value);
}

float cFractal::HybridSum(const float* point, float octaves, float offset, float gain) const {
  float p[4];
  Start(point, 1.0f, p);
  cOctaves o(octaves);
  float result = (Noise(p) + offset) * mExponents[0];
  float weight = result;
  Advance(p);
  int i = 1;
  for (; i < o.whole; ++i) {
    if (weight > 1.0f) weight = 1.0f;
    float signal = (Noise(p) + offset) * mExponents[i] * weight;
    result += signal;
    weight = signal * gain;
    Advance(p);
  }
  if (o.fraction > kFractionEpsilon) {
    if (weight > 1.0f) weight = 1.0f;
    result += (Noise(p) + offset) * mExponents[i] * weight * o.fraction;
  }
  return NoiseClamp(-kNoiseLimit, kNoiseLimit, result);
}

float cFractal::ErodedSum(const float* point, float k, float offset) const {
  float p[4];
  Start(point, 2.0f, p);
  float v = Fold(OffsetSum(p, 6, offset));  // octaves 0 to 5
  if (v < 0.0f) return v;
  float s = NoiseAbs(Noise(p)) * mExponents[6] * k;
  for (int j = 7; j <= 9; ++j) {
    Advance(p);
    s += NoiseAbs(Noise(p)) * mExponents[j] * k;
  }
  return v - std::sqrt(v) * (1.0f - (1.0f - s) * (1.0f - s));
}

float cFractal::RidgedCompositeSum(const float* point, float gain, float offset) const {
  float p[4];
  Start(point, 2.0f, p);
  float v = Fold(OffsetSum(p, 6, offset) * 0.7f);  // octaves 0 to 5
  float w = v * gain;
  float r = 1.0f - NoiseAbs(Noise(p));
  float signal = r * r;
  float sum = signal * mExponents[6];
  for (int j = 7; j <= 12; ++j) {
    Advance(p);
    float weight = NoiseClamp(0.0f, 1.0f, signal * w);
    r = 1.0f - NoiseAbs(Noise(p));
    signal = r * r * r * r * weight;
    sum += (signal - 0.5f) * mExponents[j];
  }
  return v + std::sqrt(NoiseAbs(v)) * sum;
}

// ---- cTableNoise2D ----------------------------------------------------------------------
float cTableNoise2D::At(int column, int row) const {
  int rows = Rows();
  column = column < 0 ? 0 : (column >= kColumns ? kColumns - 1 : column);
  row = row < 0 ? 0 : (row >= rows ? rows - 1 : row);
  return mTable[(size_t)row * kColumns + (size_t)column];
}

float cTableNoise2D::Value(float x, float y) const {
  if (Rows() == 0) return 0.0f;
  int ix = NoiseFloor(x), iy = NoiseFloor(y);
  float wx = NoiseCubic(x - (float)ix), wy = NoiseCubic(y - (float)iy);
  int ix1 = (ix == INT_MAX) ? ix : ix + 1, iy1 = (iy == INT_MAX) ? iy : iy + 1;
  float top = NoiseLerp(At(ix, iy), At(ix1, iy), wx);
  float bottom = NoiseLerp(At(ix, iy1), At(ix1, iy1), wx);
  return NoiseClamp(-kNoiseLimit, kNoiseLimit, NoiseLerp(top, bottom, wy));
}

}  // namespace Ru::Math
