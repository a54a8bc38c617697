// A city's wall outline: the empty city's radius, the bulge round a far
// building, and that enclosing more never pulls a point inward.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/Math.h"
#include "modes/civ/CivWall.h"

using namespace Ru::Math;

namespace {

float Distance(const Vector3& a, const Vector3& b) { return Vector3Length(Vector3Sub(a, b)); }

struct CivWallTest : ::testing::Test {
  cCivModeWall* wall = nullptr;
  const Vector3 centre = Vector3Normalized(Vector3{332, 373, -97});

  void SetUp() override {
    wall = new cCivModeWall();
    wall->AddRef();
    wall->Init(centre.x * 510, centre.y * 510, centre.z * 510, nullptr);
  }
  void TearDown() override { wall->Release(); }
  std::vector<float> Radii() const {
    std::vector<float> radii;
    for (const Vector3& p : wall->Outline()) radii.push_back(Distance(p, centre));
    return radii;
  }
};

// The centre term alone, 10 / d^4, reaches the threshold at d = (10 / 250000)^(1/4), about 0.0795.
TEST_F(CivWallTest, EmptyCityStopsWhereTheCentreFieldFallsToTheThreshold) {
  const float edge = std::pow(10.0f / 250000.0f, 0.25f);
  ASSERT_EQ(wall->Outline().size(), 100u);
  for (float r : Radii()) {
    EXPECT_GE(r, edge * 0.999f);
    EXPECT_LE(r, edge * 1.04f);  // within one outward step of it
  }
}

TEST_F(CivWallTest, FarBuildingBulgesTheRingWithoutPullingAnyPointIn) {
  Quaternion toCentre = QuatFromTwoVectors(Vector3{0, 1, 0}, centre);
  Vector3 east = QuatRotateVector(toCentre, Vector3{0, 0, 1});  // where the first circle point lies
  Vector3 building = Vector3Normalized(Vector3Add(centre, Vector3Scale(east, 0.1f)));
  std::vector<float> before = Radii();
  wall->AddPoint(Vector3Scale(building, 515.0f));
  std::vector<float> after = Radii();
  for (size_t i = 0; i < after.size(); ++i) EXPECT_GE(after[i], before[i] - 1e-6f) << i;
  EXPECT_GT(after[0], Distance(building, centre));  // round the building
  EXPECT_LT(after[50], 0.1f);                       // the far side stays near the centre
  // A second point elsewhere never pulls the bulge back.
  wall->AddPoint(Vector3Scale(Vector3Normalized(Vector3Sub(centre, Vector3Scale(east, 0.05f))), 515.0f));
  std::vector<float> third = Radii();
  for (size_t i = 0; i < third.size(); ++i) EXPECT_GE(third[i], after[i] - 1e-6f) << i;
}

}  // namespace
