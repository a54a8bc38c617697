#include "modes/creature/CreatureNavigation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "glf/DebugWindow.h"
#include "math/Vector.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

using Ru::Math::Vector3;

namespace {

// Subdivisions of the icosahedron: 40,962 nodes about 9 units apart on the ground.
constexpr int kSubdivisions = 6;
// Carried in every node's w for the cost function (the graph gives it no meaning).
constexpr float kNodeW = 3.0f;
// Rise per unit of travel beyond which a creature cannot climb or descend an edge.
constexpr float kMaxClimb = 0.4f;
// Each unit of rise per unit of travel adds this much to the distance.
constexpr float kClimbPenalty = 2.0f;

Vector3 Position(const cAStarNode* n) { return Vector3{n->x, n->y, n->z}; }

Vector3 Normalized(const Vector3& v) { return Ru::Math::Vector3Scale(v, 1.0f / Ru::Math::Vector3Length(v)); }

// An icosahedron whose triangles are split in four, kSubdivisions times, its
// points pushed out onto the unit sphere. Triangles are triples of point indices.
void MakeGeodesicSphere(std::vector<Vector3>& points, std::vector<std::array<int, 3>>& triangles) {
  const float t = (1.0f + std::sqrt(5.0f)) * 0.5f;
  points = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
            {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
  for (Vector3& p : points) p = Normalized(p);
  triangles = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
               {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
               {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  for (int level = 0; level < kSubdivisions; ++level) {
    std::map<std::pair<int, int>, int> midpoints;  // ordered, so the numbering never varies
    auto midpoint = [&](int a, int b) {
      const std::pair<int, int> key{std::min(a, b), std::max(a, b)};
      const auto found = midpoints.find(key);
      if (found != midpoints.end()) return found->second;
      points.push_back(Normalized(Ru::Math::Vector3Add(points[static_cast<size_t>(a)], points[static_cast<size_t>(b)])));
      const int index = static_cast<int>(points.size()) - 1;
      midpoints.emplace(key, index);
      return index;
    };
    std::vector<std::array<int, 3>> finer;
    finer.reserve(triangles.size() * 4);
    for (const auto& tri : triangles) {
      const int ab = midpoint(tri[0], tri[1]), bc = midpoint(tri[1], tri[2]), ca = midpoint(tri[2], tri[0]);
      finer.push_back({tri[0], ab, ca});
      finer.push_back({tri[1], bc, ab});
      finer.push_back({tri[2], ca, bc});
      finer.push_back({ab, bc, ca});
    }
    triangles.swap(finer);
  }
}

constexpr size_t NodeCount() {
  size_t edges = 30, faces = 20, points = 12;
  for (int i = 0; i < kSubdivisions; ++i) {
    points += edges;
    edges = edges * 2 + faces * 3;
    faces *= 4;
  }
  return points;
}

// The cache holds no stamp of what it was built from, so a sample of it is
// checked against the planet and the cost function as they are now: one built
// over other terrain, or before the creature cost changed, is built again.
bool CacheFitsThePlanet(const cAStarGraph& graph) {
  if (graph.GetNodeCount() != NodeCount()) return false;
  const cPlanetModel& planet = GetPlanetModel();
  for (size_t i = 0; i < graph.GetNodeCount(); i += 97) {
    const cAStarNode& n = graph.GetNode(static_cast<int>(i));
    const float ground = planet.GetSurfaceRadius(Position(&n));
    if (!(std::fabs(Ru::Math::Vector3Length(Position(&n)) - ground) <= 1e-3f * ground)) return false;
  }
  size_t seen = 0;
  for (const cAStarGraph::cEdge& edge : graph.GetEdges(kCreatureNavigationLayer))
    if (seen++ % 97 == 0 && edge.cost != CreatureTravelCost(&graph.GetNode(edge.from), &graph.GetNode(edge.to)))
      return false;
  return seen > 0;
}

}  // namespace

float CreatureTravelCost(const cAStarNode* from, const cAStarNode* to) {
  const cPlanetModel& planet = GetPlanetModel();
  const Vector3 a = Position(from), b = Position(to);
  const float fromGround = planet.GetSurfaceRadius(a);
  if (fromGround < cPlanetModel::kSeaLevelRadius) return kAStarImpassableCost;
  const float distance = NodeDistance(from, to);
  if (from == to || !(distance > 0.0f)) return 0.0f;  // the node itself: usable on land
  const float toGround = planet.GetSurfaceRadius(b);
  if (toGround < cPlanetModel::kSeaLevelRadius) return kAStarImpassableCost;
  // A narrow channel between two shores is water too.
  if (planet.IsUnderWater(Ru::Math::Vector3Scale(Ru::Math::Vector3Add(a, b), 0.5f))) return kAStarImpassableCost;
  const float climb = (toGround - fromGround) / distance;
  if (std::fabs(climb) > kMaxClimb) return kAStarImpassableCost;
  return distance * (1.0f + kClimbPenalty * std::max(0.0f, climb));
}

void AddCreatureNavigationNodesAndEdges(cAStarGraph& graph) {
  std::vector<Vector3> points;
  std::vector<std::array<int, 3>> triangles;
  MakeGeodesicSphere(points, triangles);
  const cPlanetModel& planet = GetPlanetModel();
  const int first = static_cast<int>(graph.GetNodeCount());
  for (const Vector3& p : points) {
    Vector3 ground;
    planet.ProjectToSurface(ground, p);
    graph.AddNode(cAStarNode{ground.x, ground.y, ground.z, kNodeW});
  }
  std::set<std::pair<int, int>> edges;  // each neighbour pair once, in a fixed order
  for (const auto& tri : triangles)
    for (int i = 0; i < 3; ++i) {
      const int a = tri[static_cast<size_t>(i)], b = tri[static_cast<size_t>((i + 1) % 3)];
      edges.emplace(std::min(a, b), std::max(a, b));
    }
  for (const auto& [a, b] : edges) {
    graph.AddEdge(first + a, first + b);
    graph.AddEdge(first + b, first + a);
  }
}

bool InitCreatureAStar(cAStarGraph& graph, const std::string& cacheFile) {
  const uint32_t started = Sys_Milliseconds();
  std::string refusal;
  if (graph.LoadCache(cacheFile, refusal, kCreatureNavigationLayer + 1) && CacheFitsThePlanet(graph)) {
    graph.SetLayerFunctions(kCreatureNavigationLayer, CreatureTravelCost, NodeDistance);
    DebugPrintf("Navigation graph read from the path cache in %u ms (%zu nodes)\n", Sys_Milliseconds() - started,
                graph.GetNodeCount());
    return true;
  }
  if (!refusal.empty()) Sys_Note("Data File", refusal + ": the navigation graph is built anew");
  graph = cAStarGraph();  // drop a cache that loaded but does not fit
  AddCreatureNavigationNodesAndEdges(graph);
  graph.AddLayer(CreatureTravelCost, NodeDistance);
  const bool saved = graph.SaveCache(cacheFile);
  DebugPrintf("Navigation graph built in %u ms (%zu nodes)%s\n", Sys_Milliseconds() - started, graph.GetNodeCount(),
              saved ? "" : "; the path cache could not be written");
  return false;
}
