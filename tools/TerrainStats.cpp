#include "tools/TerrainStats.h"

#include <cmath>
#include <cstdio>

#include "tools/BmpWriter.h"

cTerrainStats MeasureTerrain(const std::vector<float>& heights, float seaLevel) {
  cTerrainStats s;
  if (heights.empty()) return s;
  s.minHeight = s.maxHeight = heights[0];
  size_t land = 0, gentle = 0;
  for (float h : heights) {
    if (!std::isfinite(h)) {
      s.allFinite = false;
      continue;
    }
    s.minHeight = std::fmin(s.minHeight, h);
    s.maxHeight = std::fmax(s.maxHeight, h);
    if (h >= seaLevel) {
      ++land;
      if (h <= 20.0f) ++gentle;
    }
  }
  s.landShare = static_cast<double>(land) / static_cast<double>(heights.size());
  s.gentleLandShare = land ? static_cast<double>(gentle) / static_cast<double>(land) : 0.0;
  return s;
}

bool TerrainStatsAcceptable(const cTerrainStats& s) {
  return s.allFinite && s.maxHeight < 48.0f && s.landShare >= 0.35 && s.landShare <= 0.45 &&
         s.gentleLandShare >= 0.5;
}

bool WriteBmp24(const std::string& path, const std::vector<uint8_t>& rgbRow, int width, int height) {
  if (width <= 0 || height <= 0 || static_cast<int>(rgbRow.size()) != width * 3) return false;
  std::vector<uint8_t> image;
  image.reserve(rgbRow.size() * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) image.insert(image.end(), rgbRow.begin(), rgbRow.end());
  return WriteBmp24Image(path, image, width, height);
}
