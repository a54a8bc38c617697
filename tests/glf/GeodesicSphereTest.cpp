// The geodesic sphere a small sphere is drawn from: closed, wound outward,
// on the sphere, and its outline within the share of the radius it reports.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <utility>

#include "glf/PreparedGeometry.h"

TEST(GeodesicSphere, IsAClosedOutwardMeshOnTheSphereThatFallsShortAsItSays) {
  float coarser = 1.0f;
  for (const int frequency : {1, 3, 4}) {
    SCOPED_TRACE(frequency);
    const cIndexedMesh mesh = BuildGeodesicSphere(2.0f, frequency);
    const size_t triangles = mesh.indices.size() / 3;
    EXPECT_EQ(triangles, 20u * frequency * frequency);
    EXPECT_EQ(mesh.positions.size() / 3, 10u * frequency * frequency + 2) << "every point once";
    for (size_t v = 0; v < mesh.positions.size(); v += 3) {
      const float* p = &mesh.positions[v];
      const float* n = &mesh.normals[v];
      EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 2.0f, 1e-5f);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(n[k] * 2.0f, p[k], 1e-5f);
    }
    // Each edge is walked once each way: no gap, and every face turned the same way ...
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (size_t t = 0; t < mesh.indices.size(); t += 3)
      for (int k = 0; k < 3; ++k) ++edges[{mesh.indices[t + k], mesh.indices[t + (k + 1) % 3]}];
    for (const auto& [edge, walked] : edges) {
      EXPECT_EQ(walked, 1);
      EXPECT_EQ(edges.count({edge.second, edge.first}), 1u);
    }
    // ... outward, counter-clockwise seen from outside.
    for (size_t t = 0; t < mesh.indices.size(); t += 3) {
      const float* a = &mesh.positions[3 * mesh.indices[t]];
      const float* b = &mesh.positions[3 * mesh.indices[t + 1]];
      const float* c = &mesh.positions[3 * mesh.indices[t + 2]];
      const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      const float out = (u[1] * w[2] - u[2] * w[1]) * (a[0] + b[0] + c[0]) +
                        (u[2] * w[0] - u[0] * w[2]) * (a[1] + b[1] + c[1]) +
                        (u[0] * w[1] - u[1] * w[0]) * (a[2] + b[2] + c[2]);
      EXPECT_GT(out, 0.0f);
    }
    // The middle of a face lies no deeper than the shortfall says, and finer is closer.
    const float shortfall = MeshShortfall(mesh, 2.0f);
    EXPECT_GT(shortfall, 0.0f);
    EXPECT_LT(shortfall, coarser);
    coarser = shortfall;
    for (size_t t = 0; t < mesh.indices.size(); t += 3) {
      float middle[3] = {0, 0, 0};
      for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3; ++j) middle[j] += mesh.positions[3 * mesh.indices[t + k] + j] / 3.0f;
      const float length = std::sqrt(middle[0] * middle[0] + middle[1] * middle[1] + middle[2] * middle[2]);
      const float depth = 1.0f - length / 2.0f;
      EXPECT_LE(depth, shortfall + 1e-5f);
    }
  }
  // The full gluSphere of twenty slices, measured alike: about as short as frequency four.
  EXPECT_NEAR(MeshShortfall(BuildIndexedSphere(2.0, 20, 20), 2.0f), MeshShortfall(BuildGeodesicSphere(2.0f, 4), 2.0f),
              0.005f);
}
