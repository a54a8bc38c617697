// The six-face sphere: every vertex on the sphere, normals outward and equal
// on both sides of each cube edge, blending and shading.
#include <gtest/gtest.h>

#include <cmath>

#include "glf/SixFaceMesh.h"
#include "math/Vector.h"

using Ru::Math::Vector3;

TEST(SixFaceMesh, VerticesOnTheSphereWithOutwardNormalsThatMatchAcrossEdges) {
  cSixFaceMesh mesh(4, 2.0f);
  mesh.ComputeNormals();
  for (int f = 0; f < 6; ++f)
    for (int r = 0; r <= 4; ++r)
      for (int c = 0; c <= 4; ++c) {
        const Vector3 p = mesh.GetPosition(f, r, c), n = mesh.GetNormal(f, r, c);
        EXPECT_NEAR(Ru::Math::Vector3Length(p), 2.0f, 1e-5f);
        EXPECT_NEAR(Ru::Math::Vector3Length(n), 1.0f, 1e-5f);
        EXPECT_GT(Ru::Math::Vector3Dot(n, p) / 2.0f, 0.8f) << f << " " << r << " " << c;
      }
  // Every vertex shared by two faces has one position and one normal.
  int shared = 0;
  for (int f = 0; f < 6; ++f)
    for (int g = f + 1; g < 6; ++g)
      for (int i = 0; i < 25; ++i)
        for (int j = 0; j < 25; ++j) {
          const Vector3 p = mesh.GetPosition(f, i / 5, i % 5), q = mesh.GetPosition(g, j / 5, j % 5);
          if (!Ru::Math::Vector3Equal(p, q)) continue;
          ++shared;
          EXPECT_TRUE(Ru::Math::Vector3Equal(mesh.GetNormal(f, i / 5, i % 5), mesh.GetNormal(g, j / 5, j % 5)));
        }
  EXPECT_EQ(shared, 12 * 5);  // five per edge; a corner's three faces make the three pairs of its three edges
}

TEST(SixFaceMesh, BlendAndShadeMovePositions) {
  cSixFaceMesh small(2, 2.0f), large(2, 4.0f);
  small.Blend(large, 0.5f);
  EXPECT_NEAR(Ru::Math::Vector3Length(small.GetPosition(3, 1, 1)), 3.0f, 1e-5f);
  cSixFaceMesh mesh(2, 1.0f);
  mesh.Shade(Vector3{0, 5, 0}, 2.0f, false);
  EXPECT_NEAR(mesh.GetPosition(2, 1, 1).y, 2.0f, 1e-5f);   // the +y pole: d = 1
  EXPECT_NEAR(mesh.GetPosition(0, 1, 1).x, 1.0f, 1e-5f);   // the equator: d = 0
  EXPECT_NEAR(mesh.GetPosition(3, 1, 1).y, 0.0f, 1e-5f);   // the -y pole: d = -1, scaled by 1 + 1 - 2
  mesh.Shade(Vector3{0, 1, 0}, 2.0f, false);                // a collapsed vertex stays put, no NaN
  EXPECT_EQ(mesh.GetPosition(3, 1, 1).y, 0.0f);
  cSixFaceMesh both(2, 1.0f);
  both.Shade(Vector3{0, 1, 0}, 2.0f, true);
  EXPECT_NEAR(both.GetPosition(3, 1, 1).y, -2.0f, 1e-5f);  // absolute: both poles grow
}
