#include "modes/dev/flocktest/HerdFormation.h"

#include <algorithm>
#include <cmath>

#include "math/Math.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

constexpr float kUniformScale = 3.051851e-5f;  // 1 / 32767: the generator's range onto [0, 1]
constexpr float kFullTurn = 6.28318f;
constexpr int kMaxRingTries = 10000;  // a ring with no width (minimum >= maximum) would never be hit

float Uniform() { return (float)Sys_Random() * kUniformScale; }
float Lerp(float a, float b) { return a + (b - a) * Uniform(); }

Quaternion YawAboutY(float angle) { return Quaternion{0.0f, std::sin(angle / 2.0f), 0.0f, std::cos(angle / 2.0f)}; }

}  // namespace

void tHerdFormationOperatorLine::Apply(const Vector3& anchorPosition, const Quaternion& anchorOrientation,
                                       Vector3& memberPosition, Quaternion& memberOrientation,
                                       Vector3& nextPosition, Quaternion& nextOrientation) {
  const Vector3 anchor = anchorPosition;
  const Quaternion facing = anchorOrientation;
  const float d = Lerp(mMinimum, mMaximum);
  const Vector3 position = Vector3Add(anchor, QuatRotateVector(facing, Vector3{0.0f, 0.0f, d}));
  memberPosition = nextPosition = position;
  memberOrientation = nextOrientation = facing;
}

void tHerdFormationOperatorRandom::Apply(const Vector3& anchorPosition, const Quaternion& anchorOrientation,
                                         Vector3& memberPosition, Quaternion& memberOrientation,
                                         Vector3& nextPosition, Quaternion& nextOrientation) {
  const Vector3 anchor = anchorPosition;
  const Quaternion facing = anchorOrientation;
  const Quaternion yaw = YawAboutY(Uniform() * kFullTurn);
  float x = 0.0f, z = 0.0f;
  bool onRing = false;
  for (int tries = 0; tries < kMaxRingTries && !onRing; ++tries) {
    x = Lerp(-mMaximum, mMaximum);
    z = Lerp(-mMaximum, mMaximum);
    const float r = std::sqrt(x * x + z * z);
    onRing = mMinimum < r && r < mMaximum;
  }
  const Vector3 position = Vector3Add(anchor, QuatRotateVector(facing, Vector3{x, 0.0f, z}));
  memberOrientation = nextOrientation = QuatMultiply(facing, yaw);
  memberPosition = nextPosition = position;
}

void tHerdFormationOperatorHuddle::Apply(const Vector3& anchorPosition, const Quaternion& anchorOrientation,
                                         Vector3& memberPosition, Quaternion& memberOrientation,
                                         Vector3& nextPosition, Quaternion& nextOrientation) {
  const Vector3 anchor = anchorPosition;
  const Quaternion facing = anchorOrientation;
  const Quaternion turned = QuatMultiply(facing, YawAboutY(Uniform() * kFullTurn));
  const Vector3 direction = QuatRotateVector(turned, Vector3{0.0f, 0.0f, 1.0f});
  const Vector3 position = Vector3Add(anchor, Vector3Scale(direction, Lerp(mMinimum, mMaximum)));
  Quaternion upright;
  cPlanetModel::MakeSurfaceOrientation(upright, position, Vector3Sub(position, anchor));
  memberPosition = position;
  memberOrientation = upright;
  nextPosition = anchor;
  nextOrientation = facing;
}

void tHerdFormationAggregateModOperator::Apply(const Vector3& anchorPosition, const Quaternion& anchorOrientation,
                                               Vector3& memberPosition, Quaternion& memberOrientation,
                                               Vector3& nextPosition, Quaternion& nextOrientation) {
  const Vector3 anchor = anchorPosition;
  const Quaternion facing = anchorOrientation;
  if (Uniform() >= mProbability) {
    mFirst->Apply(anchor, facing, memberPosition, memberOrientation, nextPosition, nextOrientation);
    return;
  }
  mFirst->Apply(anchor, facing, nextPosition, nextOrientation);
  const Vector3 movedAnchor = nextPosition;
  const Quaternion movedFacing = nextOrientation;
  mSecond->Apply(movedAnchor, movedFacing, memberPosition, memberOrientation);
}

void tHerdFormationSelectOperator::AddOperator(int32_t weight, tHerdFormationOperator* formation) {
  mWeights.push_back(weight);
  mOperators.push_back(formation);
  SumWeights();
}

void tHerdFormationSelectOperator::SetWeight(size_t index, int32_t weight) {
  if (index >= mWeights.size()) return;
  mWeights[index] = weight;
  SumWeights();
}

void tHerdFormationSelectOperator::SumWeights() {
  int64_t total = 0;
  for (int32_t weight : mWeights) total += weight;
  mTotalWeight = (int32_t)std::clamp<int64_t>(total, INT32_MIN, INT32_MAX);  // huge weights saturate
}

int tHerdFormationSelectOperator::Choose() const {
  if (mTotalWeight <= 0) return -1;  // no weight: nothing to choose, and no division by zero
  int32_t r = Sys_Random() % mTotalWeight;
  for (size_t i = 0; i < mWeights.size(); ++i) {
    r -= mWeights[i];
    if (r < 0) return (int)i;
  }
  return -1;
}

void tHerdFormationSelectOperator::Apply(const Vector3& anchorPosition, const Quaternion& anchorOrientation,
                                         Vector3& memberPosition, Quaternion& memberOrientation,
                                         Vector3& nextPosition, Quaternion& nextOrientation) {
  const int chosen = Choose();
  if (chosen < 0 || !mOperators[chosen]) return;
  mOperators[chosen]->Apply(anchorPosition, anchorOrientation, memberPosition, memberOrientation, nextPosition,
                            nextOrientation);
}
