// The fly/swim mode's immediate-mode drawing aids, drawn after the planet and
// the scene: target markers, selection rings, screen markers, bubble trails,
// the school, the specks and the light rays. Each needs the main window's GL
// context; the numbers they draw from are computed elsewhere and tested there.
#pragma once

#include "math/Types.h"
#include "modes/dev/flyswim/FlySwimState.h"

namespace nFlySwim {

// Face culling off for a scope, then as it was (the program draws without it).
class cCullingOff {
 public:
  cCullingOff();
  ~cCullingOff();
  cCullingOff(const cCullingOff&) = delete;
  cCullingOff& operator=(const cCullingOff&) = delete;

 private:
  bool mWasOn;
};

void SetColour(const Ru::Math::Vector3& rgb, float alpha);
void DrawSphere(const Ru::Math::Vector3& centre, float radius);  // 16 slices and stacks
void DrawSphereMarker(const Ru::Math::Vector3& point, float size);
void DrawScreenMarker2D(float x, float y, float radius, float lineWidth);  // y from the top
void DrawRing(const Ru::Math::Vector3& centre, float radius, int segments);  // on the ground's tangent plane
void DrawUnitDebug(sUnit& unit);
void DrawUnitBubbles(const sUnit& unit);
void DrawSchool(const sSchoolFish* school, int count);  // fills first, then outlines
void DrawSpecks(const sSpeck* specks);
void DrawLightRays(const sLightRay* rays);
// Made once, drawn where in view; with a fog's end (0 for none) only what lies
// nearer than that is drawn.
void DrawWaterSphere(float radius, float fogEnd = 0.0f);
// Off, the sea is drawn wherever it is in view, fog and planet or not: the
// reference the picture comparisons draw against.
void SetSeaCullingEnabled(bool enabled);
void FreeWaterSphere();

}  // namespace nFlySwim
