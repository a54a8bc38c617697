// The navigation graph: points on the planet (nodes), directed edges between
// them, and cost layers. Each layer has its own cost and heuristic function,
// supplied by the graph's user, and its own table of edge costs, so one graph
// answers path questions for different kinds of movers. Paths are found with
// A* over one layer. Building the graph for the whole planet is slow, so it can
// be written to and read back from a cache file (".\Data\Terrain\Paths.bin").
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "math/Types.h"
#include "world/planet/AStarNodeGrid.h"

struct cAStarNode {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  float w = 0.0f;  // carried for the cost functions; the graph gives it no meaning
};

// Cost of travelling from the first node to the second (or the heuristic estimate).
// A layer's functions must depend on the two nodes alone: edge costs are priced
// once, when edges and layers are added, and which nodes may be used once per
// layer, when the graph is first searched after a change.
using tAStarCostFunction = float (*)(const cAStarNode* from, const cAStarNode* to);

// A cost function returns exactly this for an edge that may not be used, and for
// (node, node) when the node itself may not be used. Compared by exact equality.
constexpr float kAStarImpassableCost = 123456789.0f;

// Euclidean distance over x, y, z (w ignored): layer 0's cost and the usual heuristic.
float NodeDistance(const cAStarNode* from, const cAStarNode* to);

class cAStarGraph {
 public:
  struct cLayerFunctions {
    tAStarCostFunction cost = nullptr;
    tAStarCostFunction heuristic = nullptr;
  };
  using tEdgeTable = std::map<int, std::map<int, float>>;  // from -> (to -> cost), both ascending
  struct cEdge {
    int from;
    int to;
    float cost;
  };

  cAStarGraph();  // no nodes; layer 0 is (NodeDistance, NodeDistance)

  // ---- building ----
  int AddNode(const cAStarNode& node);  // returns its index
  // Adds from -> to to every layer that has a cost function, unless that layer
  // finds it impassable. Nothing for from == to; false for an index out of range.
  bool AddEdge(int from, int to);
  // A new layer whose table copies layer 0's edges with this layer's costs (an
  // impassable cost stays in the table). Returns its index, -1 without a cost function.
  int AddLayer(tAStarCostFunction cost, tAStarCostFunction heuristic);
  // Sets a layer's functions (growing the layer list with empty entries); costs are not recomputed.
  void SetLayerFunctions(int layer, tAStarCostFunction cost, tAStarCostFunction heuristic);

  // ---- queries ----
  // The nearest node (x, y, z) that the layer lets be used; lower index on ties;
  // -1 when there is none or the layer has no cost function.
  int FindNearestNode(int layer, const Ru::Math::Vector3& position) const;
  // A* over one layer between the nodes nearest the two positions. On true the
  // path's nodes (start first) are appended to out; nothing is appended when both
  // positions are nearest the same node. A path whose walked length (layer 0's
  // costs) exceeds maxWalked is returned as it stands. False, out untouched, when
  // the goal cannot be reached, or the layer has no functions.
  bool FindPath(int layer, const Ru::Math::Vector3& start, const Ru::Math::Vector3& goal, float maxWalked,
                std::vector<cAStarNode>& out) const;

  // ---- the cache file ----
  // Writes the whole graph through a unique temporary file beside the target,
  // renamed over it only when every write worked. False when it could not.
  bool SaveCache(const std::string& fileName) const;
  // Replaces the nodes and edge tables with the file's when the whole file is
  // sound and holds requiredLayers layers (0: any number). Otherwise false and the
  // graph is unchanged. Layer functions are kept; layers the file adds get empty
  // entries, to be set with SetLayerFunctions. A file over the path cache's
  // bound is not read: refusal names it, its size and the bound.
  bool LoadCache(const std::string& fileName, std::string& refusal, uint32_t requiredLayers = 0);
  bool LoadCacheFromBytes(const uint8_t* data, size_t size, uint32_t requiredLayers = 0);
  std::vector<uint8_t> EncodeCache() const;

  // ---- inspection ----
  size_t GetNodeCount() const { return mNodes.size(); }
  const cAStarNode& GetNode(int index) const { return mNodes[static_cast<size_t>(index)]; }
  size_t GetLayerCount() const { return mLayerFunctions.size(); }
  const cLayerFunctions& GetLayerFunctions(int layer) const { return mLayerFunctions[static_cast<size_t>(layer)]; }
  // The layer's edges ascending by from and then to; empty when the layer has none yet.
  const std::vector<cEdge>& GetEdges(int layer) const;
  // The same as a table (made on first use after a change, for inspection).
  const tEdgeTable& GetEdgeTable(int layer) const;
  // The edge's cost in the layer; false when the layer has no such edge.
  bool GetEdgeCost(int layer, int from, int to, float& cost) const;

 private:
  // The tables flattened for searching, rebuilt after the graph changed.
  struct cSearchEdge {
    int to;
    float cost;
    float walked;  // layer 0's cost of the same edge
  };
  struct cSearchLayer {
    std::vector<uint8_t> usable;  // the layer's cost function of (node, node) is not impassable
    std::vector<uint32_t> first;  // edges of node i: [first[i], first[i + 1])
    std::vector<cSearchEdge> edges;
  };
  const cSearchLayer& SearchLayer(int layer) const;
  void GraphChanged() {
    mSearchLayers.clear();
    mNodeGrid.Clear();
    mEdgeTableViews.clear();
  }
  bool IsUsableLayer(int layer) const;

  std::vector<cAStarNode> mNodes;
  std::vector<cLayerFunctions> mLayerFunctions;
  // Per layer, its edges in one array: a cache of a whole planet's graph loads
  // into it without a node per edge. Edges added one by one are appended and
  // put in order (the last cost of a repeated edge standing) when next read.
  mutable std::vector<std::vector<cEdge>> mEdgeLists;
  mutable std::vector<uint8_t> mEdgeListSorted;  // per layer
  mutable std::vector<tEdgeTable> mEdgeTableViews;  // GetEdgeTable's, made on demand

  // Search scratch kept between searches so a search costs what it visits, not the graph's size.
  mutable std::vector<cSearchLayer> mSearchLayers;
  mutable cAStarNodeGrid mNodeGrid;
  struct cBestCost {
    float g;
    uint32_t stamp;  // g holds for the search with this stamp only
  };
  struct cOpenRecord {
    int node;
    int parent;    // record index, -1 for the start
    float g;       // sum of the layer's costs from the start
    float walked;  // sum of layer 0's costs: the length when layer 0 is the distance layer
  };
  struct cOpenEntry {
    float f;
    int record;  // also the order of opening
  };
  mutable std::vector<cBestCost> mBestCost;
  mutable uint32_t mSearchStamp = 0;
  mutable std::vector<cOpenRecord> mRecords;
  mutable std::vector<cOpenEntry> mOpen;
};
