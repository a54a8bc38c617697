// The path cache file: exact layout, round trip, atomic replacement, and every
// damaged variant refused with the graph left as it was.
#include <gtest/gtest.h>
#include <dirent.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"
#include "world/planet/AStarGraph.h"

namespace {

float HalfPrice(const cAStarNode* a, const cAStarNode* b) {
  if (a == b) return 0.0f;
  return a->w == 2.0f ? kAStarImpassableCost : NodeDistance(a, b) * 0.5f;  // leaving node 2 is forbidden
}

// Three nodes, edges both ways along 0-1-2, and a second layer with an impassable edge.
cAStarGraph SmallGraph() {
  cAStarGraph graph;
  for (int i = 0; i < 3; ++i) graph.AddNode(cAStarNode{static_cast<float>(i), 1.5f, -2.0f, static_cast<float>(i)});
  for (int i = 0; i < 2; ++i) {
    graph.AddEdge(i, i + 1);
    graph.AddEdge(i + 1, i);
  }
  graph.AddLayer(HalfPrice, NodeDistance);
  return graph;
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

void PutU32At(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}
void PutFloatAt(std::vector<uint8_t>& bytes, size_t offset, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  PutU32At(bytes, offset, bits);
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

}  // namespace

TEST(AStarCache, LayoutOfTheEmptyAndOfASmallGraph) {
  const std::vector<uint8_t> empty = cAStarGraph().EncodeCache();
  EXPECT_EQ(empty, (std::vector<uint8_t>{0, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));

  const std::vector<uint8_t> bytes = SmallGraph().EncodeCache();
  // N, 3 nodes, M, layer 0: 4 edges + end, layer 1: 4 edges (one impassable) + end.
  ASSERT_EQ(bytes.size(), 4u + 3 * 16 + 4 + (4 * 12 + 4) * 2);
  const size_t layer1 = 4 + 48 + 4 + 52;
  // Layer 1's records ascend: (0,1) (1,0) (1,2) (2,1); the last leaves node 2 and is impassable.
  EXPECT_EQ(bytes[layer1 + 36], 2);
  EXPECT_EQ(bytes[layer1 + 40], 1);
  uint32_t bits = 0;
  std::memcpy(&bits, &bytes[layer1 + 44], 4);  // the machine is little-endian, as the file
  EXPECT_EQ(bits, 0x4CEB79A3u);
}

TEST(AStarCache, RoundTripThroughAFileReplacesTheOldOneAndLeavesNoTemporaryFile) {
  cScratchDir dir;
  const std::string path = dir.File("Paths.bin");
  dir.Write("Paths.bin", "old contents");
  const cAStarGraph original = SmallGraph();
  ASSERT_TRUE(original.SaveCache(path));
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"Paths.bin"});

  cAStarGraph loaded;
  std::string refusal;
  ASSERT_TRUE(loaded.LoadCache(path, refusal, 2));
  EXPECT_EQ(loaded.EncodeCache(), original.EncodeCache());
  ASSERT_EQ(loaded.GetNodeCount(), 3u);
  EXPECT_EQ(loaded.GetNode(2).x, 2.0f);
  EXPECT_EQ(loaded.GetNode(2).w, 2.0f);
  // The file holds no functions: the new layer waits for them, then searches.
  ASSERT_EQ(loaded.GetLayerCount(), 2u);
  EXPECT_EQ(loaded.GetLayerFunctions(1).cost, nullptr);
  loaded.SetLayerFunctions(1, HalfPrice, NodeDistance);
  std::vector<cAStarNode> path2;
  EXPECT_TRUE(loaded.FindPath(1, {0, 1.5f, -2}, {2, 1.5f, -2}, 1e30f, path2));
  EXPECT_EQ(path2.size(), 3u);
  EXPECT_FALSE(loaded.FindPath(1, {2, 1.5f, -2}, {0, 1.5f, -2}, 1e30f, path2));  // nothing leaves node 2
}

TEST(AStarCache, AFailedSaveOrAMissingFileChangesNothing) {
  cScratchDir dir;
  EXPECT_FALSE(SmallGraph().SaveCache(dir.File("no/such/folder/Paths.bin")));
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
  cAStarGraph graph = SmallGraph();
  std::string refusal;
  EXPECT_FALSE(graph.LoadCache(dir.File("missing.bin"), refusal));
  EXPECT_FALSE(graph.LoadCache(dir.Path(), refusal));  // a folder
  EXPECT_EQ(graph.EncodeCache(), SmallGraph().EncodeCache());
}

TEST(AStarCache, EveryDamagedVariantIsRefusedAndTheGraphKept) {
  const std::vector<uint8_t> good = SmallGraph().EncodeCache();
  const size_t nodes = 4, layers = 4 + 48, layer0 = layers + 4, layer1 = layer0 + 52;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> damaged;
  for (size_t n = 0; n < good.size(); ++n)
    damaged.push_back({"cut to " + std::to_string(n), std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n))});
  auto variant = [&](const std::string& name, const std::function<void(std::vector<uint8_t>&)>& change) {
    std::vector<uint8_t> bytes = good;
    change(bytes);
    damaged.push_back({name, bytes});
  };
  variant("trailing byte", [](auto& b) { b.push_back(0); });
  variant("trailing section", [](auto& b) { for (int i = 0; i < 4; ++i) b.push_back(0xFF); });
  variant("more nodes than bytes", [](auto& b) { PutU32At(b, 0, 0x40000000u); });
  variant("node count at the terminator", [](auto& b) { PutU32At(b, 0, 0xFFFFFFFFu); });
  variant("no layers", [](auto& b) { PutU32At(b, layers, 0); });
  variant("three layers", [&](auto& b) { PutU32At(b, layers, 3); });
  variant("one layer", [&](auto& b) { PutU32At(b, layers, 1); });
  variant("huge layer count", [&](auto& b) { PutU32At(b, layers, 0x7FFFFFFFu); });
  variant("from beyond the nodes", [&](auto& b) { PutU32At(b, layer0 + 36, 3); });
  variant("to beyond the nodes", [&](auto& b) { PutU32At(b, layer1 + 4, 7); });
  variant("edge to itself", [&](auto& b) { PutU32At(b, layer0 + 4, 0); });
  variant("records out of order", [&](auto& b) { PutU32At(b, layer0 + 16, 2); PutU32At(b, layer0 + 28, 0); });
  variant("NaN cost", [&](auto& b) { PutFloatAt(b, layer1 + 8, NAN); });
  variant("infinite cost", [&](auto& b) { PutFloatAt(b, layer0 + 20, INFINITY); });
  variant("negative cost", [&](auto& b) { PutFloatAt(b, layer0 + 8, -1.0f); });
  variant("NaN node", [&](auto& b) { PutFloatAt(b, nodes + 16 + 8, NAN); });
  variant("lost terminator", [&](auto& b) { b.erase(b.begin() + static_cast<std::ptrdiff_t>(layer1 - 4), b.begin() + static_cast<std::ptrdiff_t>(layer1)); });

  cAStarGraph graph;
  graph.AddNode(cAStarNode{5, 5, 5, 5});
  const std::vector<uint8_t> before = graph.EncodeCache();
  for (const auto& [name, bytes] : damaged) {
    EXPECT_FALSE(graph.LoadCacheFromBytes(bytes.data(), bytes.size(), 2)) << name;
    EXPECT_EQ(graph.EncodeCache(), before) << name;
  }
  // The layer count is checked only against what the caller asks for.
  EXPECT_TRUE(graph.LoadCacheFromBytes(good.data(), good.size(), 0));
  EXPECT_FALSE(graph.LoadCacheFromBytes(good.data(), good.size(), 3));
  EXPECT_EQ(Bytes(graph.EncodeCache()), Bytes(good));
}
