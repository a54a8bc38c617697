// Surface paths without a graph: four walkers, two from each end, walk straight
// towards the other end and follow the edge of forbidden ground when they meet
// it, one turning left and one right. The first to come close supplies the path.
#include <cmath>

#include "math/Quaternion.h"
#include "math/Vector.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {

constexpr int kTurnDegrees = 15;
constexpr float kArrivalDistance = 5.0f;
constexpr float kMoveDistance = 1.0f;
constexpr float kResumeCosine = 0.7f;
constexpr int kSampleEvery = 5;
constexpr int kMaxIterations = 10000;

struct cPathWalker {
  Vector3 target;
  Vector3 position;
  Quaternion orientation = QuatIdentity();
  bool avoiding = false;
  int turn = kTurnDegrees;
  std::list<Vector3> path;

  float DistanceToTarget() const {
    if (Vector3Length(target) <= 1.0f) return 0.0f;
    return Vector3Length(Vector3Sub(position, target));
  }

  void FaceTarget() {
    if (Vector3Length(target) > 0.0f && !Vector3Equal(position, target))
      cPlanetModel::MakeSurfaceOrientation(orientation, position, Vector3Sub(position, target));
  }

  // Turns about the local up axis; positive degrees turn the heading to the left.
  void Turn(int degrees) {
    const float h = static_cast<float>(degrees) * 3.1415927f / 180.0f * 0.5f;
    orientation = QuatMultiply(orientation, Quaternion{0.0f, std::sin(h), 0.0f, std::cos(h)});
  }

  void Step(const cPlanetModel& planet, cPlanetModel::cITravelCost* cost) {
    Vector3 toTarget = Vector3Sub(target, position);
    const float length = Vector3Length(toTarget);
    const Vector3 d = length > 0.0f ? Vector3Scale(toTarget, 1.0f / length) : Vector3{};
    const Vector3 f = QuatRotateVector(orientation, Vector3{0.0f, 0.0f, -kMoveDistance});
    Vector3 candidate;
    planet.ProjectToSurface(candidate, Vector3Add(position, f));
    if (avoiding) avoiding = Vector3Dot(d, f) < kResumeCosine;
    Quaternion upright;
    cPlanetModel::AlignOrientationToSurface(upright, candidate, orientation);
    if (!cost->IsPassable(candidate, upright)) {
      Turn(turn);
      avoiding = true;
      return;
    }
    orientation = upright;
    position = candidate;
    if (avoiding) Turn(-turn);
  }
};

}  // namespace

struct cPlanetModel::cPathSearch::cState {
  Vector3 start, goal;
  cITravelCost* cost = nullptr;
  int maxRounds = kMaxIterations;
  cPathWalker walkers[4];
  float distance[4] = {};
  int iterations = 0;
  bool AnyArrived() const {
    for (float d : distance)
      if (!(d > kArrivalDistance)) return true;
    return false;
  }
  bool Finished() const { return !cost || AnyArrived() || iterations >= maxRounds; }
};

cPlanetModel::cPathSearch::cPathSearch(const Vector3& start, const Vector3& goal, cITravelCost* cost, int maxRounds)
    : mState(std::make_unique<cState>()) {
  cState& s = *mState;
  s.start = start;
  s.goal = goal;
  s.cost = cost;
  s.maxRounds = maxRounds < kMaxIterations ? maxRounds : kMaxIterations;
  for (int i = 0; i < 4; ++i) {
    cPathWalker& w = s.walkers[i];
    const bool fromStart = i < 2;
    w.position = fromStart ? start : goal;
    w.target = fromStart ? goal : start;
    w.turn = (i == 0 || i == 2) ? kTurnDegrees : -kTurnDegrees;
    w.path.push_back(w.position);
  }
  for (int i = 0; i < 4; ++i) s.distance[i] = s.walkers[i].DistanceToTarget();
}

cPlanetModel::cPathSearch::~cPathSearch() = default;

bool cPlanetModel::cPathSearch::Advance(const cPlanetModel& planet, int rounds) {
  cState& s = *mState;
  for (int n = 0; n < rounds && !s.Finished(); ++n) {
    ++s.iterations;
    if (s.iterations % kSampleEvery == 0)
      for (cPathWalker& w : s.walkers) w.path.push_back(w.position);
    for (int i : {1, 0, 2, 3}) {
      cPathWalker& w = s.walkers[i];
      s.distance[i] = w.DistanceToTarget();
      if (s.distance[i] > 1.0f) {
        if (!w.avoiding) w.FaceTarget();
        w.Step(planet, s.cost);
      }
    }
  }
  return s.Finished();
}

int cPlanetModel::cPathSearch::GetRounds() const { return mState->iterations; }

std::list<Vector3> cPlanetModel::cPathSearch::Result() const {
  const cState& s = *mState;
  // A search that ran out found nothing: say so with an empty path.
  if (!s.cost || !s.AnyArrived()) return {};
  const float* distance = s.distance;
  int best;
  if (distance[0] < distance[1] && distance[0] < distance[2] && distance[0] < distance[3])
    best = 0;
  else if (distance[1] < distance[2] && distance[1] < distance[3])
    best = 1;
  else if (distance[2] < distance[3])
    best = 2;
  else
    best = 3;

  std::list<Vector3> path = s.walkers[best].path;
  if (best < 2) {
    if (!path.empty()) path.pop_back();
    path.push_back(s.goal);
  } else {
    // The walker came from the goal: turn its trail round so the path runs from start to goal.
    path.reverse();
  }
  if (!Vector3Equal(path.front(), s.start)) path.push_front(s.start);
  return path;
}

std::list<Vector3> cPlanetModel::FindPath(const Vector3& start, const Vector3& goal, cITravelCost* cost) const {
  return FindPath(start, goal, cost, kMaxIterations);
}

std::list<Vector3> cPlanetModel::FindPath(const Vector3& start, const Vector3& goal, cITravelCost* cost,
                                          int maxRounds) const {
  cPathSearch search(start, goal, cost, maxRounds);
  search.Advance(*this, kMaxIterations);
  return search.Result();
}
