// Gradient noise in one to four dimensions with fractal sums, and the small
// scalar toolkit it is built from. Every noise and fractal result lies within
// -0.99999..0.99999 unless a function's comment says otherwise.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace Ru::Math {

// ---- scalar toolkit --------------------------------------------------------------
float NoiseAbs(float x);
float NoiseSquare(float x);
float NoiseSignedSquare(float x);          // x*x with the sign of x
float NoiseSignedSqrt(float x);            // sqrt(x), or -sqrt(-x) below zero
int NoiseFloor(float x);
float NoiseClamp(float low, float high, float x);
float NoiseLerp(float a, float b, float t);
float NoiseCubic(float t);                 // (3 - 2t) t^2, the blend weight
void NoiseNormalize(float* values, int n);
// These use the program's 15-bit generator (Sys_SeedRandom/Sys_Random).
void NoiseSeed(uint32_t seed);
float NoiseRandom();                       // 0..1
float NoiseRandom(float a, float b);       // a..b
int NoiseRandomInt(int a, int b);          // a..b inclusive

class cNoise {
 public:
  static constexpr int kMaxDimensions = 4;

  cNoise() = default;
  cNoise(int dimensions, uint32_t seed) { Initialise(dimensions, seed); }

  // Builds the permutation and gradients from the seed with a private copy of the
  // 15-bit generator, so building a noise never disturbs the game's sequence.
  void Initialise(int dimensions, uint32_t seed);
  int Dimensions() const { return mDimensions; }
  float Lattice(int i1, float f1, int i2 = 0, float f2 = 0, int i3 = 0, float f3 = 0, int i4 = 0, float f4 = 0) const;
  // point holds Dimensions() floats.
  float Noise(const float* point) const;

 protected:
  int mDimensions = 1;
  uint8_t mPermutation[256] = {};
  float mGradients[256][4] = {};
};

class cFractal : public cNoise {
 public:
  static constexpr int kMaxOctaves = 32;

  // Defaults: lacunarity 2 and octave weights 2^-i (roughness 1).
  cFractal();
  cFractal(int dimensions, uint32_t seed) : cFractal() { Initialise(dimensions, seed); }
  // Weight of octave i = lacunarity^(-i * roughness).
  void SetParameters(float lacunarity, float roughness);
  float Lacunarity() const { return mLacunarity; }
  float Exponent(int octave) const { return mExponents[octave]; }

  // point holds Dimensions() floats and is not changed. Octave counts are
  // clamped to 0..kMaxOctaves-1 so no sum reads past the weight table.
  float FBm(const float* point, float octaves) const;
  float Turbulence(const float* point, float octaves) const;
  float Multifractal(const float* point, float octaves, float offset) const;
  float FoldedPowerSum(const float* point, float octaves, float offset) const;
  float SignedSquareFoldedSum(const float* point) const;  // always 11 further octaves
  float ProductSum(const float* point, float octaves, float offset) const;
  float HybridSum(const float* point, float octaves, float offset, float gain) const;
  float ErodedSum(const float* point, float k, float offset) const;
  float RidgedCompositeSum(const float* point, float gain, float offset) const;

 private:
  // p = the first Dimensions() coordinates of point times scale, the rest 0.
  void Start(const float* point, float scale, float p[4]) const;
  void Advance(float* p) const;
  // FBm, or Turbulence when absolute: the weighted sum of (absolute) noise values.
  float WeightedSum(const float* point, float octaves, bool absolute) const;
  // noise(p) + offset, then for octaves 1 to count - 1: advance p and add
  // (noise(p) + offset) times the octave's weight. p is left at the last octave.
  float OffsetSum(float* p, int count, float offset) const;
  float mLacunarity = 2.0f;
  float mExponents[kMaxOctaves] = {};
};

// Value noise over a float table 64 columns wide, blended with cubic weights.
class cTableNoise2D {
 public:
  static constexpr int kColumns = 64;
  explicit cTableNoise2D(std::vector<float> table) : mTable(std::move(table)) {}
  // Coordinates outside the table are clamped to its edge cells.
  float Value(float x, float y) const;
  int Rows() const { return (int)(mTable.size() / kColumns); }

 private:
  float At(int column, int row) const;
  std::vector<float> mTable;
};

}  // namespace Ru::Math
