// The navigation graph's cache file, little-endian 4-byte values, no header:
//   u32 N, then N nodes of x, y, z, w (float32);
//   u32 M layers, then per layer its edges as (u32 from, u32 to, float32 cost),
//   ascending by from and then to, closed by the terminator u32 0xFFFFFFFF.
// A load checks the whole file before the graph changes: a damaged cache is
// refused and the caller builds the graph afresh.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/Sys.h"
#include "world/planet/AStarGraph.h"

namespace {

constexpr uint32_t kSectionEnd = 0xFFFFFFFFu;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& out, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  PutU32(out, bits);
}

// Reads 4-byte values and never past the end.
class cCacheReader {
 public:
  cCacheReader(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  size_t Remaining() const { return mSize - mPos; }
  bool U32(uint32_t& v) {
    if (Remaining() < 4) return false;
    v = static_cast<uint32_t>(mData[mPos]) | (static_cast<uint32_t>(mData[mPos + 1]) << 8) |
        (static_cast<uint32_t>(mData[mPos + 2]) << 16) | (static_cast<uint32_t>(mData[mPos + 3]) << 24);
    mPos += 4;
    return true;
  }
  // Records of `stride` bytes from here up to the first that starts with `end`
  // (or up to the end of the data): how many a section holds.
  size_t CountRecordsBefore(uint32_t end, size_t stride) const {
    size_t count = 0;
    for (size_t at = mPos; mSize - at >= 4; at += stride, ++count) {
      const uint32_t v = static_cast<uint32_t>(mData[at]) | (static_cast<uint32_t>(mData[at + 1]) << 8) |
                         (static_cast<uint32_t>(mData[at + 2]) << 16) | (static_cast<uint32_t>(mData[at + 3]) << 24);
      if (v == end || mSize - at < stride) break;
    }
    return count;
  }
  bool Float(float& f) {
    uint32_t bits;
    if (!U32(bits)) return false;
    std::memcpy(&f, &bits, 4);
    return std::isfinite(f);
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

}  // namespace

std::vector<uint8_t> cAStarGraph::EncodeCache() const {
  std::vector<uint8_t> out;
  PutU32(out, static_cast<uint32_t>(mNodes.size()));
  for (const cAStarNode& n : mNodes) {
    PutFloat(out, n.x);
    PutFloat(out, n.y);
    PutFloat(out, n.z);
    PutFloat(out, n.w);
  }
  PutU32(out, static_cast<uint32_t>(mLayerFunctions.size()));
  for (size_t layer = 0; layer < mLayerFunctions.size(); ++layer) {
    for (const cEdge& edge : GetEdges(static_cast<int>(layer))) {
      PutU32(out, static_cast<uint32_t>(edge.from));
      PutU32(out, static_cast<uint32_t>(edge.to));
      PutFloat(out, edge.cost);
    }
    PutU32(out, kSectionEnd);
  }
  return out;
}

bool cAStarGraph::SaveCache(const std::string& fileName) const {
  const std::vector<uint8_t> bytes = EncodeCache();
  SysReplacement out;
  if (!Sys_BeginReplaceFile(fileName, out)) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), out.file) != bytes.size()) {
    Sys_AbandonReplaceFile(out);
    return false;
  }
  return Sys_CommitReplaceFile(out);
}

bool cAStarGraph::LoadCache(const std::string& fileName, std::string& refusal, uint32_t requiredLayers) {
  std::vector<uint8_t> bytes;
  if (!Sys_ReadWholeFile(fileName, SysFileKind::PathCache, bytes, refusal)) return false;
  return LoadCacheFromBytes(bytes.data(), bytes.size(), requiredLayers);
}

bool cAStarGraph::LoadCacheFromBytes(const uint8_t* data, size_t size, uint32_t requiredLayers) {
  cCacheReader in(data, size);
  uint32_t nodeCount = 0;
  if (!in.U32(nodeCount) || nodeCount > static_cast<uint32_t>(INT32_MAX)) return false;  // nodes are int-indexed
  if (static_cast<uint64_t>(nodeCount) * 16 > in.Remaining()) return false;  // before reserving anything
  std::vector<cAStarNode> nodes(nodeCount);
  for (cAStarNode& n : nodes)
    if (!in.Float(n.x) || !in.Float(n.y) || !in.Float(n.z) || !in.Float(n.w)) return false;

  uint32_t layerCount = 0;
  if (!in.U32(layerCount) || layerCount == 0) return false;
  if (requiredLayers != 0 && layerCount != requiredLayers) return false;
  if (static_cast<uint64_t>(layerCount) * 4 > in.Remaining()) return false;  // each layer needs its terminator

  std::vector<std::vector<cEdge>> lists(layerCount);
  for (std::vector<cEdge>& edges : lists) {
    edges.reserve(in.CountRecordsBefore(kSectionEnd, 12));
    int64_t previous = -1;  // from * N + to of the last record: records must strictly ascend
    for (;;) {
      uint32_t from = 0, to = 0;
      float cost = 0.0f;
      if (!in.U32(from)) return false;  // a section without its terminator
      if (from == kSectionEnd) break;
      if (!in.U32(to) || !in.Float(cost)) return false;
      if (from >= nodeCount || to >= nodeCount || from == to || cost < 0.0f) return false;
      const int64_t order = static_cast<int64_t>(from) * nodeCount + to;
      if (order <= previous) return false;
      previous = order;
      edges.push_back({static_cast<int>(from), static_cast<int>(to), cost});
    }
  }
  if (in.Remaining() != 0) return false;

  mNodes.swap(nodes);
  mEdgeLists.swap(lists);
  mEdgeListSorted.assign(layerCount, 1);  // the records ascend: checked above
  if (mLayerFunctions.size() < layerCount) mLayerFunctions.resize(layerCount);
  GraphChanged();
  return true;
}
