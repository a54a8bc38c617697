// The terrain file: exactly 6 x 512 x 512 little-endian float32 heights above
// the base radius, face outermost, then column a, then row b fastest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Sys.h"
#include "world/planet/CubeMap.h"

namespace nKoPlanet {

constexpr uint32_t kTerrainCells = 512;
constexpr size_t kTerrainFileBytes = static_cast<size_t>(6) * kTerrainCells * kTerrainCells * 4;
static_assert(kTerrainFileBytes == Sys_FileBound(SysFileKind::Terrain), "the platform's bound is this size");

// Is it the size a terrain file has? If not, error says what it is.
bool IsTerrainFileSize(uint64_t size, std::string& error);

// Fills a 512 x 512 map from the bytes of a terrain file. Refuses (false, with
// the reason in error, the map untouched) a file of the wrong size or one
// holding a non-finite height.
bool DecodeTerrainHeights(const uint8_t* data, size_t size, cCubeMap<float>& map, std::string& error);

}  // namespace nKoPlanet
