#include "camera/Camera.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "camera/CameraView.h"
#include "math/Math.h"

using namespace Ru::Math;

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kTiny = 1.0f / 65536.0f;  // 2^-16

Vector3 V3(const float v[3]) { return Vector3{v[0], v[1], v[2]}; }
Quaternion Q4(const float q[4]) { return Quaternion{q[0], q[1], q[2], q[3]}; }
void Store(const Vector3& v, float out[3]) { std::memcpy(out, &v.x, 3 * sizeof(float)); }
void Store(const Quaternion& q, float out[4]) { std::memcpy(out, &q.x, 4 * sizeof(float)); }

Quaternion YawTurn(float degrees) { return QuatFromAngleAxis(Vector3{0.0f, 1.0f, 0.0f}, DegToRad(degrees)); }

// The great-circle step from one unit direction towards another. Opposite
// directions have no one great circle: they turn about the axis of the turn
// the frames are making (so anchor and frame travel together), else about any
// axis square to `a`, instead of dividing by a zero sine.
Vector3 SlerpDirection(const Vector3& a, const Vector3& b, float t, const Quaternion& frameTurn) {
  if (Vector3Dot(a, b) > -0.9999f) return Vector3Slerp(a, b, t);
  Vector3 axis{frameTurn.x, frameTurn.y, frameTurn.z};
  axis = Vector3Sub(axis, Vector3Scale(a, Vector3Dot(axis, a)));
  if (Vector3Length(axis) < kTiny) axis = CrossProduct(a, Vector3{1.0f, 0.0f, 0.0f});
  if (Vector3Length(axis) < kTiny) axis = CrossProduct(a, Vector3{0.0f, 0.0f, 1.0f});
  axis = Vector3Normalized(axis);
  const float angle = 3.1415927f * t;
  return Vector3Add(Vector3Scale(a, std::cos(angle)), Vector3Scale(CrossProduct(axis, a), std::sin(angle)));
}

// m = m * r, both 4x4 in OpenGL's column order (what glMultMatrixf does).
void MultiplyGL(float m[16], const float r[16]) {
  float out[16];
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * r[c * 4 + k];
      out[c * 4 + row] = sum;
    }
  std::memcpy(m, out, sizeof out);
}

void TranslateGL(float m[16], float x, float y, float z) {
  const float t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
  MultiplyGL(m, t);
}

// glRotatef's matrix: degrees about an axis it normalises; a zero axis turns nothing.
void RotateGL(float m[16], float degrees, float x, float y, float z) {
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length < 1e-4f) return;
  x /= length;
  y /= length;
  z /= length;
  const float s = std::sin(DegToRad(degrees)), c = std::cos(DegToRad(degrees)), k = 1.0f - c;
  const float r[16] = {x * x * k + c,     y * x * k + z * s, x * z * k - y * s, 0,
                       x * y * k - z * s, y * y * k + c,     y * z * k + x * s, 0,
                       x * z * k + y * s, y * z * k - x * s, z * z * k + c,     0,
                       0,                 0,                 0,                 1};
  MultiplyGL(m, r);
}

Vector3 EyePosition() { return GetCameraEyePosition(); }

cICameraHost gDefaultCameraHost;
cICameraHost* gCameraHost = &gDefaultCameraHost;

}  // namespace

void cICameraHost::GetWindowSize(int& width, int& height) {
  width = height = 1;
  if (glutGet(GLUT_INIT_STATE) && glutGetWindow() != 0) {
    width = std::max(1, glutGet(GLUT_WINDOW_WIDTH));
    height = std::max(1, glutGet(GLUT_WINDOW_HEIGHT));  // a minimised window has no height
  }
}

void SetCameraHost(cICameraHost* host) { gCameraHost = host ? host : &gDefaultCameraHost; }
cICameraHost& GetCameraHost() { return *gCameraHost; }

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

void SetCameraDistance(float distance) {
  GetCameraState().currentDistance = distance;
  GetCameraState().targetDistance = distance;
}

void SetCameraMaxDistance(float distance) { GetCameraState().maxLagDistance = distance; }

void SetCameraAnchorFrame(const float anchor[3], const float q[4]) {
  cCameraState& s = GetCameraState();
  std::memcpy(s.anchor, anchor, sizeof(s.anchor));
  std::memcpy(s.targetAnchor, anchor, sizeof(s.targetAnchor));
  std::memcpy(s.baseOrientation, q, sizeof(s.baseOrientation));
  std::memcpy(s.targetFrame, q, sizeof(s.targetFrame));
}

void GetCameraPositionOrientation(float position[3], float q[4]) {
  const cCameraState& s = GetCameraState();
  if (position) std::memcpy(position, s.targetAnchor, sizeof(s.targetAnchor));
  if (q) std::memcpy(q, s.targetFrame, sizeof(s.targetFrame));
}

void SetCameraPositionOrientation(const float position[3], const float q[4]) {
  cCameraState& s = GetCameraState();
  std::memcpy(s.targetAnchor, position, sizeof(s.targetAnchor));
  std::memcpy(s.targetFrame, q, sizeof(s.targetFrame));
}

const float* GetCameraPosition() { return GetCameraState().targetAnchor; }
const float* GetCameraOrientation() { return GetCameraState().targetFrame; }
const float* GetCameraAnchor() { return GetCameraState().anchor; }
const float* GetCameraBaseOrientation() { return GetCameraState().baseOrientation; }

void SetCameraMouseMove(int dx, int dy) {
  GetCameraState().mouseMoveX = dx;
  GetCameraState().mouseMoveY = dy;
}

void SetCameraAvatarSpeed(float speed) { GetCameraState().avatarSpeed = speed; }
int* GetCameraEdgeScrollFlag() { return &GetCameraState().edgeScroll; }

void SetCameraViewMatrix(const float m[16]) { std::memcpy(GetCameraState().projectionMatrix, m, 16 * sizeof(float)); }
void GetCameraViewMatrix(float m[16]) { std::memcpy(m, GetCameraState().projectionMatrix, 16 * sizeof(float)); }

float InterpolateAngle(float from, float to, float t) {
  if (!std::isfinite(to)) return from;
  if (!std::isfinite(from)) return to;  // a spoilt current value recovers at once
  // One remainder instead of adding turns in a loop: a loop never ends once
  // the difference is too large for a turn to change it.
  const float d = std::remainder(to - from, kTwoPi);
  return from + d * t;
}

void UpdateCameraFrame() {
  cCameraState& s = GetCameraState();
  const float t = GetCameraHost().IsCivModeCurrent() ? 0.06f : 0.1f;  // per frame, not per second
  s.currentYaw = RadToDeg(InterpolateAngle(DegToRad(s.currentYaw), DegToRad(s.targetYaw), t));
  s.currentPitch = RadToDeg(InterpolateAngle(DegToRad(s.currentPitch), DegToRad(s.targetPitch), t));
  s.currentDistance += (s.targetDistance - s.currentDistance) * t;

  const Vector3 anchor = V3(s.anchor), target = V3(s.targetAnchor);
  const float la = Vector3Length(anchor), lt = Vector3Length(target);
  bool glide = false;
  Vector3 da, dt;
  if (la * la > kTiny && lt * lt > kTiny) {
    da = Vector3Scale(anchor, 1.0f / la);
    dt = Vector3Scale(target, 1.0f / lt);
    for (int i = 0; i < 3; ++i)
      if (std::fabs(da[i] - dt[i]) > kTiny) glide = true;
  }
  if (glide) {
    const Quaternion frameTurn = QuatMultiply(Q4(s.targetFrame), QuatInverse(Q4(s.baseOrientation)));
    Store(Vector3Scale(SlerpDirection(da, dt, t, frameTurn), la + (lt - la) * t), s.anchor);
  } else {
    std::memcpy(s.anchor, s.targetAnchor, sizeof(s.anchor));
  }

  const Vector3 lag = Vector3Sub(V3(s.anchor), target);
  const float lagLength = Vector3Length(lag);
  if (lagLength > s.maxLagDistance) Store(Vector3Add(target, Vector3Scale(lag, s.maxLagDistance / lagLength)), s.anchor);

  bool close = true;
  for (int i = 0; i < 4; ++i)
    if (std::fabs(s.baseOrientation[i] - s.targetFrame[i]) > kTiny) close = false;
  if (close) std::memcpy(s.baseOrientation, s.targetFrame, sizeof(s.baseOrientation));
  else Store(QuatSlerp(Q4(s.baseOrientation), Q4(s.targetFrame), t), s.baseOrientation);

  if (s.targetYaw >= 180.0f && s.currentYaw >= 180.0f) {
    s.targetYaw -= 360.0f;
    s.currentYaw -= 360.0f;
  } else if (s.targetYaw <= -180.0f && s.currentYaw <= -180.0f) {
    s.targetYaw += 360.0f;
    s.currentYaw += 360.0f;
  }
}

void ComputeCameraView(float out[16]) {
  const cCameraState& s = GetCameraState();
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  TranslateGL(m, 0.0f, 0.0f, -s.currentDistance);
  RotateGL(m, s.currentPitch, 1.0f, 0.0f, 0.0f);
  RotateGL(m, s.currentYaw, 0.0f, 1.0f, 0.0f);
  const float* q = s.baseOrientation;
  if (q[3] < 1.0f) {
    const float half = std::acos(std::clamp(q[3], -1.0f, 1.0f));
    const float sinHalf = std::sin(half);
    // The frame's turn, in degrees as glRotatef takes them. A zero quaternion
    // (no frame set yet) has no axis and turns nothing.
    if (half > 0.0f && sinHalf > kTiny) RotateGL(m, RadToDeg(-(2.0f * half)), q[0] / sinHalf, q[1] / sinHalf, q[2] / sinHalf);
  }
  TranslateGL(m, -s.anchor[0], -s.anchor[1], -s.anchor[2]);
  std::memcpy(out, m, sizeof m);
}

void ApplyCameraView(float out[16]) {
  float m[16];
  ComputeCameraView(m);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(m);
  if (out) std::memcpy(out, m, sizeof m);
}

void CommitCameraYaw() {
  cCameraState& s = GetCameraState();
  Store(QuatMultiply(Q4(s.baseOrientation), YawTurn(-s.currentYaw)), s.baseOrientation);
  Store(QuatMultiply(Q4(s.targetFrame), YawTurn(-s.targetYaw)), s.targetFrame);
  s.currentYaw = 0.0f;
  s.targetYaw = 0.0f;
}

void CenterCameraOn(const float point[3]) {
  cCameraState& s = GetCameraState();
  Vector3 a, b;
  Quaternion turn = QuatIdentity();  // an anchor at the centre has no direction to turn from
  if (Vector3NormalizeSafe(V3(s.anchor), a) > 0.0f && Vector3NormalizeSafe(V3(point), b) > 0.0f) {
    const Vector3 sum = Vector3Add(a, b);
    if (Vector3Length(sum) >= kTiny) {
      const Vector3 h = Vector3Normalized(sum);
      const Vector3 axis = CrossProduct(a, h);
      turn = Quaternion{axis.x, axis.y, axis.z, Vector3Dot(a, h)};
    } else {
      // The point is opposite the anchor: a half turn about the axis that
      // carries the view direction over the top.
      Vector3 u;
      Vector3NormalizeSafe(Vector3Sub(V3(s.anchor), EyePosition()), u);
      Vector3 axis = CrossProduct(a, CrossProduct(u, a));
      if (Vector3Length(axis) < kTiny) axis = CrossProduct(a, Vector3{1.0f, 0.0f, 0.0f});
      if (Vector3Length(axis) < kTiny) axis = CrossProduct(a, Vector3{0.0f, 0.0f, 1.0f});
      axis = Vector3Normalized(axis);
      turn = Quaternion{axis.x, axis.y, axis.z, 0.0f};
    }
  }
  Store(QuatMultiply(turn, Q4(s.baseOrientation)), s.targetFrame);
  std::memcpy(s.targetAnchor, point, sizeof(s.targetAnchor));
}
