// Spheres made once as vertex arrays instead of tessellated on every call.
// The mesh holds exactly the vertices and normals gluSphere issues for the
// default quadric (filled, smooth normals, outside, no texture coordinates),
// in the same primitives (a fan at each pole, a quad strip per stack between),
// so the picture is the same; a frame hands the driver a few ready arrays
// instead of some hundred single-vertex calls per sphere.
//
// Switched off (SetPreparedGeometryEnabled(false)) spheres go through
// gluSphere again: the reference the picture comparisons draw against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct GLUquadric;

void SetPreparedGeometryEnabled(bool enabled);
bool IsPreparedGeometryEnabled();

struct cSphereMesh {
  std::vector<float> positions;  // x, y, z per vertex
  std::vector<float> normals;    // unit length
  struct cStrip {
    unsigned primitive;  // GL_TRIANGLE_FAN or GL_QUAD_STRIP
    int first, count;
  };
  std::vector<cStrip> strips;
  // The same, as glMultiDrawArrays takes them, sphere after sphere: two fans
  // each, and stacks - 2 quad strips each.
  std::vector<int> fanFirsts, fanCounts, stripFirsts, stripCounts;
  int spheres = 0;
};
// The mesh gluSphere(radius, slices, stacks) draws (slices >= 2, stacks >= 2).
cSphereMesh BuildSphereMesh(double radius, int slices, int stacks);
// `count` such spheres in one mesh, the i-th moved by offsets[3 i .. 3 i + 2]
// (the vertices are added to in float: the picture may differ from a
// translated gluSphere by rounding, a pixel here and there on an edge).
cSphereMesh BuildSphereCluster(double radius, int slices, int stacks, const float* offsets, int count);
// Triangles over shared vertices in object space, wound counter-clockwise seen
// from outside (from the side their normals point to).
struct cIndexedMesh {
  std::vector<float> positions, normals;  // x, y, z per vertex
  std::vector<uint32_t> indices;          // three per triangle
};
// Adds to `out` each distinct vertex of the `count` given (a position and a
// normal, 3 floats each; one repeated bit for bit is kept once) and returns
// each given vertex's index in `out`.
std::vector<uint32_t> KeepDistinctVertices(const float* positions, const float* normals, size_t count,
                                           cIndexedMesh& out);
// The same sphere as triangles over its distinct vertices (a vertex gluSphere
// issues twice, bit for bit the same, is kept once), so a batch of many shades
// each vertex once; each quad splits along the diagonal llvmpipe splits it on.
cIndexedMesh BuildIndexedSphere(double radius, int slices, int stacks);
// A geodesic sphere: the icosahedron's faces each cut into frequency^2
// triangles, every vertex on the sphere and its normal the unit direction. Its
// triangles are all of about one size, so it keeps the outline of a sphere of
// gluSphere's slices with under half as many: none are slivers at the poles.
cIndexedMesh BuildGeodesicSphere(float radius, int frequency);
// How far a mesh of triangles round the origin falls inside the sphere of
// `radius` at its worst (at the middle of its flattest face), as a share of it.
float MeshShortfall(const cIndexedMesh& mesh, float radius);

// Draws the mesh's first `spheres` spheres with two glMultiDrawArrays calls (a
// cylinder's mesh, one "sphere" of quad strips only, with one);
// leaves the client arrays as they were and the last normal current.
void DrawSphereMesh(const cSphereMesh& mesh, int spheres);
// Pushes the client arrays' state and points GL at lit geometry only:
// positions and normals (3 floats each), no colours or texture coordinates.
// The caller pops it (glPopClientAttrib) after drawing.
void PushLitArrays(const float* positions, const float* normals);

// Draws the sphere from a mesh kept per radius, slices and stacks (at most 64
// kept; others, and a disabled switch, go through gluSphere on `quadric`).
// Leaves the vertex and normal arrays disabled.
void DrawPreparedSphere(GLUquadric* quadric, double radius, int slices, int stacks);
int PreparedSphereCount();

// The cylinder gluCylinder(radius, radius, height, slices, stacks) draws
// (smooth normals, outside), as quad strips in one array. Its normals do not
// change along its length, so one stack draws the picture of many.
cSphereMesh BuildCylinderMesh(float radius, float height, int slices, int stacks);
// Draws it from a mesh kept per radius, height and slices (one stack; at most
// 64 kept, others go through gluCylinder on `quadric`).
void DrawPreparedCylinder(GLUquadric* quadric, float radius, float height, int slices);
// That kept mesh (made now when there is room), or null when there is none.
const cSphereMesh* FindPreparedCylinder(float radius, float height, int slices);

// Triangle arrays (positions, normals and colours, 3 floats a vertex, and
// optionally indices) that stay unchanged for many frames: handed to the
// driver once, in buffer objects where it offers them, and drawn from there
// every frame instead of being copied to it at every draw. The caller's
// arrays must stay as they were handed over until the next Keep: without
// buffer objects they are drawn from there, and a new context takes them anew.
class cKeptTriangles {
 public:
  cKeptTriangles() = default;
  cKeptTriangles(const cKeptTriangles&) = delete;
  cKeptTriangles& operator=(const cKeptTriangles&) = delete;
  ~cKeptTriangles();
  void Keep(const float* positions, const float* normals, const float* colours, size_t vertices,
            const uint32_t* indices, size_t indexCount);
  // Lit by the caller; leaves the client array state and the bound buffers as they were.
  void Draw();
  // Only the runs of indices given (`count` runs, each from firsts[i] for
  // counts[i] indices), in one call.
  void DrawRuns(const uint32_t* firsts, const int* counts, size_t runs);

 private:
  void Upload();
  bool Bind();    // the arrays enabled and pointed at; true when drawn from buffer objects
  void Unbind();
  unsigned int mBuffers[4] = {0, 0, 0, 0};  // positions, normals, colours, indices
  uint32_t mGeneration = 0;                 // the context's they were made in
  const float* mArrays[3] = {nullptr, nullptr, nullptr};
  const uint32_t* mIndices = nullptr;
  size_t mVertices = 0, mIndexCount = 0;
  std::vector<const void*> mRunStarts;  // kept between draws: no allocation
};
