#include "camera/Camera.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "math/Scalar.h"

using Ru::Math::DegToRad;
using Ru::Math::RadToDeg;

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kTiny = 1.0f / 65536.0f;  // 2^-16

float InterpolateAngle(float from, float to, float t) {
  float d = to - from;
  // Bounded: a NaN or huge difference must not spin here forever.
  for (int i = 0; i < 64 && d < -kPi; ++i) d += kTwoPi;
  for (int i = 0; i < 64 && d > kPi; ++i) d -= kTwoPi;
  return from + d * t;
}

float Length3(const float v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// Spherical interpolation between two unit directions.
void SlerpDirection(const float a[3], const float b[3], float t, float out[3]) {
  float c = std::clamp(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], -1.0f, 1.0f);
  float angle = std::acos(c);
  float s = std::sin(angle);
  float wa = 1.0f - t, wb = t;
  if (s > 1e-6f) {
    wa = std::sin((1.0f - t) * angle) / s;
    wb = std::sin(t * angle) / s;
  }
  for (int i = 0; i < 3; ++i) out[i] = a[i] * wa + b[i] * wb;
}

// Shortest-arc spherical interpolation between two quaternions (x, y, z, w).
void SlerpQuat(const float a[4], const float b[4], float t, float out[4]) {
  float c = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
  float sign = 1.0f;
  if (c < 0.0f) {
    c = -c;
    sign = -1.0f;
  }
  float wa = 1.0f - t, wb = t;
  if (c < 0.9999f) {
    float angle = std::acos(c);
    float s = std::sin(angle);
    wa = std::sin((1.0f - t) * angle) / s;
    wb = std::sin(t * angle) / s;
  }
  for (int i = 0; i < 4; ++i) out[i] = a[i] * wa + sign * b[i] * wb;
}

}  // namespace

cCameraState& GetCameraState() {
  static cCameraState state;
  return state;
}

void GetCameraAngles(float* yaw, float* pitch, float* distance) {
  const cCameraState& s = GetCameraState();
  if (yaw) *yaw = s.currentYaw;
  if (pitch) *pitch = s.currentPitch;
  if (distance) *distance = s.currentDistance;
}

void SetCameraAngles(float yaw, float pitch, float distance) {
  cCameraState& s = GetCameraState();
  s.currentYaw = yaw;
  s.currentPitch = pitch;
  s.currentDistance = distance;
}

void GetCameraTargetAngles(float* yaw, float* pitch, float* distance) {
  const cCameraState& s = GetCameraState();
  if (yaw) *yaw = s.targetYaw;
  if (pitch) *pitch = s.targetPitch;
  if (distance) *distance = s.targetDistance;
}

void SetCameraTargetAngles(float yaw, float pitch, float distance) {
  cCameraState& s = GetCameraState();
  s.targetYaw = yaw;
  s.targetDistance = distance;
  s.targetPitch = std::max(std::min(pitch, s.maxPitch), s.minPitch);
}

float GetCameraDistance() { return GetCameraState().currentDistance; }

void SetCameraMaxDistance(float distance) { GetCameraState().maxLagDistance = distance; }

void SetCameraAnchorFrame(const float anchor[3], const float q[4]) {
  cCameraState& s = GetCameraState();
  std::memcpy(s.anchor, anchor, sizeof(s.anchor));
  std::memcpy(s.targetAnchor, anchor, sizeof(s.targetAnchor));
  std::memcpy(s.baseOrientation, q, sizeof(s.baseOrientation));
  std::memcpy(s.targetFrame, q, sizeof(s.targetFrame));
}

const float* GetCameraAnchor() { return GetCameraState().anchor; }
const float* GetCameraBaseOrientation() { return GetCameraState().baseOrientation; }

void SetCameraViewMatrix(const float m[16]) { std::memcpy(GetCameraState().projectionMatrix, m, 16 * sizeof(float)); }
void GetCameraViewMatrix(float m[16]) { std::memcpy(m, GetCameraState().projectionMatrix, 16 * sizeof(float)); }

void UpdateCameraFrame() {
  cCameraState& s = GetCameraState();
  // The civ mode's slower glide arrives with the modes; the default rate is 0.1 per frame.
  const float t = 0.1f;
  s.currentYaw = RadToDeg(InterpolateAngle(DegToRad(s.currentYaw), DegToRad(s.targetYaw), t));
  s.currentPitch = RadToDeg(InterpolateAngle(DegToRad(s.currentPitch), DegToRad(s.targetPitch), t));
  s.currentDistance += (s.targetDistance - s.currentDistance) * t;

  float la = Length3(s.anchor), lt = Length3(s.targetAnchor);
  bool glide = false;
  float da[3], dt[3];
  if (la * la > kTiny && lt * lt > kTiny) {
    for (int i = 0; i < 3; ++i) {
      da[i] = s.anchor[i] / la;
      dt[i] = s.targetAnchor[i] / lt;
      if (std::fabs(da[i] - dt[i]) > kTiny) glide = true;
    }
  }
  if (glide) {
    float dir[3];
    SlerpDirection(da, dt, t, dir);
    float len = la + (lt - la) * t;
    for (int i = 0; i < 3; ++i) s.anchor[i] = dir[i] * len;
  } else {
    std::memcpy(s.anchor, s.targetAnchor, sizeof(s.anchor));
  }

  float lag[3] = {s.anchor[0] - s.targetAnchor[0], s.anchor[1] - s.targetAnchor[1], s.anchor[2] - s.targetAnchor[2]};
  float lagLength = Length3(lag);
  if (lagLength > s.maxLagDistance) {
    for (int i = 0; i < 3; ++i) s.anchor[i] = s.targetAnchor[i] + lag[i] / lagLength * s.maxLagDistance;
  }

  bool close = true;
  for (int i = 0; i < 4; ++i)
    if (std::fabs(s.baseOrientation[i] - s.targetFrame[i]) > kTiny) close = false;
  if (close) {
    std::memcpy(s.baseOrientation, s.targetFrame, sizeof(s.baseOrientation));
  } else {
    float q[4];
    SlerpQuat(s.baseOrientation, s.targetFrame, t, q);
    std::memcpy(s.baseOrientation, q, sizeof(q));
  }

  if (s.targetYaw >= 180.0f && s.currentYaw >= 180.0f) {
    s.targetYaw -= 360.0f;
    s.currentYaw -= 360.0f;
  } else if (s.targetYaw <= -180.0f && s.currentYaw <= -180.0f) {
    s.targetYaw += 360.0f;
    s.currentYaw += 360.0f;
  }
}

void ApplyCameraView(float out[16]) {
  const cCameraState& s = GetCameraState();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -s.currentDistance);
  glRotatef(s.currentPitch, 1.0f, 0.0f, 0.0f);
  glRotatef(s.currentYaw, 0.0f, 1.0f, 0.0f);
  const float* q = s.baseOrientation;
  if (q[3] < 1.0f) {
    float half = std::acos(std::clamp(q[3], -1.0f, 1.0f));
    float angle = RadToDeg(-(2.0f * half));
    float sinHalf = std::sin(half);
    // A zero quaternion (the state before any frame is set) has no axis: skip it.
    if (std::fabs(angle) > 0.0f && sinHalf > kTiny) glRotatef(angle, q[0] / sinHalf, q[1] / sinHalf, q[2] / sinHalf);
  }
  glTranslatef(-s.anchor[0], -s.anchor[1], -s.anchor[2]);
  if (out) glGetFloatv(GL_MODELVIEW_MATRIX, out);
}

void SetCameraOverview(float distance) {
  const float centre[3] = {0.0f, 0.0f, 0.0f};
  const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetCameraAnchorFrame(centre, identity);
  SetCameraAngles(0.0f, 0.0f, distance);
  SetCameraTargetAngles(0.0f, 0.0f, distance);
}
