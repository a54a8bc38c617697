// Planes, intersections, the triangle and arc-distance tests, sphere coordinates.
#include "MathTestHelpers.h"

using namespace Ru::Math;
using MathTest::Near3;

namespace {
const float kPi = 3.1415927f;
}

TEST(Planes, FromPointsHasAUnitNormalAndContainsThePoints) {
  Vector3 p0{1, 2, 3}, p1{4, 2, 3}, p2{1, 2, 7};
  Plane p = PlaneFromPoints(p0, p1, p2);
  EXPECT_TRUE(Near3(Vector3{p.a, p.b, p.c}, Vector3{0, -1, 0}));  // (x) cross (z) = -y
  EXPECT_NEAR(p.d, 2.0f, 1e-6f);
  Plane outFirst, outLast;
  PlaneFromPoints(outFirst, p0, p1, p2);
  PlaneFromPoints(p0, p1, p2, outLast);
  EXPECT_EQ(outFirst.d, p.d);
  EXPECT_EQ(outLast.b, p.b);
  Plane v = PlaneFromPointVectors(p0, Vector3{3, 0, 0}, Vector3{0, 0, 4});
  EXPECT_EQ(v.b, p.b);
  EXPECT_EQ(v.d, p.d);
  Plane v4 = PlaneFromPointVectors4(Vector4{1, 2, 3, 1}, Vector4{3, 0, 0, 9}, Vector4{0, 0, 4, 9});
  EXPECT_EQ(v4.d, p.d);
  Plane f4 = PlaneFromPoints4(Vector4{1, 2, 3, 0}, Vector4{4, 2, 3, 0}, Vector4{1, 2, 7, 0});
  EXPECT_EQ(f4.d, p.d);
}

TEST(Intersections, RayAndSegmentAgainstAPlane) {
  Plane ground{0, 1, 0, 0};
  Vector3 hit{9, 9, 9};
  // Parallel: no hit, out untouched.
  EXPECT_FALSE(RayPlaneIntersect(ground, Vector3{0, 1, 0}, Vector3{5, 1, 0}, hit));
  EXPECT_TRUE(Near3(hit, Vector3{9, 9, 9}, 0));
  // Crossing at t = 1.5: past the segment's end but on the line.
  Vector3 start{0, 3, 0}, end{1, 1, 0};
  EXPECT_FALSE(SegmentPlaneIntersect(ground, start, end, hit));
  EXPECT_TRUE(Near3(hit, Vector3{9, 9, 9}, 0));
  EXPECT_TRUE(RayPlaneIntersect(ground, start, end, hit));
  EXPECT_TRUE(Near3(hit, Vector3{1.5f, 0, 0}));
  // Both ends of the segment count.
  EXPECT_TRUE(SegmentPlaneIntersect(ground, Vector3{0, 0, 0}, Vector3{0, 1, 0}, hit));
  EXPECT_TRUE(SegmentPlaneIntersect(ground, Vector3{0, 1, 0}, Vector3{0, 0, 0}, hit));
  EXPECT_TRUE(Near3(hit, Vector3{}, 0));
}

TEST(Triangles, InsideOutsideAndCorners) {
  Vector3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
  EXPECT_TRUE(PointInTriangle(a, b, c, Vector3{1.0f / 3, 1.0f / 3, 0}));
  EXPECT_FALSE(PointInTriangle(a, b, c, Vector3{0.5f, -0.1f, 0}));
  EXPECT_FALSE(PointInTriangle(a, b, c, b));
  EXPECT_FALSE(PointInTriangle(a, b, c, Vector3{0.2f, 0.2f, 0.5f}));  // off the plane
}

TEST(Triangles, RayHitsAreWrittenEvenWhenOutside) {
  Vector3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
  Vector3 hit;
  EXPECT_TRUE(RayIntersectsTriangle(a, b, c, Ray{Vector3{0.2f, 0.2f, 5}, Vector3{0, 0, -1}}, hit));
  EXPECT_TRUE(Near3(hit, Vector3{0.2f, 0.2f, 0}));
  EXPECT_FALSE(RayIntersectsTriangle(a, b, c, Ray{Vector3{2, 2, 5}, Vector3{0, 0, -1}}, hit));
  EXPECT_TRUE(Near3(hit, Vector3{2, 2, 0}));
  // Behind the origin still counts.
  EXPECT_TRUE(RayIntersectsTriangle(a, b, c, Ray{Vector3{0.2f, 0.2f, 5}, Vector3{0, 0, 1}}, hit));
  EXPECT_FALSE(RayIntersectsTriangle(a, b, c, Ray{Vector3{0.2f, 0.2f, 5}, Vector3{1, 0, 0}}, hit));
}

// Regression: a grazing ray far from the world origin rebuilt its direction as
// (origin + direction) - origin, losing the small normal component to rounding,
// and the hit moved by several units along the ray.
TEST(Triangles, GrazingRayFarOutHitsWhereTheDirectionSays) {
  Vector3 a{-1000, -1000, 500}, b{2000, -1000, 500}, c{0, 2000, 500};
  for (float dz : {-1e-3f, -1.7e-3f, -3.1e-3f}) {
    Ray ray{Vector3{0.3f, 0.2f, 500.5f}, Vector3{0.6f, 0.8f, dz}};
    Vector3 hit;
    ASSERT_TRUE(RayIntersectsTriangle(a, b, c, ray, hit));
    const double t = -0.5 / static_cast<double>(dz);  // exact in double
    EXPECT_NEAR(hit.x, 0.3 + 0.6 * t, 1e-3 * t) << dz;
    EXPECT_NEAR(hit.y, 0.2 + 0.8 * t, 1e-3 * t) << dz;
  }
}

TEST(ArcDistance, OnTheRayAtRightAnglesAndAtTheOrigin) {
  Ray ray{Vector3{1, 1, 1}, Vector3{0, 0, 1}};
  EXPECT_NEAR(RayPointArcDistance(ray, Vector3{1, 1, 7}), 0.0f, 1e-6f);
  EXPECT_NEAR(RayPointArcDistance(ray, Vector3{3, 1, 1}), 2.0f * kPi / 2.0f, 1e-5f);
  EXPECT_EQ(RayPointArcDistance(ray, Vector3{1, 1, 1}), 0.0f);
  EXPECT_NEAR(RayPointArcDistance(ray, Vector3{1, 2, 2}), RayPointArcDistance(ray, Vector3{1, 2, 0}), 1e-6f);
}

// Regression: at right angles the sine could round above 1 and asin gave NaN.
TEST(ArcDistance, RightAnglesNeverGiveNaN) {
  MathTest::cInputs in(8);
  for (int i = 0; i < 5000; ++i) {
    Vector3 dir = in.Unit3();
    Vector3 side = Vector3Normalized(Vector3Cross(dir, in.Unit3()));
    float d = RayPointArcDistance(Ray{Vector3{}, dir}, Vector3Scale(side, 3.0f));
    ASSERT_FALSE(std::isnan(d)) << i;
    ASSERT_NEAR(d, 3.0f * kPi / 2.0f, 3e-3f);  // asin is coarse next to 1
  }
}

TEST(SphereCoordinates, KnownPointsAndRoundTrips) {
  float lon, lat;
  PointToLongitudeLatitude(0, 0, 1, lon, lat);
  EXPECT_NEAR(lon, kPi / 2, 1e-6f);
  EXPECT_NEAR(lat, 0.0f, 1e-6f);
  float x, y, z;
  LongitudeLatitudeToDirection(kPi / 2, 0, x, y, z);
  EXPECT_TRUE(Near3(Vector3{x, y, z}, Vector3{0, 0, 1}));
  EXPECT_TRUE(Near3(LongitudeLatitudeToDirection(0, kPi / 2), Vector3{0, 1, 0}));
  MathTest::cInputs in(9);
  for (int i = 0; i < 500; ++i) {
    float lo = in.Uniform(-3.1f, 3.1f), la = in.Uniform(-1.5f, 1.5f);
    Vector3 d = LongitudeLatitudeToDirection(lo, la);
    EXPECT_TRUE(Near3(d, Vector3{std::cos(la) * std::cos(lo), std::sin(la), std::cos(la) * std::sin(lo)}));
    PointToLongitudeLatitude(Vector3Scale(d, 504.0f), lon, lat);
    EXPECT_NEAR(lon, lo, 1e-4f);
    EXPECT_NEAR(lat, la, 1e-4f);
  }
}
