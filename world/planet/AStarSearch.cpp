// A* over one layer of the navigation graph.
//
// The open list is a heap ordered by f and then by the order records were
// opened, so among equal f the earliest record is expanded first, just as a
// scan of the list in order would pick it. A record whose node has since been
// reached more cheaply is dropped when it comes up. Records keep their parent
// instead of a copy of their path.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <queue>

#include "world/planet/AStarGraph.h"

namespace {

struct cOpenRecord {
  int node;
  int parent;  // record index, -1 for the start
  float g;     // sum of the layer's costs from the start
  float walked;  // sum of layer 0's costs: the length when layer 0 is the distance layer
};

struct cHeapEntry {
  float f;
  int record;  // also the order of opening
  bool operator>(const cHeapEntry& o) const { return f > o.f || (f == o.f && record > o.record); }
};

}  // namespace

bool cAStarGraph::FindPath(int layer, const Ru::Math::Vector3& startPosition, const Ru::Math::Vector3& goalPosition,
                           float maxWalked, std::vector<cAStarNode>& out) const {
  if (!IsUsableLayer(layer)) return false;
  const int start = FindNearestNode(layer, startPosition);
  const int goal = FindNearestNode(layer, goalPosition);
  if (start == goal) return true;      // already there (or nowhere passable at all)
  if (start < 0 || goal < 0) return false;

  const cLayerFunctions& functions = mLayerFunctions[static_cast<size_t>(layer)];
  const cSearchLayer& edges = SearchLayer(layer);
  const cAStarNode* goalNode = &mNodes[static_cast<size_t>(goal)];

  // Best known g per node, valid where its stamp is this search's.
  if (mBestCost.size() != mNodes.size()) {
    mBestCost.assign(mNodes.size(), FLT_MAX);
    mBestCostStamp.assign(mNodes.size(), 0);
  }
  if (++mSearchStamp == 0) {  // the stamp wrapped: forget every old one
    std::fill(mBestCostStamp.begin(), mBestCostStamp.end(), 0);
    mSearchStamp = 1;
  }
  auto bestCost = [&](int node) {
    return mBestCostStamp[static_cast<size_t>(node)] == mSearchStamp ? mBestCost[static_cast<size_t>(node)] : FLT_MAX;
  };
  auto setBestCost = [&](int node, float g) {
    mBestCostStamp[static_cast<size_t>(node)] = mSearchStamp;
    mBestCost[static_cast<size_t>(node)] = g;
  };

  std::vector<cOpenRecord> records;
  std::priority_queue<cHeapEntry, std::vector<cHeapEntry>, std::greater<cHeapEntry>> open;
  records.push_back({start, -1, 0.0f, 0.0f});
  setBestCost(start, 0.0f);
  int current = 0;

  for (;;) {
    const cOpenRecord here = records[static_cast<size_t>(current)];
    if (here.node == goal || here.walked > maxWalked) {
      const size_t first = out.size();
      for (int r = current; r >= 0; r = records[static_cast<size_t>(r)].parent)
        out.push_back(mNodes[static_cast<size_t>(records[static_cast<size_t>(r)].node)]);
      std::reverse(out.begin() + static_cast<std::ptrdiff_t>(first), out.end());
      return true;
    }

    const uint32_t end = edges.first[static_cast<size_t>(here.node) + 1];
    for (uint32_t e = edges.first[static_cast<size_t>(here.node)]; e < end; ++e) {
      const cSearchEdge& edge = edges.edges[e];
      if (edge.cost == kAStarImpassableCost) continue;
      const float g = edge.cost + here.g;
      if (!(g < bestCost(edge.to))) continue;
      const cAStarNode* target = &mNodes[static_cast<size_t>(edge.to)];
      if (functions.cost(target, target) == kAStarImpassableCost) continue;
      setBestCost(edge.to, g);
      float f = g + functions.heuristic(target, goalNode);
      if (std::isnan(f)) f = INFINITY;  // keeps the heap's order well defined
      open.push({f, static_cast<int>(records.size())});
      records.push_back({edge.to, current, g, here.walked + edge.walked});
    }

    // The cheapest record whose node has not been reached more cheaply since.
    current = -1;
    while (!open.empty()) {
      const int candidate = open.top().record;
      open.pop();
      const cOpenRecord& r = records[static_cast<size_t>(candidate)];
      if (r.g > bestCost(r.node)) continue;
      current = candidate;
      break;
    }
    if (current < 0) return false;
  }
}
