// Building the navigation graph and its plain queries; the search is in
// AStarSearch.cpp and the cache file in AStarCacheFile.cpp.
#include "world/planet/AStarGraph.h"

#include <algorithm>
#include <cmath>

float NodeDistance(const cAStarNode* from, const cAStarNode* to) {
  const float dx = to->x - from->x, dy = to->y - from->y, dz = to->z - from->z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

cAStarGraph::cAStarGraph() { mLayerFunctions.push_back({NodeDistance, NodeDistance}); }

int cAStarGraph::AddNode(const cAStarNode& node) {
  mNodes.push_back(node);
  GraphChanged();
  return static_cast<int>(mNodes.size()) - 1;
}

bool cAStarGraph::AddEdge(int from, int to) {
  const int count = static_cast<int>(mNodes.size());
  if (from < 0 || to < 0 || from >= count || to >= count) return false;
  if (from == to) return true;
  if (mEdgeLists.size() < mLayerFunctions.size()) {
    mEdgeLists.resize(mLayerFunctions.size());
    mEdgeListSorted.resize(mLayerFunctions.size(), 1);
  }
  const cAStarNode* a = &mNodes[static_cast<size_t>(from)];
  const cAStarNode* b = &mNodes[static_cast<size_t>(to)];
  for (size_t i = 0; i < mLayerFunctions.size(); ++i) {
    if (!mLayerFunctions[i].cost) continue;  // a layer without functions cannot price the edge
    const float cost = mLayerFunctions[i].cost(a, b);
    if (cost == kAStarImpassableCost) continue;
    std::vector<cEdge>& edges = mEdgeLists[i];
    if (!edges.empty() && (edges.back().from > from || (edges.back().from == from && edges.back().to >= to)))
      mEdgeListSorted[i] = 0;
    edges.push_back({from, to, cost});
  }
  GraphChanged();
  return true;
}

int cAStarGraph::AddLayer(tAStarCostFunction cost, tAStarCostFunction heuristic) {
  if (!cost || !heuristic) return -1;
  mLayerFunctions.push_back({cost, heuristic});
  const int layer = static_cast<int>(mLayerFunctions.size()) - 1;
  // Before any edge exists layer 0 has no table: the new layer starts empty too.
  std::vector<cEdge> edges = GetEdges(0);
  for (cEdge& edge : edges)
    edge.cost = cost(&mNodes[static_cast<size_t>(edge.from)], &mNodes[static_cast<size_t>(edge.to)]);
  mEdgeLists.resize(mLayerFunctions.size());
  mEdgeListSorted.resize(mLayerFunctions.size(), 1);
  mEdgeLists[static_cast<size_t>(layer)] = std::move(edges);
  mEdgeListSorted[static_cast<size_t>(layer)] = 1;
  GraphChanged();
  return layer;
}

void cAStarGraph::SetLayerFunctions(int layer, tAStarCostFunction cost, tAStarCostFunction heuristic) {
  if (layer < 0) return;
  if (static_cast<size_t>(layer) >= mLayerFunctions.size()) mLayerFunctions.resize(static_cast<size_t>(layer) + 1);
  mLayerFunctions[static_cast<size_t>(layer)] = {cost, heuristic};
  GraphChanged();
}

bool cAStarGraph::IsUsableLayer(int layer) const {
  return layer >= 0 && static_cast<size_t>(layer) < mLayerFunctions.size() &&
         mLayerFunctions[static_cast<size_t>(layer)].cost && mLayerFunctions[static_cast<size_t>(layer)].heuristic;
}

int cAStarGraph::FindNearestNode(int layer, const Ru::Math::Vector3& position) const {
  if (!IsUsableLayer(layer)) return -1;
  if (!mNodeGrid.IsBuilt()) mNodeGrid.Build(mNodes);
  return mNodeGrid.FindNearest(mNodes, SearchLayer(layer).usable, position);
}

static bool EdgeBefore(const cAStarGraph::cEdge& a, const cAStarGraph::cEdge& b) {
  return a.from < b.from || (a.from == b.from && a.to < b.to);
}

const std::vector<cAStarGraph::cEdge>& cAStarGraph::GetEdges(int layer) const {
  static const std::vector<cEdge> kNone;
  if (layer < 0 || static_cast<size_t>(layer) >= mEdgeLists.size()) return kNone;
  std::vector<cEdge>& edges = mEdgeLists[static_cast<size_t>(layer)];
  if (!mEdgeListSorted[static_cast<size_t>(layer)]) {
    // In order, and of a repeated edge only its last cost, as an assignment into a table would leave it.
    std::stable_sort(edges.begin(), edges.end(), EdgeBefore);
    size_t kept = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
      if (kept > 0 && !EdgeBefore(edges[kept - 1], edges[i])) edges[kept - 1] = edges[i];
      else edges[kept++] = edges[i];
    }
    edges.resize(kept);
    mEdgeListSorted[static_cast<size_t>(layer)] = 1;
  }
  return edges;
}

const cAStarGraph::tEdgeTable& cAStarGraph::GetEdgeTable(int layer) const {
  static const tEdgeTable kEmpty;
  if (layer < 0 || static_cast<size_t>(layer) >= mEdgeLists.size()) return kEmpty;
  if (mEdgeTableViews.size() != mEdgeLists.size()) mEdgeTableViews.assign(mEdgeLists.size(), tEdgeTable{});
  tEdgeTable& table = mEdgeTableViews[static_cast<size_t>(layer)];
  if (table.empty())
    for (const cEdge& edge : GetEdges(layer)) table[edge.from].emplace_hint(table[edge.from].end(), edge.to, edge.cost);
  return table;
}

bool cAStarGraph::GetEdgeCost(int layer, int from, int to, float& cost) const {
  const std::vector<cEdge>& edges = GetEdges(layer);
  const cEdge key{from, to, 0.0f};
  const auto found = std::lower_bound(edges.begin(), edges.end(), key, EdgeBefore);
  if (found == edges.end() || found->from != from || found->to != to) return false;
  cost = found->cost;
  return true;
}

const cAStarGraph::cSearchLayer& cAStarGraph::SearchLayer(int layer) const {
  if (mSearchLayers.size() != mLayerFunctions.size()) {
    mSearchLayers.assign(mLayerFunctions.size(), cSearchLayer{});
  }
  cSearchLayer& flat = mSearchLayers[static_cast<size_t>(layer)];
  if (!flat.first.empty()) return flat;
  const tAStarCostFunction nodeCost = mLayerFunctions[static_cast<size_t>(layer)].cost;
  flat.usable.resize(mNodes.size());
  for (size_t i = 0; i < mNodes.size(); ++i) flat.usable[i] = nodeCost(&mNodes[i], &mNodes[i]) != kAStarImpassableCost;
  flat.first.assign(mNodes.size() + 1, 0);
  for (const cEdge& edge : GetEdges(layer)) {
    const int from = edge.from, to = edge.to;
    // Edges a search would never follow are left out.
    if (edge.cost == kAStarImpassableCost || !flat.usable[static_cast<size_t>(to)]) continue;
    ++flat.first[static_cast<size_t>(from) + 1];
    float walked = 0.0f;
    if (!GetEdgeCost(0, from, to, walked)) walked = NodeDistance(&mNodes[static_cast<size_t>(from)], &mNodes[static_cast<size_t>(to)]);
    flat.edges.push_back({to, edge.cost, walked});
  }
  for (size_t i = 1; i < flat.first.size(); ++i) flat.first[i] += flat.first[i - 1];
  return flat;
}
