// Where roads and the three vehicle kinds may step: one table over a planet
// with a slope, flat land, shallow water and a deep basin, with and without
// the test camera's band. Every bound is strict and a NaN is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/AppGlobals.h"
#include "math/Math.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivVehicle.h"
#include "CivTestSupport.h"

namespace {

using namespace Ru::Math;

// x > 0.5: land tilted along z; x < -0.5: a deep basin (radius 480);
// z < -0.5: shallow water (radius 495); round the poles water just above
// (north, 490.5) and exactly at (south, 490) the roads' bound; elsewhere flat
// land (radius 510).
float Height(const Vector3& d) {
  if (d.y > 0.95f) return -9.5f;
  if (d.y < -0.95f) return -10.0f;
  if (d.x > 0.5f) return 10.0f + 40.0f * d.z;
  if (d.x < -0.5f) return -20.0f;
  if (d.z < -0.5f) return -5.0f;
  return 10.0f;
}

struct CivTravelCostTest : CivWorldFixture {
  int savedCamera = gUseCivTestCamera;
  void SetUp() override {
    CivWorldFixture::SetUp();
    GetPlanetModel().SetHeightMap(MakeHeightMap(Height));
  }
  void TearDown() override {
    gUseCivTestCamera = savedCamera;
    CivWorldFixture::TearDown();
  }
  static Vector3 OnGround(Vector3 direction) {
    Vector3 out;
    GetPlanetModel().ProjectToSurface(out, Vector3Normalized(direction));
    return out;
  }
};

TEST_F(CivTravelCostTest, PassabilityTable) {
  cCivModeRoad::cCivRoadOtc road;
  cCivModeVehicle::cCivLandVehicleOtc land;
  cCivModeVehicle::cCivAmphibiousVehicleOtc amphibious;
  cCivModeVehicle::cCivAirVehicleOtc air;
  cPlanetModel::cITravelCost* rules[] = {&road, &land, &amphibious, &air};  // the order of each row's pass

  Vector3 slope = OnGround({0.9f, 0.0f, 0.3f}), flat = OnGround({0.0f, 0.3f, 0.95f});
  Vector3 shallow = OnGround({0.0f, 0.2f, -0.95f}), deep = OnGround({-1.0f, 0.0f, 0.1f});
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Vector3 nanPoint{nan, nan, nan};
  Quaternion up, down;  // down faces the other way along the slope
  cPlanetModel::AlignOrientationToSurface(up, slope, QuatIdentity());
  down = QuatMultiply(up, Quaternion{0.0f, 1.0f, 0.0f, 0.0f});
  const float s = GetPlanetModel().GetForwardSlope(slope, up);
  ASSERT_GT(std::fabs(s), 0.05f);
  const float sDown = GetPlanetModel().GetForwardSlope(slope, down);
  const float a = std::fabs(s), above = std::fmax(a, std::fabs(sDown)) * 1.01f, aDown = std::fabs(sDown);

  struct Row { const char* what; int camera; Vector3 p; Quaternion q; float landSlope, amphibiousSlope; bool pass[4]; } rows[] = {
      {"flat land", 0, flat, up, above, above, {true, true, true, true}},
      {"slope within the limit, up", 0, slope, up, above, 0, {true, true, true, true}},
      {"slope within the limit, down", 0, slope, down, above, 0, {true, true, true, true}},
      {"slope exactly at the limit, up", 0, slope, up, a, above, {true, false, false, true}},
      {"slope exactly at the limit, down", 0, slope, down, aDown, above, {true, false, false, true}},
      {"missing slope key", 0, flat, up, 0, above, {true, false, false, true}},
      {"shallow water", 0, shallow, up, above, above, {true, false, false, true}},
      {"deep basin", 0, deep, up, above, above, {false, false, false, true}},
      {"radius 490.5", 0, OnGround({0.0f, 1.0f, 0.05f}), up, above, above, {true, false, false, true}},
      {"radius exactly 490", 0, OnGround({0.0f, -1.0f, 0.05f}), up, above, above, {false, false, false, true}},
      {"NaN point", 0, nanPoint, up, above, above, {false, false, false, true}},
      {"test band: amphibious crosses water on its own slope", 1, deep, up, 0, above, {false, false, true, true}},
      {"test band: amphibious slope at its limit", 1, slope, up, above, a, {true, true, false, true}},
      {"test band: y = 400", 1, {0.0f, 400.0f, 316.4f}, up, 9, 9, {false, false, false, false}},
      {"test band: y = -400", 1, {0.0f, -400.0f, 316.4f}, up, 9, 9, {true, false, false, false}},
      {"test band: y = -450, road passes on z", 1, {0.0f, -450.0f, 240.0f}, up, 9, 9, {true, false, false, false}},
      {"test band: z = -400 stops roads", 1, {0.0f, 100.0f, -400.0f}, up, 9, 9, {false, false, false, true}},
      {"test band: NaN point", 1, nanPoint, up, 9, 9, {false, false, false, false}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    gUseCivTestCamera = row.camera;
    cCivTuning::GetVehicles()->LandVehicleMaxSlope = row.landSlope;
    cCivTuning::GetVehicles()->AmphibiousVehicleMaxSlope = row.amphibiousSlope;
    for (int rule = 0; rule < 4; ++rule) EXPECT_EQ(rules[rule]->IsPassable(row.p, row.q), row.pass[rule]) << rule;
  }
}

}  // namespace
