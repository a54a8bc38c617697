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

#include "world/planet/AStarGraph.h"

namespace {

// The heap's order: the entry that comes out later is "less".
template <class tEntry>
bool ComesOutLater(const tEntry& a, const tEntry& b) {
  return a.f > b.f || (a.f == b.f && a.record > b.record);
}

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
  if (mBestCost.size() != mNodes.size()) mBestCost.assign(mNodes.size(), cBestCost{FLT_MAX, 0});
  if (++mSearchStamp == 0) {  // the stamp wrapped: forget every old one
    for (cBestCost& b : mBestCost) b.stamp = 0;
    mSearchStamp = 1;
  }
  auto bestCost = [&](int node) {
    const cBestCost& b = mBestCost[static_cast<size_t>(node)];
    return b.stamp == mSearchStamp ? b.g : FLT_MAX;
  };

  std::vector<cOpenRecord>& records = mRecords;
  std::vector<cOpenEntry>& open = mOpen;
  records.clear();
  open.clear();
  records.push_back({start, -1, 0.0f, 0.0f});
  mBestCost[static_cast<size_t>(start)] = {0.0f, mSearchStamp};
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
      // Impassable edges and edges into nodes the layer forbids were left out of these.
      const cSearchEdge& edge = edges.edges[e];
      cBestCost& best = mBestCost[static_cast<size_t>(edge.to)];
      const float g = edge.cost + here.g;
      if (best.stamp == mSearchStamp && !(g < best.g)) continue;
      if (!(g < FLT_MAX)) continue;
      best = {g, mSearchStamp};
      float f = g + functions.heuristic(&mNodes[static_cast<size_t>(edge.to)], goalNode);
      if (std::isnan(f)) f = INFINITY;  // keeps the heap's order well defined
      open.push_back({f, static_cast<int>(records.size())});
      std::push_heap(open.begin(), open.end(), ComesOutLater<cOpenEntry>);
      records.push_back({edge.to, current, g, here.walked + edge.walked});
    }

    // The cheapest record whose node has not been reached more cheaply since.
    current = -1;
    while (!open.empty()) {
      std::pop_heap(open.begin(), open.end(), ComesOutLater<cOpenEntry>);
      const int candidate = open.back().record;
      open.pop_back();
      const cOpenRecord& r = records[static_cast<size_t>(candidate)];
      if (r.g > bestCost(r.node)) continue;
      current = candidate;
      break;
    }
    if (current < 0) return false;
  }
}
