// Many still objects drawn as a few kept meshes. A software renderer pays per
// triangle set up and per call, and copying or rebuilding the vertices of a
// thousand buildings each frame costs the main thread as much again; so the
// objects a batch is handed in a frame are filed into groups by the cell of
// space they stand in, and each group is one world-space mesh that the driver
// keeps (in buffer objects where it offers them). A group is made again only
// when one of its objects changed (moved, turned, took another colour, scale,
// mesh or level of detail, came or went). Of a group only the objects that
// can reach a pixel are drawn, as runs of its kept indices in one call: an
// object wholly outside the view, or behind the planet, is left out. Nothing
// kept depends on where the eye is: faces turned away are left to GL's
// culling, which drops them before they are set up, so a moving camera
// rebuilds nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "glf/PreparedGeometry.h"
#include "math/Types.h"

// One object of a batch in a frame, as its group keeps it.
struct cKeptItem {
  const cIndexedMesh* mesh = nullptr;
  uint64_t meshVersion = 0;      // new whenever what the mesh holds changes
  Ru::Math::Matrix4 world;       // object to world
  Ru::Math::Vector3 colour;
  Ru::Math::Vector3 scale{1.0f, 1.0f, 1.0f};  // applied in object space before `world`
  float ball = 0.0f;             // hidden behind the ball of this radius about the origin (0: never)
  bool operator==(const cKeptItem& o) const;
};

class cKeptGroups {
 public:
  static constexpr float kCellSize = 128.0f;  // a city's worth of buildings falls in a few

  // Files this frame's objects (in drawing order) into their groups, makes
  // again the groups that changed, forgets those left empty, and draws those
  // in view under the loaded matrices, lit by the caller. A closed batch
  // (boxes, spheres) is drawn with its back faces culled. Leaves the client
  // arrays, the culling and the bound buffers as they were.
  void Draw(const std::vector<cKeptItem>& items, bool closed);

  // What the last Draw did, for tests and the benchmark.
  struct cStats {
    int groups = 0, drawn = 0, rebuilt = 0;
    uint64_t triangles = 0;  // handed to GL
    size_t objects = 0;      // drawn (not left out as out of sight or a repeat)
    size_t repeats = 0;      // objects left out of their meshes: another drew the very same triangles first
  };
  const cStats& LastStats() const { return mStats; }
  uint32_t GetMakes() const { return mMakes; }  // groups made so far

 private:
  // An object's part of its group's mesh: its bounds and its run of indices.
  struct cSpan {
    Ru::Math::Vector3 centre;
    float radius;
    uint32_t first, count;
  };
  struct cGroup {
    std::vector<cKeptItem> items, made;  // this frame's; those the mesh was made of
    std::vector<cSpan> spans;
    std::vector<float> positions, normals, colours;
    std::vector<uint32_t> indices;
    cKeptTriangles kept;
    Ru::Math::Vector3 centre;
    float radius = 0.0f;
    float ball = 0.0f;  // the smallest of its objects'
    size_t repeats = 0;
  };
  using cCell = std::tuple<int, int, int>;
  static cCell CellOf(const cKeptItem& item);
  static void Make(cGroup& group);

  std::map<cCell, cGroup> mGroups;  // ordered by cell: the same drawing order on every run
  std::vector<uint32_t> mFirsts;    // the runs drawn of a group: kept between frames, no allocation
  std::vector<int> mCounts;
  cStats mStats;
  uint32_t mMakes = 0;
};
