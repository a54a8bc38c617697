// Surface paths: from start to goal, around forbidden ground, empty on failure.
#include <gtest/gtest.h>

#include <cmath>

#include "math/Vector.h"
#include "tests/world/planet/PlanetTestSupport.h"

using namespace Ru::Math;

namespace {

struct cAcceptAll : cPlanetModel::cOverlandTravelCost {
  bool IsPassable(const Vector3&, const Quaternion&) override { return true; }
};

// Forbids a disc of ground (by surface distance) around a centre point.
struct cAvoidDisc : cPlanetModel::cOverlandTravelCost {
  const cPlanetModel* planet;
  Vector3 centre;
  float radius;
  cAvoidDisc(const cPlanetModel* p, Vector3 c, float r) : planet(p), centre(c), radius(r) {}
  bool IsPassable(const Vector3& p, const Quaternion&) override { return planet->GetSurfaceDistance(p, centre) > radius; }
};

struct cRejectAll : cPlanetModel::cOverlandTravelCost {
  bool IsPassable(const Vector3&, const Quaternion&) override { return false; }
};

Vector3 SurfacePoint(const cPlanetModel& planet, Vector3 d) {
  Vector3 out;
  planet.ProjectToSurface(out, d);
  return out;
}

}  // namespace

TEST(PlanetPath, StraightPathRunsFromStartToGoal) {
  auto planet = MakePlanet([](const Vector3&) { return 10.0f; });
  const Vector3 start = SurfacePoint(*planet, Vector3{0, 0, 1});
  const Vector3 goal = SurfacePoint(*planet, Vector3{0.2f, 0.05f, 1});
  cAcceptAll all;
  std::list<Vector3> path = planet->FindPath(start, goal, &all);
  ASSERT_GE(path.size(), 2u);
  EXPECT_TRUE(Vector3Equal(path.front(), start));
  EXPECT_TRUE(Vector3Equal(path.back(), goal));
  // Along the surface line: every point near the great circle through both ends.
  const Vector3 normal = Vector3Normalized(CrossProduct(start, goal));
  for (const Vector3& p : path) EXPECT_LT(std::fabs(Vector3Dot(Vector3Normalized(p), normal)), 0.01f);
  // Consecutive samples are close: a sample every 5 steps, the goal within 5 of the last.
  for (auto it = std::next(path.begin()); it != path.end(); ++it)
    EXPECT_LT(Vector3Length(Vector3Sub(*it, *std::prev(it))), 11.0f);
}

TEST(PlanetPath, CloseEndsGiveStartThenGoal) {
  auto planet = MakePlanet([](const Vector3&) { return 10.0f; });
  const Vector3 start = SurfacePoint(*planet, Vector3{0, 0, 1});
  const Vector3 goal = Vector3Add(start, Vector3{2.0f, 0, 0});
  cAcceptAll all;
  std::list<Vector3> path = planet->FindPath(start, goal, &all);
  ASSERT_EQ(path.size(), 2u);
  EXPECT_TRUE(Vector3Equal(path.front(), start));
  EXPECT_TRUE(Vector3Equal(path.back(), goal));
}

TEST(PlanetPath, GoesAroundForbiddenGround) {
  auto planet = MakePlanet([](const Vector3&) { return 10.0f; });
  const Vector3 start = SurfacePoint(*planet, Vector3{-0.25f, 0, 1});
  const Vector3 goal = SurfacePoint(*planet, Vector3{0.25f, 0, 1});
  const Vector3 middle = SurfacePoint(*planet, Vector3{0, 0, 1});
  cAvoidDisc disc(planet.get(), middle, 40.0f);
  std::list<Vector3> path = planet->FindPath(start, goal, &disc);
  ASSERT_GE(path.size(), 3u);
  EXPECT_TRUE(Vector3Equal(path.front(), start));
  EXPECT_TRUE(Vector3Equal(path.back(), goal));
  bool detoured = false;
  for (const Vector3& p : path) {
    EXPECT_GT(planet->GetSurfaceDistance(p, middle), 39.0f);  // never inside the forbidden disc
    detoured |= std::fabs(p.y) > 30.0f;
  }
  EXPECT_TRUE(detoured);
  // Segments between samples do not cut through the disc either.
  for (auto it = std::next(path.begin()); it != path.end(); ++it) {
    Vector3 mid = Vector3Scale(Vector3Add(*it, *std::prev(it)), 0.5f);
    EXPECT_GT(planet->GetSurfaceDistance(mid, middle), 35.0f);
  }
}

TEST(PlanetPath, FailedSearchReturnsNothing) {
  auto planet = MakePlanet([](const Vector3&) { return 10.0f; });
  const Vector3 start = SurfacePoint(*planet, Vector3{-0.2f, 0, 1});
  const Vector3 goal = SurfacePoint(*planet, Vector3{0.2f, 0, 1});
  cRejectAll none;
  EXPECT_TRUE(planet->FindPath(start, goal, &none).empty());
  EXPECT_TRUE(planet->FindPath(start, goal, nullptr).empty());
}
