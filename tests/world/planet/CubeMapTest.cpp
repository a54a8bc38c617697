// Cube maps: face conversions, the edge table, and sampling that stays
// continuous across face edges and corners.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "world/planet/CubeMap.h"

using namespace nKoPlanet;
using Ru::Math::Vector3;

namespace {

float Length(const Vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A smooth function of direction: sampling a map filled with it must be smooth everywhere.
float Field(const Vector3& d) { return 10.0f * d.x + 20.0f * d.y - 7.0f * d.z + 3.0f * d.x * d.y; }

cCubeMap<float> MakeFieldMap(uint32_t n) {
  cCubeMap<float> map(n, n, 0.0f);
  for (uint32_t f = 0; f < 6; ++f)
    for (uint32_t a = 0; a < n; ++a)
      for (uint32_t b = 0; b < n; ++b)
        map.SetCell({f, a, b}, Field(FaceCoordinateToDirection(CellToFaceCoordinate(f, a, b, n, n))));
  return map;
}

}  // namespace

TEST(CubeMap, DirectionsOfFaceCentresAndBack) {
  struct Case {
    Vector3 d;
    uint32_t face;
  } cases[] = {{{0, 0, 1}, 0}, {{0, 0, -1}, 1}, {{1, 0, 0}, 2}, {{-1, 0, 0}, 3}, {{0, 1, 0}, 4}, {{0, -1, 0}, 5}};
  for (const Case& c : cases) {
    cFaceCoordinate fc = DirectionToFaceCoordinate(c.d);
    EXPECT_EQ(fc.face, c.face);
    EXPECT_FLOAT_EQ(fc.u, 0.5f);
    EXPECT_FLOAT_EQ(fc.v, 0.5f);
    Vector3 back = FaceCoordinateToDirection(fc);
    EXPECT_NEAR(back.x, c.d.x, 1e-6f);
    EXPECT_NEAR(back.y, c.d.y, 1e-6f);
    EXPECT_NEAR(back.z, c.d.z, 1e-6f);
  }
  // Shared edges and corners go to the lowest-numbered face.
  EXPECT_EQ(DirectionToFaceCoordinate({1, 0, 1}).face, 0u);
  EXPECT_EQ(DirectionToFaceCoordinate({1, 1, 0}).face, 2u);
  EXPECT_EQ(DirectionToFaceCoordinate({-1, -1, -1}).face, 1u);
}

TEST(CubeMap, RoundTripOfManyDirections) {
  for (int i = 0; i < 20000; ++i) {
    float t = static_cast<float>(i) * 0.61803398875f;
    Vector3 d{std::sin(t * 3.1f) * std::cos(t), std::cos(t * 1.7f), std::sin(t * 0.37f + 1.0f)};
    float len = Length(d);
    Vector3 unit{d.x / len, d.y / len, d.z / len};
    cFaceCoordinate fc = DirectionToFaceCoordinate(d);  // any length
    ASSERT_LT(fc.face, 6u);
    ASSERT_GE(fc.u, 0.0f);
    ASSERT_LE(fc.u, 1.0f);
    ASSERT_GE(fc.v, 0.0f);
    ASSERT_LE(fc.v, 1.0f);
    Vector3 back = FaceCoordinateToDirection(fc);
    ASSERT_NEAR(back.x, unit.x, 2e-6f);
    ASSERT_NEAR(back.y, unit.y, 2e-6f);
    ASSERT_NEAR(back.z, unit.z, 2e-6f);
  }
}

TEST(CubeMap, DegenerateDirectionsMapToNoFaceAndSampleSafely) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (Vector3 d : {Vector3{0, 0, 0}, Vector3{1e-6f, -1e-6f, 0}, Vector3{nan, 0, 0}, Vector3{nan, nan, nan},
                    Vector3{inf, 1, 0}}) {
    cFaceCoordinate fc = DirectionToFaceCoordinate(d);
    EXPECT_EQ(fc.face, kNoFace);
  }
  cCubeMap<float> map(4, 4, 7.0f);
  EXPECT_EQ(map.Sample(cFaceCoordinate{}), 0.0f);
  // NaN face coordinates are clamped onto the face rather than indexing off the map.
  cFaceCoordinate bad{0, nan, nan};
  cFaceCoordinate n = NormalizeFaceCoordinate(bad);
  EXPECT_LT(n.face, 6u);
  EXPECT_GE(n.u, 0.0f);
  EXPECT_LE(n.v, 1.0f);
  EXPECT_EQ(map.Sample(bad), 7.0f);
  EXPECT_EQ(map.Sample(cFaceCoordinate{2, inf, -inf}), 7.0f);
  cCellCoordinate cell = FaceCoordinateToCell(bad, 4, 4);
  EXPECT_LT(cell.a, 4u);
  EXPECT_LT(cell.b, 4u);
}

TEST(CubeMap, NormalizeAcrossEdges) {
  cFaceCoordinate a = NormalizeFaceCoordinate({0, 1.25f, 0.5f});
  EXPECT_EQ(a.face, 3u);
  EXPECT_FLOAT_EQ(a.u, 0.5f);
  EXPECT_FLOAT_EQ(a.v, 0.25f);
  cFaceCoordinate b = NormalizeFaceCoordinate({0, 0.5f, 1.25f});
  EXPECT_EQ(b.face, 4u);
  EXPECT_FLOAT_EQ(b.u, 0.5f);
  EXPECT_FLOAT_EQ(b.v, 0.25f);
}

// Every edge-table row must lead to the point the geometry says: a point just
// beyond an edge, wrapped, has nearly the direction of the continued face plane.
TEST(CubeMap, EdgeTableMatchesGeometry) {
  for (uint32_t face = 0; face < 6; ++face)
    for (int axis = 0; axis < 2; ++axis)
      for (int side = 0; side < 2; ++side)
        for (float along : {0.1f, 0.5f, 0.85f}) {
          float beyond = side == 0 ? 1.001f : -0.001f;
          float u = axis == 0 ? beyond : along, v = axis == 0 ? along : beyond;
          Vector3 cube = FaceCoordinateToCubePoint(face, u, v);
          float len = Length(cube);
          cFaceCoordinate wrapped = NormalizeFaceCoordinate({face, u, v});
          EXPECT_EQ(wrapped.face, GetFaceEdge(face, axis, side).neighbour);
          Vector3 d = FaceCoordinateToDirection(wrapped);
          EXPECT_NEAR(d.x, cube.x / len, 2e-3f) << face << " " << axis << " " << side;
          EXPECT_NEAR(d.y, cube.y / len, 2e-3f) << face << " " << axis << " " << side;
          EXPECT_NEAR(d.z, cube.z / len, 2e-3f) << face << " " << axis << " " << side;
        }
}

TEST(CubeMap, IteratorOrderAndInteriorSample) {
  cCubeMap<float> map(2, 2, 1.0f);
  cCubeMapIterator* it = map.CreateAllCellsIterator();
  float value = 1.0f;
  cCellCoordinate last;
  int count = 0;
  for (; !it->IsDone(); it->Next(), ++count) {
    last = it->GetCell();
    map.SetCell(last, value++);
  }
  delete it;
  EXPECT_EQ(count, 24);
  EXPECT_EQ(last.face, 5u);
  EXPECT_EQ(last.a, 1u);
  EXPECT_EQ(last.b, 1u);
  // Walk order is column-major within a face: cell (0, a=0, b=1) got 2.
  EXPECT_EQ(map.GetCell({0, 0, 1}), 2.0f);
  EXPECT_FLOAT_EQ(map.Sample({0, 0.5f, 0.5f}), 2.5f);
}

// The start-up self tests check what they walk and convert: each answers
// false when the iterator, the sampler or a face conversion goes wrong.
TEST(CubeMap, StartUpSelfTestsPass) {
  EXPECT_TRUE(TestCubeMapIterator());
  EXPECT_TRUE(TestCubeMapDirections());
}

TEST(CubeMap, CellCentresSampleExactlyAndLastColumnStaysInside) {
  cCubeMap<float> map(8, 8, 0.0f);
  for (uint32_t f = 0; f < 6; ++f)
    for (uint32_t a = 0; a < 8; ++a)
      for (uint32_t b = 0; b < 8; ++b) map.SetCell({f, a, b}, static_cast<float>(f * 100 + a * 10 + b));
  for (uint32_t f = 0; f < 6; ++f)
    for (uint32_t a = 0; a < 8; ++a)
      for (uint32_t b = 0; b < 8; ++b)
        EXPECT_FLOAT_EQ(map.Sample(CellToFaceCoordinate(f, a, b, 8, 8)), static_cast<float>(f * 100 + a * 10 + b));
  // x = w - 1 exactly: interior, no cell beyond the face is read.
  EXPECT_FLOAT_EQ(map.Sample({1, 7.5f / 8.0f, 7.5f / 8.0f}), 177.0f);
}

TEST(CubeMap, IntegerAndVectorMapsInterpolate) {
  cCubeMap<int> ints(2, 2, 0);
  ints.SetCell({0, 0, 0}, 10);
  ints.SetCell({0, 1, 0}, 20);
  ints.SetCell({0, 0, 1}, 30);
  ints.SetCell({0, 1, 1}, 41);
  EXPECT_EQ(ints.Sample({0, 0.5f, 0.5f}), 25);  // 25.25 truncated
  // Each component interpolates on its own: the cells differ in every one.
  cCubeMap<Vector3> vectors(2, 2, Vector3{});
  vectors.SetCell({3, 0, 0}, Vector3{1, 2, 3});
  vectors.SetCell({3, 1, 0}, Vector3{5, -2, 0});
  vectors.SetCell({3, 0, 1}, Vector3{0, 0, 8});
  vectors.SetCell({3, 1, 1}, Vector3{4, 4, 4});
  Vector3 centre = vectors.Sample({3, 0.5f, 0.5f});
  EXPECT_FLOAT_EQ(centre.x, 2.5f);
  EXPECT_FLOAT_EQ(centre.y, 1.0f);
  EXPECT_FLOAT_EQ(centre.z, 3.75f);
  Vector3 offCentre = vectors.Sample({3, 0.375f, 0.5f});  // a quarter of the way across, half way along
  EXPECT_FLOAT_EQ(offCentre.x, 1.5f);
  EXPECT_FLOAT_EQ(offCentre.y, 1.0f);
  EXPECT_FLOAT_EQ(offCentre.z, 4.625f);
}

// The face table pinned in world terms: the centre of cell (a = 0, b = 1) of a
// 4 x 4 face, (u, v) = (0.125, 0.375), is one fixed direction per face, so a
// mirrored or turned face cannot pass by agreeing with itself.
TEST(CubeMap, EachFacePointIsAFixedWorldDirection) {
  const Vector3 cubePoints[6] = {{0.75f, -0.25f, 1},  {0.75f, 0.25f, -1}, {1, -0.75f, 0.25f},
                                 {-1, 0.75f, 0.25f}, {0.75f, 1, 0.25f},  {-0.75f, -1, 0.25f}};
  for (uint32_t face = 0; face < 6; ++face) {
    const Vector3& p = cubePoints[face];
    const float len = Length(p);
    Vector3 d = FaceCoordinateToDirection(CellToFaceCoordinate(face, 0, 1, 4, 4));
    EXPECT_NEAR(d.x, p.x / len, 1e-6f) << face;
    EXPECT_NEAR(d.y, p.y / len, 1e-6f) << face;
    EXPECT_NEAR(d.z, p.z / len, 1e-6f) << face;
    cFaceCoordinate c = DirectionToFaceCoordinate(p);
    EXPECT_EQ(c.face, face);
    EXPECT_FLOAT_EQ(c.u, 0.125f) << face;
    EXPECT_FLOAT_EQ(c.v, 0.375f) << face;
  }
}

// Sampling a smooth field is continuous across every edge and corner, and
// close to the field itself (bilinear error only) near them.
TEST(CubeMap, SamplingIsContinuousAcrossEdgesAndCorners) {
  const uint32_t n = 64;
  cCubeMap<float> map = MakeFieldMap(n);
  const float cell = 2.0f / n;  // angular size of a cell, roughly
  int checked = 0;
  for (int i = 0; i < 4000; ++i) {
    // Directions near edges and corners of the cube.
    float s = static_cast<float>(i);
    Vector3 d{std::cos(s * 0.7f), std::sin(s * 1.3f), std::cos(s * 2.9f + 0.4f)};
    float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    float m = std::fmax(ax, std::fmax(ay, az));
    // Push one other component towards the major one so the point lies near an edge.
    if (m == ax) d.y = std::copysign(ax * (0.995f + 0.004f * std::sin(s)), d.y);
    else if (m == ay) d.z = std::copysign(ay * (0.995f + 0.004f * std::sin(s)), d.z);
    else d.x = std::copysign(az * (0.995f + 0.004f * std::sin(s)), d.x);
    float len = Length(d);
    Vector3 u{d.x / len, d.y / len, d.z / len};
    float sampled = map.Sample(DirectionToFaceCoordinate(u));
    EXPECT_NEAR(sampled, Field(u), 40.0f * cell) << i;
    // A tiny step must change the sample only a little, whichever face it lands on.
    Vector3 step{u.x + 1e-4f, u.y - 1e-4f, u.z + 1e-4f};
    float next = map.Sample(DirectionToFaceCoordinate(step));
    EXPECT_NEAR(sampled, next, 0.05f) << i;
    ++checked;
  }
  EXPECT_EQ(checked, 4000);
  // Exact cube corners.
  for (int sx : {-1, 1})
    for (int sy : {-1, 1})
      for (int sz : {-1, 1}) {
        Vector3 c{static_cast<float>(sx), static_cast<float>(sy), static_cast<float>(sz)};
        float len = Length(c);
        Vector3 u{c.x / len, c.y / len, c.z / len};
        EXPECT_NEAR(map.Sample(DirectionToFaceCoordinate(c)), Field(u), 40.0f * cell);
      }
}

TEST(CubeMap, NeighbourWalkCrossesEdges) {
  cCubeMap<float> map(4, 4, 0.0f);
  cCubeMapIterator_Neighbors it(&map, CellToFaceCoordinate(0, 0, 0, 4, 4));
  std::vector<cCellCoordinate> cells;
  for (; !it.IsDone(); it.Next()) cells.push_back(it.GetCell());
  ASSERT_EQ(cells.size(), 4u);
  EXPECT_EQ(cells[0].face, 5u);
  EXPECT_EQ(cells[1].face, 2u);
  EXPECT_EQ(cells[2].face, 0u);
  EXPECT_EQ(cells[2].a, 0u);
  EXPECT_EQ(cells[2].b, 1u);
  EXPECT_EQ(cells[3].face, 0u);
  EXPECT_EQ(cells[3].a, 1u);
  EXPECT_EQ(cells[3].b, 0u);
}

// The height query's fast path must agree bit for bit with the general path.
TEST(CubeMap, FastDirectionSampleMatchesGeneralPath) {
  cCubeMap<float> map = MakeFieldMap(64);
  int fast = 0;
  for (int i = 0; i < 50000; ++i) {
    const float s = static_cast<float>(i);
    Vector3 d{std::sin(s * 0.731f) * 3.0f, std::cos(s * 1.117f) * 2.0f, std::sin(s * 0.293f + 0.5f) * 3.0f};
    if (i % 7 == 0) d.x = d.z;  // on an edge
    float value = -1.0f;
    if (map.SampleDirectionFast(d, value)) {
      ++fast;
      ASSERT_EQ(value, map.Sample(DirectionToFaceCoordinate(d))) << i;
    }
  }
  EXPECT_GT(fast, 40000);
  float untouched = 3.0f;
  EXPECT_FALSE(map.SampleDirectionFast(Vector3{0, 0, 0}, untouched));
  EXPECT_FALSE(map.SampleDirectionFast(Vector3{std::numeric_limits<float>::quiet_NaN(), 0, 0}, untouched));
  EXPECT_EQ(untouched, 3.0f);
}
