// The flying saucer of the "UFO" experiment. The wheel sets its level 0..15:
// below 7 it hovers 15 to 45 units over the ground with the camera trailing
// it; from 7 up the camera looks straight down from 300 to 1,500 units and
// the saucer is held at the centre of the view. Sizes are multiples of the
// saucer's base size 3.
#pragma once

#include "math/Types.h"

class cFlySwimSaucer {
 public:
  int level = 0;
  Ru::Math::Vector3 position, target, velocity;
  Ru::Math::Vector3 cameraAnchor;  // what the top-down camera is built on
  float screenX = 0.0f, screenY = 0.0f;
  Ru::Math::Vector3 up, smoothedUp, upVelocity;
};

namespace nFlySwim {

constexpr int kSaucerMaxLevel = 15;
constexpr int kSaucerFirstHighLevel = 7;  // from here up the camera looks straight down

// The level after one poll's wheel: a step away from the user lowers it.
int SaucerLevelAfterWheel(int level, int wheel);
int SaucerHoverHeight(int level);         // 15 + 30 x min(level, 6) / 6, truncated
float SaucerTopDownDistance(int level);   // 300 + 150 x (level - 7), for levels 7..15

cFlySwimSaucer* CreateSaucer();  // at the hover height over a random point, its target over another
void StepSaucer(cFlySwimSaucer& saucer, int wheel);
void SteerSaucerCamera(cFlySwimSaucer& saucer);
// The ground under the cursor raised to the hover height; false when the cursor misses the planet.
bool PickSaucerTarget(const cFlySwimSaucer& saucer, Ru::Math::Vector3& point);
void SetSaucerTarget(cFlySwimSaucer& saucer, const Ru::Math::Vector3& point);
void DrawSaucerTargetMarker(const cFlySwimSaucer& saucer);
void DrawSaucer(cFlySwimSaucer& saucer);  // high up, also moves its target to the centre of the view

}  // namespace nFlySwim
