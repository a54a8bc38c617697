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
struct Stop {
  float height;  // above the base radius
  uint8_t r, g, b;
};
// Deep to shallow water below sea level (4.0), then beach, lowland greens, browns, rock and snow.
const Stop kStops[] = {
    {0.0f, 8, 24, 80},     {2.5f, 20, 60, 140},   {3.9f, 60, 120, 190},  {4.0f, 214, 200, 140},
    {5.0f, 200, 190, 130}, {6.0f, 70, 150, 60},   {12.0f, 40, 120, 40},  {18.0f, 90, 120, 50},
    {24.0f, 130, 105, 60}, {30.0f, 110, 90, 70},  {34.0f, 128, 124, 120}, {37.0f, 160, 160, 160},
    {39.0f, 245, 245, 250}, {40.0f, 255, 255, 255},
};
}  // namespace

std::vector<uint8_t> BuildLandColourRamp() {
  std::vector<uint8_t> rgb(256 * 3);
  const int stopCount = sizeof(kStops) / sizeof(kStops[0]);
  for (int i = 0; i < 256; ++i) {
    // The planet picks entry trunc(g * 0.025 * 255) for height g, so entry i covers g from i * 40 / 255.
    float g = (static_cast<float>(i) + 0.5f) * 40.0f / 255.0f;
    int k = 0;
    while (k + 1 < stopCount - 1 && kStops[k + 1].height <= g) ++k;
    const Stop& a = kStops[k];
    const Stop& b = kStops[k + 1];
    float t = (g - a.height) / (b.height - a.height);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    // Water ends sharply at the shore so that the coast line reads clearly.
    if (a.height < 4.0f && b.height >= 4.0f) t = g >= 4.0f ? 1.0f : 0.0f;
    rgb[i * 3 + 0] = static_cast<uint8_t>(a.r + (b.r - a.r) * t + 0.5f);
    rgb[i * 3 + 1] = static_cast<uint8_t>(a.g + (b.g - a.g) * t + 0.5f);
    rgb[i * 3 + 2] = static_cast<uint8_t>(a.b + (b.b - a.b) * t + 0.5f);
  }
  return rgb;
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
