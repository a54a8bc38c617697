// Fuzzes the path cache reader: any bytes are refused or loaded, never crash,
// hang or read out of bounds; a loaded file writes back byte for byte, and
// every layer of it can be searched.
#include <algorithm>
#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "world/planet/AStarGraph.h"

namespace {
// No estimate: the search is then Dijkstra's, whose work stays bounded whatever the costs.
float NoEstimate(const cAStarNode*, const cAStarNode*) { return 0.0f; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cAStarGraph graph;
  if (!graph.LoadCacheFromBytes(data, size)) return 0;
  const std::vector<uint8_t> again = graph.EncodeCache();
  if (again.size() != size || !std::equal(again.begin(), again.end(), data)) __builtin_trap();
  if (graph.GetNodeCount() == 0) return 0;
  const cAStarNode& first = graph.GetNode(0);
  const cAStarNode& last = graph.GetNode(static_cast<int>(graph.GetNodeCount()) - 1);
  for (size_t layer = 0; layer < graph.GetLayerCount() && layer < 4; ++layer) {
    graph.SetLayerFunctions(static_cast<int>(layer), NodeDistance, NoEstimate);
    std::vector<cAStarNode> path;
    graph.FindPath(static_cast<int>(layer), {first.x, first.y, first.z}, {last.x, last.y, last.z}, FLT_MAX, path);
  }
  return 0;
}
