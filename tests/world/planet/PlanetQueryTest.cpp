// Surface queries: radius, water, rays, slopes, frames and random points.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "math/Quaternion.h"
#include "math/Vector.h"
#include "platform/Sys.h"
#include "tests/world/planet/PlanetTestSupport.h"

using namespace Ru::Math;

namespace {
float Hills(const Vector3& d) { return 10.0f + 8.0f * std::sin(3.0f * d.x) * std::cos(2.0f * d.y) + 4.0f * d.z; }
}  // namespace

TEST(PlanetQueries, SurfaceRadiusAtCellCentresAndDegenerateInputs) {
  auto planet = MakePlanet(Hills);
  const auto& map = *planet->GetHeightMap();
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t a : {0u, 1u, 100u, 255u, 256u, 510u, 511u})
      for (uint32_t b : {0u, 7u, 300u, 511u}) {
        Vector3 d = nKoPlanet::FaceCoordinateToDirection(nKoPlanet::CellToFaceCoordinate(face, a, b, 512, 512));
        // Any length: only the direction matters.
        EXPECT_NEAR(planet->GetSurfaceRadius(Vector3Scale(d, 37.0f)), 500.0f + map.GetCell({face, a, b}), 1e-3f);
      }
  EXPECT_EQ(planet->GetSurfaceRadius(Vector3{0, 0, 0}), 0.0f);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(planet->GetSurfaceRadius(Vector3{nan, 1, 0}), 500.0f);
  EXPECT_EQ(planet->GetSurfaceRadius(Vector3{1e-7f, 0, 0}), 500.0f);
  Vector3 out;
  planet->ProjectToSurface(out, Vector3{nan, nan, nan});
  EXPECT_TRUE(IsValidVector3(out));
}

TEST(PlanetQueries, WaterAndBelowSurface) {
  auto planet = MakePlanet([](const Vector3& d) { return d.y > 0 ? 4.0f : 3.99f; });
  EXPECT_FALSE(planet->IsUnderWater(Vector3{0, 1, 0}));
  EXPECT_TRUE(planet->IsUnderWater(Vector3{0, -1, 0}));
  Vector3 s{0.0f, 504.0f, 0.0f};
  EXPECT_TRUE(planet->IsBelowSurface(s));  // exactly on the surface counts as below
  EXPECT_FALSE(planet->IsBelowSurface(Vector3Scale(s, 1.001f)));
  EXPECT_FALSE(planet->IsBelowSurface(Vector3{0, 550.1f, 0}));
  EXPECT_FALSE(planet->IsBelowSurfaceAtHeight(Vector3{0, 551.0f, 0}, 100.0f));  // the shell wins
  EXPECT_NEAR(planet->GetSurfaceDistance(s, s), 0.0f, 1e-3f);
  EXPECT_NEAR(planet->GetSurfaceDistance(Vector3{0, 1, 0}, Vector3{0, -1, 0}), 3.1415927f * 503.995f, 0.05f);
}

// The quick "nearer than" answers as the distance does, to the last bit at the limit.
TEST(PlanetQueries, NearerThanAnswersAsTheDistanceDoes) {
  auto planet = MakePlanet(Hills);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  int nearer = 0;
  for (int i = 0; i < 400; ++i) {
    const float a = 0.7f * (float)i, b = 0.013f * (float)i - 2.6f;
    const Vector3 p{std::cos(a) * std::cos(b), std::sin(b), std::sin(a) * std::cos(b)};
    const Vector3 step{0.0005f * (float)(i % 37), -0.0003f * (float)(i % 11), 0.02f * std::sin(a)};
    const Vector3 q = Vector3Add(p, step);
    const cPlanetModel::sSurfacePoint sp = planet->GetSurfacePoint(Vector3Scale(p, 500.0f));
    const cPlanetModel::sSurfacePoint sq = planet->GetSurfacePoint(Vector3Scale(q, 510.0f));
    const float d = cPlanetModel::GetSurfaceDistance(sp, sq);
    for (const float limit : {d, std::nextafter(d, 1e9f), std::nextafter(d, 0.0f), 5.0f, 60.0f, 100.0f, 2000.0f, 0.0f,
                              -1.0f, nan}) {
      EXPECT_EQ(cPlanetModel::IsSurfaceDistanceBelow(sp, sq, limit), d < limit) << i << " " << limit;
      nearer += d < limit;
    }
  }
  EXPECT_GT(nearer, 400);
  const cPlanetModel::sSurfacePoint origin = planet->GetSurfacePoint(Vector3{}), bad{{nan, 0, 0}, 500.0f};
  for (const cPlanetModel::sSurfacePoint& odd : {origin, bad})
    EXPECT_EQ(cPlanetModel::IsSurfaceDistanceBelow(odd, planet->GetSurfacePoint(Vector3{0, 500, 0}), 100.0f),
              cPlanetModel::GetSurfaceDistance(odd, planet->GetSurfacePoint(Vector3{0, 500, 0})) < 100.0f);
}

// Ray hits lie just inside the surface and agree with a fine brute-force march,
// for unit and non-unit step vectors alike.
TEST(PlanetQueries, RayHitsAgreeWithBruteForceMarch) {
  auto planet = MakePlanet(Hills);
  int hits = 0;
  for (int i = 0; i < 60; ++i) {
    const float a = static_cast<float>(i) * 0.37f;
    Vector3 origin{900.0f * std::cos(a), 300.0f * std::sin(a * 1.3f), 900.0f * std::sin(a)};
    Vector3 towards{40.0f * std::sin(a * 2.0f), 30.0f * std::cos(a), 20.0f};
    Vector3 dir = Vector3Normalized(Vector3Sub(towards, origin));
    for (float stepLength : {1.0f, 0.25f, 2.0f}) {
      Ray ray{origin, Vector3Scale(dir, stepLength)};
      Vector3 hit;
      planet->IntersectRay(hit, ray);
      // Brute force: march in tiny steps from the origin to the first point below ground.
      Vector3 brute{};
      for (float t = 0.0f; t < 2000.0f; t += 0.05f) {
        Vector3 p = Vector3Add(origin, Vector3Scale(dir, t));
        if (planet->IsBelowSurface(p)) {
          brute = p;
          break;
        }
      }
      ASSERT_GT(Vector3Length(brute), 1.0f);
      ASSERT_GT(Vector3Length(hit), 1.0f) << i << " step " << stepLength;
      EXPECT_TRUE(planet->IsBelowSurface(hit));
      // The first sample below ground: at most one step past the true crossing.
      EXPECT_LE(Vector3Length(Vector3Sub(hit, brute)), stepLength + 0.1f) << i << " step " << stepLength;
      EXPECT_LE(planet->GetSurfaceRadius(hit) - Vector3Length(hit), stepLength + 0.1f);
      ++hits;
    }
  }
  EXPECT_EQ(hits, 180);
  // Missing the shell returns (0, 0, 0); a zero step returns it too instead of looping.
  Vector3 out{1, 1, 1};
  planet->IntersectRay(out, Ray{Vector3{0, 600, -1000}, Vector3{0, 0, 1}});
  EXPECT_EQ(Vector3Length(out), 0.0f);
  planet->IntersectRay(out, Ray{Vector3{0, 0, -1000}, Vector3{0, 0, 0}});
  EXPECT_EQ(Vector3Length(out), 0.0f);
  float raw[6] = {0, 0, -1000, 0, 0, 1}, hit3[3];
  EXPECT_TRUE(planet->IntersectRay(raw, hit3));
}

TEST(PlanetQueries, FramesAreOrthonormalWithUpAlongPosition) {
  auto planet = MakePlanet(Hills);
  for (int i = 0; i < 200; ++i) {
    const float a = static_cast<float>(i) * 0.913f;
    Vector3 p{510.0f * std::cos(a) * std::sin(a * 0.7f), 510.0f * std::cos(a * 0.7f), 510.0f * std::sin(a) * std::sin(a * 0.7f)};
    Vector3 facing{std::sin(a * 3.0f), 0.5f, std::cos(a * 2.0f)};
    Quaternion q;
    cPlanetModel::MakeSurfaceOrientation(q, p, facing);
    Matrix3 m = QuatToMatrix3(q);
    Vector3 rows[3];
    for (int r = 0; r < 3; ++r) rows[r] = Vector3{m.At(r, 0), m.At(r, 1), m.At(r, 2)};
    for (int r = 0; r < 3; ++r) {
      EXPECT_NEAR(Vector3Length(rows[r]), 1.0f, 1e-4f);
      for (int s = r + 1; s < 3; ++s) EXPECT_NEAR(Vector3Dot(rows[r], rows[s]), 0.0f, 1e-4f);
    }
    Vector3 up = Vector3Normalized(p);
    EXPECT_NEAR(Vector3Dot(rows[1], up), 1.0f, 1e-4f);
    Quaternion aligned;
    cPlanetModel::AlignOrientationToSurface(aligned, Vector3Scale(p, -1.0f), q);
    Matrix3 n = QuatToMatrix3(aligned);
    EXPECT_NEAR(n.At(1, 0) * -up.x + n.At(1, 1) * -up.y + n.At(1, 2) * -up.z, 1.0f, 1e-4f);
  }
  Quaternion q;
  cPlanetModel::MakeSurfaceOrientation(q, Vector3{0, 500, 0}, Vector3{0, 3, 0});  // facing along up
  EXPECT_EQ(q.w, 1.0f);
  cPlanetModel::MakeSurfaceOrientation(q, Vector3{0, 0, 0}, Vector3{1, 0, 0});
  EXPECT_EQ(q.w, 1.0f);
}

// A ramp rising towards +x around the +z face centre: the slope queries must see it.
TEST(PlanetQueries, SlopesOnARamp) {
  auto planet = MakePlanet([](const Vector3& d) { return 20.0f + 100.0f * d.x; });
  Vector3 p;
  planet->ProjectToSurface(p, Vector3{0, 0, 1});
  EXPECT_GT(planet->GetSlope(p, Vector3{1, 0, 0}), 0.1f);
  EXPECT_LT(planet->GetSlope(p, Vector3{-1, 0, 0}), -0.1f);
  EXPECT_NEAR(planet->GetSlope(p, Vector3{0, 1, 0}), 0.0f, 0.05f);
  Vector3 s;
  planet->GetSlopeVector(s, p);
  EXPECT_GT(s.x, 0.0f);
  EXPECT_GT(std::fabs(s.x), 5.0f * std::fabs(s.y));
  EXPECT_NEAR(Vector3Length(s), std::fabs(planet->GetSlope(p, Vector3Normalized(s))), 1e-3f);
  Vector3 slide;
  planet->GetSlideDirection(slide, p);  // a slope of about 0.2 per unit: no slide
  EXPECT_EQ(Vector3Length(slide), 0.0f);
  auto flat = MakePlanet([](const Vector3&) { return 4.5f; });
  Vector3 away{1, 1, 1};
  flat->GetDirectionAwayFromWater(away, Vector3{0, 504.5f, 0});
  EXPECT_EQ(Vector3Length(away), 0.0f);
}

TEST(PlanetQueries, RandomPointSearchesGiveUpOnAnAllOceanMap) {
  Sys_SeedRandom(7);
  auto ocean = MakePlanet([](const Vector3&) { return -5.0f; });
  Vector3 p;
  EXPECT_FALSE(ocean->GetRandomLandPoint(p));
  EXPECT_FALSE(ocean->GetRandomSurfacePointBetween(p, 600.0f, 700.0f));
  auto land = MakePlanet([](const Vector3& d) { return d.y > 0.5f ? 10.0f : -5.0f; });
  ASSERT_TRUE(land->GetRandomLandPoint(p));
  EXPECT_NEAR(Vector3Length(p), 510.0f, 1e-3f);
  Vector3 centre{0, 510.0f, 0};
  land->GetRandomSurfacePointNear(p, centre, 20.0f, 20.0f);  // exactly at minDist
  EXPECT_NEAR(Vector3Length(Vector3Sub(p, centre)), 20.0f, 0.5f);
  land->GetRandomSurfacePointNear(p, centre, 20.0f, 0.0f);
  EXPECT_NEAR(Vector3Length(Vector3Sub(p, centre)), 0.0f, 1e-3f);
}

TEST(PlanetQueries, RingsLieOnTheSurface) {
  auto planet = MakePlanet(Hills);
  auto ring = planet->GetLatitudeRing(1.0f, 50.0f);
  EXPECT_EQ(ring.size(), static_cast<size_t>(std::sin(1.0f) * 6.2831855f * 500.0f / 50.0f + 1.0f));
  for (const Vector3& p : ring) EXPECT_NEAR(Vector3Length(p), planet->GetSurfaceRadius(p), 1e-3f);
  auto meridian = planet->GetMeridianRing(0.3f, 100.0f);
  ASSERT_FALSE(meridian.empty());
  EXPECT_NEAR(meridian.front().y, planet->GetSurfaceRadius(Vector3{0, 1, 0}), 1e-3f);
  EXPECT_TRUE(planet->GetLatitudeRing(1.0f, 0.0f).empty());
}
