#include "glf/ViewVolume.h"

#include <algorithm>
#include <cmath>

cViewVolume::cViewVolume(const float modelView[16], const float projection[16]) {
  float clip[16];  // projection x model-view
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += projection[4 * k + r] * modelView[4 * c + k];
      clip[4 * c + r] = sum;
    }
  // Each plane is the fourth row of the matrix plus or minus one of the first three.
  for (int plane = 0; plane < 6; ++plane) {
    const int k = plane / 2;
    const float s = plane % 2 ? -1.0f : 1.0f;
    float* p = mPlanes[plane];
    for (int c = 0; c < 4; ++c) p[c] = clip[4 * c + 3] + s * clip[4 * c + k];
    const float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    for (int c = 0; c < 4 && length > 0.0f; ++c) p[c] /= length;
  }
}

bool cViewVolume::SphereOutside(const Ru::Math::Vector3& v, float radius) const {
  for (const float* p : mPlanes)
    if (p[0] * v.x + p[1] * v.y + p[2] * v.z + p[3] < -radius) return true;
  return mBallRadius > 0.0f && HiddenByBall(v, radius);
}

void cViewVolume::HideBehindBall(const Ru::Math::Vector3& eye, float radius) {
  mEye = eye;
  mBallRadius = radius > 0.0f ? radius : 0.0f;
}

// The ball's shadow seen from the eye is the cone tangent to it, beyond the
// tangent points: every sight line inside the cone enters the ball no farther
// than the tangent length. A sphere wholly inside the cone and wholly beyond
// that length is hidden.
bool cViewVolume::HiddenByBall(const Ru::Math::Vector3& c, float radius) const {
  const double ex = mEye.x, ey = mEye.y, ez = mEye.z;
  const double e2 = ex * ex + ey * ey + ez * ez, b2 = (double)mBallRadius * mBallRadius;
  if (!(e2 > b2)) return false;
  const double vx = c.x - ex, vy = c.y - ey, vz = c.z - ez;
  const double distance = std::sqrt(vx * vx + vy * vy + vz * vz);
  if (!(distance > radius) || distance - radius < std::sqrt(e2 - b2)) return false;
  const double e = std::sqrt(e2);
  const double cone = std::asin(mBallRadius / e);
  const double apart = std::acos(std::clamp(-(vx * ex + vy * ey + vz * ez) / (distance * e), -1.0, 1.0));
  return apart + std::asin(radius / distance) <= cone;
}

void cViewVolume::LimitDepth(float depth) {
  // Planes 4 and 5 are the near and far ones; the near plane's normal points along the view.
  const float* near = mPlanes[4];
  const float limit[4] = {-near[0], -near[1], -near[2], depth - near[3]};
  float* far = mPlanes[5];
  // Only a nearer plane is taken: both face back towards the eye, so the larger d - is the farther one.
  if (far[0] * limit[0] + far[1] * limit[1] + far[2] * limit[2] > 0.999f && limit[3] >= far[3]) return;
  for (int c = 0; c < 4; ++c) far[c] = limit[c];
}
