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
  // Counts as outside what the opaque ball of `radius` about the origin,
  // drawn before, hides from the eye at `eye` (an eye inside it hides nothing).
  void HideBehindBall(const Ru::Math::Vector3& eye, float radius);

 private:
  bool HiddenByBall(const Ru::Math::Vector3& centre, float radius) const;
  float mPlanes[6][4];
  Ru::Math::Vector3 mEye;
  float mBallRadius = 0.0f;  // 0: no ball  // a, b, c, d with (a, b, c) of unit length; inside is a x + b y + c z + d >= 0
};
