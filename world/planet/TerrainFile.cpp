#include "world/planet/TerrainFile.h"

#include <cmath>
#include <cstring>

namespace nKoPlanet {

bool DecodeTerrainHeights(const uint8_t* data, size_t size, cCubeMap<float>& map, std::string& error) {
  if (size != kTerrainFileBytes) {
    error = "terrain.bin holds " + std::to_string(size) + " bytes; expected exactly " +
            std::to_string(kTerrainFileBytes) + " (6 x 512 x 512 float32 heights)";
    return false;
  }
  if (map.GetWidth() != kTerrainCells || map.GetHeight() != kTerrainCells) {
    error = "the height map is not 512 x 512 per face";
    return false;
  }
  // Decode into a scratch copy first so that a refused file leaves the map as it was.
  std::vector<float> cells(map.Cells().size());
  size_t offset = 0;
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t a = 0; a < kTerrainCells; ++a)
      for (uint32_t b = 0; b < kTerrainCells; ++b, offset += 4) {
        const uint32_t bits = static_cast<uint32_t>(data[offset]) | (static_cast<uint32_t>(data[offset + 1]) << 8) |
                              (static_cast<uint32_t>(data[offset + 2]) << 16) |
                              (static_cast<uint32_t>(data[offset + 3]) << 24);
        float height;
        std::memcpy(&height, &bits, 4);
        if (!std::isfinite(height)) {
          error = "terrain.bin holds a non-finite height at face " + std::to_string(face) + ", column " +
                  std::to_string(a) + ", row " + std::to_string(b);
          return false;
        }
        cells[map.IndexOf(face, a, b)] = height;
      }
  map.Cells().swap(cells);
  return true;
}

}  // namespace nKoPlanet
