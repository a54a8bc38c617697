// Reading OBJ models and transforming them: the accepted face forms, bad
// indices that must never be read, and the bounds that picking relies on.
#include <cmath>

#include "math/Quaternion.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/scene/PolyModelShape.h"

using namespace Ru::Math;

namespace {
const std::string kFixtures = "tests/world/scene/fixtures/";

// Every normal stands on its triangle's plane (either side).
void ExpectNormalsPerpendicular(const cSceneShapePolyModel& model) {
  const auto& v = model.GetVertices();
  const auto& n = model.GetNormals();
  for (size_t k = 0; k + 2 < v.size(); k += 3) {
    Vector3 face = Vector3Cross(Vector3Sub(v[k + 1], v[k]), Vector3Sub(v[k + 2], v[k]));
    face = Vector3Normalized(face);
    for (size_t i = k; i < k + 3; ++i) EXPECT_NEAR(std::fabs(Vector3Dot(face, n[i])), 1.0f, 1e-3f) << "vertex " << i;
  }
}
}  // namespace

TEST(ObjModel, ReadsTrianglesAndSplitsFullFormQuads) {
  cSceneShapePolyModel tetra(kFixtures + "tetrahedron.obj", false);
  ASSERT_EQ(tetra.GetVertices().size(), 12u);
  EXPECT_TRUE(Vector3Equal(tetra.GetNormals()[9], Vector3{0.5774f, 0.5774f, 0.5774f}));
  EXPECT_FLOAT_EQ(tetra.GetUnscaledRadius(), 1.0f);
  ExpectNormalsPerpendicular(tetra);

  cSceneShapePolyModel crlf(kFixtures + "tetrahedron_crlf.obj", false);
  EXPECT_EQ(crlf.GetVertices().size(), 12u);
  for (size_t i = 0; i < 12 && i < crlf.GetVertices().size(); ++i) {
    EXPECT_TRUE(Vector3Equal(crlf.GetVertices()[i], tetra.GetVertices()[i]));
    EXPECT_TRUE(Vector3Equal(crlf.GetNormals()[i], tetra.GetNormals()[i]));
  }

  cSceneShapePolyModel cube(kFixtures + "cube.obj", false);
  ASSERT_EQ(cube.GetVertices().size(), 36u);  // six quads, two triangles each
  const auto& v = cube.GetVertices();
  // The first quad 1 4 3 2: triangles (1, 4, 3) and (1, 3, 2).
  EXPECT_TRUE(Vector3Equal(v[0], Vector3{-1, -1, -1}) && Vector3Equal(v[1], Vector3{-1, 1, -1}) &&
              Vector3Equal(v[2], Vector3{1, 1, -1}));
  EXPECT_TRUE(Vector3Equal(v[3], Vector3{-1, -1, -1}) && Vector3Equal(v[4], Vector3{1, 1, -1}) &&
              Vector3Equal(v[5], Vector3{1, -1, -1}));
  ExpectNormalsPerpendicular(cube);
  EXPECT_TRUE(Vector3Equal(cube.GetSphereCentre(), Vector3{}));
  EXPECT_NEAR(cube.GetSphereRadius(), std::sqrt(3.0f), 1e-5f);
}

TEST(ObjModel, BadIndicesSkipTheirFacesAndFacesWithoutNormalsGetFlatOnes) {
  cDebugText text;
  cSceneShapePolyModel model(kFixtures + "malformed.obj", false);
  // Of ten face lines: five name a position or normal the file lacks, one has
  // no form the reader knows, two carry no normals, one is whole.
  ASSERT_EQ(model.GetVertices().size(), 9u);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(Vector3Equal(model.GetNormals()[i], Vector3{0, 0, 1})) << i;
  ExpectNormalsPerpendicular(model);
  ASSERT_EQ(text.Lines().size(), 1u);  // one report for the whole file
  EXPECT_NE(text.Lines()[0].find("5 faces skipped"), std::string::npos) << text.Lines()[0];
  EXPECT_NE(text.Lines()[0].find("2 faces without normals"), std::string::npos);
}

TEST(ObjModel, OverlongLinesAreOneLineAndModelsWithoutFacesAreEmpty) {
  cSceneShapePolyModel model(kFixtures + "longline.obj", false);
  // The tail of the long comment must not become a fifth position, or the
  // second face (naming position 4) would be read.
  EXPECT_EQ(model.GetVertices().size(), 3u);

  cScratchDir dir;
  dir.Write("points.obj", "v 1 2 3\nv 4 5 6\n");
  cSceneShapePolyModel points(dir.File("points.obj"), true);
  EXPECT_TRUE(points.GetVertices().empty());
  EXPECT_TRUE(Vector3Equal(points.GetSphereCentre(), Vector3{}));
  EXPECT_EQ(points.GetSphereRadius(), 0.0f);
  Vector3 hit;
  EXPECT_FALSE(points.IntersectRay(Ray{Vector3{0, 0, 5}, Vector3{0, 0, -1}}, hit));
}

TEST(ObjModel, AMissingFileShowsOneMessageAndLeavesTheModelUsable) {
  cMessageCapture boxes;
  cSceneShapePolyModel model(".\\Data\\models\\no_such_model.obj", false);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].caption, "LoadOBJ");
  EXPECT_EQ(boxes.boxes[0].text, "Cannot load \".\\Data\\models\\no_such_model.obj\"");
  model.LoadOBJ(kFixtures + "tetrahedron.obj");
  EXPECT_EQ(model.GetVertices().size(), 12u);
}

TEST(ObjModel, TheModelsTheModesNameAllRead) {
  cMessageCapture boxes;
  // The underwater models are generated (z-up) with the tribe's: every one must read.
  for (const char* name : {"ring", "disc", "avatar", "TribalGame_Hunter", "Underwater\\swimmingtripod",
                           "Underwater\\underwater_flora", "Underwater\\underwater_rock",
                           "Underwater\\underwater_rock_small", "Underwater\\whale", "Underwater\\jellyfish",
                           "Underwater\\rare_fish"}) {
    cSceneShapePolyModel model(std::string(".\\Data\\models\\") + name + ".obj", false);
    EXPECT_GT(model.GetVertices().size(), 0u) << name;
    ExpectNormalsPerpendicular(model);
  }
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(PolyModel, BoundingRadiusFollowsTheScaleAndTheTrianglesArePickedScaled) {
  cSceneShapePolyModel model(false);
  model.AddVertex(Vector3{2, 0, 0}, Vector3{0, 0, 1});
  model.AddVertex(Vector3{0, 1, 0}, Vector3{0, 0, 1});
  model.AddVertex(Vector3{-1, -1, 0}, Vector3{0, 0, 1});
  model.SetScale(Vector3{1, 3, 2});
  EXPECT_FLOAT_EQ(model.GetBoundingRadius(), 6.0f);
  Vector3 hit;
  // (0, 2) lies inside only the scaled triangle (whose top is at y = 3).
  ASSERT_TRUE(model.IntersectRay(Ray{Vector3{0, 2, 5}, Vector3{0, 0, -1}}, hit));
  EXPECT_TRUE(Vector3NearEqual(hit, Vector3{0, 2, 0}, 1e-5f));
  // The same triangle behind the ray's origin is not in view.
  EXPECT_FALSE(model.IntersectRay(Ray{Vector3{0, 2, 5}, Vector3{0, 0, 1}}, hit));
}

TEST(PolyModel, RotatingTurnsNormalsWithTheVertices) {
  cSceneShapePolyModel cube(kFixtures + "cube.obj", false);
  cube.RotateVertices(QuatFromAngleAxis(Vector3Normalized(Vector3{1, 2, 3}), 0.7f));
  ExpectNormalsPerpendicular(cube);
  // Normals still point out of the cube: away from its centre.
  const auto& v = cube.GetVertices();
  for (size_t k = 0; k < v.size(); k += 3) {
    const Vector3 middle = Vector3Scale(Vector3Add(Vector3Add(v[k], v[k + 1]), v[k + 2]), 1.0f / 3.0f);
    EXPECT_GT(Vector3Dot(middle, cube.GetNormals()[k]), 0.0f) << k;
  }
}

TEST(PolyModel, ScalingRemeasuresTheBoundsAndRenormalisesNormals) {
  cSceneShapePolyModel tetra(kFixtures + "tetrahedron.obj", true);
  tetra.ScaleVertices(Vector3{4, 1, 1});
  EXPECT_FLOAT_EQ(tetra.GetUnscaledRadius(), 4.0f);
  ExpectNormalsPerpendicular(tetra);
  for (const Vector3& n : tetra.GetNormals()) EXPECT_NEAR(Vector3Length(n), 1.0f, 1e-5f);
  for (const Vector3& v : tetra.GetVertices())
    EXPECT_LE(Vector3Length(Vector3Sub(v, tetra.GetSphereCentre())), tetra.GetSphereRadius() + 1e-5f);
  // The sphere pick reaches the newly far corner (4, 0, 0).
  Vector3 hit;
  EXPECT_TRUE(tetra.IntersectRay(Ray{Vector3{3.5f, 0.1f, 10}, Vector3{0, 0, -1}}, hit));
  tetra.ClearVertices();
  EXPECT_EQ(tetra.GetBoundingRadius(), 0.0f);
  EXPECT_EQ(tetra.GetSphereRadius(), 0.0f);
}
