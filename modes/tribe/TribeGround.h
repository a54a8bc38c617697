// Where a hut or a tool stands: on the lowest ground under its footprint, so
// that on a slope no side of it hangs over the ground below. A hut's cube
// stands with its base there (whole, not half sunk); a tool keeps its lift.
#pragma once

#include "math/Vector.h"

// The point radially above or below p at `lift` over the lowest ground among
// p's own and eight points on the rim of the footprint (radius in world units).
Ru::Math::Vector3 LowestGroundUnder(const Ru::Math::Vector3& p, float footprintRadius, float lift = 0.0f);

// The centre of a hut's cube (half side `hutScale`) standing over the surface point p.
Ru::Math::Vector3 HutStandPoint(const Ru::Math::Vector3& p);
// A tool's place over the ground point p, `lift` above the lowest ground of its footprint.
Ru::Math::Vector3 ToolStandPoint(const Ru::Math::Vector3& p, float lift = 0.0f);
