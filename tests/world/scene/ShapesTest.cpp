// Shape geometry and ray tests that need no GL, the class-wide switches, and
// the billboard's image keying.
#include <cmath>

#include "math/Vector.h"
#include "sim/tuning/SharedTuningData.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/CursorMarker.h"
#include "world/scene/LineShapes.h"
#include "world/scene/PlantShape.h"
#include "world/scene/SolidShapes.h"
#include "world/scene/WallShape.h"

using namespace Ru::Math;

TEST(Shapes, TheWallKeepsItsThicknessInWorldUnitsAtAnyScale) {
  cSceneShapeWall wall;
  wall.SetThickness(2.0f);
  wall.SetScale(Vector3{10.0f, 3.0f, 4.0f});  // rebuilds
  ASSERT_EQ(wall.GetVertices().size(), 72u);   // twelve quads
  float outerX = 0.0f, outerZ = 0.0f;
  for (const Vector3& v : wall.GetVertices()) {
    outerX = MaxFloat(outerX, v.x);
    outerZ = MaxFloat(outerZ, v.z);
  }
  EXPECT_FLOAT_EQ((outerX - 1.0f) * 10.0f, 2.0f);
  EXPECT_FLOAT_EQ((outerZ - 1.0f) * 4.0f, 2.0f);
  EXPECT_FLOAT_EQ(wall.GetBoundingRadius(), (10.0f + 2.0f) * 1.4f);
}

TEST(Shapes, BoxPyramidAndPlantHaveTheirFixedGeometryAndRadii) {
  cSceneShapeCube cube;
  ASSERT_EQ(cube.GetVertices().size(), 36u);
  for (size_t i = 0; i < 36; ++i)  // every corner lies on the side its normal names
    EXPECT_NEAR(Vector3Dot(cube.GetVertices()[i], cube.GetNormals()[i]), 0.577f, 1e-6f) << i;
  EXPECT_FLOAT_EQ(cube.GetBoundingRadius(), std::sqrt(3.0f));
  EXPECT_EQ(GetPyramidShape().GetVertices().size(), 9u);
  EXPECT_FLOAT_EQ(GetPyramidShape().GetBoundingRadius(), std::sqrt(3.0f));
  EXPECT_EQ(GetPlantShape().GetVertices().size(), 24u);
  EXPECT_FLOAT_EQ(GetPlantShape().GetBoundingRadius(), 10.0f);
  EXPECT_EQ(GetSphereShape().GetBoundingRadius(), 0.0f);  // spheres are never picked

  cSceneShapeBuilding building;
  const float s = GetSharedTuningData().GetBuildingScale();
  EXPECT_TRUE(Vector3Equal(building.GetScale(), Vector3{s, s, s}));
  EXPECT_FLOAT_EQ(building.GetBoundingRadius(), s * std::sqrt(3.0f));
}

TEST(Shapes, SwitchingOneClassOffLeavesItsRelativesOn) {
  cSceneShapeWall wall;
  cSceneShapeCube cube;
  cSceneShapeBuilding building;
  EXPECT_STREQ(GetTurretShape().GetTypeName(), "Wall");
  GetTurretShape().SetEnabled(false);
  building.SetEnabled(false);
  EXPECT_TRUE(wall.IsEnabled());
  EXPECT_TRUE(cube.IsEnabled());
  EXPECT_FALSE(cSceneShapeBuilding().IsEnabled());  // every instance of the class
  GetTurretShape().SetEnabled(true);
  building.SetEnabled(true);
}

TEST(Shapes, NestsAndPlantFruitArePickedFinsWingsAndCursorsNever) {
  const Ray down{Vector3{1.0f, 10.0f, 0.5f}, Vector3{0, -1, 0}};
  Vector3 hit;
  cCreatureNestShape nest;
  ASSERT_TRUE(nest.IntersectRay(down, hit));
  EXPECT_GT(hit.y, 0.0f);
  EXPECT_LT(hit.y, 1.0f);
  EXPECT_FALSE(nest.IntersectRay(Ray{Vector3{1.0f, 10.0f, 0.5f}, Vector3{0, 1, 0}}, hit));  // behind

  for (int i = 0; i < cSceneShapePlant::kMaxFruit; ++i) {
    const Vector3& fruit = cSceneShapePlant::FruitPosition(i);
    const Ray ray{Vector3{fruit.x, 20.0f, fruit.z + 0.3f}, Vector3{0, -1, 0}};
    ASSERT_TRUE(GetPlantShape().IntersectRay(ray, hit)) << i;
    EXPECT_TRUE(Vector3Equal(hit, fruit));
  }
  // Past the fruit, the tree itself counts only in the tribe and city modes.
  const Ray trunk{Vector3{0.2f, 20.0f, 0.2f}, Vector3{0, -1, 0}};
  EXPECT_FALSE(GetPlantShape().IntersectRay(trunk, hit));
  GetSceneServices().plantTrianglesPickable = [] { return true; };
  EXPECT_TRUE(GetPlantShape().IntersectRay(trunk, hit));
  GetSceneServices().plantTrianglesPickable = nullptr;

  cCreatureFinsShape fins;
  cCreatureWingShape wings;
  wings.SetScale(Vector3{1, 1, 1});
  cCursorShape cursor;
  cursor.SetScale(Vector3{1, 1, 1});
  for (cISceneShape* shape : std::vector<cISceneShape*>{&fins, &wings, &cursor}) {
    cSceneObject object(nullptr, shape);
    EXPECT_FALSE(object.IntersectRay(Ray{Vector3{0, 0, 5}, Vector3{0, 0, -1}}, hit)) << shape->GetTypeName();
  }
}

TEST(Shapes, FinsRestAtPhaseZeroAndWingsFlapBothWays) {
  cCreatureFinsShape fins;
  fins.SetSwimPhase(0.0f);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(fins.GetOffset(i), 0.0f);
  fins.SetSwimPhase(0.25f);
  EXPECT_NEAR(fins.GetOffset(1), std::sin(3.14159265f / 8 + 3.14159265f / 2) * 0.5f, 1e-5f);
  cCreatureWingShape wings;
  wings.SetFlapPhase(0.375f);  // the top of the up stroke
  EXPECT_NEAR(wings.GetOffset(1), 0.5f, 1e-5f);
  wings.SetFlapPhase(0.875f);  // half way down the quick down stroke
  EXPECT_LT(wings.GetOffset(3), 0.0f);
}


TEST(Shapes, BillboardsKeyOutPureWhiteOnlyAndStandUpright) {
  cScratchDir dir;
  // Top row: white, near white; bottom row: red, black.
  dir.Write("b.bmp", Bmp(2, 2, {255, 255, 255, 254, 254, 254, 255, 0, 0, 0, 0, 0}));
  cSceneShapeBillboard billboard(dir.File("b.bmp"), true);
  ASSERT_TRUE(billboard.HasImage());
  const std::vector<float>& p = billboard.GetPixels();  // bottom row first
  EXPECT_FLOAT_EQ(p[0], 255.0f / 256.0f);               // red, bottom left
  EXPECT_EQ(p[3], 1.0f);
  EXPECT_EQ(p[8 + 3], 0.0f);  // pure white: see-through
  EXPECT_EQ(p[12 + 3], 1.0f);  // 254: drawn
  EXPECT_FALSE(cSceneShapeBillboard(dir.File("missing.bmp"), true).HasImage());

  Vector3 hit;
  EXPECT_TRUE(billboard.IntersectRay(Ray{Vector3{1.5f, 0, 10}, Vector3{0, 0, -1}}, hit));
  EXPECT_FALSE(cSceneShapeBillboard(false).IntersectRay(Ray{Vector3{0, 0, 10}, Vector3{0, 0, -1}}, hit));
}

TEST(CursorMarker, AccessorsAreSafeOutsideCreateAndDestroyAndTheLineIsNeverPicked) {
  cEmptyScene empty;
  cCursorMarker marker;
  marker.SetPosition(Vector3{1, 2, 3});
  EXPECT_TRUE(Vector3Equal(marker.GetPosition(), Vector3{}));
  EXPECT_EQ(marker.GetOrientation().w, 1.0f);
  marker.Create(2.0f);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), 1u);
  marker.SetPosition(Vector3{0, 0, 520});
  EXPECT_TRUE(Vector3Equal(marker.GetPosition(), Vector3{0, 0, 520}));
  EXPECT_TRUE(Vector3Equal(marker.GetSceneObject()->GetColour(), Vector3{0, 1, 0}));
  EXPECT_EQ(marker.GetSceneObject()->GetOwner(), cNullGameDataObject::GetInstance());
  cScenePickResult result;
  GetSceneManager().PickAlongRay(result, Ray{Vector3{0, 0, 600}, Vector3{0, 0, -1}}, nullptr);
  EXPECT_EQ(result.object, nullptr);

  GetSceneManager().RemoveObject(marker.GetSceneObject());  // already out of the scene
  marker.Destroy();
  EXPECT_EQ(marker.GetSceneObject(), nullptr);
  EXPECT_TRUE(Vector3Equal(marker.GetPosition(), Vector3{}));
  marker.SetOrientation(Ru::Math::Quaternion{});
  marker.Destroy();
}
