// The ten places where the civ game founds its cities, in city order (the
// test camera skips the second). The terrain generator raises land under
// each, so every city stands on dry ground.
#pragma once

inline constexpr int kCivStartPlaceCount = 10;
inline constexpr float kCivStartPlaces[kCivStartPlaceCount][3] = {
    {332, 373, -97},   {-207, -457, -107}, {-323, 287, 263}, {-3, 46, -516},   {508, 18, -10},
    {-474, -107, -164}, {48, -325, 396},   {321, -323, -219}, {-282, 357, -254}, {312, 290, 271},
};
