#include "world/planet/LandColourRamp.h"

namespace nKoPlanet {

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

}  // namespace nKoPlanet
