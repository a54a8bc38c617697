#include "modes/dev/stresstest/StressWalker.h"

#include <cmath>

#include "math/Math.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

constexpr float kArrivalDistance = 5.0f;
constexpr float kJumpHeight = 150.0f;
constexpr float kRiseStep = 2.0f;
constexpr float kSinkStep = 1.0f;
constexpr float kWalkStep = 2.0f;
constexpr float kTargetDistance = 100.0f;

uint64_t gSurfaceQueries = 0;

// A turn about the local up axis by the given degrees.
Quaternion YawTurn(float degrees) {
  const float half = DegToRad(degrees) * 0.5f;
  return Quaternion{0.0f, std::sin(half), 0.0f, std::cos(half)};
}
const Quaternion& Spin() {
  static const Quaternion spin = YawTurn(5.0f);
  return spin;
}
const Quaternion& LeftTurn() {
  static const Quaternion left = YawTurn(30.0f);
  return left;
}
const Quaternion& RightTurn() {
  static const Quaternion right = YawTurn(-30.0f);
  return right;
}

Vector3 Row(const Matrix3& m, int row) { return Vector3{m.At(row, 0), m.At(row, 1), m.At(row, 2)}; }

float SurfaceRadius(const Vector3& point) {
  ++gSurfaceQueries;
  return GetPlanetModel().GetSurfaceRadius(point);
}

}  // namespace

uint64_t GetStressSurfaceQueryCount() { return gSurfaceQueries; }

Vector3 SnapToStressSurface(const Vector3& point) {
  Vector3 surface;
  ++gSurfaceQueries;
  GetPlanetModel().ProjectToSurface(surface, point);
  return surface;
}

void cStressWalker::Step() {
  Vector3 position = object->GetPosition();
  const Vector3 away = Vector3Sub(position, target);
  if (Vector3Length(away) > kArrivalDistance) {
    landed = false;
    rising = true;
    Quaternion facing;
    cPlanetModel::MakeSurfaceOrientation(facing, position, away);  // local z points away from the target
    object->SetOrientation(facing);
    StepForward();
    return;
  }
  if (landed) {
    PickNewTarget();
    return;
  }
  const Quaternion orientation = object->GetOrientation();
  const Vector3 up = Row(QuatToMatrix3(orientation), 1);
  const float ground = SurfaceRadius(position);
  const float height = Vector3Length(position);
  if (rising) {
    if (height >= ground + kJumpHeight) {
      rising = false;
      return;
    }
    position = Vector3Add(position, Vector3Scale(up, kRiseStep));
  } else {
    if (ground >= height) {
      landed = true;
      return;
    }
    position = Vector3Sub(position, Vector3Scale(up, kSinkStep));
  }
  target = position;  // keeps the walker in its jump
  object->SetPosition(position);
  object->SetOrientation(QuatMultiply(orientation, Spin()));
}

void cStressWalker::StepForward() {
  const Vector3 ahead = Row(QuatToMatrix3(object->GetOrientation()), 2);
  object->SetPosition(SnapToStressSurface(Vector3Sub(object->GetPosition(), Vector3Scale(ahead, kWalkStep))));
}

void cStressWalker::PickNewTarget() {
  const float u = static_cast<float>(Sys_Random()) * 3.051851e-5f;
  const Quaternion turned = QuatMultiply(object->GetOrientation(), u <= 0.5f ? RightTurn() : LeftTurn());
  object->SetOrientation(turned);
  const Vector3 ahead = Row(QuatToMatrix3(turned), 2);
  target = SnapToStressSurface(Vector3Sub(object->GetPosition(), Vector3Scale(ahead, kTargetDistance)));
}
