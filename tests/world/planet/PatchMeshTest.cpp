// Patch meshes and the patch tree: every patch covers its square exactly once
// with one winding facing outward, normals point out of the ground, and
// neighbouring patches of different levels leave no gap the skirts do not close.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "math/Vector.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/planet/DisplacedSphere.h"
#include "world/planet/PatchMesh.h"

using namespace Ru::Math;
using namespace nKoPlanet;

namespace {

float Hills(const Vector3& d) { return 12.0f + 9.0f * std::sin(7.0f * d.x) * std::cos(5.0f * d.y) + 6.0f * d.z * d.x; }

cDisplacedSphereParams SmallParams(const cCubeMap<float>* map, bool skirts) {
  cDisplacedSphereParams p;
  p.gridExponent = 6;
  p.levelCount = 3;
  p.activation1 = 0.1f;
  p.activation2 = 8.0f;
  p.activation3 = 0.0f;
  p.activation4 = 1.0f;
  p.activation5 = 0.1f;
  p.skirts = skirts ? 1 : 0;
  p.heightMap = map;
  p.radius = 500.0f;
  return p;
}

void CollectPatches(const cTerrainPatch* p, std::vector<const cTerrainPatch*>& out) {
  out.push_back(p);
  for (const cTerrainPatch* c : p->children)
    if (c) CollectPatches(c, out);
}

// Hills steep and close enough that a face's coarse patches stray from the
// ground by several units, as the real terrain's do.
float Ridges(const Vector3& d) {
  return 15.0f + 12.0f * std::sin(21.0f * d.x + 2.0f * d.z) * std::cos(17.0f * d.y) + 8.0f * std::sin(9.0f * d.z);
}

cDisplacedSphereParams PlanetParams(const cCubeMap<float>* map) {
  cDisplacedSphereParams p = SmallParams(map, true);
  p.gridExponent = 8;
  p.levelCount = 4;
  return p;
}

// The sphere with the planet's own parameters over Ridges, its dots kept off the output.
void BuildRidgedPlanetMesh(cDisplacedSphere& sphere, const cCubeMap<float>& map) {
  cCapturedOutput captured;
  sphere.Init(PlanetParams(&map));
  captured.End();
}

// A patch's vertices on its face's rim, by the face across the rim and the
// position along the cube edge (in grid steps), keeping the highest at each
// place: the skirts hang below.
using cRim = std::map<std::pair<uint32_t, long>, Vector3>;
void AddRimVertices(const cTerrainPatch& patch, int gridSteps, cRim& rim) {
  for (const Vector3& p : patch.positions) {
    const float big = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    const Vector3 cube = Vector3Scale(p, 1.0f / big);
    for (uint32_t g = 0; g < 6; ++g) {
      cFaceCoordinate c;
      if (g == patch.face || !DirectionToFaceCoordinateOnFace(cube, g, c)) continue;
      if (c.u < -1e-5f || c.u > 1.0f + 1e-5f || c.v < -1e-5f || c.v > 1.0f + 1e-5f) continue;
      // Along the shared edge: the cube coordinate that is neither face's normal
      // axis (z for faces 0 and 1, x for 2 and 3, y for 4 and 5).
      const int normal[6] = {2, 2, 0, 0, 1, 1};
      const int axis = 3 - normal[patch.face] - normal[g];
      const auto key = std::make_pair(g, std::lround((cube[axis] + 1.0f) * 0.5f * static_cast<float>(gridSteps)));
      auto it = rim.find(key);
      if (it == rim.end() || Vector3Length(p) > Vector3Length(it->second)) rim[key] = p;
    }
  }
}

// Column-major model-view of an eye at `eye` looking at `target`, up towards `up`.
void LookAt(const Vector3& eye, const Vector3& target, const Vector3& up, float m[16]) {
  const Vector3 f = Vector3Normalized(Vector3Sub(target, eye));
  const Vector3 s = Vector3Normalized(CrossProduct(f, up));
  const Vector3 u = CrossProduct(s, f);
  const float out[16] = {s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0,
                         -Vector3Dot(s, eye), -Vector3Dot(u, eye), Vector3Dot(f, eye), 1};
  std::copy(out, out + 16, m);
}

cFaceCoordinate OnFace(const cTerrainPatch& patch, const Vector3& position) {
  cFaceCoordinate c;
  EXPECT_TRUE(DirectionToFaceCoordinateOnFace(position, patch.face, c));
  return c;
}

}  // namespace

TEST(PatchMesh, PlanetTreeHas85PatchesPerFace) {
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  ASSERT_TRUE(sphere.Init(PlanetParams(nullptr)));
  std::string dots = captured.End();
  EXPECT_EQ(dots, std::string(510, '.'));
  for (uint32_t face = 0; face < 6; ++face) {
    std::vector<const cTerrainPatch*> all;
    CollectPatches(sphere.GetRoot(face), all);
    ASSERT_EQ(all.size(), 85u);
    std::map<float, int> bySize;
    for (const cTerrainPatch* patch : all) ++bySize[patch->size];
    EXPECT_EQ(bySize[1.0f], 1);
    EXPECT_EQ(bySize[0.5f], 4);
    EXPECT_EQ(bySize[0.25f], 16);
    EXPECT_EQ(bySize[0.125f], 64);
  }
  // A leaf spans 33 x 33 grid vertices plus skirts.
  EXPECT_LE(sphere.LargestPatchVertexCount(), 33u * 33u + 4u * 33u);
  EXPECT_TRUE(sphere.ReleasePatches());
  EXPECT_EQ(sphere.GetRoot(0), nullptr);
}

// Without skirts the triangles of a patch, seen on its face, must tile its
// square exactly: positive signed areas (one winding) that sum to the square.
TEST(PatchMesh, EveryPatchCoversItsSquareWithOneOutwardWinding) {
  auto map = MakeHeightMap(Hills, 64);
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  sphere.Init(SmallParams(map.get(), false));
  captured.End();
  for (uint32_t face = 0; face < 6; ++face) {
    std::vector<const cTerrainPatch*> all;
    CollectPatches(sphere.GetRoot(face), all);
    for (const cTerrainPatch* patch : all) {
      double area = 0.0;
      ASSERT_EQ(patch->indices.size() % 3, 0u);
      for (size_t i = 0; i < patch->indices.size(); i += 3) {
        const Vector3& a = patch->positions[patch->indices[i]];
        const Vector3& b = patch->positions[patch->indices[i + 1]];
        const Vector3& c = patch->positions[patch->indices[i + 2]];
        // Outward: counter-clockwise seen from outside the planet.
        const Vector3 n = CrossProduct(Vector3Sub(b, a), Vector3Sub(c, a));
        EXPECT_GT(Vector3Dot(n, Vector3Add(a, Vector3Add(b, c))), 0.0f) << "face " << face << " level " << patch->level;
        const cFaceCoordinate fa = OnFace(*patch, a), fb = OnFace(*patch, b), fc = OnFace(*patch, c);
        const double signedArea = 0.5 * ((fb.u - fa.u) * (fc.v - fa.v) - (fc.u - fa.u) * (fb.v - fa.v));
        area += std::fabs(signedArea);
      }
      EXPECT_NEAR(area, patch->size * patch->size, 1e-4) << "face " << face << " level " << patch->level;
      for (size_t v = 0; v < patch->positions.size(); ++v) {
        EXPECT_NEAR(Vector3Length(patch->normals[v]), 1.0f, 1e-4f);
        EXPECT_GT(Vector3Dot(patch->normals[v], Vector3Normalized(patch->positions[v])), 0.5f);
      }
    }
  }
}

// The geometric normal of a lit slope must lean away from the uphill side.
TEST(PatchMesh, NormalsLeanAwayFromTheSlope) {
  auto map = MakeHeightMap([](const Vector3& d) { return 40.0f * d.x; }, 64);
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  sphere.Init(SmallParams(map.get(), false));
  captured.End();
  std::vector<const cTerrainPatch*> all;
  CollectPatches(sphere.GetRoot(0), all);  // the +z face; height rises towards +x
  int checked = 0;
  for (const cTerrainPatch* patch : all)
    for (size_t v = 0; v < patch->positions.size(); ++v) {
      const Vector3 up = Vector3Normalized(patch->positions[v]);
      const Vector3& n = patch->normals[v];
      // Tangential part of the normal points downhill (towards -x on this face).
      const Vector3 tangential = Vector3Sub(n, Vector3Scale(up, Vector3Dot(n, up)));
      if (std::fabs(up.x) < 0.5f && std::fabs(up.y) < 0.5f) {
        EXPECT_LT(tangential.x, 0.0f);
        ++checked;
      }
    }
  EXPECT_GT(checked, 100);
}

// Where a fine patch meets a coarser one, the fine edge may hold extra vertices
// (a T-junction). The gap they open must be smaller than the skirt hanging from
// either patch, and every coarse edge vertex must also be on the fine edge.
TEST(PatchMesh, NoCracksBetweenPatchesOfDifferentLevels) {
  auto map = MakeHeightMap(Hills, 64);
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  sphere.Init(SmallParams(map.get(), true));
  captured.End();
  const int top = 2;
  int pairs = 0;
  for (uint32_t face = 0; face < 6; ++face) {
    std::vector<const cTerrainPatch*> all;
    CollectPatches(sphere.GetRoot(face), all);
    for (const cTerrainPatch* fine : all)
      for (const cTerrainPatch* coarse : all) {
        if (coarse->level != fine->level + 1) continue;
        // Shared vertical edge: fine's right edge on coarse's left edge, overlapping in v.
        const float edgeU = fine->X * fine->size;
        if (std::fabs(edgeU - (coarse->X - 1) * coarse->size) > 1e-6f) continue;
        const float v0 = (fine->Y - 1) * fine->size, v1 = fine->Y * fine->size;
        if (v0 < (coarse->Y - 1) * coarse->size - 1e-6f || v1 > coarse->Y * coarse->size + 1e-6f) continue;
        auto edgeVertices = [&](const cTerrainPatch* p) {
          std::map<float, float> byV;  // v -> radius, grid vertices on the edge only
          for (size_t i = 0; i < p->positions.size(); ++i) {
            cFaceCoordinate c;
            if (!DirectionToFaceCoordinateOnFace(p->positions[i], face, c)) continue;
            const float r = Vector3Length(p->positions[i]);
            if (std::fabs(c.u - edgeU) < 1e-4f && c.v >= v0 - 1e-4f && c.v <= v1 + 1e-4f && r > 490.0f) {
              const float key = std::round(c.v * 64.0f) / 64.0f;  // the grid step: skirt and grid vertex share it
              auto it = byV.find(key);
              if (it == byV.end() || r > it->second) byV[key] = r;  // skirts sit lower
            }
          }
          return byV;
        };
        auto f = edgeVertices(fine), c = edgeVertices(coarse);
        ASSERT_GE(c.size(), 2u);
        const float skirtDrop = 0.05f * std::pow(0.5f, static_cast<float>(top - coarse->level)) * 500.0f;
        for (const auto& [v, r] : f) {
          // Radius of the coarse edge at v, linearly between its vertices.
          auto hi = c.lower_bound(v - 1e-5f);
          if (hi == c.end()) --hi;
          auto lo = hi == c.begin() ? hi : std::prev(hi);
          float t = hi->first == lo->first ? 0.0f : (v - lo->first) / (hi->first - lo->first);
          float coarseR = lo->second + (hi->second - lo->second) * t;
          EXPECT_LT(std::fabs(r - coarseR), skirtDrop) << "face " << face;
        }
        for (const auto& [v, r] : c) {
          auto it = f.lower_bound(v - 1e-5f);
          ASSERT_TRUE(it != f.end() && std::fabs(it->first - v) < 1e-5f) << "coarse vertex missing from the fine edge";
          EXPECT_NEAR(it->second, r, 1e-3f);
        }
        ++pairs;
      }
  }
  EXPECT_GT(pairs, 20);
}

TEST(PatchMesh, LevelOfDetailSkipsTheFarSideAndRefinesNearTheCamera) {
  auto map = MakeHeightMap(Hills, 64);
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  sphere.Init(SmallParams(map.get(), true));
  captured.End();
  // Camera on +z looking down -z at distance D: model-view is a translation by
  // -D; the far plane lies beyond the whole planet, so no patch is outside the view.
  auto frame = [&](float distance, float threshold) {
    float mv[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -distance, 1};
    const float n = 1.0f, f = 20000.0f, t = std::tan(20.0f * 3.1415927f / 180.0f) * n;
    float proj[16] = {n / t, 0, 0, 0, 0, n / t, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
    sphere.UpdateLevelOfDetail(mv, proj, threshold);
    return sphere.CountDrawnTriangles();
  };
  // By the far-side test alone (hidden patches kept): never split, every face
  // draws its root, also the -z face right behind the planet (a root's corners
  // are cube corners, never all on the far side); always split, the front face
  // draws all 16 leaves and the back face loses its four middle leaves (every
  // corner within 37 degrees of straight behind) and keeps the 12 of its rim.
  // Hidden patches left out, the back face, wholly behind the planet, is
  // neither drawn nor split.
  for (const bool trim : {false, true}) {
    sphere.SetHiddenPatchTrim(trim);
    frame(5000.0f, 1e9f);
    for (uint32_t face = 0; face < 6; ++face) {
      ASSERT_EQ(sphere.GetDrawList(face).size(), trim && face == 1 ? 0u : 1u) << face;
      if (!sphere.GetDrawList(face).empty()) {
        EXPECT_EQ(sphere.GetDrawList(face).front(), sphere.GetRoot(face));
      }
    }
    frame(5000.0f, 0.0f);
    EXPECT_EQ(sphere.GetDrawList(0).size(), 16u);
    const auto& back = sphere.GetDrawList(1);
    EXPECT_EQ(back.size(), trim ? 0u : 12u);
    for (const cTerrainPatch* p : back) {
      EXPECT_EQ(p->level, 0u);
      EXPECT_FALSE((p->X == 2 || p->X == 3) && (p->Y == 2 || p->Y == 3)) << p->X << " " << p->Y;
    }
  }
  sphere.SetHiddenPatchTrim(true);

  const size_t far = frame(5000.0f, 5.0f);
  const size_t near = frame(600.0f, 5.0f);
  EXPECT_GT(near, far);
  bool leafOnFront = false;
  for (const cTerrainPatch* p : sphere.GetDrawList(0)) leafOnFront |= p->level == 0;
  EXPECT_TRUE(leafOnFront);
}

// A patch is left out only when its whole mesh, skirts included, lies beyond
// one side of the view: eye at the origin looking down -z, near 1, far 1000.
TEST(PatchMesh, OnlyPatchesWhollyOutsideTheViewAreLeftOut) {
  const float n = 1.0f, f = 1000.0f, t = std::tan(20.0f * 3.1415927f / 180.0f) * n;
  const float view[16] = {n / t, 0, 0, 0, 0, n / t, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
  struct {
    Ru::Math::Vector3 low, high;
    bool outside;
  } cases[] = {
      {{-5, -5, -105}, {5, 5, -95}, false},        // straight ahead
      {{-5, -5, 95}, {5, 5, 105}, true},           // behind the eye
      {{-505, -5, -105}, {-495, 5, -95}, true},    // far to the left
      {{-60, -5, -105}, {-30, 5, -95}, false},     // across the left edge
      {{-5, 300, -105}, {5, 310, -95}, true},      // above
      {{-5, -5, -2005}, {5, 5, -1995}, true},      // beyond the far plane
      {{-5, -5, -0.5f}, {5, 5, 0.5f}, true},       // between the eye and the near plane
      {{-5, -5, -5}, {5, 5, 0.5f}, false},         // through the near plane
      {{-505, -5, -105}, {5, 5, -95}, false},      // reaching in from the left
  };
  for (const auto& c : cases) {
    cTerrainPatch patch;
    patch.meshMin = c.low;
    patch.meshMax = c.high;
    EXPECT_EQ(PatchOutsideView(patch, view), c.outside) << c.low.x << " " << c.low.y << " " << c.low.z;
  }
  // The box holds every vertex drawn, the skirts hanging below the grid too.
  auto map = MakeHeightMap(Hills, 64);
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  sphere.Init(SmallParams(map.get(), true));
  captured.End();
  const cTerrainPatch* leaf = sphere.GetRoot(0)->children[0]->children[0];
  ASSERT_NE(leaf, nullptr);
  bool belowGrid = false;
  for (const Ru::Math::Vector3& p : leaf->positions)
    for (int k = 0; k < 3; ++k) {
      EXPECT_LE(leaf->meshMin[k], p[k]);
      EXPECT_GE(leaf->meshMax[k], p[k]);
      belowGrid |= p[k] < leaf->boundsMin[k] || p[k] > leaf->boundsMax[k];
    }
  EXPECT_TRUE(belowGrid) << "the skirts reach outside the grid's box";
}

TEST(PatchMesh, VertexMapFindsWhatItStores) {
  cPatchVertexMap map;
  EXPECT_EQ(map.BucketCount(), 4096u);
  for (int i = 0; i < 9000; ++i) map.Insert(i % 257, i / 257, static_cast<uint32_t>(i));
  EXPECT_GE(map.BucketCount(), 8192u);
  uint32_t record = 0;
  ASSERT_TRUE(map.Find(5, 3, record));
  EXPECT_EQ(record, 3u * 257u + 5u);
  EXPECT_FALSE(map.Find(300, 3, record));
}

// A patch with more vertices than 16-bit indices can name keeps every index
// exact (32-bit), so its triangles still tile the face.
TEST(PatchMesh, PatchesBeyondSixteenBitIndicesStayExact) {
  cDisplacedSphereParams p = SmallParams(nullptr, false);
  p.gridExponent = 9;   // 513 x 513 grid vertices on one face
  p.levelCount = 1;     // one patch per face, holding all of them
  p.activation1 = 1e-6f;
  cDisplacedSphere sphere;
  cCapturedOutput captured;
  sphere.Init(p);
  captured.End();
  const cTerrainPatch* root = sphere.GetRoot(2);
  ASSERT_GT(root->positions.size(), 65536u);
  uint32_t largest = 0;
  double area = 0.0;
  for (size_t i = 0; i < root->indices.size(); i += 3) {
    for (int k = 0; k < 3; ++k) {
      ASSERT_LT(root->indices[i + k], root->positions.size());
      largest = std::max(largest, root->indices[i + k]);
    }
    const cFaceCoordinate a = OnFace(*root, root->positions[root->indices[i]]);
    const cFaceCoordinate b = OnFace(*root, root->positions[root->indices[i + 1]]);
    const cFaceCoordinate c = OnFace(*root, root->positions[root->indices[i + 2]]);
    area += std::fabs(0.5 * ((b.u - a.u) * (c.v - a.v) - (c.u - a.u) * (b.v - a.v)));
  }
  EXPECT_GT(largest, 65535u);
  EXPECT_NEAR(area, 1.0, 1e-3);
}

// Every vertex of every level lies on the ground that the height queries give
// in its direction, or hangs as skirt at its level's depth below it. Both
// sample the same map at the same direction; they differ only by float
// rounding of the two samplings (a few ulps of a radius near 520, and on a
// face edge the neighbouring face's frame), hence 1e-3. The faces built on
// threads give exactly the tree built on one.
TEST(PatchMesh, EveryVertexLiesOnTheGroundOrItsSkirtAndThreadsChangeNothing) {
  auto planet = MakePlanet(Ridges);
  cDisplacedSphere threaded, single;
  single.SetBuildOnThreads(false);
  BuildRidgedPlanetMesh(threaded, *planet->GetHeightMap());
  BuildRidgedPlanetMesh(single, *planet->GetHeightMap());
  size_t vertices = 0, skirts = 0;
  for (uint32_t face = 0; face < 6; ++face) {
    std::vector<const cTerrainPatch*> mine, theirs;
    CollectPatches(threaded.GetRoot(face), mine);
    CollectPatches(single.GetRoot(face), theirs);
    ASSERT_EQ(mine.size(), theirs.size());
    for (size_t i = 0; i < mine.size(); ++i) {
      const cTerrainPatch& patch = *mine[i];
      ASSERT_EQ(patch.positions.size(), theirs[i]->positions.size());
      EXPECT_EQ(patch.indices, theirs[i]->indices) << "face " << face << " patch " << i;
      const float drop = 1.0f - 0.05f * std::pow(0.5f, static_cast<float>(3 - patch.level));
      for (size_t v = 0; v < patch.positions.size(); ++v) {
        const Vector3& p = patch.positions[v];
        ASSERT_TRUE(Vector3NearEqual(p, theirs[i]->positions[v], 0.0f)) << "face " << face << " patch " << i;
        const float ground = planet->GetSurfaceRadius(p), r = Vector3Length(p);
        const bool onGround = std::fabs(r - ground) <= 1e-3f;
        const bool skirt = std::fabs(r - ground * drop) <= 1e-3f;
        EXPECT_TRUE(onGround || skirt) << "face " << face << " level " << patch.level << " radius " << r << " ground "
                                       << ground;
        ++vertices;
        skirts += skirt;
      }
    }
  }
  EXPECT_GT(skirts, 0u);
  EXPECT_GT(vertices, 100000u);
}

// Patches of one level on the two sides of a cube-face edge hold the same
// vertices along it, so they meet without a step.
TEST(PatchMesh, PatchesOfOneLevelMeetAcrossFaceEdgesOnTheSameVertices) {
  auto map = MakeHeightMap(Ridges);
  cDisplacedSphere sphere;
  BuildRidgedPlanetMesh(sphere, *map);
  for (uint32_t level = 0; level < 4; ++level) {
    cRim rims[6];
    for (uint32_t face = 0; face < 6; ++face) {
      std::vector<const cTerrainPatch*> all;
      CollectPatches(sphere.GetRoot(face), all);
      for (const cTerrainPatch* patch : all)
        if (patch->level == level) AddRimVertices(*patch, 256, rims[face]);
    }
    for (uint32_t f = 0; f < 6; ++f)
      for (uint32_t g = 0; g < 6; ++g) {
        size_t shared = 0;
        for (const auto& [key, p] : rims[f]) {
          if (key.first != g) continue;
          const auto other = rims[g].find({f, key.second});
          ASSERT_TRUE(other != rims[g].end()) << "level " << level << ": faces " << f << " and " << g
                                              << " disagree on the edge vertex at " << key.second;
          EXPECT_TRUE(Vector3NearEqual(p, other->second, 1e-3f)) << "level " << level << " faces " << f << " " << g;
          ++shared;
        }
        if (f / 2 != g / 2) {  // not opposite faces: they share an edge
          EXPECT_GE(shared, 3u) << "faces " << f << " and " << g;
        }
      }
  }
}

// Each face's patches are chosen by their own screen size, so with the camera
// over a face edge (as it stands over two of the civ cities) one face drew its
// root beside the next face's quarters: a step the root's error high along the
// whole edge. Patches meeting across a face edge are drawn at one level.
TEST(PatchMesh, PatchesMeetingAcrossAFaceEdgeAreDrawnAtOneLevel) {
  auto map = MakeHeightMap(Ridges);
  cDisplacedSphere sphere;
  BuildRidgedPlanetMesh(sphere, *map);
  // The civ camera's projection, and its eye over two of its cities.
  const float projection[16] = {2.06061f, 0, 0, 0, 0, 2.74748f, 0, 0, 0, 0, -1.00002f, -1, 0, 0, -0.200002f, 0};
  // A point at `height` from the centre over face coordinates (u, v).
  const auto over = [](uint32_t face, float u, float v, float height) {
    return Vector3Scale(FaceCoordinateToDirection(face, u, v), height);
  };
  // An edge of a face: its squares a = column, b = row, the one given as -1 running along it.
  struct cEdge {
    uint32_t face = kNoFace;
    int a = -1, b = -1;
  };
  const struct {
    Vector3 eye, target;
    cEdge coarse;  // split at its middle only by the finer patches across it (none: no such edge)
  } cameras[] = {
      {{951, 759, -271}, {332, 373, -97}, {}},    // over the +y / +x edge
      {{667, -949, -457}, {321, -323, -219}, {}}, // over the -y / +x edge
      {{560, 560, 560}, {290, 290, 290}, {}},     // over a cube corner
      {{0, 0, 700}, {0, 0, 500}, {}},             // over the middle of a face, close
      {{759, 0, -951}, {332, 0, -373}, {}},       // over the -z face near +x
      // Over the +y face near the middle of one of its edges, looking at it:
      // leaves there beside the coarser patches of the next face's edge, whose
      // middle only they split. One row for each of a face's four edges.
      {over(4, 0.8f, 0.5f, 700), over(4, 1.0f, 0.5f, 500), {3, 0, -1}},  // -x's first column
      {over(4, 0.2f, 0.5f, 700), over(4, 0.0f, 0.5f, 500), {2, 7, -1}},  // +x's last column
      {over(4, 0.5f, 0.8f, 700), over(4, 0.5f, 1.0f, 500), {1, -1, 0}},  // -z's first row
      {over(4, 0.5f, 0.2f, 700), over(4, 0.5f, 0.0f, 500), {0, -1, 7}},  // +z's last row
  };
  for (const auto& camera : cameras) {
    float modelView[16];
    LookAt(camera.eye, camera.target, Vector3Normalized(camera.target), modelView);
    sphere.UpdateLevelOfDetail(modelView, projection, 5.0f);
    // The drawn patch over each leaf square, and the leaf squares touching across face edges.
    const cTerrainPatch* cover[6][8][8] = {};
    uint32_t finest = 3;
    for (uint32_t face = 0; face < 6; ++face)
      for (const cTerrainPatch* p : sphere.GetDrawList(face)) {
        const int span = 1 << p->level;
        for (int b = (p->Y - 1) * span; b < static_cast<int>(p->Y) * span; ++b)
          for (int a = (p->X - 1) * span; a < static_cast<int>(p->X) * span; ++a) {
            EXPECT_EQ(cover[face][a][b], nullptr) << "a square drawn twice";
            cover[face][a][b] = p;
          }
        finest = std::min(finest, p->level);
      }
    EXPECT_LT(finest, 3u) << "the camera is near enough to split a face";
    int pairs = 0;
    for (uint32_t face = 0; face < 6; ++face)
      for (int a = 0; a < 8; ++a)
        for (int b = 0; b < 8; ++b) {
          const cTerrainPatch* p = cover[face][a][b];
          if (!p) continue;
          const float u = (a + 0.5f) / 8.0f, v = (b + 0.5f) / 8.0f;
          for (const auto& beyond : {std::make_pair(u - 0.125f, v), std::make_pair(u + 0.125f, v),
                                     std::make_pair(u, v - 0.125f), std::make_pair(u, v + 0.125f)}) {
            if (beyond.first > 0 && beyond.first < 1 && beyond.second > 0 && beyond.second < 1) continue;
            const cCellCoordinate c = FaceCoordinateToCell(NormalizeFaceCoordinate({face, beyond.first, beyond.second}), 8, 8);
            const cTerrainPatch* q = cover[c.face][c.a][c.b];
            if (!q) continue;
            EXPECT_EQ(p->level, q->level) << "faces " << face << " and " << c.face << " camera at " << camera.eye.x << " "
                                          << camera.eye.y << " " << camera.eye.z;
            ++pairs;
          }
        }
    EXPECT_GT(pairs, 8);
    if (camera.coarse.face != kNoFace) {
      // Drawn along that edge: finer at its middle than at its ends.
      const auto along = [&](int i) {
        const cTerrainPatch* p =
            cover[camera.coarse.face][camera.coarse.a < 0 ? i : camera.coarse.a][camera.coarse.b < 0 ? i : camera.coarse.b];
        return p ? static_cast<int>(p->level) : -1;
      };
      EXPECT_GE(along(3), 0) << "face " << camera.coarse.face;
      EXPECT_LT(along(3), along(0)) << "face " << camera.coarse.face;
      EXPECT_LT(along(4), along(7)) << "face " << camera.coarse.face;
    }
  }
}

// Seen from near the ground or from the civ camera's height, patches behind the
// planet's limb still cover much of the screen; split and drawn, they were most
// of the triangles. None wholly behind the ground (here: every vertex hidden
// from the eye by a ball well inside it) is drawn; the ground towards the eye is.
TEST(PatchMesh, NoPatchWhollyBehindThePlanetIsSplitOrDrawn) {
  auto map = MakeHeightMap(Ridges);
  cDisplacedSphere sphere;
  BuildRidgedPlanetMesh(sphere, *map);
  const float ball = 400.0f;
  ASSERT_GT(sphere.GetOccluderRadius(), ball);
  ASSERT_LT(sphere.GetOccluderRadius(), 500.0f);
  const float projection[16] = {2.06061f, 0, 0, 0, 0, 2.74748f, 0, 0, 0, 0, -1.00002f, -1, 0, 0, -0.200002f, 0};
  const struct {
    Vector3 eye, target;
    float threshold;
  } cameras[] = {
      {{0, 0, 560}, {300, 0, 420}, 0.0f},          // low, looking over the curve, always split
      {{0, 0, 560}, {300, 0, 420}, 5.0f},          // the same at the planet's threshold
      {{951, 759, -271}, {332, 373, -97}, 0.0f},   // the civ camera's height
      {{951, 759, -271}, {332, 373, -97}, 5.0f},
  };
  for (const auto& camera : cameras) {
    float modelView[16];
    LookAt(camera.eye, camera.target, Vector3Normalized(camera.target), modelView);
    sphere.UpdateLevelOfDetail(modelView, projection, camera.threshold);
    size_t drawn = 0;
    for (uint32_t face = 0; face < 6; ++face)
      for (const cTerrainPatch* p : sphere.GetDrawList(face)) {
        ++drawn;
        bool seen = false;
        for (const Vector3& q : p->positions) {
          const Vector3 d = Vector3Sub(q, camera.eye);
          const float t = std::clamp(-Vector3Dot(camera.eye, d) / Vector3Dot(d, d), 0.0f, 1.0f);
          seen |= Vector3Length(Vector3Add(camera.eye, Vector3Scale(d, t))) >= ball;
        }
        EXPECT_TRUE(seen) << "face " << face << " patch " << p->X << "," << p->Y << " level " << p->level
                          << " camera at " << camera.eye.x << " " << camera.eye.y << " " << camera.eye.z;
      }
    EXPECT_GT(drawn, 0u);
  }
}
