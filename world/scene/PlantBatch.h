// Plants drawn a group at a time. A software renderer pays per draw call and
// per vertex, so the plants gathered in a frame are filed into groups by the
// ground cell they stand in, and each group is one ready world-space mesh
// (trees and fruit, one indexed draw) kept between frames: a group is rebuilt
// only when one of its plants changed (grew or lost fruit, moved, was hidden
// or shown), and a group wholly outside the view is not drawn at all. Where a
// fruit would cover less than about a pixel and a half, a group's fruit have
// six corners instead of forty-two: the picture cannot tell them apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "glf/PreparedGeometry.h"
#include "math/Types.h"

// One plant as the batch sees it: where it stands and what it shows.
struct cPlantInstance {
  Ru::Math::Matrix4 world;     // object to world, as the scene object gives it
  Ru::Math::Vector3 fruitColour;
  int fruit = 0;               // fruit shown, 0..kMaxFruit
};

class cPlantBatches {
 public:
  static constexpr float kCellSize = 48.0f;  // a few clumps' width: small enough to cull, big enough to batch
  static constexpr float kCoarseFruitPixels = 1.5f;  // fruit narrower than this on screen are drawn coarse
  // A cell holds a few dozen plants in play (a tree stand a few hundred); only
  // a damaged or made-up save crowds thousands into one. Such a thicket, drawn
  // whole with fine fruit, could cost a software renderer seconds a frame: it
  // shows this many of its first plants only, with coarse fruit.
  static constexpr size_t kMostPlantsInAGroup = 1000;

  // The tree (triangles in object space, a colour per vertex) and the object-space
  // fruit positions; the fruit are spheres of `fruitRadius` (8 slices, 6 stacks).
  void SetModel(const std::vector<Ru::Math::Vector3>& tree, const std::vector<Ru::Math::Vector3>& treeNormals,
                const Ru::Math::Vector3* treeColours, const Ru::Math::Vector3* fruitAt, int fruitSlots,
                float fruitRadius);

  void Add(const cPlantInstance& plant);  // during a frame's batch, in drawing order
  // Draws what was added since the last Draw, under the camera's matrices
  // (OpenGL order) in a viewport `viewportHeight` pixels high, and forgets
  // groups that had no plant this time.
  void Draw(const float modelView[16], const float projection[16], int viewportHeight);

  // What the last Draw did, for tests and the benchmark.
  struct cStats {
    int groups = 0, drawn = 0, rebuilt = 0, coarse = 0;  // coarse: drawn with coarse fruit
    int64_t vertices = 0;  // drawn
  };
  const cStats& LastStats() const { return mStats; }

 private:
  struct cGroup {
    std::vector<cPlantInstance> plants;  // this frame's
    std::vector<cPlantInstance> built;   // those the mesh was built from
    std::vector<float> positions, normals, colours;
    // The trees' triangles (open cones: both sides show), then the fruit's
    // (closed: their back faces never show), kept by the driver between frames.
    std::vector<uint32_t> indices;
    uint32_t treeIndices = 0;
    cKeptTriangles kept;
    Ru::Math::Vector3 centre;
    float radius = 0.0f;
    int detail = 0;  // 0 fine, 1 coarse fruit
  };
  struct cFruitMesh {
    std::vector<float> positions, normals;
    std::vector<uint32_t> indices;
  };
  void Build(cGroup& group, int detail) const;

  std::vector<Ru::Math::Vector3> mTree, mTreeNormals, mTreeColours;
  std::vector<Ru::Math::Vector3> mFruitAt;
  cFruitMesh mFruit[2];  // fine, coarse
  float mFruitRadius = 0.0f;
  float mReach = 0.0f;  // farthest point of a plant from its origin
  // Ordered by cell, so groups draw in the same order every run.
  std::map<std::tuple<int, int, int>, cGroup> mGroups;
  cStats mStats;
};
