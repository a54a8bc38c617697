// Random numbers. RandomFloat and RandomUnitVector draw from the program's
// 15-bit generator (Sys_Random), sharing its sequence with every other user;
// SeedRandom/RandomNext are a separate six-word generator owned by this library.
#pragma once

#include <cstdint>

#include "math/Types.h"

namespace Ru::Math {

// From lo to hi, both ends reachable; exactly one Sys_Random draw.
float RandomFloat(float lo, float hi);
// Rejection-sampled in the unit ball, then normalised; three draws per attempt.
Vector3 RandomUnitVector();
void RandomUnitVector(Vector3& out);

// The six-word generator. Seeding touches only its own state, never Sys_Random's.
void SeedRandom(uint32_t seed);
uint32_t RandomNext();
// State words s0 (most significant) to s5, for save files and tests.
void RandomGetState(uint32_t state[6]);
void RandomSetState(const uint32_t state[6]);

}  // namespace Ru::Math
