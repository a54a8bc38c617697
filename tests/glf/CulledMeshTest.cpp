// The culled mesh: runs of triangles in view, in the mesh's own order, never
// losing a triangle that reaches the view.
#include <gtest/gtest.h>

#include <vector>

#include "glf/CulledMesh.h"
#include "glf/ViewVolume.h"

namespace {
// Identity matrices: the view is the cube from -1 to 1 on every axis.
const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A ribbon of 2 n triangles along x from -10 to 10, each pair one unit square wide.
void Ribbon(int n, std::vector<float>& positions, std::vector<uint32_t>& indices) {
  for (int i = 0; i <= n; ++i) {
    const float x = -10.0f + 20.0f * (float)i / (float)n;
    positions.insert(positions.end(), {x, -0.5f, 0.0f, x, 0.5f, 0.0f});
  }
  for (uint32_t i = 0; i < (uint32_t)n; ++i) indices.insert(indices.end(), {2 * i, 2 * i + 1, 2 * i + 2, 2 * i + 1, 2 * i + 3, 2 * i + 2});
}
}  // namespace

TEST(CulledMesh, RunsKeepEveryTriangleInViewInOrderAndJoinNeighbours) {
  std::vector<float> positions;
  std::vector<uint32_t> indices;
  Ribbon(20, positions, indices);
  const std::vector<float> kept = positions;
  const std::vector<uint32_t> order = indices;
  cCulledMesh mesh(positions, indices, 3);
  ASSERT_EQ(mesh.ChunkCount(), 14);
  const cViewVolume volume(kIdentity, kIdentity);
  struct sCase {
    float scale;
    int fewestLeftOut;  // triangles
  } cases[] = {{1.0f, 30}, {0.8f, 24}, {0.5f, 20}, {0.1f, 0}, {-1.0f, 30}};
  for (const sCase& c : cases) {
    const std::vector<cCulledMesh::cRun> runs = mesh.VisibleRuns(volume, c.scale);
    std::vector<bool> drawn(order.size() / 3, false);
    int end = -1, total = 0;
    for (const cCulledMesh::cRun& run : runs) {
      EXPECT_GT(run.first, end) << "runs ascend and neighbours are joined, scale " << c.scale;
      end = run.first + run.count;
      total += run.count;
      for (int t = run.first / 3; t < end / 3; ++t) drawn[t] = true;
    }
    EXPECT_LE(total / 3, 40 - c.fewestLeftOut) << c.scale;
    for (size_t t = 0; t < drawn.size(); ++t) {
      bool reaches = false;  // a vertex strictly inside the view
      for (int k = 0; k < 3; ++k) {
        const float x = kept[3 * order[3 * t + k]] * c.scale;
        reaches = reaches || (x > -1.0f && x < 1.0f);
      }
      if (reaches) {
        EXPECT_TRUE(drawn[t]) << "triangle " << t << " at scale " << c.scale;
      }
    }
  }
}

TEST(CulledMesh, TrianglesNamingMissingVerticesAreLeftOut) {
  std::vector<float> positions;
  std::vector<uint32_t> indices;
  Ribbon(2, positions, indices);  // 6 vertices, 4 triangles
  indices.insert(indices.end(), {0, 1, 6});  // past the last vertex
  indices.insert(indices.end(), {0, 1});     // a partial triangle
  cCulledMesh mesh(positions, indices, 1);
  EXPECT_EQ(mesh.ChunkCount(), 4);
  const cViewVolume volume(kIdentity, kIdentity);
  const auto& runs = mesh.VisibleRuns(volume, 0.05f);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].first, 0);
  EXPECT_EQ(runs[0].count, 12);
}

// A depth limit brings the far plane nearer, never farther.
TEST(ViewVolume, ADepthLimitLeavesOutWhatLiesWhollyBeyondIt) {
  // gluPerspective(90, 1, 0.1, 1000) under an identity model-view: the eye at the origin looking down -z.
  const float n = 0.1f, f = 1000.0f;
  const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
  struct sRow {
    float limit, depth, radius;
    bool outside;
  } rows[] = {
      {0.0f, 50.0f, 1.0f, false},     // no limit
      {0.0f, 1500.0f, 1.0f, true},    // past the far plane
      {100.0f, 50.0f, 1.0f, false},   // nearer than the limit
      {100.0f, 150.0f, 1.0f, true},   // wholly beyond it
      {100.0f, 150.0f, 60.0f, false},  // reaching back over it
      {30.0f, 50.0f, 1.0f, true},
      {2000.0f, 1500.0f, 1.0f, true},  // a limit past the far plane keeps the far plane
  };
  for (const sRow& row : rows) {
    cViewVolume volume(kIdentity, projection);
    if (row.limit > 0.0f) volume.LimitDepth(row.limit);
    EXPECT_EQ(volume.SphereOutside(Ru::Math::Vector3{0.0f, 0.0f, -row.depth}, row.radius), row.outside)
        << "limit " << row.limit << " depth " << row.depth << " radius " << row.radius;
  }
}

// A ball drawn before hides what lies wholly in its shadow from the eye.
TEST(ViewVolume, AnOpaqueBallHidesWhatLiesWhollyBehindIt) {
  const float n = 0.1f, f = 10000.0f;
  const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
  // The eye at (0, 0, 1000) looking down -z at a ball of radius 500 about the origin.
  const float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -1000, 1};
  const Ru::Math::Vector3 eye{0.0f, 0.0f, 1000.0f};
  struct sRow {
    Ru::Math::Vector3 centre;
    float radius;
    bool hidden;
  } rows[] = {
      {{0.0f, 0.0f, -600.0f}, 10.0f, true},    // straight behind it
      {{0.0f, 0.0f, 520.0f}, 10.0f, false},    // in front of it
      {{0.0f, 0.0f, 0.0f}, 10.0f, true},       // inside it
      {{450.0f, 0.0f, -300.0f}, 10.0f, true},  // behind, well inside its outline
      {{900.0f, 0.0f, -300.0f}, 10.0f, false},  // behind it but beside its outline
      {{0.0f, 0.0f, -600.0f}, 1200.0f, false},  // reaching round it
  };
  for (const sRow& row : rows) {
    cViewVolume volume(modelView, projection);
    EXPECT_FALSE(volume.SphereOutside(row.centre, row.radius)) << "in view";
    volume.HideBehindBall(eye, 500.0f);
    EXPECT_EQ(volume.SphereOutside(row.centre, row.radius), row.hidden)
        << row.centre.x << " " << row.centre.y << " " << row.centre.z << " r " << row.radius;
  }
  cViewVolume inside(modelView, projection);
  inside.HideBehindBall(Ru::Math::Vector3{0.0f, 0.0f, 100.0f}, 500.0f);  // an eye inside the ball hides nothing
  EXPECT_FALSE(inside.SphereOutside(Ru::Math::Vector3{0.0f, 0.0f, -600.0f}, 10.0f));
}
