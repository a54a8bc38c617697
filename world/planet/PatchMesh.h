// Patch meshes: per cube face a regular grid of vertices on the displaced
// sphere, each with an activation level from how much it matters to the shape;
// per patch one triangle strip through exactly the vertices active at the
// patch's level, skirts along the edges, and the vertex arrays the sphere draws.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"
#include "world/planet/DisplacedSphere.h"

namespace nKoPlanet {

class cFaceGrid {
 public:
  cFaceGrid(uint32_t face, const cDisplacedSphereParams& params);  // positions, then levels

  uint32_t Face() const { return mFace; }
  uint32_t Size() const { return mSize; }
  uint32_t TopLevel() const { return mTopLevel; }
  uint32_t Exponent() const { return mParams.gridExponent; }
  const cDisplacedSphereParams& Params() const { return mParams; }
  const Ru::Math::Vector3& GetGridPosition(int x, int y) const { return mPositions[static_cast<size_t>(y) * mSize + x]; }
  int GetGridLevel(int x, int y) const { return mLevels[static_cast<size_t>(y) * mSize + x]; }
  void RaiseGridLevel(int x, int y, int level);
  // Closes the levels again (a vertex never active without those it depends
  // on) after some were raised from outside, as by the next face's edge.
  void CloseLevels();
  bool IsActive(int x, int y, int level) const { return GetGridLevel(x, y) >= level; }

 private:
  void ComputeErrors(int ax, int ay, int e1x, int e1y, int e2x, int e2y);
  void CloseSquare(int x, int y, int e, int k);

  uint32_t mFace;
  uint32_t mSize;
  uint32_t mTopLevel;
  cDisplacedSphereParams mParams;
  std::vector<Ru::Math::Vector3> mPositions;
  std::vector<int8_t> mLevels;
};

// Gives every vertex on a cube-face edge the higher of the levels the faces
// sharing it gave it, closes the faces again and repeats until they agree, so
// that patches of one level on either side of a face edge hold the same edge
// vertices and meet without a step. The faces' own errors and closures alone
// disagree along their edges.
void MatchFaceEdgeLevels(cFaceGrid* const grids[6]);

struct cPatchVertex {
  int16_t x = 0, y = 0;
  Ru::Math::Vector3 point;  // the skirt point of a skirt vertex
  uint8_t skirt = 0;
};

struct cGridPoint {
  int x, y;
  bool operator==(const cGridPoint& o) const { return x == o.x && y == o.y; }
};

// Grid vertex -> record number, by open hashing with power-of-two buckets.
class cPatchVertexMap {
 public:
  cPatchVertexMap() { Reset(); }
  void Reset();
  bool Find(int x, int y, uint32_t& record) const;
  void Insert(int x, int y, uint32_t record);
  size_t BucketCount() const { return mBuckets.size(); }

 private:
  struct Entry {
    int16_t x, y;
    uint32_t record;
  };
  static uint32_t Hash(int x, int y) {
    return static_cast<uint32_t>(static_cast<int16_t>(y)) * 103424u + static_cast<uint32_t>(static_cast<int16_t>(x));
  }
  void Rebuild(size_t target);
  uint32_t mCount = 0;
  std::vector<std::vector<Entry>> mBuckets;
};

class cPatchMeshBuilder {
 public:
  std::vector<cPatchVertex> vertices;
  std::vector<int32_t> strip;
  Ru::Math::Vector3 boxMin, boxMax;

  void Reset();
  uint32_t FindOrAddVertex(int x, int y);

 private:
  friend void ExtractPatchMesh(const cFaceGrid&, cPatchMeshBuilder&, uint32_t, uint32_t, uint32_t, int);
  cPatchVertexMap mMap;
};

void ExtractPatchMesh(const cFaceGrid& grid, cPatchMeshBuilder& builder, uint32_t patchX, uint32_t patchY,
                      uint32_t patchLevel, int childIndex);
void BuildPatchArrays(cTerrainPatch& patch, const cFaceGrid& grid, const cPatchMeshBuilder& builder);

}  // namespace nKoPlanet
