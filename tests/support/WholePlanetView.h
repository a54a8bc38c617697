// A camera that shows the whole planet in the middle of the window: 1800 away
// from its centre, looking straight at it, with nothing left to glide.
#pragma once

#include "camera/Camera.h"

inline void ViewWholePlanet() {
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetCameraAnchorFrame(centre, identity);
  SetCameraAngles(0.0f, 0.0f, 1800.0f);
  SetCameraTargetAngles(0.0f, 0.0f, 1800.0f);
}
