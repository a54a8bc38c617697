// A* over a layer of the navigation graph: optimal against Dijkstra on random
// graphs, never through impassable edges or nodes, and the search's edge cases.
#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <queue>

#include "platform/Sys.h"
#include "world/planet/AStarGraph.h"

using Ru::Math::Vector3;

namespace {

// Test nodes carry their index in w, so the cost functions and checks can tell them apart.
uint32_t Mix(uint32_t a, uint32_t b) {
  uint32_t h = a * 2654435761u ^ (b + 0x9e3779b9u + (a << 6) + (a >> 2));
  h ^= h >> 15;
  h *= 2246822519u;
  return h ^ (h >> 13);
}
int IndexOf(const cAStarNode* n) { return static_cast<int>(n->w); }

// Never below the straight distance (so the distance heuristic stays admissible);
// about one edge in eight and one node in seven impassable.
float RandomLayerCost(const cAStarNode* from, const cAStarNode* to) {
  if (from == to) return IndexOf(from) % 7 == 3 ? kAStarImpassableCost : 0.0f;
  const uint32_t h = Mix(static_cast<uint32_t>(IndexOf(from)), static_cast<uint32_t>(IndexOf(to)));
  if (h % 8 == 0) return kAStarImpassableCost;
  return NodeDistance(from, to) * (1.0f + static_cast<float>(h % 1000) / 250.0f);
}

Vector3 At(const cAStarNode& n) { return Vector3{n.x, n.y, n.z}; }

cAStarGraph RandomGraph(uint32_t& seed, int nodes, int edgesPerNode) {
  cAStarGraph graph;
  for (int i = 0; i < nodes; ++i) {
    const float x = static_cast<float>(Sys_RandomFrom(seed)) / 327.67f;
    const float y = static_cast<float>(Sys_RandomFrom(seed)) / 327.67f;
    graph.AddNode(cAStarNode{x, y, 0.0f, static_cast<float>(i)});
  }
  for (int i = 0; i < nodes; ++i)
    for (int k = 0; k < edgesPerNode; ++k) graph.AddEdge(i, Sys_RandomFrom(seed) % nodes);
  EXPECT_EQ(graph.AddLayer(RandomLayerCost, NodeDistance), 1);
  return graph;
}

// The cheapest cost from start to every node over the layer's usable edges.
std::vector<float> Dijkstra(const cAStarGraph& graph, int layer, int start) {
  std::vector<float> best(graph.GetNodeCount(), INFINITY);
  using tItem = std::pair<float, int>;
  std::priority_queue<tItem, std::vector<tItem>, std::greater<tItem>> open;
  best[static_cast<size_t>(start)] = 0.0f;
  open.push({0.0f, start});
  const tAStarCostFunction cost = graph.GetLayerFunctions(layer).cost;
  while (!open.empty()) {
    const auto [d, node] = open.top();
    open.pop();
    if (d > best[static_cast<size_t>(node)]) continue;
    const auto row = graph.GetEdgeTable(layer).find(node);
    if (row == graph.GetEdgeTable(layer).end()) continue;
    for (const auto& [to, c] : row->second) {
      const cAStarNode* target = &graph.GetNode(to);
      if (c == kAStarImpassableCost || cost(target, target) == kAStarImpassableCost) continue;
      if (d + c < best[static_cast<size_t>(to)]) {
        best[static_cast<size_t>(to)] = d + c;
        open.push({d + c, to});
      }
    }
  }
  return best;
}

// A graph of points on the x axis, 1 apart, joined both ways in a line.
cAStarGraph LineGraph(int count) {
  cAStarGraph graph;
  for (int i = 0; i < count; ++i) graph.AddNode(cAStarNode{static_cast<float>(i), 0.0f, 0.0f, static_cast<float>(i)});
  for (int i = 0; i + 1 < count; ++i) {
    graph.AddEdge(i, i + 1);
    graph.AddEdge(i + 1, i);
  }
  return graph;
}

}  // namespace

TEST(AStarSearch, FindsTheSameCostAsDijkstraOnRandomGraphs) {
  uint32_t seed = 1234;
  int reachable = 0, unreachable = 0;
  for (int round = 0; round < 12; ++round) {
    const cAStarGraph graph = RandomGraph(seed, 120, 3);
    for (int query = 0; query < 25; ++query) {
      const int start = Sys_RandomFrom(seed) % 120, goal = Sys_RandomFrom(seed) % 120;
      if (start == goal || start % 7 == 3 || goal % 7 == 3) continue;  // impassable ends have no nearest node
      const float expected = Dijkstra(graph, 1, start)[static_cast<size_t>(goal)];
      std::vector<cAStarNode> path;
      const bool found = graph.FindPath(1, At(graph.GetNode(start)), At(graph.GetNode(goal)), FLT_MAX, path);
      ASSERT_EQ(found, std::isfinite(expected)) << "round " << round << " " << start << " -> " << goal;
      if (!found) {
        EXPECT_TRUE(path.empty());
        ++unreachable;
        continue;
      }
      ++reachable;
      ASSERT_GE(path.size(), 2u);
      EXPECT_EQ(IndexOf(&path.front()), start);
      EXPECT_EQ(IndexOf(&path.back()), goal);
      float total = 0.0f;
      for (size_t i = 0; i + 1 < path.size(); ++i) {
        float c = 0.0f;
        ASSERT_TRUE(graph.GetEdgeCost(1, IndexOf(&path[i]), IndexOf(&path[i + 1]), c));
        EXPECT_NE(c, kAStarImpassableCost);
        EXPECT_NE(RandomLayerCost(&path[i + 1], &path[i + 1]), kAStarImpassableCost);
        total += c;
      }
      EXPECT_NEAR(total, expected, 1e-4f * expected);
    }
  }
  // The random graphs must exercise both outcomes.
  EXPECT_GT(reachable, 50);
  EXPECT_GT(unreachable, 5);
}

TEST(AStarSearch, ImpassableEdgesAreNotStoredByAddEdgeKeptByAddLayerButNeverFollowed) {
  // A square 0-1-2 with a detour through 3; the layer forbids the short edge 1 -> 2.
  static auto forbid12 = [](const cAStarNode* a, const cAStarNode* b) -> float {
    return (IndexOf(a) == 1 && IndexOf(b) == 2) ? kAStarImpassableCost : NodeDistance(a, b);
  };
  cAStarGraph graph;
  const float xy[4][2] = {{0, 0}, {1, 0}, {2, 0}, {1, 3}};
  for (int i = 0; i < 4; ++i) graph.AddNode(cAStarNode{xy[i][0], xy[i][1], 0.0f, static_cast<float>(i)});
  graph.SetLayerFunctions(1, forbid12, NodeDistance);  // priced as the edges are added
  graph.AddEdge(0, 1);
  graph.AddEdge(1, 2);
  graph.AddEdge(1, 3);
  graph.AddEdge(3, 2);
  float cost = 0.0f;
  EXPECT_TRUE(graph.GetEdgeCost(0, 1, 2, cost));
  EXPECT_FALSE(graph.GetEdgeCost(1, 1, 2, cost));

  const int added = graph.AddLayer(forbid12, NodeDistance);
  ASSERT_TRUE(graph.GetEdgeCost(added, 1, 2, cost));
  EXPECT_EQ(cost, kAStarImpassableCost);

  for (int layer : {1, added}) {
    std::vector<cAStarNode> path;
    ASSERT_TRUE(graph.FindPath(layer, Vector3{0, 0, 0}, Vector3{2, 0, 0}, FLT_MAX, path));
    ASSERT_EQ(path.size(), 4u);
    EXPECT_EQ(IndexOf(&path[2]), 3) << "layer " << layer;
  }
  // Without the detour no path exists.
  cAStarGraph direct;
  for (int i = 0; i < 3; ++i) direct.AddNode(cAStarNode{xy[i][0], xy[i][1], 0.0f, static_cast<float>(i)});
  direct.AddEdge(0, 1);
  direct.AddEdge(1, 2);
  const int layer = direct.AddLayer(forbid12, NodeDistance);
  std::vector<cAStarNode> path{cAStarNode{9, 9, 9, 9}};
  EXPECT_FALSE(direct.FindPath(layer, Vector3{0, 0, 0}, Vector3{2, 0, 0}, FLT_MAX, path));
  EXPECT_EQ(path.size(), 1u);  // untouched
}

TEST(AStarSearch, EdgeCases) {
  cAStarGraph line = LineGraph(10);
  std::vector<cAStarNode> path;
  // Both positions nearest one node: true, nothing appended.
  EXPECT_TRUE(line.FindPath(0, Vector3{3.1f, 0, 0}, Vector3{2.9f, 0.2f, 0}, FLT_MAX, path));
  EXPECT_TRUE(path.empty());
  // A walked length beyond the limit returns the path so far: 0..3 is the first to pass 2.5.
  ASSERT_TRUE(line.FindPath(0, Vector3{0, 0, 0}, Vector3{9, 0, 0}, 2.5f, path));
  ASSERT_EQ(path.size(), 4u);
  EXPECT_EQ(path.back().x, 3.0f);
  // Appends after what the list already holds.
  ASSERT_TRUE(line.FindPath(0, Vector3{9, 0, 0}, Vector3{7, 0, 0}, FLT_MAX, path));
  ASSERT_EQ(path.size(), 7u);
  EXPECT_EQ(path[4].x, 9.0f);
  EXPECT_EQ(path[6].x, 7.0f);
}

TEST(AStarSearch, EqualEstimatesExpandTheEarlierOpenedRecordFirst) {
  // 0 -> 1 -> 3 and 0 -> 2 -> 3 cost the same all the way; 1 is opened first, so its way wins.
  cAStarGraph graph;
  const float xy[4][2] = {{0, 0}, {1, 1}, {1, -1}, {2, 0}};
  for (int i = 0; i < 4; ++i) graph.AddNode(cAStarNode{xy[i][0], xy[i][1], 0.0f, static_cast<float>(i)});
  graph.AddEdge(0, 1);
  graph.AddEdge(0, 2);
  graph.AddEdge(1, 3);
  graph.AddEdge(2, 3);
  std::vector<cAStarNode> path;
  ASSERT_TRUE(graph.FindPath(0, Vector3{0, 0, 0}, Vector3{2, 0, 0}, FLT_MAX, path));
  ASSERT_EQ(path.size(), 3u);
  EXPECT_EQ(IndexOf(&path[1]), 1);
}

TEST(AStarSearch, LayersWithoutFunctionsOrTablesFailCleanly) {
  cAStarGraph graph;
  EXPECT_EQ(graph.AddLayer(nullptr, NodeDistance), -1);
  EXPECT_EQ(graph.GetLayerCount(), 1u);
  // A layer added before any edge has an empty table: nothing is reachable, nothing breaks.
  graph.AddNode(cAStarNode{0, 0, 0, 0});
  graph.AddNode(cAStarNode{1, 0, 0, 1});
  EXPECT_EQ(graph.AddLayer(NodeDistance, NodeDistance), 1);
  std::vector<cAStarNode> path;
  EXPECT_FALSE(graph.FindPath(1, Vector3{0, 0, 0}, Vector3{1, 0, 0}, FLT_MAX, path));
  // A layer grown without functions: edges skip it, queries refuse it.
  graph.SetLayerFunctions(3, nullptr, nullptr);
  EXPECT_TRUE(graph.AddEdge(0, 1));
  EXPECT_FALSE(graph.AddEdge(0, 7));
  EXPECT_TRUE(graph.GetEdgeTable(3).empty());
  EXPECT_EQ(graph.FindNearestNode(3, Vector3{0, 0, 0}), -1);
  EXPECT_FALSE(graph.FindPath(3, Vector3{0, 0, 0}, Vector3{1, 0, 0}, FLT_MAX, path));
  EXPECT_FALSE(graph.FindPath(9, Vector3{0, 0, 0}, Vector3{1, 0, 0}, FLT_MAX, path));
  EXPECT_TRUE(graph.FindPath(1, Vector3{0, 0, 0}, Vector3{1, 0, 0}, FLT_MAX, path));
  EXPECT_EQ(path.size(), 2u);
}

TEST(AStarSearch, NearestNodeIsTheLowestIndexAmongTheNearestUsableOnes) {
  // Brute force over every node, as the graph defines it.
  auto bruteForce = [](const cAStarGraph& g, const Vector3& p) {
    int best = -1;
    float bestDistance = INFINITY;
    for (size_t i = 0; i < g.GetNodeCount(); ++i) {
      const cAStarNode& n = g.GetNode(static_cast<int>(i));
      const float dx = n.x - p.x, dy = n.y - p.y, dz = n.z - p.z;
      const float d = dx * dx + dy * dy + dz * dz;
      if (d < bestDistance && RandomLayerCost(&n, &n) != kAStarImpassableCost) {
        best = static_cast<int>(i);
        bestDistance = d;
      }
    }
    return best;
  };
  uint32_t seed = 99;
  auto coordinate = [&](float scale) { return (static_cast<float>(Sys_RandomFrom(seed)) / 32767.0f - 0.5f) * scale; };
  for (int shape = 0; shape < 4; ++shape) {
    cAStarGraph graph;
    const int count = shape == 3 ? 1 : 300;
    for (int i = 0; i < count; ++i) {
      // A cloud, a flat sheet with points on a coarse lattice (many ties), a thin shell.
      Vector3 p{coordinate(100), coordinate(100), shape == 1 ? 0.0f : coordinate(100)};
      if (shape == 1) p = Vector3{std::round(p.x / 10) * 10, std::round(p.y / 10) * 10, 0.0f};
      if (shape == 2) {
        const float len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z) + 1e-3f;
        p = Vector3{p.x / len * 500, p.y / len * 500, p.z / len * 500};
      }
      graph.AddNode(cAStarNode{p.x, p.y, p.z, static_cast<float>(i)});
    }
    graph.AddNode(cAStarNode{INFINITY, 0, 0, static_cast<float>(count)});
    graph.AddLayer(RandomLayerCost, NodeDistance);
    std::vector<Vector3> queries = {{0, 0, 0}, {1e6f, -1e6f, 3}, {NAN, 0, 0}, {INFINITY, 0, 0}, {5, 5, 0}};
    for (int q = 0; q < 200; ++q) queries.push_back(Vector3{coordinate(160), coordinate(160), coordinate(shape == 2 ? 1200 : 160)});
    for (int q = 0; q < 100; ++q)  // halfway between lattice points: equally near nodes in different cells
      queries.push_back(Vector3{std::round(coordinate(100) / 5) * 5, std::round(coordinate(100) / 5) * 5, 0.0f});
    for (const Vector3& p : queries)
      ASSERT_EQ(graph.FindNearestNode(1, p), bruteForce(graph, p)) << "shape " << shape << " at " << p.x << " " << p.y << " " << p.z;
  }
}

// Edges are kept in one array per layer and put in order when read: added in
// any order they read back ascending, and a repeated edge keeps its last cost,
// in the list, the table and the search alike.
TEST(AStarSearch, EdgesAddedInAnyOrderReadBackAscendingWithTheLastCostOfARepeat) {
  static float scale = 1.0f;
  static auto scaled = [](const cAStarNode* a, const cAStarNode* b) -> float { return scale * NodeDistance(a, b); };
  cAStarGraph graph;
  for (int i = 0; i < 4; ++i) graph.AddNode(cAStarNode{static_cast<float>(i), 0.0f, 0.0f, static_cast<float>(i)});
  graph.SetLayerFunctions(0, scaled, NodeDistance);
  const int adds[][2] = {{2, 3}, {0, 1}, {1, 2}, {0, 2}, {1, 0}};
  for (const auto& add : adds) graph.AddEdge(add[0], add[1]);
  scale = 5.0f;
  graph.AddEdge(0, 1);  // the same edge priced again: the new cost replaces the old
  scale = 1.0f;

  std::vector<std::array<float, 3>> listed;
  for (const cAStarGraph::cEdge& edge : graph.GetEdges(0))
    listed.push_back({static_cast<float>(edge.from), static_cast<float>(edge.to), edge.cost});
  const std::vector<std::array<float, 3>> expected = {{0, 1, 5}, {0, 2, 2}, {1, 0, 1}, {1, 2, 1}, {2, 3, 1}};
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(graph.GetEdgeTable(0).at(0).at(1), 5.0f);
  float cost = 0.0f;
  ASSERT_TRUE(graph.GetEdgeCost(0, 0, 1, cost));
  EXPECT_EQ(cost, 5.0f);
  EXPECT_FALSE(graph.GetEdgeCost(0, 3, 2, cost));
  // 0 -> 2 directly (2) beats 0 -> 1 -> 2 (6).
  std::vector<cAStarNode> path;
  ASSERT_TRUE(graph.FindPath(0, Vector3{0, 0, 0}, Vector3{2, 0, 0}, FLT_MAX, path));
  EXPECT_EQ(path.size(), 2u);
}
