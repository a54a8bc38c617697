#include "world/scene/KeptGroups.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "glf/ViewVolume.h"
#include "math/Scalar.h"
#include "world/scene/SceneManager.h"

using Ru::Math::Vector3;

bool cKeptItem::operator==(const cKeptItem& o) const {
  auto same = [](const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
  return mesh == o.mesh && meshVersion == o.meshVersion && std::equal(world.m, world.m + 16, o.world.m) &&
         same(colour, o.colour) && same(scale, o.scale) && ball == o.ball;
}

cKeptGroups::cCell cKeptGroups::CellOf(const cKeptItem& item) {
  // Saturated: an object however far out still falls in some cell.
  const float* at = &item.world.m[12];
  return cCell{SaturatedInt(std::floor(at[0] / kCellSize)), SaturatedInt(std::floor(at[1] / kCellSize)),
               SaturatedInt(std::floor(at[2] / kCellSize))};
}

namespace {
bool SameBytes(const float* a, const float* b, size_t n) { return std::memcmp(a, b, n * sizeof(float)) == 0; }

bool SameMesh(const cKeptItem& a, const cKeptItem& b) {
  if (a.mesh == b.mesh && a.meshVersion == b.meshVersion) return true;
  const cIndexedMesh &p = *a.mesh, &q = *b.mesh;
  return p.positions.size() == q.positions.size() && p.indices.size() == q.indices.size() &&
         SameBytes(p.positions.data(), q.positions.data(), p.positions.size()) &&
         SameBytes(p.normals.data(), q.normals.data(), p.normals.size()) &&
         std::equal(p.indices.begin(), p.indices.end(), q.indices.begin());
}

// Objects that repeat an earlier one of the group exactly (the same mesh, put
// at the same place, turned and scaled alike): their triangles would only lie
// on their twin's, where the depth test (less-than) turns every pixel of them
// away, yet each would be set up anew. A grown city stacks a hundred
// buildings on the few spots of its ring.
std::vector<char> Repeats(const std::vector<cKeptItem>& items) {
  std::vector<char> repeat(items.size(), 0);
  std::vector<uint32_t> order(items.size());
  std::iota(order.begin(), order.end(), 0u);
  auto key = [&items](uint32_t i, uint32_t j) {
    const int c = std::memcmp(items[i].world.m, items[j].world.m, sizeof items[i].world.m);
    return c != 0 ? c : std::memcmp(&items[i].scale, &items[j].scale, sizeof items[i].scale);
  };
  std::stable_sort(order.begin(), order.end(), [&key](uint32_t i, uint32_t j) { return key(i, j) < 0; });
  for (size_t run = 0; run < order.size();) {
    size_t end = run + 1;
    while (end < order.size() && key(order[run], order[end]) == 0) ++end;
    for (size_t k = run + 1; k < end; ++k)  // each against the earlier ones of its place, first drawn first
      for (size_t j = run; j < k && !repeat[order[k]]; ++j)
        if (!repeat[order[j]] && SameMesh(items[order[j]], items[order[k]])) repeat[order[k]] = 1;
    run = end;
  }
  return repeat;
}
}  // namespace

// Each object's scale and matrix applied to its mesh here, as GL would; a
// normal goes by the inverse scale, and GL_NORMALIZE makes it unit again. A
// mirroring scale or matrix turns the winding over, so it is turned back.
void cKeptGroups::Make(cGroup& group) {
  group.positions.clear();
  group.normals.clear();
  group.colours.clear();
  group.indices.clear();
  group.spans.clear();
  const std::vector<char> repeat = Repeats(group.items);
  group.repeats = (size_t)std::count(repeat.begin(), repeat.end(), 1);
  Vector3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
  group.ball = group.items.empty() ? 0.0f : group.items.front().ball;
  for (size_t i = 0; i < group.items.size(); ++i) {
    const cKeptItem& item = group.items[i];
    group.ball = std::min(group.ball, item.ball);
    if (repeat[i]) continue;
    const float* m = item.world.m;
    const Vector3& s = item.scale;
    const Vector3 inverse{s.x != 0.0f ? 1.0f / s.x : 1.0f, s.y != 0.0f ? 1.0f / s.y : 1.0f,
                          s.z != 0.0f ? 1.0f / s.z : 1.0f};
    const float turn = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                       m[8] * (m[1] * m[6] - m[5] * m[2]);
    const bool mirrored = (s.x * s.y * s.z < 0.0f) != (turn < 0.0f);
    const cIndexedMesh& mesh = *item.mesh;
    const uint32_t base = (uint32_t)(group.positions.size() / 3);
    Vector3 near{1e30f, 1e30f, 1e30f}, far{-1e30f, -1e30f, -1e30f};  // this object's bounds
    for (size_t v = 0; v + 2 < mesh.positions.size(); v += 3) {
      const float p[3] = {mesh.positions[v] * s.x, mesh.positions[v + 1] * s.y, mesh.positions[v + 2] * s.z};
      const float n[3] = {mesh.normals[v] * inverse.x, mesh.normals[v + 1] * inverse.y,
                          mesh.normals[v + 2] * inverse.z};
      for (int r = 0; r < 3; ++r) {
        const float at = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
        group.positions.push_back(at);
        group.normals.push_back(m[r] * n[0] + m[4 + r] * n[1] + m[8 + r] * n[2]);
        near[r] = std::fmin(near[r], at);
        far[r] = std::fmax(far[r], at);
      }
      group.colours.insert(group.colours.end(), {item.colour.x, item.colour.y, item.colour.z});
    }
    const uint32_t first = (uint32_t)group.indices.size();
    for (size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
      const uint32_t a = base + mesh.indices[t], b = base + mesh.indices[t + 1], c = base + mesh.indices[t + 2];
      if (mirrored) group.indices.insert(group.indices.end(), {a, c, b});
      else group.indices.insert(group.indices.end(), {a, b, c});
    }
    if (group.indices.size() == first) continue;
    for (int r = 0; r < 3; ++r) {
      low[r] = std::fmin(low[r], near[r]);
      high[r] = std::fmax(high[r], far[r]);
    }
    const Vector3 centre{(near.x + far.x) * 0.5f, (near.y + far.y) * 0.5f, (near.z + far.z) * 0.5f};
    const Vector3 half{far.x - centre.x, far.y - centre.y, far.z - centre.z};
    group.spans.push_back(cSpan{centre, std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z), first,
                                (uint32_t)(group.indices.size() - first)});
  }
  group.centre = Vector3{(low.x + high.x) * 0.5f, (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f};
  const Vector3 half{high.x - group.centre.x, high.y - group.centre.y, high.z - group.centre.z};
  group.radius = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z);
  group.made = group.items;
  group.kept.Keep(group.positions.data(), group.normals.data(), group.colours.data(), group.positions.size() / 3,
                  group.indices.data(), group.indices.size());
}

void cKeptGroups::Draw(const std::vector<cKeptItem>& items, bool closed) {
  mStats = cStats{};
  cGroup* last = nullptr;
  cCell lastCell{};
  for (const cKeptItem& item : items) {
    const cCell cell = CellOf(item);
    if (!last || cell != lastCell) {  // neighbours in drawing order mostly share a cell
      last = &mGroups[cell];
      lastCell = cell;
    }
    last->items.push_back(item);
  }
  float modelView[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  const Vector3 eye = EyeOfView(modelView);
  cViewVolume view(modelView, projection);
  glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT);
  if (closed) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
  } else {
    glDisable(GL_CULL_FACE);
  }
  for (auto it = mGroups.begin(); it != mGroups.end();) {
    cGroup& group = it->second;
    if (group.items.empty()) {  // none of its objects is drawn any more
      it = mGroups.erase(it);
      continue;
    }
    ++mStats.groups;
    if (!(group.items == group.made)) {
      Make(group);
      ++mStats.rebuilt;
      ++mMakes;
    }
    mStats.repeats += group.repeats;
    view.HideBehindBall(eye, group.ball);
    if (!group.spans.empty() && !view.SphereOutside(group.centre, group.radius)) {
      // The objects in sight, neighbours in the mesh joined into one run.
      mFirsts.clear();
      mCounts.clear();
      for (const cSpan& span : group.spans) {
        if (view.SphereOutside(span.centre, span.radius)) continue;
        ++mStats.objects;
        if (!mCounts.empty() && mFirsts.back() + (uint32_t)mCounts.back() == span.first) {
          mCounts.back() += (int)span.count;
        } else {
          mFirsts.push_back(span.first);
          mCounts.push_back((int)span.count);
        }
        mStats.triangles += span.count / 3;
      }
      if (!mCounts.empty()) {
        group.kept.DrawRuns(mFirsts.data(), mCounts.data(), mCounts.size());
        ++mStats.drawn;
      }
    }
    group.items.clear();
    ++it;
  }
  glPopAttrib();
}
