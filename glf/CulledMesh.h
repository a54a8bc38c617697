// A large indexed mesh drawn in its own triangle order, leaving out the runs
// of triangles that lie wholly outside the view. The fly/swim sea is a sphere
// of 131,072 triangles around the camera, most of them behind or beside it;
// handing only the runs in view to the driver keeps the picture and the order
// blended triangles are drawn in, and cuts the driver's vertex work.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"

class cViewVolume;

class cCulledMesh {
 public:
  struct cRun {
    int first, count;  // in indices, three per triangle
  };
  // `positions` x, y, z per vertex; `indices` three per triangle; the
  // triangles are grouped `trianglesPerChunk` at a time in their given order.
  cCulledMesh(std::vector<float> positions, std::vector<uint32_t> indices, int trianglesPerChunk);

  // The runs of chunks not wholly outside `volume` when the mesh is scaled by
  // `scale` about its origin; neighbouring chunks in view join into one run.
  const std::vector<cRun>& VisibleRuns(const cViewVolume& volume, float scale);
  // Draws those runs with positions only, scaled by `scale` (the caller sets
  // colour and state); leaves the client arrays as they were.
  void Draw(const cViewVolume& volume, float scale);

  int ChunkCount() const { return (int)mChunks.size(); }

 private:
  struct cChunk {
    Ru::Math::Vector3 centre;
    float radius;
  };
  std::vector<float> mPositions;
  std::vector<uint32_t> mIndices;
  int mIndicesPerChunk;
  std::vector<cChunk> mChunks;
  std::vector<cRun> mRuns;  // kept, so a frame does not allocate
};
