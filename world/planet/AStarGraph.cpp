// Building the navigation graph and its plain queries; the search is in
// AStarSearch.cpp and the cache file in AStarCacheFile.cpp.
#include "world/planet/AStarGraph.h"

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
  if (mEdgeTables.size() < mLayerFunctions.size()) mEdgeTables.resize(mLayerFunctions.size());
  const cAStarNode* a = &mNodes[static_cast<size_t>(from)];
  const cAStarNode* b = &mNodes[static_cast<size_t>(to)];
  for (size_t i = 0; i < mLayerFunctions.size(); ++i) {
    if (!mLayerFunctions[i].cost) continue;  // a layer without functions cannot price the edge
    const float cost = mLayerFunctions[i].cost(a, b);
    if (cost != kAStarImpassableCost) mEdgeTables[i][from][to] = cost;
  }
  GraphChanged();
  return true;
}

int cAStarGraph::AddLayer(tAStarCostFunction cost, tAStarCostFunction heuristic) {
  if (!cost || !heuristic) return -1;
  mLayerFunctions.push_back({cost, heuristic});
  const int layer = static_cast<int>(mLayerFunctions.size()) - 1;
  mEdgeTables.resize(mLayerFunctions.size());
  // Before any edge exists layer 0 has no table: the new layer starts empty too.
  tEdgeTable table = mEdgeTables[0];
  for (auto& [from, targets] : table)
    for (auto& [to, edgeCost] : targets)
      edgeCost = cost(&mNodes[static_cast<size_t>(from)], &mNodes[static_cast<size_t>(to)]);
  mEdgeTables[static_cast<size_t>(layer)] = std::move(table);
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

const cAStarGraph::tEdgeTable& cAStarGraph::GetEdgeTable(int layer) const {
  static const tEdgeTable kEmpty;
  if (layer < 0 || static_cast<size_t>(layer) >= mEdgeTables.size()) return kEmpty;
  return mEdgeTables[static_cast<size_t>(layer)];
}

bool cAStarGraph::GetEdgeCost(int layer, int from, int to, float& cost) const {
  const tEdgeTable& table = GetEdgeTable(layer);
  const auto row = table.find(from);
  if (row == table.end()) return false;
  const auto edge = row->second.find(to);
  if (edge == row->second.end()) return false;
  cost = edge->second;
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
  const tEdgeTable& table = GetEdgeTable(layer);
  flat.first.assign(mNodes.size() + 1, 0);
  for (const auto& [from, targets] : table) {
    for (const auto& [to, cost] : targets) {
      // Edges a search would never follow are left out.
      if (cost == kAStarImpassableCost || !flat.usable[static_cast<size_t>(to)]) continue;
      ++flat.first[static_cast<size_t>(from) + 1];
      float walked = 0.0f;
      if (!GetEdgeCost(0, from, to, walked)) walked = NodeDistance(&mNodes[static_cast<size_t>(from)], &mNodes[static_cast<size_t>(to)]);
      flat.edges.push_back({to, cost, walked});
    }
  }
  for (size_t i = 1; i < flat.first.size(); ++i) flat.first[i] += flat.first[i - 1];
  return flat;
}
