#include "glf/CulledMesh.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "glf/ViewVolume.h"

using Ru::Math::Vector3;

cCulledMesh::cCulledMesh(std::vector<float> positions, std::vector<uint32_t> indices, int trianglesPerChunk)
    : mPositions(std::move(positions)), mIndicesPerChunk(3 * std::max(1, trianglesPerChunk)) {
  // A triangle naming a vertex past the positions is left out: the driver would read beyond the array.
  const size_t vertexCount = mPositions.size() / 3;
  for (size_t t = 0; t + 3 <= indices.size(); t += 3)
    if (std::max({indices[t], indices[t + 1], indices[t + 2]}) < vertexCount)
      mIndices.insert(mIndices.end(), &indices[t], &indices[t] + 3);
  for (size_t first = 0; first < mIndices.size(); first += (size_t)mIndicesPerChunk) {
    const size_t end = std::min(mIndices.size(), first + (size_t)mIndicesPerChunk);
    Vector3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    for (size_t i = first; i < end; ++i) {
      const float* p = &mPositions[3 * (size_t)mIndices[i]];
      low = Vector3{std::min(low.x, p[0]), std::min(low.y, p[1]), std::min(low.z, p[2])};
      high = Vector3{std::max(high.x, p[0]), std::max(high.y, p[1]), std::max(high.z, p[2])};
    }
    const Vector3 centre{(low.x + high.x) * 0.5f, (low.y + high.y) * 0.5f, (low.z + high.z) * 0.5f};
    const float dx = high.x - centre.x, dy = high.y - centre.y, dz = high.z - centre.z;
    mChunks.push_back(cChunk{centre, std::sqrt(dx * dx + dy * dy + dz * dz)});
  }
}

const std::vector<cCulledMesh::cRun>& cCulledMesh::VisibleRuns(const cViewVolume& volume, float scale) {
  mRuns.clear();
  const float size = std::fabs(scale);
  for (size_t c = 0; c < mChunks.size(); ++c) {
    const Vector3& centre = mChunks[c].centre;
    if (volume.SphereOutside(Vector3{centre.x * scale, centre.y * scale, centre.z * scale}, mChunks[c].radius * size))
      continue;
    const int first = (int)c * mIndicesPerChunk;
    const int count = std::min(mIndicesPerChunk, (int)mIndices.size() - first);
    if (!mRuns.empty() && mRuns.back().first + mRuns.back().count == first) mRuns.back().count += count;
    else mRuns.push_back(cRun{first, count});
  }
  return mRuns;
}

void cCulledMesh::Draw(const cViewVolume& volume, float scale) {
  if (mIndices.empty()) return;
  glPushMatrix();
  glScalef(scale, scale, scale);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mPositions.data());
  for (const cRun& run : VisibleRuns(volume, scale))
    glDrawElements(GL_TRIANGLES, run.count, GL_UNSIGNED_INT, mIndices.data() + run.first);
  glPopClientAttrib();
  glPopMatrix();
}
