#include "world/planet/AStarNodeGrid.h"

#include <algorithm>
#include <cmath>

#include "world/planet/AStarGraph.h"

namespace {
bool IsFinite(const cAStarNode& n) { return std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z); }
constexpr int kMaxCellsPerAxis = 1024;
}  // namespace

void cAStarNodeGrid::Build(const std::vector<cAStarNode>& nodes) {
  *this = cAStarNodeGrid();
  mBuilt = true;
  // A node with a non-finite coordinate is never nearer than infinity: it needs no cell.
  double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
  size_t count = 0;
  for (const cAStarNode& n : nodes) {
    if (!IsFinite(n)) continue;
    ++count;
    const float c[3] = {n.x, n.y, n.z};
    for (int k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], static_cast<double>(c[k]));
      high[k] = std::max(high[k], static_cast<double>(c[k]));
    }
  }
  if (count == 0) {
    mFirst.assign(2, 0);
    return;
  }
  // About one cell per node along the largest extent's cube root: a few nodes a cell on a shell.
  const double extent = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
  const double perAxis = std::max(1.0, std::round(std::cbrt(static_cast<double>(count))));
  mCellSize = extent > 0.0 ? extent / perAxis : 1.0;
  for (int k = 0; k < 3; ++k) {
    mOrigin[k] = low[k];
    mDims[k] = static_cast<int>(std::min<double>(kMaxCellsPerAxis, std::floor((high[k] - low[k]) / mCellSize) + 1.0));
  }
  const size_t cells = static_cast<size_t>(mDims[0]) * static_cast<size_t>(mDims[1]) * static_cast<size_t>(mDims[2]);
  std::vector<int> cellOfNode(nodes.size(), -1);
  mFirst.assign(cells + 1, 0);
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!IsFinite(nodes[i])) continue;
    cellOfNode[i] = CellIndex(CellOf(nodes[i].x, 0), CellOf(nodes[i].y, 1), CellOf(nodes[i].z, 2));
    ++mFirst[static_cast<size_t>(cellOfNode[i]) + 1];
  }
  for (size_t c = 1; c < mFirst.size(); ++c) mFirst[c] += mFirst[c - 1];
  std::vector<uint32_t> fill(mFirst.begin(), mFirst.end() - 1);
  mNodes.resize(count);
  for (size_t i = 0; i < nodes.size(); ++i)  // ascending, so each cell lists its nodes in index order
    if (cellOfNode[i] >= 0) mNodes[fill[static_cast<size_t>(cellOfNode[i])]++] = static_cast<int>(i);
}

int cAStarNodeGrid::CellOf(float coordinate, int axis) const {
  const double t = (static_cast<double>(coordinate) - mOrigin[axis]) / mCellSize;
  if (!(t >= 0.0)) return 0;  // below the grid, or NaN
  if (t >= mDims[axis]) return mDims[axis] - 1;
  return static_cast<int>(t);
}

int cAStarNodeGrid::FindNearest(const std::vector<cAStarNode>& nodes, const std::vector<uint8_t>& usable,
                                const Ru::Math::Vector3& p) const {
  const int centre[3] = {CellOf(p.x, 0), CellOf(p.y, 1), CellOf(p.z, 2)};
  float best = INFINITY;
  int bestIndex = -1;
  auto visitCell = [&](int x, int y, int z) {
    const size_t cell = static_cast<size_t>(CellIndex(x, y, z));
    for (uint32_t k = mFirst[cell]; k < mFirst[cell + 1]; ++k) {
      const int i = mNodes[k];
      if (!usable[static_cast<size_t>(i)]) continue;
      const cAStarNode& n = nodes[static_cast<size_t>(i)];
      const float dx = n.x - p.x, dy = n.y - p.y, dz = n.z - p.z;  // as the graph measures
      const float d = dx * dx + dy * dy + dz * dz;
      if (d < best || (d == best && i < bestIndex)) {
        best = d;
        bestIndex = i;
      }
    }
  };
  for (int r = 0;; ++r) {
    int lo[3], hi[3];
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::max(0, centre[k] - r);
      hi[k] = std::min(mDims[k] - 1, centre[k] + r);
    }
    // The shell: cells exactly r steps (in the largest axis) from the centre.
    for (int x = lo[0]; x <= hi[0]; ++x)
      for (int y = lo[1]; y <= hi[1]; ++y) {
        if (std::abs(x - centre[0]) == r || std::abs(y - centre[1]) == r) {
          for (int z = lo[2]; z <= hi[2]; ++z) visitCell(x, y, z);
        } else {
          if (centre[2] - r >= 0) visitCell(x, y, centre[2] - r);
          if (r > 0 && centre[2] + r < mDims[2]) visitCell(x, y, centre[2] + r);
        }
      }
    // Any node not yet seen lies beyond one of the searched box's inner faces.
    double bound = INFINITY;
    const float coordinate[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k) {
      if (centre[k] - r - 1 >= 0) bound = std::min(bound, coordinate[k] - (mOrigin[k] + (centre[k] - r) * mCellSize));
      if (centre[k] + r + 1 < mDims[k])
        bound = std::min(bound, mOrigin[k] + (centre[k] + r + 1) * mCellSize - coordinate[k]);
    }
    if (bound == INFINITY) return bestIndex;  // every cell searched
    if (bound > 0.0 && static_cast<double>(best) < bound * bound * (1.0 - 1e-6)) return bestIndex;
  }
}
