#include "platform/Sys.h"

// The C runtime generator the game's formulas were tuned against: they scale the
// result by 1/32767, so a 31-bit rand would break every one of them.
static uint32_t gRandomState = 1;

void Sys_SeedRandom(uint32_t seed) { gRandomState = seed; }

int Sys_RandomFrom(uint32_t& state) {
  state = state * 214013u + 2531011u;
  return (int)((state >> 16) & 0x7FFF);
}

int Sys_Random() { return Sys_RandomFrom(gRandomState); }
