#include "world/planet/TerrainFile.h"

#include <cmath>
#include <cstring>

namespace nKoPlanet {

namespace {

// The bits of the i-th little-endian float32 of the file.
uint32_t BitsAt(const uint8_t* data, size_t i) {
  const uint8_t* at = data + 4 * i;
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
         (static_cast<uint32_t>(at[3]) << 24);
}

float HeightAt(const uint8_t* data, size_t i) {
  const uint32_t bits = BitsAt(data, i);
  float height;
  std::memcpy(&height, &bits, 4);
  return height;
}

}  // namespace

bool IsTerrainFileSize(uint64_t size, std::string& error) {
  if (size == kTerrainFileBytes) return true;
  error = "terrain.bin holds " + std::to_string(size) + " bytes; expected exactly " +
          std::to_string(kTerrainFileBytes) + " (6 x 512 x 512 float32 heights)";
  return false;
}

bool DecodeTerrainHeights(const uint8_t* data, size_t size, cCubeMap<float>& map, std::string& error) {
  if (!IsTerrainFileSize(size, error)) return false;
  if (map.GetWidth() != kTerrainCells || map.GetHeight() != kTerrainCells) {
    error = "the height map is not 512 x 512 per face";
    return false;
  }
  // Every height is checked before any is stored, so a refused file leaves the map as it was.
  const size_t count = kTerrainFileBytes / 4;
  for (size_t i = 0; i < count; ++i) {
    if (std::isfinite(HeightAt(data, i))) continue;
    const size_t face = i / (kTerrainCells * kTerrainCells), a = i / kTerrainCells % kTerrainCells, b = i % kTerrainCells;
    error = "terrain.bin holds a non-finite height at face " + std::to_string(face) + ", column " + std::to_string(a) +
            ", row " + std::to_string(b);
    return false;
  }
  // The file runs down columns and the map along rows: the turn is made in
  // small squares, so both sides stay in the cache.
  constexpr uint32_t kSquare = 8;
  float* cells = map.Cells().data();
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t b0 = 0; b0 < kTerrainCells; b0 += kSquare)
      for (uint32_t a0 = 0; a0 < kTerrainCells; a0 += kSquare)
        for (uint32_t b = b0; b < b0 + kSquare; ++b) {
          float* row = cells + map.IndexOf(face, 0, b);
          for (uint32_t a = a0; a < a0 + kSquare; ++a)
            row[a] = HeightAt(data, (static_cast<size_t>(face) * kTerrainCells + a) * kTerrainCells + b);
        }
  return true;
}

}  // namespace nKoPlanet
