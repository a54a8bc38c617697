// A city's wall outline: the empty city's radius, the bulge round a far
// building, and that enclosing more never pulls a point inward.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "math/Math.h"
#include "modes/civ/CivWall.h"
#include "tests/support/GLTestWindow.h"

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

namespace {

// Enclosing a list that extends the last one adds only the new points; any
// other list starts afresh. Either way the outline is, bit for bit, the one a
// reset wall makes by adding every point.
TEST_F(CivWallTest, EnclosingMoreOfTheSameListGivesTheOutlineOfAFreshLayout) {
  std::vector<Vector3> points;
  for (int i = 0; i < 30; ++i) {
    const float a = 0.4f * (float)(i % 16);
    points.push_back(Vector3Add(Vector3Scale(centre, 510.0f), Vector3{30.0f * std::cos(a), 0.0f, 30.0f * std::sin(a)}));
  }
  auto fresh = [&](const std::vector<Vector3>& list) {
    cCivModeWall other;
    other.SetCentre(centre);
    other.Reset();
    for (const Vector3& p : list) other.AddPoint(p);
    return other.Outline();
  };
  auto same = [](const std::vector<Vector3>& a, const std::vector<Vector3>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) return false;
    return true;
  };
  std::vector<Vector3> first(points.begin(), points.begin() + 29);
  wall->Enclose(centre, first);
  const uint64_t whole = wall->GetFieldEvaluations();
  wall->Enclose(centre, points);
  EXPECT_TRUE(same(wall->Outline(), fresh(points)));
  EXPECT_LT(wall->GetFieldEvaluations() - whole, whole / 10);  // one point's relaxation, not thirty
  std::swap(points[3], points[4]);
  wall->Enclose(centre, points);
  EXPECT_TRUE(same(wall->Outline(), fresh(points)));
  wall->Enclose(Vector3Scale(centre, -1.0f), points);  // another centre: afresh as well
  cCivModeWall other;
  other.SetCentre(Vector3Scale(centre, -1.0f));
  other.Reset();
  for (const Vector3& p : points) other.AddPoint(p);
  EXPECT_TRUE(same(wall->Outline(), other.Outline()));
}

// The band leaves the lit material as it found it: a turret's grey gun drawn
// next was lit in the band's colour.
TEST_F(CivWallTest, DrawingTheBandLeavesTheLitMaterialAsItWas) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(64, 64));
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_LIGHTING);
  glColor3f(0.2f, 0.2f, 0.2f);
  wall->Draw();
  GLfloat diffuse[4], ambient[4], current[4];
  glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
  glGetFloatv(GL_CURRENT_COLOR, current);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(diffuse[k], 0.2f) << k;
    EXPECT_EQ(ambient[k], 0.2f) << k;
    EXPECT_EQ(current[k], 0.2f) << k;
  }
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
}

}  // namespace
