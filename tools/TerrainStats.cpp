#include "tools/TerrainStats.h"

#include <cmath>
#include <cstdio>

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

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

bool WriteBmp24(const std::string& path, const std::vector<uint8_t>& rgbRow, int width, int height) {
  if (static_cast<int>(rgbRow.size()) != width * 3) return false;
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + pixelBytes);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB: uncompressed
  Put32(out, pixelBytes);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {  // stored blue, green, red
      out.push_back(rgbRow[x * 3 + 2]);
      out.push_back(rgbRow[x * 3 + 1]);
      out.push_back(rgbRow[x * 3 + 0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}
