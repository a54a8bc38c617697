#include "world/planet/PatchMesh.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "math/Vector.h"

namespace nKoPlanet {

using Ru::Math::Vector3;

namespace {
bool gPolarCapColouring = false;
}

void SetPolarCapColouring(bool on) { gPolarCapColouring = on; }

// ---- the face grid ------------------------------------------------------------------

cFaceGrid::cFaceGrid(uint32_t face, const cDisplacedSphereParams& params)
    : mFace(face), mSize((1u << params.gridExponent) + 1), mTopLevel(params.levelCount - 1u), mParams(params) {
  const uint32_t n = mSize;
  mPositions.resize(static_cast<size_t>(n) * n);
  mLevels.assign(static_cast<size_t>(n) * n, -1);
  const float last = static_cast<float>(n - 1);
  for (uint32_t y = 0; y < n; ++y)
    for (uint32_t x = 0; x < n; ++x) {
      cFaceCoordinate c{face, static_cast<float>(x) / last, static_cast<float>(y) / last};
      float h = params.heightMap ? params.heightMap->Sample(c) : 0.0f;
      mPositions[static_cast<size_t>(y) * n + x] = Ru::Math::Vector3Scale(FaceCoordinateToDirection(c), params.radius + h);
    }

  // Step 1: errors of the bisection of both halves of the square.
  const int m = static_cast<int>(n - 1);
  ComputeErrors(0, m, m, m, 0, 0);
  ComputeErrors(m, 0, 0, 0, m, m);

  // Step 2: every corner of every patch is active at the patch's level.
  for (uint32_t k = 0; k < params.levelCount; ++k) {
    const int value = static_cast<int>(params.levelCount) - 1 - static_cast<int>(k);
    const int s = m >> k;
    if (s <= 0) break;
    for (int y0 = 0; y0 <= m - s; y0 += s)
      for (int x0 = 0; x0 <= m - s; x0 += s) {
        RaiseGridLevel(x0, y0, value);
        RaiseGridLevel(x0 + s, y0, value);
        RaiseGridLevel(x0, y0 + s, value);
        RaiseGridLevel(x0 + s, y0 + s, value);
      }
  }

  // Step 3: a vertex is never active without the vertices it depends on.
  CloseLevels();
}

void cFaceGrid::CloseLevels() {
  const int exponent = static_cast<int>(mParams.gridExponent);
  const int centre = static_cast<int>(mSize / 2);
  for (int k = 0; k < exponent; ++k)
    for (int twice = 0; twice < 2; ++twice) CloseSquare(centre, centre, exponent - 1, k);
}

void MatchFaceEdgeLevels(cFaceGrid* const grids[6]) {
  // The same point of a cube edge as a vertex of each face that holds it. The
  // cube points of grid vertices are exact in float (steps of 2 / (n - 1)), so
  // the projection onto the other face lands exactly on its grid.
  struct cShared {
    uint32_t faceA, faceB;
    int xa, ya, xb, yb;
  };
  std::vector<cShared> shared;
  const int m = static_cast<int>(grids[0]->Size()) - 1;
  const float last = static_cast<float>(m);
  for (uint32_t f = 0; f < 6; ++f)
    for (int y = 0; y <= m; ++y)
      for (int x = 0; x <= m; ++x) {
        if (x != 0 && x != m && y != 0 && y != m) continue;
        const Vector3 cube = FaceCoordinateToCubePoint(f, static_cast<float>(x) / last, static_cast<float>(y) / last);
        for (uint32_t g = f + 1; g < 6; ++g) {
          cFaceCoordinate c;
          if (!DirectionToFaceCoordinateOnFace(cube, g, c) || !(c.u >= 0.0f && c.u <= 1.0f && c.v >= 0.0f && c.v <= 1.0f))
            continue;
          shared.push_back({f, g, x, y, static_cast<int>(std::lround(c.u * last)), static_cast<int>(std::lround(c.v * last))});
        }
      }
  // Levels only rise and are bounded, so this ends; in practice after two or three rounds.
  for (;;) {
    bool raised = false;
    for (const cShared& s : shared) {
      const int a = grids[s.faceA]->GetGridLevel(s.xa, s.ya), b = grids[s.faceB]->GetGridLevel(s.xb, s.yb);
      if (a == b) continue;
      grids[s.faceA]->RaiseGridLevel(s.xa, s.ya, b);
      grids[s.faceB]->RaiseGridLevel(s.xb, s.yb, a);
      raised = true;
    }
    if (!raised) return;
    for (uint32_t f = 0; f < 6; ++f) grids[f]->CloseLevels();
  }
}

void cFaceGrid::RaiseGridLevel(int x, int y, int level) {
  int8_t& stored = mLevels[static_cast<size_t>(y) * mSize + x];
  level = std::min(level, 127);
  if (level > stored) stored = static_cast<int8_t>(level);
}

void cFaceGrid::ComputeErrors(int ax, int ay, int e1x, int e1y, int e2x, int e2y) {
  if (std::abs(e2x - e1x) < 2 && std::abs(e2y - e1y) < 2) return;
  const int mx = e1x + (e2x - e1x) / 2, my = e1y + (e2y - e1y) / 2;
  const Vector3& p1 = GetGridPosition(e1x, e1y);
  const Vector3& p2 = GetGridPosition(e2x, e2y);
  const Vector3& pm = GetGridPosition(mx, my);
  const Vector3 a = Ru::Math::Vector3Scale(Ru::Math::Vector3Add(p1, p2), 0.5f);
  const float R = mParams.radius;
  const float lm = Ru::Math::Vector3Length(pm), la = Ru::Math::Vector3Length(a);
  const bool below = (lm < R) != (la < R);
  const bool shore = (lm < R + mParams.activation4) != (la < R + mParams.activation4);
  float err = Ru::Math::Vector3Length(Ru::Math::Vector3Sub(pm, a));
  if (below || shore) err += Ru::Math::Vector3Length(Ru::Math::Vector3Sub(p1, p2)) * mParams.activation3;
  if (lm < R && la < R) err *= mParams.activation5;
  if (err >= mParams.activation1) {
    const float L = static_cast<float>(mTopLevel);
    const double level = std::floor(std::log2(err / mParams.activation1) * L / std::log2(mParams.activation2 / mParams.activation1));
    RaiseGridLevel(mx, my, static_cast<int>(std::min(level, 127.0)));
  }
  ComputeErrors(mx, my, e1x, e1y, ax, ay);
  ComputeErrors(mx, my, ax, ay, e2x, e2y);
}

void cFaceGrid::CloseSquare(int x, int y, int e, int k) {
  if (e > k) {
    const int h = 1 << (e - 1);
    CloseSquare(x - h, y - h, e - 1, k);
    CloseSquare(x + h, y - h, e - 1, k);
    CloseSquare(x - h, y + h, e - 1, k);
    CloseSquare(x + h, y + h, e - 1, k);
    return;
  }
  const int s = 1 << e;
  if (e > 0) {
    const int h = 1 << (e - 1);
    int level = GetGridLevel(x + h, y - h);
    RaiseGridLevel(x + s, y, level);
    RaiseGridLevel(x, y - s, level);
    level = GetGridLevel(x - h, y - h);
    RaiseGridLevel(x, y - s, level);
    RaiseGridLevel(x - s, y, level);
    level = GetGridLevel(x - h, y + h);
    RaiseGridLevel(x - s, y, level);
    RaiseGridLevel(x, y + s, level);
    level = GetGridLevel(x + h, y + h);
    RaiseGridLevel(x, y + s, level);
    RaiseGridLevel(x + s, y, level);
  }
  RaiseGridLevel(x, y, GetGridLevel(x + s, y));
  RaiseGridLevel(x, y, GetGridLevel(x, y - s));
  RaiseGridLevel(x, y, GetGridLevel(x, y + s));
  RaiseGridLevel(x, y, GetGridLevel(x - s, y));
}

// ---- the vertex map -------------------------------------------------------------------

void cPatchVertexMap::Reset() {
  mCount = 0;
  mBuckets.assign(4096, {});
}

bool cPatchVertexMap::Find(int x, int y, uint32_t& record) const {
  if (mBuckets.empty()) return false;
  for (const Entry& e : mBuckets[Hash(x, y) & (mBuckets.size() - 1)])
    if (e.x == x && e.y == y) {
      record = e.record;
      return true;
    }
  return false;
}

void cPatchVertexMap::Rebuild(size_t target) {
  std::vector<std::vector<Entry>> old;
  old.swap(mBuckets);
  if (target == 0) return;
  size_t count = 1;
  while (count < target) count <<= 1;
  mBuckets.assign(count, {});
  for (const auto& bucket : old)
    for (const Entry& e : bucket) mBuckets[Hash(e.x, e.y) & (count - 1)].push_back(e);
}

void cPatchVertexMap::Insert(int x, int y, uint32_t record) {
  ++mCount;
  size_t target = mBuckets.size();
  if (mBuckets.empty())
    target = 256;
  else if (2 * mBuckets.size() < mCount)
    target = (3 * static_cast<size_t>(mCount)) / 2;
  if (target != mBuckets.size()) Rebuild(target);
  mBuckets[Hash(x, y) & (mBuckets.size() - 1)].push_back(Entry{static_cast<int16_t>(x), static_cast<int16_t>(y), record});
}

// ---- the strip walk -----------------------------------------------------------------------

void cPatchMeshBuilder::Reset() {
  vertices.clear();
  strip.clear();
  mMap.Reset();
  boxMin = Vector3{32000.0f, 32000.0f, 32000.0f};
  boxMax = Vector3{-32000.0f, -32000.0f, -32000.0f};
}

uint32_t cPatchMeshBuilder::FindOrAddVertex(int x, int y) {
  uint32_t record;
  if (mMap.Find(x, y, record)) return record;
  record = static_cast<uint32_t>(vertices.size());
  cPatchVertex v;
  v.x = static_cast<int16_t>(x);
  v.y = static_cast<int16_t>(y);
  vertices.push_back(v);
  mMap.Insert(x, y, record);
  return record;
}

namespace {

void GrowBox(cPatchMeshBuilder& b, const Vector3& p) {
  b.boxMin = Vector3{std::min(b.boxMin.x, p.x), std::min(b.boxMin.y, p.y), std::min(b.boxMin.z, p.z)};
  b.boxMax = Vector3{std::max(b.boxMax.x, p.x), std::max(b.boxMax.y, p.y), std::max(b.boxMax.z, p.z)};
}

// Three equal entries at the start of a strip make nothing: keep one.
void TrimDegenerateStart(cPatchMeshBuilder& b) {
  if (b.strip.size() == 3 && b.strip[0] == b.strip[1] && b.strip[1] == b.strip[2]) b.strip.resize(1);
}

struct cStripWalk {
  const cFaceGrid& grid;
  cPatchMeshBuilder& builder;
  int threshold;
  cGridPoint slots[2] = {{-1, -1}, {-1, -1}};
  int index = 0;   // slot of the most recent vertex
  int parity = 0;

  void AppendGrid(const cGridPoint& v) {
    builder.strip.push_back(static_cast<int32_t>(builder.FindOrAddVertex(v.x, v.y)));
    GrowBox(builder, grid.GetGridPosition(v.x, v.y));
    TrimDegenerateStart(builder);
  }
  void Place(const cGridPoint& v) {
    AppendGrid(v);
    slots[index] = v;
  }
  void Refine(cGridPoint j, cGridPoint i, cGridPoint k, int l) {
    while (l > 0 && grid.IsActive(i.x, i.y, threshold)) {
      const cGridPoint m{(j.x + k.x) >> 1, (j.y + k.y) >> 1};
      Refine(j, m, i, l - 1);
      if (!(i == slots[0]) && !(i == slots[1])) {
        if ((parity + l) % 2 == 0)
          AppendGrid(slots[1 - index]);
        else
          index = 1 - index;
        Place(i);
        parity = l;
      }
      j = i;
      i = m;
      --l;
    }
  }
};

}  // namespace

void ExtractPatchMesh(const cFaceGrid& grid, cPatchMeshBuilder& builder, uint32_t patchX, uint32_t patchY,
                      uint32_t patchLevel, int childIndex) {
  builder.Reset();
  const int depth = static_cast<int>(grid.TopLevel()) - static_cast<int>(patchLevel);
  const int step = static_cast<int>(grid.Size() - 1) >> depth;
  const int e = static_cast<int>(grid.Exponent()) - depth;
  const int h = step / 2;
  const int cx = (static_cast<int>(patchX) - 1) * step + h, cy = (static_cast<int>(patchY) - 1) * step + h;
  const cGridPoint centre{cx, cy};
  const cGridPoint corners[4] = {{cx + h, cy + h}, {cx + h, cy - h}, {cx - h, cy - h}, {cx - h, cy + h}};
  const int s = ((4 - childIndex) % 4 + 4) % 4;
  cGridPoint order[4];
  for (int i = 0; i < 4; ++i) order[i] = corners[(s + i) % 4];

  cStripWalk walk{grid, builder, static_cast<int>(patchLevel)};
  walk.index = 0;
  walk.Place(order[0]);
  for (int t = 0; t < 4; ++t) {
    const cGridPoint& T = order[t];
    const cGridPoint& next = order[(t + 1) % 4];
    if (walk.parity % 2 != 0)
      walk.AppendGrid(walk.slots[1 - walk.index]);
    else
      walk.index = 1 - walk.index;
    walk.Place(T);
    walk.parity = 2 * e + 1;
    walk.Refine(T, centre, next, 2 * e);
  }
  // Close the fan back onto the first corner; without it the last triangle of
  // the last quarter is missing and the patch shows a hole.
  walk.AppendGrid(order[0]);

  if (!grid.Params().skirts) return;
  const int x0 = (static_cast<int>(patchX) - 1) * step, y0 = (static_cast<int>(patchY) - 1) * step;
  const int x1 = x0 + step, y1 = y0 + step;
  const cGridPoint edges[4][2] = {{{x1, y1}, {x1, y0}}, {{x1, y0}, {x0, y0}}, {{x0, y0}, {x0, y1}}, {{x0, y1}, {x1, y1}}};
  const float drop = 1.0f - 0.05f * std::pow(0.5f, static_cast<float>(depth));
  for (const auto& edge : edges) {
    if (!builder.strip.empty()) {
      builder.strip.push_back(builder.strip.back());
      if (builder.strip.size() % 2 == 0) builder.strip.push_back(builder.strip.back());
    }
    walk.AppendGrid(edge[0]);
    const int dx = (edge[1].x > edge[0].x) - (edge[1].x < edge[0].x);
    const int dy = (edge[1].y > edge[0].y) - (edge[1].y < edge[0].y);
    for (int i = 0; i <= step; ++i) {
      const cGridPoint v{edge[0].x + dx * i, edge[0].y + dy * i};
      if (!grid.IsActive(v.x, v.y, static_cast<int>(patchLevel))) continue;
      const Vector3& p = grid.GetGridPosition(v.x, v.y);
      walk.AppendGrid(v);
      cPatchVertex skirt;
      skirt.x = static_cast<int16_t>(v.x);
      skirt.y = static_cast<int16_t>(v.y);
      skirt.point = Ru::Math::Vector3Scale(p, drop);
      skirt.skirt = 1;
      builder.vertices.push_back(skirt);
      builder.strip.push_back(static_cast<int32_t>(builder.vertices.size() - 1));
      GrowBox(builder, p);
      TrimDegenerateStart(builder);
    }
  }
}

void BuildPatchArrays(cTerrainPatch& patch, const cFaceGrid& grid, const cPatchMeshBuilder& builder) {
  const std::vector<cColour3>& table = LandColourTable();
  const int last = static_cast<int>(grid.Size()) - 1;
  auto at = [&](int x, int y) -> const Vector3& {
    return grid.GetGridPosition(std::clamp(x, 0, last), std::clamp(y, 0, last));
  };
  const size_t count = builder.vertices.size();
  patch.positions.reserve(patch.positions.size() + count);
  for (const cPatchVertex& v : builder.vertices) {
    const Vector3 p = v.skirt ? v.point : grid.GetGridPosition(v.x, v.y);
    const float radius = Ru::Math::Vector3Length(p);
    Vector3 normal{p.x / radius, p.y / radius, p.z / radius};
    if (!v.skirt) {
      // The true surface normal from the neighbouring grid vertices, turned outward.
      const Vector3 du = Ru::Math::Vector3Sub(at(v.x + 1, v.y), at(v.x - 1, v.y));
      const Vector3 dv = Ru::Math::Vector3Sub(at(v.x, v.y + 1), at(v.x, v.y - 1));
      Vector3 n = Ru::Math::CrossProduct(du, dv);
      if (Ru::Math::Vector3Dot(n, p) < 0.0f) n = Ru::Math::Vector3Negate(n);
      const float len = Ru::Math::Vector3Length(n);
      if (len > 0.0f) normal = Vector3{n.x / len, n.y / len, n.z / len};
    }
    float g = radius - 500.0f;
    if (g > 0.0f && gPolarCapColouring && (p.y > 440.0f || p.y < -440.0f)) g = 10000.0f;
    const float t = std::clamp(g * 0.025f, 0.0f, 1.0f);
    patch.positions.push_back(p);
    patch.normals.push_back(normal);
    patch.colours.push_back(table[static_cast<size_t>(t * 255.0f)]);
    patch.texCoords.push_back(radius);
    patch.texCoords.push_back(0.0f);
  }
  size_t triangles = 0;
  const std::vector<int32_t>& s = builder.strip;
  for (size_t i = 2; i < s.size(); ++i)
    if (s[i - 2] != s[i - 1] && s[i - 1] != s[i] && s[i - 2] != s[i]) ++triangles;
  patch.indices.clear();
  patch.indices.reserve(triangles * 3);
  for (size_t i = 2; i < s.size(); ++i) {
    const uint32_t a = static_cast<uint32_t>(s[i - 2]), b = static_cast<uint32_t>(s[i - 1]), c = static_cast<uint32_t>(s[i]);
    if (a == b || b == c || a == c) continue;
    if (i % 2 == 0) {
      patch.indices.insert(patch.indices.end(), {b, c, a});
    } else {
      patch.indices.insert(patch.indices.end(), {a, c, b});
    }
  }
}

}  // namespace nKoPlanet
