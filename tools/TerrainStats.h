// Checks and small writers shared by the terrain generator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct cTerrainStats {
  float minHeight = 0.0f;
  float maxHeight = 0.0f;
  double landShare = 0.0;        // cells at or above sea level
  double gentleLandShare = 0.0;  // of the land: cells no higher than 20 above the base radius
  bool allFinite = true;
};

cTerrainStats MeasureTerrain(const std::vector<float>& heights, float seaLevel);
// The planet's needs: 55-65 % ocean, nothing at or above 48 (the shell), mostly walkable land.
bool TerrainStatsAcceptable(const cTerrainStats& stats);

// An uncompressed 24-bit bottom-up BMP whose every row is the given RGB row.
bool WriteBmp24(const std::string& path, const std::vector<uint8_t>& rgbRow, int width, int height);
