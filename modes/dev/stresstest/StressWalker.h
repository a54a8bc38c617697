// One walker of the scene stress test: a pyramid that walks over the planet
// to its target, jumps 150 units straight up when it gets there, sinks back
// spinning, then turns 30 degrees left or right and heads for a point 100
// units on. Walkers step once per frame, whatever the frame time.
#pragma once

#include <cstdint>
#include <memory>

#include "math/Types.h"
#include "world/scene/SceneObject.h"

struct cStressWalker {
  std::unique_ptr<cSceneObject> object;  // the drawn pyramid
  Ru::Math::Vector3 target;              // during a jump: its own last position
  bool rising = true;
  bool landed = false;

  void Step();
  void StepForward();    // 2 units against the local z axis, back on the surface
  void PickNewTarget();  // a random 30-degree turn, then a target 100 units ahead
};

// The planet-radius queries the walkers and the automatic camera have made
// since the program started (the benchmark reports them per frame).
uint64_t GetStressSurfaceQueryCount();
// The point's direction at the surface's radius, counted as one query.
Ru::Math::Vector3 SnapToStressSurface(const Ru::Math::Vector3& point);
