// Navigation graph benchmarks on the creature layer over the generated terrain:
//  - our A* against Boost Graph's astar_search on the same graph and the same
//    1,000 random pairs of land nodes: median time per query of each and their
//    ratio (the two must agree on every path cost);
//  - the creature mode's first start (build the graph, write the path cache)
//    against its next start (read the cache), with a bare read of the file as the floor.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "modes/creature/CreatureNavigation.h"
#include "platform/Sys.h"
#include "world/planet/AStarGraph.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

namespace {

constexpr int kLayer = kCreatureNavigationLayer;
constexpr int kPairs = 1000;

bool LoadPlanetOnce() {
  static const bool loaded = [] {
    std::string error;
    if (GetPlanetModel().LoadTerrain("./Data/Terrain/terrain.bin", error)) return true;
    std::fprintf(stderr, "nav bench: %s\n", error.c_str());
    return false;
  }();
  return loaded;
}

const cAStarGraph& CreatureGraph() {
  static const cAStarGraph* graph = [] {
    auto* g = new cAStarGraph();
    LoadPlanetOnce();
    AddCreatureNavigationNodesAndEdges(*g);
    g->AddLayer(CreatureTravelCost, NodeDistance);
    return g;
  }();
  return *graph;
}

bool IsLand(const cAStarNode& n) { return CreatureTravelCost(&n, &n) != kAStarImpassableCost; }

struct cPair {
  int start, goal;
};
const std::vector<cPair>& LandPairs() {
  static const std::vector<cPair> pairs = [] {
    const cAStarGraph& graph = CreatureGraph();
    std::vector<int> land;
    for (size_t i = 0; i < graph.GetNodeCount(); ++i)
      if (IsLand(graph.GetNode(static_cast<int>(i)))) land.push_back(static_cast<int>(i));
    std::vector<cPair> chosen;
    uint32_t seed = 20261207;
    auto draw = [&] {  // two draws make a 30-bit index
      const uint32_t r = static_cast<uint32_t>(Sys_RandomFrom(seed)) << 15 | static_cast<uint32_t>(Sys_RandomFrom(seed));
      return land[r % land.size()];
    };
    while (static_cast<int>(chosen.size()) < kPairs && !land.empty()) {
      const int a = draw(), b = draw();
      if (a != b) chosen.push_back({a, b});
    }
    return chosen;
  }();
  return pairs;
}

Vector3 At(const cAStarNode& n) { return Vector3{n.x, n.y, n.z}; }

// ---- the same graph for Boost: the creature layer's usable edges ----
using tBoostGraph = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
                                          boost::property<boost::edge_weight_t, float>>;
using tVertex = boost::graph_traits<tBoostGraph>::vertex_descriptor;

const tBoostGraph& BoostGraph() {
  static const tBoostGraph* graph = [] {
    const cAStarGraph& ours = CreatureGraph();
    auto* g = new tBoostGraph(ours.GetNodeCount());
    for (const auto& [from, targets] : ours.GetEdgeTable(kLayer))
      for (const auto& [to, cost] : targets)
        if (cost != kAStarImpassableCost && IsLand(ours.GetNode(to)))
          boost::add_edge(static_cast<tVertex>(from), static_cast<tVertex>(to), cost, *g);
    return g;
  }();
  return *graph;
}

class cDistanceToGoal : public boost::astar_heuristic<tBoostGraph, float> {
 public:
  cDistanceToGoal(const cAStarGraph& nodes, int goal) : mNodes(nodes), mGoal(&nodes.GetNode(goal)) {}
  float operator()(tVertex v) const { return NodeDistance(&mNodes.GetNode(static_cast<int>(v)), mGoal); }

 private:
  const cAStarGraph& mNodes;
  const cAStarNode* mGoal;
};

struct cGoalReached {};
class cStopAtGoal : public boost::default_astar_visitor {
 public:
  explicit cStopAtGoal(tVertex goal) : mGoal(goal) {}
  void examine_vertex(tVertex v, const tBoostGraph&) const {
    if (v == mGoal) throw cGoalReached();
  }

 private:
  tVertex mGoal;
};

// Boost's search with its maps kept between queries; the cost to the goal, infinity when unreachable.
class cBoostSearch {
 public:
  explicit cBoostSearch(const tBoostGraph& g)
      : mGraph(g), mPredecessor(boost::num_vertices(g)), mDistance(boost::num_vertices(g)), mRank(boost::num_vertices(g)) {}
  float Cost(const cAStarGraph& nodes, int start, int goal) {
    try {
      boost::astar_search(mGraph, static_cast<tVertex>(start), cDistanceToGoal(nodes, goal),
                          boost::predecessor_map(mPredecessor.data())
                              .distance_map(mDistance.data())
                              .rank_map(mRank.data())
                              .visitor(cStopAtGoal(static_cast<tVertex>(goal))));
    } catch (const cGoalReached&) {
      return mDistance[static_cast<size_t>(goal)];
    }
    return INFINITY;
  }

 private:
  const tBoostGraph& mGraph;
  std::vector<tVertex> mPredecessor;
  std::vector<float> mDistance, mRank;
};

// Our search alone; PathCost prices what it found.
bool OurSearch(const cAStarGraph& graph, int start, int goal, std::vector<cAStarNode>& path) {
  path.clear();
  return graph.FindPath(kLayer, At(graph.GetNode(start)), At(graph.GetNode(goal)), FLT_MAX, path);
}
float PathCost(const std::vector<cAStarNode>& path) {
  float total = 0.0f;
  for (size_t i = 0; i + 1 < path.size(); ++i) total += CreatureTravelCost(&path[i], &path[i + 1]);
  return total;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// Each iteration runs all pairs through both searches, interleaved so both see the same machine state.
void BM_AStarOursVsBoost_1000LandPairs(benchmark::State& state) {
  if (!LoadPlanetOnce()) return state.SkipWithError("no terrain.bin");
  const cAStarGraph& graph = CreatureGraph();
  cBoostSearch boostSearch(BoostGraph());
  std::vector<cAStarNode> path;
  std::vector<double> ours, theirs;
  int mismatches = 0, unreachable = 0;
  using tClock = std::chrono::steady_clock;
  for (auto _ : state) {
    for (const cPair& p : LandPairs()) {
      const auto t0 = tClock::now();
      const bool found = OurSearch(graph, p.start, p.goal, path);
      const auto t1 = tClock::now();
      const float a = found ? PathCost(path) : INFINITY;
      const auto t1b = tClock::now();
      const float b = boostSearch.Cost(graph, p.start, p.goal);
      const auto t2 = tClock::now();
      ours.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
      theirs.push_back(std::chrono::duration<double, std::micro>(t2 - t1b).count());
      if (std::isinf(a) != std::isinf(b) || (!std::isinf(a) && std::fabs(a - b) > 1e-3f * b)) ++mismatches;
      if (std::isinf(a)) ++unreachable;
    }
  }
  const double oursMedian = Median(ours), boostMedian = Median(theirs);
  state.counters["ours_median_us"] = oursMedian;
  state.counters["boost_median_us"] = boostMedian;
  state.counters["ours_per_boost"] = boostMedian > 0 ? oursMedian / boostMedian : 0.0;
  state.counters["cost_mismatches"] = mismatches;
  state.counters["unreachable_pairs"] = static_cast<double>(unreachable) / static_cast<double>(state.iterations());
  state.counters["nodes"] = static_cast<double>(graph.GetNodeCount());
}
BENCHMARK(BM_AStarOursVsBoost_1000LandPairs)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- first start against the next one ----
class cBenchCacheFile {
 public:
  cBenchCacheFile() : mPath("/tmp/quorvel_nav_bench_" + std::to_string(getpid()) + "_Paths.bin") {}
  ~cBenchCacheFile() { Sys_RemoveFile(mPath); }
  const std::string& Path() const { return mPath; }

 private:
  std::string mPath;
};
const cBenchCacheFile& CacheFile() {
  static cBenchCacheFile file;
  return file;
}

void BM_CreatureGraphFirstStart_BuildAndWriteCache(benchmark::State& state) {
  if (!LoadPlanetOnce()) return state.SkipWithError("no terrain.bin");
  for (auto _ : state) {
    state.PauseTiming();
    Sys_RemoveFile(CacheFile().Path());
    cAStarGraph graph;
    state.ResumeTiming();
    if (InitCreatureAStar(graph, CacheFile().Path())) state.SkipWithError("read a cache that should not exist");
  }
}
BENCHMARK(BM_CreatureGraphFirstStart_BuildAndWriteCache)->Unit(benchmark::kMillisecond);

void BM_CreatureGraphNextStart_ReadCache(benchmark::State& state) {
  if (!LoadPlanetOnce()) return state.SkipWithError("no terrain.bin");
  if (!Sys_IsRegularFile(CacheFile().Path())) {
    cAStarGraph graph;
    InitCreatureAStar(graph, CacheFile().Path());
  }
  for (auto _ : state) {
    cAStarGraph graph;
    if (!InitCreatureAStar(graph, CacheFile().Path())) state.SkipWithError("the cache was not read");
  }
  std::vector<uint8_t> bytes;
  std::string refusal;
  Sys_ReadWholeFile(CacheFile().Path(), SysFileKind::PathCache, bytes, refusal);
  state.counters["cache_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_CreatureGraphNextStart_ReadCache)->Unit(benchmark::kMillisecond);

// The floor under the cache read: the file's bytes alone.
void BM_CreatureGraphCacheBareRead(benchmark::State& state) {
  if (!Sys_IsRegularFile(CacheFile().Path())) return state.SkipWithError("no cache written yet");
  std::vector<uint8_t> bytes;
  std::string refusal;
  for (auto _ : state) {
    Sys_ReadWholeFile(CacheFile().Path(), SysFileKind::PathCache, bytes, refusal);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_CreatureGraphCacheBareRead)->Unit(benchmark::kMillisecond);

}  // namespace
