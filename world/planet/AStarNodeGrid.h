// Finds the navigation graph's node nearest a point without visiting every
// node: nodes are sorted into a uniform grid of cubes, and the cubes are
// searched in growing shells around the point until no unsearched cube can
// hold a nearer node.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"

struct cAStarNode;

class cAStarNodeGrid {
 public:
  void Build(const std::vector<cAStarNode>& nodes);
  bool IsBuilt() const { return mBuilt; }
  void Clear() {
    if (mBuilt) *this = cAStarNodeGrid();
  }

  // The nearest node whose usable flag is set, by squared distance as the graph
  // measures it; the lowest index among equally near ones; -1 when none is
  // nearer than infinity.
  int FindNearest(const std::vector<cAStarNode>& nodes, const std::vector<uint8_t>& usable,
                  const Ru::Math::Vector3& position) const;

 private:
  int CellIndex(int x, int y, int z) const { return (z * mDims[1] + y) * mDims[0] + x; }
  int CellOf(float coordinate, int axis) const;

  bool mBuilt = false;
  double mOrigin[3] = {0, 0, 0};
  double mCellSize = 1.0;
  int mDims[3] = {1, 1, 1};
  std::vector<uint32_t> mFirst;  // nodes of cell c: mNodes[mFirst[c] .. mFirst[c + 1])
  std::vector<int> mNodes;       // ascending index within a cell
};
