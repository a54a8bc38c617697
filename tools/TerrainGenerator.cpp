// Writes the planet's data: Data/Terrain/terrain.bin (6 x 512 x 512 little-endian
// float32 heights above the base radius, face, then column a, then row b) and
// Data/Textures/landcolor.bmp (the colour ramp indexed by height).
//
// Heights come from fractal noise of the 3D direction of each cell centre, so
// the six faces join without seams, and from a fixed seed, so every build
// writes the same bytes. The raw noise is then shaped so that about 60 % of
// the cells lie below sea level (4.0) and nothing reaches the terrain shell.
//
// Usage: qv_terrain_generator <terrain.bin> <landcolor.bmp>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "modes/civ/CivStartPlaces.h"
#include "tools/TerrainStats.h"
#include "world/planet/LandColourRamp.h"
#include "world/planet/CubeMap.h"
#include "world/planet/PatchMesh.h"
#include "world/planet/PlanetModel.h"

namespace {

constexpr int kFaceCells = 512;
constexpr uint32_t kSeed = 0x51A7E7u;
constexpr double kOceanShare = 0.60;
constexpr float kSeaLevel = 4.0f;
constexpr float kLandTop = 44.0f;       // the highest peak; the shell starts at 50 above the base
constexpr float kOceanFloor = -10.0f;

// Direction of a face point, from the planet's own face orientation table. The
// cube point is exact in float32 for cell centres; it is normalised in double.
void FacePointToDirection(uint32_t face, float u, float v, double d[3]) {
  const Ru::Math::Vector3 p = nKoPlanet::FaceCoordinateToCubePoint(face, u, v);
  const double len = std::sqrt(static_cast<double>(p.x) * p.x + static_cast<double>(p.y) * p.y + static_cast<double>(p.z) * p.z);
  for (int i = 0; i < 3; ++i) d[i] = p[i] / len;
}

uint32_t Hash(int32_t x, int32_t y, int32_t z, uint32_t seed) {
  uint32_t h = seed;
  h ^= static_cast<uint32_t>(x) * 0x8DA6B343u;
  h ^= static_cast<uint32_t>(y) * 0xD8163841u;
  h ^= static_cast<uint32_t>(z) * 0xCB1AB31Fu;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Gradient noise on the integer lattice, in about -1..1.
double GradientAt(int32_t x, int32_t y, int32_t z, uint32_t seed, double fx, double fy, double fz) {
  uint32_t h = Hash(x, y, z, seed);
  double gx = ((h & 0x3FF) / 511.5) - 1.0;
  double gy = (((h >> 10) & 0x3FF) / 511.5) - 1.0;
  double gz = (((h >> 20) & 0x3FF) / 511.5) - 1.0;
  return gx * fx + gy * fy + gz * fz;
}

double Fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

double Noise3(double x, double y, double z, uint32_t seed) {
  double flx = std::floor(x), fly = std::floor(y), flz = std::floor(z);
  int32_t ix = static_cast<int32_t>(flx), iy = static_cast<int32_t>(fly), iz = static_cast<int32_t>(flz);
  double fx = x - flx, fy = y - fly, fz = z - flz;
  double u = Fade(fx), v = Fade(fy), w = Fade(fz);
  double c[2][2][2];
  for (int dz = 0; dz < 2; ++dz)
    for (int dy = 0; dy < 2; ++dy)
      for (int dx = 0; dx < 2; ++dx)
        c[dz][dy][dx] = GradientAt(ix + dx, iy + dy, iz + dz, seed, fx - dx, fy - dy, fz - dz);
  auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
  double x00 = lerp(c[0][0][0], c[0][0][1], u), x10 = lerp(c[0][1][0], c[0][1][1], u);
  double x01 = lerp(c[1][0][0], c[1][0][1], u), x11 = lerp(c[1][1][0], c[1][1][1], u);
  return lerp(lerp(x00, x10, v), lerp(x01, x11, v), w);
}

double Fractal(const double d[3], int octaves, double frequency, uint32_t seed) {
  double sum = 0.0, amplitude = 1.0, norm = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise3(d[0] * frequency, d[1] * frequency, d[2] * frequency, seed + 977u * i);
    norm += amplitude;
    amplitude *= 0.5;
    frequency *= 2.0;
  }
  return sum / norm;
}

// Continents from low frequencies, hills and ranges on top where there is land.
double RawHeight(const double d[3]) {
  double continents = Fractal(d, 5, 1.6, kSeed);
  double detail = Fractal(d, 6, 6.0, kSeed ^ 0xABCDEFu);
  double ridges = 1.0 - std::fabs(Fractal(d, 4, 3.0, kSeed ^ 0x1234567u));
  return continents + 0.18 * detail + 0.12 * ridges * ridges * std::max(0.0, continents);
}

void Shape(std::vector<float>& h) {
  std::vector<float> sorted(h);
  size_t seaIndex = static_cast<size_t>(kOceanShare * static_cast<double>(sorted.size()));
  std::nth_element(sorted.begin(), sorted.begin() + seaIndex, sorted.end());
  const float threshold = sorted[seaIndex];
  const auto [lo, hi] = std::minmax_element(h.begin(), h.end());
  const double low = *lo, high = *hi;
  for (float& value : h) {
    if (value >= threshold) {
      double x = (value - threshold) / (high - threshold);  // 0 at the shore, 1 at the highest peak
      value = static_cast<float>(kSeaLevel + (kLandTop - kSeaLevel) * std::pow(x, 1.2));
    } else {
      double x = (threshold - value) / (threshold - low);
      // Strictly below sea level, with shallow shelves near the coast.
      value = static_cast<float>(kSeaLevel - 0.05 - (kSeaLevel - 0.05 - kOceanFloor) * std::pow(x, 0.7));
    }
  }
}

// Dry ground under every civ city start place: a plateau as wide as a city
// with its wall and patrol path, blending into the terrain around it. Only
// ever raises ground, so the north pole's land stays as it was.
void RaiseCivCityGround(std::vector<float>& h, const std::vector<std::array<double, 3>>& directions) {
  constexpr double kPlateau = 0.10, kShore = 0.15;  // radians: about 50 and 75 world units
  constexpr float kPlateauHeight = 10.0f;           // 6 above the sea
  for (const auto& place : kCivStartPlaces) {
    double len = std::sqrt(double(place[0]) * place[0] + double(place[1]) * place[1] + double(place[2]) * place[2]);
    for (size_t i = 0; i < h.size(); ++i) {
      const std::array<double, 3>& d = directions[i];
      double angle = std::acos(std::clamp((d[0] * place[0] + d[1] * place[1] + d[2] * place[2]) / len, -1.0, 1.0));
      if (angle >= kShore) continue;
      double t = angle <= kPlateau ? 0.0 : (angle - kPlateau) / (kShore - kPlateau);
      float raised = static_cast<float>(kPlateauHeight + (kSeaLevel - 1.0f - kPlateauHeight) * t * t * (3.0 - 2.0 * t));
      h[i] = std::max(h[i], raised);
    }
  }
}

// Narrow causeways along the great circles between chosen pairs of civ start
// places, so that land paths join most pairs of cities across the seas. Only
// ever raises ground; the pairs join each city to its nearest others and close
// the gaps between the cities the land already joins.
void RaiseCivLandBridges(std::vector<float>& h, const std::vector<std::array<double, 3>>& directions) {
  constexpr int kBridges[][2] = {{0, 9}, {0, 4}, {1, 5}, {1, 7}, {1, 6}, {5, 8}, {3, 8}, {2, 8},
                                 {2, 3}, {2, 9}, {3, 6}, {6, 7}};
  constexpr double kCore = 0.007, kShore = 0.010;  // radians either side: about 3.5 and 5 world units
  constexpr float kBridgeHeight = 8.0f;
  auto unit = [](const float* p) {
    double len = std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]);
    return std::array<double, 3>{p[0] / len, p[1] / len, p[2] / len};
  };
  auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  auto dot = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  };
  for (const auto& bridge : kBridges) {
    const std::array<double, 3> a = unit(kCivStartPlaces[bridge[0]]), b = unit(kCivStartPlaces[bridge[1]]);
    std::array<double, 3> n = cross(a, b);
    const double nLen = std::sqrt(dot(n, n));
    for (double& c : n) c /= nLen;
    for (size_t i = 0; i < h.size(); ++i) {
      const std::array<double, 3>& d = directions[i];
      const double off = std::asin(std::clamp(std::fabs(dot(d, n)), 0.0, 1.0));
      if (off >= kShore) continue;
      // Only beside the arc between the two places, not the rest of the circle.
      if (dot(cross(a, d), n) < 0.0 || dot(cross(d, b), n) < 0.0) continue;
      double t = off <= kCore ? 0.0 : (off - kCore) / (kShore - kCore);
      float raised = static_cast<float>(kBridgeHeight + (kSeaLevel - 1.0f - kBridgeHeight) * t * t * (3.0 - 2.0 * t));
      h[i] = std::max(h[i], raised);
    }
  }
}

// The planet builds 85 patches per face from a 257 x 257 grid; the largest
// patch's vertex count tells whether its indices stay small.
size_t LargestPatchVertexCount(const std::vector<float>& heights) {
  nKoPlanet::cCubeMap<float> map(kFaceCells, kFaceCells, 0.0f);
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t a = 0; a < kFaceCells; ++a)
      for (uint32_t b = 0; b < kFaceCells; ++b)
        map.SetCell({face, a, b}, heights[(static_cast<size_t>(face) * kFaceCells + a) * kFaceCells + b]);
  const nKoPlanet::cDisplacedSphereParams params = cPlanetModel::TerrainSphereParams(&map);
  size_t largest = 0;
  nKoPlanet::cPatchMeshBuilder builder;
  for (uint32_t face = 0; face < 6; ++face) {
    nKoPlanet::cFaceGrid grid(face, params);
    for (uint32_t level = 0; level <= grid.TopLevel(); ++level) {
      const uint32_t across = 1u << (grid.TopLevel() - level);
      for (uint32_t x = 1; x <= across; ++x)
        for (uint32_t y = 1; y <= across; ++y) {
          // The child index only picks the strip's first corner, not which vertices it holds.
          nKoPlanet::ExtractPatchMesh(grid, builder, x, y, level, 0);
          largest = std::max(largest, builder.vertices.size());
        }
    }
  }
  return largest;
}

bool WriteTerrain(const std::string& path, const std::vector<float>& heights) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::vector<uint8_t> bytes(heights.size() * 4);
  for (size_t i = 0; i < heights.size(); ++i) {
    uint32_t bits;
    std::memcpy(&bits, &heights[i], 4);
    for (int k = 0; k < 4; ++k) bytes[i * 4 + k] = static_cast<uint8_t>(bits >> (8 * k));  // little-endian
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <terrain.bin> <landcolor.bmp>\n", argv[0]);
    return 2;
  }
  // Cell (face, a, b) at index (face * 512 + a) * 512 + b: the file's order.
  std::vector<float> heights(6u * kFaceCells * kFaceCells);
  std::vector<std::array<double, 3>> directions(heights.size());
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t a = 0; a < kFaceCells; ++a)
      for (uint32_t b = 0; b < kFaceCells; ++b) {
        const nKoPlanet::cFaceCoordinate c = nKoPlanet::CellToFaceCoordinate(face, a, b, kFaceCells, kFaceCells);
        double d[3];
        FacePointToDirection(face, c.u, c.v, d);
        const size_t cell = (static_cast<size_t>(face) * kFaceCells + a) * kFaceCells + b;
        heights[cell] = static_cast<float>(RawHeight(d));
        directions[cell] = {d[0], d[1], d[2]};
      }
  Shape(heights);
  RaiseCivCityGround(heights, directions);
  RaiseCivLandBridges(heights, directions);

  cTerrainStats stats = MeasureTerrain(heights, kSeaLevel);
  std::printf("terrain: %zu heights, min %.2f, max %.2f, land %.1f %%, gentle land %.1f %% of land\n",
              heights.size(), stats.minHeight, stats.maxHeight, stats.landShare * 100.0, stats.gentleLandShare * 100.0);
  const size_t largestPatch = LargestPatchVertexCount(heights);
  std::printf("terrain: largest patch %zu vertices\n", largestPatch);
  if (!TerrainStatsAcceptable(stats)) {
    std::fprintf(stderr, "terrain generator: statistics out of range, nothing written\n");
    return 1;
  }
  if (!WriteTerrain(argv[1], heights)) {
    std::fprintf(stderr, "terrain generator: cannot write %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> ramp = nKoPlanet::BuildLandColourRamp();
  if (!WriteBmp24(argv[2], ramp, 256, 8)) {
    std::fprintf(stderr, "terrain generator: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("terrain: wrote %s and %s\n", argv[1], argv[2]);
  return 0;
}
