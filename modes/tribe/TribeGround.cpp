#include "modes/tribe/TribeGround.h"

#include <algorithm>
#include <cmath>

#include "modes/tribe/TribeTool.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

Vector3 LowestGroundUnder(const Vector3& p, float footprintRadius, float lift) {
  const float length = Vector3Length(p);
  if (!(length > 0.0f) || !std::isfinite(length)) return p;  // no direction to stand in
  const Vector3 up = Vector3Scale(p, 1.0f / length);
  // Two directions across the surface at p.
  Vector3 east = Vector3Cross(up, Vector3{0.0f, 0.0f, 1.0f});
  if (Vector3LengthSquared(east) < 0.25f) east = Vector3Cross(up, Vector3{1.0f, 0.0f, 0.0f});
  east = Vector3Normalized(east);
  const Vector3 north = Vector3Cross(east, up);
  const cPlanetModel& planet = GetPlanetModel();
  const float centre = planet.GetSurfaceRadius(up);
  float lowest = centre;
  for (int i = 0; i < 8; ++i) {
    const float angle = (float)i * 0.785398f;
    const Vector3 rim = Vector3Add(Vector3Scale(up, centre),
                                   Vector3Add(Vector3Scale(east, std::cos(angle) * footprintRadius),
                                              Vector3Scale(north, std::sin(angle) * footprintRadius)));
    lowest = std::min(lowest, planet.GetSurfaceRadius(rim));
  }
  return Vector3Scale(up, lowest + lift);
}

namespace {
constexpr float kHalfDiagonal = 1.4142136f;  // a square footprint's corners lie this many half sides out
}  // namespace

Vector3 HutStandPoint(const Vector3& p) {
  const float half = GetSharedTuningData().GetHutScale();
  return LowestGroundUnder(p, half * kHalfDiagonal, half);
}

Vector3 ToolStandPoint(const Vector3& p, float lift) {
  return LowestGroundUnder(p, cTribeTool::kCubeScale * kHalfDiagonal, lift);
}
