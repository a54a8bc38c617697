#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>

#include "camera/Camera.h"
#include "camera/CameraView.h"
#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimDraw.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/cFlySwimSaucer.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace nFlySwim {

namespace {
constexpr float kSize = 3.0f;                      // the saucer's base size; the rest are multiples
constexpr int kLowCameraDistance = 3 * 17;         // 51, at level 0
constexpr int kHighCameraDistance = 3 * 60;        // 180, at level 6
constexpr int kLowHover = 3 * 5, kHighHover = 3 * 15;  // 15 and 45
constexpr float kNearTopDown = kSize * 100.0f, kFarTopDown = kSize * 500.0f;  // 300 and 1,500
constexpr float kCatchUpDistance = kHighCameraDistance * 1.5f;                  // 270
constexpr float kMaxSpeed = 4.0f;                  // per frame
constexpr float kGroundCushion = kSize * 6.0f;     // 18: the ground pushes back inside this

const Vector3 kRed{1.0f, 0.0f, 0.0f}, kWhite{1.0f, 1.0f, 1.0f}, kBlue{0.0f, 0.0f, 1.0f},
    kYellow{1.0f, 1.0f, 0.0f}, kMagenta{1.0f, 0.0f, 1.0f}, kHull{0.7f, 0.75f, 0.8f}, kTrail{0.5f, 1.0f, 0.5f};

bool IsHigh(const cFlySwimSaucer& saucer) { return saucer.level >= kSaucerFirstHighLevel; }

Vector3 RandomPointAtHeight(float height) { return PointAtHeight(RandomUnitDirection(), height); }

// The planet under the middle of the window, where the top-down view holds the saucer.
bool PlanetAtViewCentre(Vector3& point) {
  int width = 1, height = 1;
  GetCameraHost().GetWindowSize(width, height);
  Vector3 hit;
  GetPlanetModel().IntersectRayAtHeight(hit, CameraScreenPointToRay(width / 2, height / 2), 0.0f);
  if (IsZeroVector(hit)) return false;
  point = hit;
  return true;
}

void Line(const Vector3& a, const Vector3& b) {
  glBegin(GL_LINES);
  glVertex3f(a.x, a.y, a.z);
  glVertex3f(b.x, b.y, b.z);
  glEnd();
}
}  // namespace

int SaucerLevelAfterWheel(int level, int wheel) { return std::clamp(level - wheel, 0, kSaucerMaxLevel); }

int SaucerHoverHeight(int level) {
  return (int)((float)kLowHover + (float)(kHighHover - kLowHover) * (float)std::clamp(level, 0, 6) / 6.0f);
}

float SaucerTopDownDistance(int level) {
  const float f = (float)(std::clamp(level, kSaucerFirstHighLevel, kSaucerMaxLevel) - kSaucerFirstHighLevel) * 0.125f;
  return kNearTopDown + (kFarTopDown - kNearTopDown) * f;
}

cFlySwimSaucer* CreateSaucer() {
  cFlySwimSaucer* saucer = new cFlySwimSaucer();
  const float hover = (float)SaucerHoverHeight(0);
  saucer->position = RandomPointAtHeight(hover);
  saucer->target = RandomPointAtHeight(hover);
  saucer->cameraAnchor = saucer->target;
  return saucer;
}

void StepSaucer(cFlySwimSaucer& s, int wheel) {
  const Vector3 sum = Vector3Add(s.upVelocity, s.smoothedUp);
  if (!IsZeroVector(sum)) s.smoothedUp = Normalize(sum);
  s.upVelocity = Vector3Add(Vector3Scale(s.upVelocity, 0.5f), Vector3Scale(Vector3Sub(s.up, s.smoothedUp), 0.25f));

  s.level = SaucerLevelAfterWheel(s.level, wheel);

  if (IsHigh(s)) {
    s.velocity = Vector3Add(s.velocity, Vector3Scale(Vector3Sub(s.target, s.position), 0.1f));
    s.velocity = ClampLength(Vector3Scale(s.velocity, 0.5f), kMaxSpeed);
    if (!IsZeroVector(s.velocity)) s.position = Vector3Add(s.position, s.velocity);
    return;
  }

  s.target = PointAtHeight(s.target, (float)SaucerHoverHeight(s.level));
  // Coming down from the top-down view it would fall a long way: close most of it at once.
  if (HeightAboveGround(s.position) > kHighHover * 1.5f) s.position = Vector3Lerp(s.position, s.target, 0.25f);
  s.velocity = Vector3Scale(s.velocity, 0.7f);
  s.position = Vector3Add(s.position, s.velocity);
  s.velocity = Vector3Add(s.velocity, Vector3Scale(Vector3Sub(s.target, s.position), 0.2f));

  // The cushion pushes hardest at the ground and no harder below it (past twice its depth the
  // curve would turn and pull the saucer in).
  const float over = std::min(
      Vector3Length(PointAtHeight(s.position, 0.0f)) + kGroundCushion - Vector3Length(s.position), kGroundCushion);
  if (over > 0.0f) {
    const float k = 1.0f - (1.0f - over / kGroundCushion) * (1.0f - over / kGroundCushion);
    s.velocity = Vector3Add(s.velocity, Vector3Scale(Normalize(s.position), 2.0f * k));
  }
  s.velocity = ClampLength(s.velocity, kMaxSpeed);

  // Upright, leaning towards where it goes.
  s.up = Normalize(s.position);
  const float ahead = std::max(Distance(s.position, s.target), kSize * 3.0f);
  const Vector3 lean = Vector3Sub(SetLength(s.target, Vector3Length(s.position) + ahead), s.position);
  if (!IsZeroVector(lean)) s.up = Normalize(lean);
}

void SteerSaucerCamera(cFlySwimSaucer& s) {
  Quaternion q;
  if (IsHigh(s)) {
    const Vector3 north = Vector3Sub(PointAtHeight(Vector3{0.0f, 0.0f, 1.0f}, 0.0f), s.cameraAnchor);
    cPlanetModel::MakeSurfaceOrientation(q, s.cameraAnchor, north);
    SetCameraPositionOrientation(&s.cameraAnchor.x, &q.x);
    SetCameraTargetAngles(0.0f, 90.0f, SaucerTopDownDistance(s.level));
    return;
  }
  Vector3 anchor;
  GetCameraPositionOrientation(&anchor.x, &q.x);
  const Vector3 g = PointAtHeight(s.position, 0.0f), h = PointAtHeight(s.target, 0.0f);
  if (Distance(h, g) > kSize * 3.0f) cPlanetModel::MakeSurfaceOrientation(q, g, Normalize(Vector3Sub(g, h)));
  // A frame kept from elsewhere on the planet (the saucer appears anywhere) would put the eye
  // inside the ground: keep its heading, stand it up where the camera now goes.
  else cPlanetModel::AlignOrientationToSurface(q, g, q);
  if (Distance(GetViewEyePosition(), s.position) > kCatchUpDistance) {
    const float* a = GetCameraAnchor();
    const Vector3 halfway = Vector3Lerp(Vector3{a[0], a[1], a[2]}, s.position, 0.5f);
    const float* base = GetCameraBaseOrientation();
    const Quaternion frame{base[0], base[1], base[2], base[3]};  // a copy: the call overwrites the base
    SetCameraAnchorFrame(&halfway.x, &frame.x);
  }
  const Vector3 trailing = Vector3Lerp(g, s.position, 0.3f);
  SetCameraPositionOrientation(&trailing.x, &q.x);
  const float f = (float)std::clamp(s.level, 0, 6) / 6.0f;
  float yaw = 0.0f;
  GetCameraTargetAngles(&yaw, nullptr, nullptr);
  SetCameraTargetAngles(yaw, (float)(int)(f * 25.0f + 20.0f),
                        (float)(int)((float)kLowCameraDistance + (float)(kHighCameraDistance - kLowCameraDistance) * f));
}

bool PickSaucerTarget(const cFlySwimSaucer& saucer, Vector3& point) {
  Vector3 ground;
  if (!PickPlanetAtCursor(ground, 0.0f)) return false;
  point = PointAtHeight(ground, (float)SaucerHoverHeight(saucer.level));
  return true;
}

void SetSaucerTarget(cFlySwimSaucer& s, const Vector3& point) {
  s.cameraAnchor = point;
  if (!IsHigh(s)) s.target = point;
  s.cameraAnchor = PointAtHeight(s.cameraAnchor, 0.0f);
}

void DrawSaucerTargetMarker(const cFlySwimSaucer& saucer) {
  Vector3 ground;
  if (!PickPlanetAtCursor(ground, 0.0f)) return;
  SetColour(Vector3Lerp(kRed, kWhite, 0.5f), 0.9f);
  DrawSphereMarker(PointAtHeight(ground, (float)SaucerHoverHeight(saucer.level)), 0.4f);
}

void DrawSaucer(cFlySwimSaucer& s) {
  if (s.level > 6) {
    Vector3 centre;
    if (PlanetAtViewCentre(centre)) s.target = centre;
    SetColour(kMagenta, 1.0f);
    DrawSphere(s.target, kSize * 0.35f);
    s.position = Vector3Add(s.target, ClampLength(Vector3Sub(s.position, s.target), kSize * 0.5f));
    if (!Vector3Equal(s.position, s.target)) s.up = Normalize(Vector3Sub(s.position, s.target));
  }
  SetColour(kHull, 1.0f);
  DrawSphereMarker(s.position, kSize);

  glDisable(GL_LIGHTING);  // lines and their colours as given
  SetColour(kTrail, 0.8f);
  Line(s.position, s.target);
  const Vector3 mast = Vector3Add(s.position, Vector3Scale(s.smoothedUp, kSize * 1.5f));
  glLineWidth(3.0f);
  SetColour(kRed, 1.0f);
  Line(s.position, mast);
  glLineWidth(1.0f);
  DrawSphere(mast, kSize * 0.15f);
  SetColour(kBlue, 1.0f);
  DrawSphere(Vector3Add(s.position, Vector3Scale(s.smoothedUp, -kSize * 0.5f)), kSize * 0.5f);

  CameraProjectToWindow(s.position, s.screenX, s.screenY);

  char text[32];
  std::snprintf(text, sizeof text, "wheel %d", s.level);
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f, 1.0f);
  DrawText2D(10, 100, GLUT_BITMAP_8_BY_13, text);
  End2D();

  SetColour(kYellow, 1.0f);
  DrawSphere(s.target, 1.0f);
  glEnable(GL_LIGHTING);
}

}  // namespace nFlySwim
