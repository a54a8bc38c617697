// The six planes of the camera's view, to leave out what cannot reach a pixel.
#pragma once

#include "math/Types.h"

class cViewVolume {
 public:
  // From the model-view and projection matrices (OpenGL order) the objects are drawn under.
  cViewVolume(const float modelView[16], const float projection[16]);
  // True when the sphere lies wholly beyond one of the planes.
  bool SphereOutside(const Ru::Math::Vector3& centre, float radius) const;
  // Brings the far plane to `depth` beyond the near plane (when that is
  // nearer): what lies past a fog's end shows only the fog's colour.
  void LimitDepth(float depth);

 private:
  float mPlanes[6][4];  // a, b, c, d with (a, b, c) of unit length; inside is a x + b y + c z + d >= 0
};
