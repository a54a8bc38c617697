// The planet's colour ramp by height: what the generator writes into
// landcolor.bmp, and what the planet falls back to when that file is missing.
#pragma once

#include <cstdint>
#include <vector>

namespace nKoPlanet {
// 256 RGB entries (768 bytes) indexed by height: entry i stands for 40 * i / 255 above the base radius.
std::vector<uint8_t> BuildLandColourRamp();
}  // namespace nKoPlanet
