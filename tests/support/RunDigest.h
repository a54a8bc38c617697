// A digest of a seeded run, for tests that play a mode twice from one seed and
// compare: mix in ids, positions, meters... after each frame.
#pragma once

#include <cstdint>
#include <cstring>

// FNV-1a over the values a run went through: two runs that went alike give the same value.
struct sRunDigest {
  uint64_t value = 14695981039346656037ull;
  void Mix(uint32_t word) {
    for (int byte = 0; byte < 4; ++byte) value = (value ^ ((word >> (8 * byte)) & 0xFFu)) * 1099511628211ull;
  }
  void Mix(float number) {
    uint32_t bits;
    std::memcpy(&bits, &number, sizeof bits);
    Mix(bits);
  }
};
