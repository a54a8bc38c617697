// The geodesic sphere a small sphere is drawn from: closed, wound outward,
// on the sphere, and its outline within the share of the radius it reports.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "glf/PreparedGeometry.h"
#include "math/Vector.h"

using namespace Ru::Math;

TEST(GeodesicSphere, IsAClosedOutwardMeshOnTheSphereThatFallsShortAsItSays) {
  float coarser = 1.0f;
  for (const int frequency : {1, 3, 4}) {
    SCOPED_TRACE(frequency);
    const cIndexedMesh mesh = BuildGeodesicSphere(2.0f, frequency);
    EXPECT_EQ(mesh.indices.size() / 3, 20u * frequency * frequency);
    EXPECT_EQ(mesh.positions.size() / 3, 10u * frequency * frequency + 2) << "every point once";
    auto point = [](const std::vector<float>& of, size_t v) { return Vector3{of[v], of[v + 1], of[v + 2]}; };
    for (size_t v = 0; v < mesh.positions.size(); v += 3) {
      EXPECT_NEAR(Vector3Length(point(mesh.positions, v)), 2.0f, 1e-5f);
      EXPECT_NEAR(Vector3Length(Vector3Sub(Vector3Scale(point(mesh.normals, v), 2.0f), point(mesh.positions, v))), 0.0f,
                  2e-5f);
    }
    // Each edge is walked once each way: no gap, and every face turned the same way ...
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (size_t t = 0; t < mesh.indices.size(); t += 3)
      for (int k = 0; k < 3; ++k) ++edges[{mesh.indices[t + k], mesh.indices[t + (k + 1) % 3]}];
    for (const auto& [edge, walked] : edges) {
      EXPECT_EQ(walked, 1);
      EXPECT_EQ(edges.count({edge.second, edge.first}), 1u);
    }
    // ... outward, and the middle of a face no deeper than the shortfall says; finer is closer.
    const float shortfall = MeshShortfall(mesh, 2.0f);
    EXPECT_GT(shortfall, 0.0f);
    EXPECT_LT(shortfall, coarser);
    coarser = shortfall;
    for (size_t t = 0; t < mesh.indices.size(); t += 3) {
      const Vector3 a = point(mesh.positions, 3 * mesh.indices[t]), b = point(mesh.positions, 3 * mesh.indices[t + 1]),
                    c = point(mesh.positions, 3 * mesh.indices[t + 2]);
      EXPECT_GT(Vector3Dot(Vector3Cross(Vector3Sub(b, a), Vector3Sub(c, a)), a), 0.0f);
      EXPECT_LE(1.0f - Vector3Length(Vector3Add(a, Vector3Add(b, c))) / 6.0f, shortfall + 1e-5f);
    }
  }
  // The full gluSphere of twenty slices, measured alike: about as short as frequency four.
  EXPECT_NEAR(MeshShortfall(BuildIndexedSphere(2.0, 20, 20), 2.0f), MeshShortfall(BuildGeodesicSphere(2.0f, 4), 2.0f),
              0.005f);
}
