#include "camera/CameraView.h"

#include "camera/Camera.h"
#include "math/Math.h"

using namespace Ru::Math;

namespace {
Matrix4 StoredView() {
  Matrix4 m;
  ComputeCameraView(m.m);
  return m;
}
Matrix4 StoredProjection() {
  Matrix4 m;
  GetCameraViewMatrix(m.m);
  return m;
}
// OpenGL's column-order arrays read as row-vector matrices: p * view * projection.
Vector3 Homogeneous(const Vector4& v) { return Vector3{v.x / v.w, v.y / v.w, v.z / v.w}; }
}  // namespace

Vector3 GetCameraEyePosition() {
  const Matrix4 inverse = Matrix4RigidInverse(StoredView());
  return Vector3{inverse.m[12], inverse.m[13], inverse.m[14]};
}

Ray CameraScreenPointToRay(int x, int y) {
  int width = 1, height = 1;
  GetCameraHost().GetWindowSize(width, height);
  Matrix4 inverseProjection;
  // Inverted apart so the near and far planes' spread does not cost precision.
  if (Matrix4Inverse(StoredProjection(), inverseProjection) == 0.0f) return Ray{};
  const Matrix4 inverseView = Matrix4RigidInverse(StoredView());
  const float nx = 2.0f * (float)x / (float)width - 1.0f;
  const float ny = 2.0f * (float)(height - y) / (float)height - 1.0f;
  const Vector4 nearEye = Vector4MulMatrix4(Vector4{nx, ny, -1.0f, 1.0f}, inverseProjection);
  const Vector4 farEye = Vector4MulMatrix4(Vector4{nx, ny, 1.0f, 1.0f}, inverseProjection);
  if (nearEye.w == 0.0f || farEye.w == 0.0f) return Ray{};
  const Vector3 n = Homogeneous(nearEye), f = Homogeneous(farEye);
  const Vector4 nearWorld = Vector4MulMatrix4(Vector4{n.x, n.y, n.z, 1.0f}, inverseView);
  const Vector4 farWorld = Vector4MulMatrix4(Vector4{f.x, f.y, f.z, 1.0f}, inverseView);
  const Vector3 origin{nearWorld.x, nearWorld.y, nearWorld.z};
  Vector3 direction;
  if (Vector3NormalizeSafe(Vector3Sub(Vector3{farWorld.x, farWorld.y, farWorld.z}, origin), direction) <= 0.0f)
    return Ray{};
  return Ray{origin, direction};
}

bool CameraProjectToWindow(const Vector3& point, float& x, float& y) {
  int width = 1, height = 1;
  GetCameraHost().GetWindowSize(width, height);
  const Vector4 clip =
      Vector4MulMatrix4(Vector4MulMatrix4(Vector4{point.x, point.y, point.z, 1.0f}, StoredView()), StoredProjection());
  if (!(clip.w > 0.0f)) return false;
  const Vector3 ndc = Homogeneous(clip);
  x = (ndc.x + 1.0f) * 0.5f * (float)width;
  y = (float)height - (ndc.y + 1.0f) * 0.5f * (float)height;
  return true;
}
