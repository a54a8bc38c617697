#include "world/scene/PlantBatch.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "glf/PreparedGeometry.h"
#include "glf/ViewVolume.h"
#include "math/Scalar.h"
#include "world/scene/SceneManager.h"

using Ru::Math::Vector3;

namespace {
Vector3 Place(const Ru::Math::Matrix4& m, const Vector3& v) {
  return Vector3{m.m[0] * v.x + m.m[4] * v.y + m.m[8] * v.z + m.m[12],
                 m.m[1] * v.x + m.m[5] * v.y + m.m[9] * v.z + m.m[13],
                 m.m[2] * v.x + m.m[6] * v.y + m.m[10] * v.z + m.m[14]};
}
Vector3 Turn(const Ru::Math::Matrix4& m, const Vector3& n) {
  return Vector3{m.m[0] * n.x + m.m[4] * n.y + m.m[8] * n.z, m.m[1] * n.x + m.m[5] * n.y + m.m[9] * n.z,
                 m.m[2] * n.x + m.m[6] * n.y + m.m[10] * n.z};
}
bool SamePlants(const std::vector<cPlantInstance>& a, const std::vector<cPlantInstance>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

// The plants to put in a mesh, in drawing order, each exact repeat of an
// earlier one left out. A repeat would only draw its twin's triangles again,
// which the depth test (less-than, no blending) turns away to the last pixel,
// yet a stack of thousands cost seconds a frame and a gigabyte of mesh.
std::vector<const cPlantInstance*> WithoutRepeats(const std::vector<cPlantInstance>& plants) {
  std::vector<uint32_t> order(plants.size());
  std::iota(order.begin(), order.end(), 0u);
  auto byBytes = [&plants](uint32_t a, uint32_t b) { return std::memcmp(&plants[a], &plants[b], sizeof plants[a]) < 0; };
  std::stable_sort(order.begin(), order.end(), byBytes);  // twins side by side, the first drawn first
  std::vector<char> repeat(plants.size(), 0);
  for (size_t i = 1; i < order.size(); ++i)
    if (!byBytes(order[i - 1], order[i])) repeat[order[i]] = 1;
  std::vector<const cPlantInstance*> kept;
  kept.reserve(plants.size());
  for (size_t i = 0; i < plants.size(); ++i)
    if (!repeat[i]) kept.push_back(&plants[i]);
  return kept;
}
}  // namespace

void cPlantBatches::SetModel(const std::vector<Vector3>& tree, const std::vector<Vector3>& treeNormals,
                             const Vector3* treeColours, const Vector3* fruitAt, int fruitSlots, float fruitRadius) {
  mTree = tree;
  mTreeNormals = treeNormals;
  mTreeColours.assign(treeColours, treeColours + tree.size());
  mFruitAt.assign(fruitAt, fruitAt + fruitSlots);
  const int slices[2] = {8, 4}, stacks[2] = {6, 2};
  for (int detail = 0; detail < 2; ++detail) {
    const cIndexedMesh sphere = BuildIndexedSphere(fruitRadius, slices[detail], stacks[detail]);
    mFruit[detail] = cFruitMesh{sphere.positions, sphere.normals, sphere.indices};
  }
  mFruitRadius = fruitRadius;
  mReach = 0.0f;
  for (const Vector3& v : mTree) mReach = std::fmax(mReach, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
  for (const Vector3& f : mFruitAt)
    mReach = std::fmax(mReach, std::sqrt(f.x * f.x + f.y * f.y + f.z * f.z) + fruitRadius);
  mGroups.clear();
}

void cPlantBatches::Add(const cPlantInstance& plant) {
  const float* at = &plant.world.m[12];
  // Saturated: a plant however far out still falls in some cell.
  const auto cell = std::make_tuple(SaturatedInt(std::floor(at[0] / kCellSize)),
                                    SaturatedInt(std::floor(at[1] / kCellSize)),
                                    SaturatedInt(std::floor(at[2] / kCellSize)));
  mGroups[cell].plants.push_back(plant);
}

void cPlantBatches::Build(cGroup& group, int detail) const {
  const cFruitMesh& sphere = mFruit[detail];
  group.positions.clear();
  group.normals.clear();
  group.colours.clear();
  group.indices.clear();
  std::vector<uint32_t> fruitIndices;
  auto vertex = [&group](const Vector3& p, const Vector3& n, const Vector3& colour) {
    group.positions.insert(group.positions.end(), {p.x, p.y, p.z});
    group.normals.insert(group.normals.end(), {n.x, n.y, n.z});
    group.colours.insert(group.colours.end(), {colour.x, colour.y, colour.z});
  };
  Vector3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
  const uint32_t sphereVertices = (uint32_t)(sphere.positions.size() / 3);
  std::vector<const cPlantInstance*> shown = WithoutRepeats(group.plants);
  // A thicket past what play grows shows its first plants only: the rest
  // stand among them, and drawn they could cost seconds a frame.
  if (shown.size() > kMostPlantsInAGroup) shown.resize(kMostPlantsInAGroup);
  for (const cPlantInstance* kept : shown) {
    const cPlantInstance& plant = *kept;
    for (size_t v = 0; v < mTree.size(); ++v) {
      group.indices.push_back((uint32_t)(group.positions.size() / 3));
      vertex(Place(plant.world, mTree[v]), Turn(plant.world, mTreeNormals[v]), mTreeColours[v]);
    }
    const int fruit = plant.fruit < 0 ? 0 : plant.fruit > (int)mFruitAt.size() ? (int)mFruitAt.size() : plant.fruit;
    for (int i = 0; i < fruit; ++i) {
      const uint32_t base = (uint32_t)(group.positions.size() / 3);
      for (uint32_t v = 0; v < sphereVertices; ++v) {
        // Moved in object space first, as the fruit were when each plant drew its own.
        const float* at = &sphere.positions[3 * v];
        const Vector3 p{at[0] + mFruitAt[i].x, at[1] + mFruitAt[i].y, at[2] + mFruitAt[i].z};
        const Vector3 n{sphere.normals[3 * v], sphere.normals[3 * v + 1], sphere.normals[3 * v + 2]};
        vertex(Place(plant.world, p), Turn(plant.world, n), plant.fruitColour);
      }
      for (uint32_t index : sphere.indices) fruitIndices.push_back(base + index);
    }
    const float* at = &plant.world.m[12];
    for (int k = 0; k < 3; ++k) {
      low[k] = std::fmin(low[k], at[k]);
      high[k] = std::fmax(high[k], at[k]);
    }
  }
  group.centre = Vector3{(low.x + high.x) * 0.5f, (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f};
  const Vector3 half{high.x - group.centre.x, high.y - group.centre.y, high.z - group.centre.z};
  group.radius = std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z) + mReach;
  group.treeIndices = (uint32_t)group.indices.size();
  group.indices.insert(group.indices.end(), fruitIndices.begin(), fruitIndices.end());
  group.built = group.plants;
  group.detail = detail;
  group.kept.Keep(group.positions.data(), group.normals.data(), group.colours.data(), group.positions.size() / 3,
                  group.indices.data(), group.indices.size());
}

void cPlantBatches::Draw(const float modelView[16], const float projection[16], int viewportHeight) {
  // The eye in world space, and a fruit's width on screen at unit distance.
  const Vector3 eye = EyeOfView(modelView);
  const float fruitPixelsAtUnit = 2.0f * mFruitRadius * projection[5] * (float)viewportHeight * 0.5f;
  const cViewVolume view(modelView, projection);
  mStats = cStats{};
  glPushAttrib(GL_POLYGON_BIT);  // culling and its face, as they were
  glCullFace(GL_BACK);
  glDisable(GL_CULL_FACE);
  for (auto it = mGroups.begin(); it != mGroups.end();) {
    cGroup& group = it->second;
    if (group.plants.empty()) {  // nothing of it shown any more
      it = mGroups.erase(it);
      continue;
    }
    ++mStats.groups;
    // How near the group's nearest plant may come, from its last bounds.
    const Vector3 away{group.centre.x - eye.x, group.centre.y - eye.y, group.centre.z - eye.z};
    const float nearest = std::sqrt(away.x * away.x + away.y * away.y + away.z * away.z) - group.radius;
    const bool fineFruitShow =
        group.built.empty() || !(nearest > 0.0f) || fruitPixelsAtUnit / nearest >= kCoarseFruitPixels;
    const int detail = fineFruitShow && group.plants.size() <= kMostPlantsInAGroup ? 0 : 1;
    if (!SamePlants(group.plants, group.built) || detail != group.detail) {
      Build(group, detail);
      ++mStats.rebuilt;
    }
    if (!view.SphereOutside(group.centre, group.radius)) {
      // The fruit's back faces, hidden behind their front ones anyway, are
      // dropped before they are set up.
      const uint32_t first[2] = {0, group.treeIndices};
      const int count[2] = {(int)group.treeIndices, (int)(group.indices.size() - group.treeIndices)};
      if (count[0] > 0) group.kept.DrawRuns(&first[0], &count[0], 1);
      if (count[1] > 0) {
        glEnable(GL_CULL_FACE);
        group.kept.DrawRuns(&first[1], &count[1], 1);
        glDisable(GL_CULL_FACE);
      }
      ++mStats.drawn;
      mStats.coarse += group.detail;
      mStats.vertices += (int64_t)group.positions.size() / 3;
    }
    group.plants.clear();
    ++it;
  }
  glPopAttrib();
}
