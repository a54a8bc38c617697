// Writes the uncompressed 24-bit BMP files the generators make (the game's
// textures and colour ramps).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width x height pixels, top row first, three bytes each.
bool WriteBmp24Image(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height);
