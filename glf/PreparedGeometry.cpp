#include "glf/PreparedGeometry.h"

#define GL_GLEXT_PROTOTYPES  // glMultiDrawArrays (OpenGL 1.4), which libGL exports
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

#include "glf/DrawTally.h"
#include "glf/GLExtensions.h"

static bool gPreparedGeometryEnabled = true;

void SetPreparedGeometryEnabled(bool enabled) { gPreparedGeometryEnabled = enabled; }
bool IsPreparedGeometryEnabled() { return gPreparedGeometryEnabled; }

// Follows gluSphere's own arithmetic (float tables of sines and cosines, the
// poles pinned to the axis) so every vertex and normal is bit for bit its own.
cSphereMesh BuildSphereMesh(double radius, int slices, int stacks) {
  const double pi = 3.14159265358979323846;
  std::vector<float> sinA(slices + 1), cosA(slices + 1);
  std::vector<float> sinB(stacks + 1), cosB(stacks + 1), sinR(stacks + 1), cosR(stacks + 1);
  for (int i = 0; i < slices; ++i) {
    const float angle = (float)(2 * pi * i / slices);
    sinA[i] = (float)std::sin((double)angle);
    cosA[i] = (float)std::cos((double)angle);
  }
  for (int j = 0; j <= stacks; ++j) {
    const float angle = (float)(pi * j / stacks);
    sinB[j] = (float)std::sin((double)angle);
    cosB[j] = (float)std::cos((double)angle);
    sinR[j] = (float)(radius * std::sin((double)angle));
    cosR[j] = (float)(radius * std::cos((double)angle));
  }
  sinR[0] = sinR[stacks] = 0.0f;  // the poles come to a point
  sinB[0] = sinB[stacks] = 0.0f;
  sinA[slices] = sinA[0];
  cosA[slices] = cosA[0];

  cSphereMesh mesh;
  auto vertex = [&mesh](float nx, float ny, float nz, float x, float y, float z) {
    mesh.normals.insert(mesh.normals.end(), {nx, ny, nz});
    mesh.positions.insert(mesh.positions.end(), {x, y, z});
  };
  auto strip = [&mesh](unsigned primitive, int first) {
    mesh.strips.push_back({primitive, first, (int)mesh.positions.size() / 3 - first});
  };
  // The pole at +z: its normal is the one current before the fan begins.
  int first = 0;
  vertex(sinA[0] * sinB[0], cosA[0] * sinB[0], cosB[0], 0.0f, 0.0f, (float)radius);
  for (int i = slices; i >= 0; --i)
    vertex(sinA[i] * sinB[1], cosA[i] * sinB[1], cosB[1], sinR[1] * sinA[i], sinR[1] * cosA[i], cosR[1]);
  strip(GL_TRIANGLE_FAN, first);
  // The pole at -z.
  first = (int)mesh.positions.size() / 3;
  vertex(sinA[stacks] * sinB[stacks], cosA[stacks] * sinB[stacks], cosB[stacks], 0.0f, 0.0f, (float)-radius);
  const int last = stacks - 1;
  for (int i = 0; i <= slices; ++i)
    vertex(sinA[i] * sinB[last], cosA[i] * sinB[last], cosB[last], sinR[last] * sinA[i], sinR[last] * cosA[i],
           cosR[last]);
  strip(GL_TRIANGLE_FAN, first);
  // The stacks between, each a quad strip from its upper ring to its lower one.
  for (int j = 1; j < stacks - 1; ++j) {
    first = (int)mesh.positions.size() / 3;
    for (int i = 0; i <= slices; ++i) {
      vertex(sinA[i] * sinB[j + 1], cosA[i] * sinB[j + 1], cosB[j + 1], sinR[j + 1] * sinA[i], sinR[j + 1] * cosA[i],
             cosR[j + 1]);
      vertex(sinA[i] * sinB[j], cosA[i] * sinB[j], cosB[j], sinR[j] * sinA[i], sinR[j] * cosA[i], cosR[j]);
    }
    strip(GL_QUAD_STRIP, first);
  }
  for (size_t k = 0; k < mesh.strips.size(); ++k) {
    (k < 2 ? mesh.fanFirsts : mesh.stripFirsts).push_back(mesh.strips[k].first);
    (k < 2 ? mesh.fanCounts : mesh.stripCounts).push_back(mesh.strips[k].count);
  }
  mesh.spheres = 1;
  return mesh;
}

cSphereMesh BuildSphereCluster(double radius, int slices, int stacks, const float* offsets, int count) {
  const cSphereMesh one = BuildSphereMesh(radius, slices, stacks);
  cSphereMesh cluster;
  cluster.spheres = count;
  const int vertices = (int)one.positions.size() / 3;
  for (int s = 0; s < count; ++s) {
    for (size_t v = 0; v < one.positions.size(); ++v) cluster.positions.push_back(one.positions[v] + offsets[3 * s + v % 3]);
    cluster.normals.insert(cluster.normals.end(), one.normals.begin(), one.normals.end());
    for (const cSphereMesh::cStrip& strip : one.strips) cluster.strips.push_back({strip.primitive, strip.first + s * vertices, strip.count});
    for (size_t k = 0; k < one.fanFirsts.size(); ++k) {
      cluster.fanFirsts.push_back(one.fanFirsts[k] + s * vertices);
      cluster.fanCounts.push_back(one.fanCounts[k]);
    }
    for (size_t k = 0; k < one.stripFirsts.size(); ++k) {
      cluster.stripFirsts.push_back(one.stripFirsts[k] + s * vertices);
      cluster.stripCounts.push_back(one.stripCounts[k]);
    }
  }
  return cluster;
}

std::vector<uint32_t> KeepDistinctVertices(const float* positions, const float* normals, size_t count,
                                           cIndexedMesh& out) {
  std::map<std::array<uint32_t, 6>, uint32_t> seen;  // exact bits of position and normal
  std::vector<uint32_t> index(count);
  for (size_t v = 0; v < count; ++v) {
    std::array<uint32_t, 6> bits;
    std::memcpy(&bits[0], &positions[3 * v], 12);
    std::memcpy(&bits[3], &normals[3 * v], 12);
    auto [at, added] = seen.emplace(bits, (uint32_t)(out.positions.size() / 3));
    if (added) {
      out.positions.insert(out.positions.end(), &positions[3 * v], &positions[3 * v + 3]);
      out.normals.insert(out.normals.end(), &normals[3 * v], &normals[3 * v + 3]);
    }
    index[v] = at->second;
  }
  return index;
}

cIndexedMesh BuildIndexedSphere(double radius, int slices, int stacks) {
  const cSphereMesh mesh = BuildSphereMesh(radius, slices, stacks);
  cIndexedMesh out;
  const std::vector<uint32_t> index =
      KeepDistinctVertices(mesh.positions.data(), mesh.normals.data(), mesh.positions.size() / 3, out);
  auto triangle = [&](int a, int b, int c) { out.indices.insert(out.indices.end(), {index[a], index[b], index[c]}); };
  for (const cSphereMesh::cStrip& strip : mesh.strips) {
    const int f = strip.first;
    if (strip.primitive == GL_TRIANGLE_FAN) {
      for (int k = 1; k + 1 < strip.count; ++k) triangle(f, f + k, f + k + 1);
      continue;
    }
    // Quad (s0, s1, s3, s2) of the strip, cut from s0 to s3.
    for (int k = 0; k + 3 < strip.count; k += 2) {
      triangle(f + k, f + k + 1, f + k + 3);
      triangle(f + k, f + k + 3, f + k + 2);
    }
  }
  return out;
}

cIndexedMesh BuildGeodesicSphere(float radius, int frequency) {
  const int n = frequency < 1 ? 1 : frequency;
  const double t = (1.0 + std::sqrt(5.0)) / 2.0;
  const double corners[12][3] = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
                                 {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
  const int faces[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                            {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                            {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
  cIndexedMesh mesh;
  // A point of a face is a sum of corners with whole weights adding up to n;
  // written with its corners in order, the same point of two faces is one
  // key, worked out once, so neighbouring faces share their edge exactly.
  std::map<std::array<int, 6>, uint32_t> made;
  auto point = [&](int a, int wa, int b, int wb, int c, int wc) {
    std::array<std::pair<int, int>, 3> terms{{{a, wa}, {b, wb}, {c, wc}}};
    for (auto& term : terms)
      if (term.second == 0) term.first = -1;
    std::sort(terms.begin(), terms.end());
    const std::array<int, 6> key{terms[0].first, terms[0].second, terms[1].first,
                                 terms[1].second, terms[2].first, terms[2].second};
    auto [at, added] = made.emplace(key, (uint32_t)(mesh.positions.size() / 3));
    if (added) {
      double d[3] = {0, 0, 0};
      for (const auto& [corner, weight] : terms)
        for (int k = 0; corner >= 0 && k < 3; ++k) d[k] += corners[corner][k] * weight;
      const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      for (int k = 0; k < 3; ++k) {
        mesh.normals.push_back((float)(d[k] / length));
        mesh.positions.push_back((float)(d[k] / length * radius));
      }
    }
    return at->second;
  };
  for (const auto& f : faces) {
    const int a = f[0], b = f[1], c = f[2];
    // Point (i, j) lies i steps from a toward b and j toward c.
    auto at = [&](int i, int j) { return point(a, n - i - j, b, i, c, j); };
    for (int i = 0; i < n; ++i)
      for (int j = 0; i + j < n; ++j) {
        mesh.indices.insert(mesh.indices.end(), {at(i, j), at(i + 1, j), at(i, j + 1)});
        if (i + j + 1 < n) mesh.indices.insert(mesh.indices.end(), {at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
      }
  }
  return mesh;
}

float MeshShortfall(const cIndexedMesh& mesh, float radius) {
  if (!(radius > 0.0f)) return 0.0f;
  double nearest = radius;
  for (size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
    const float* p = &mesh.positions[3 * mesh.indices[t]];
    const float* q = &mesh.positions[3 * mesh.indices[t + 1]];
    const float* r = &mesh.positions[3 * mesh.indices[t + 2]];
    const double u[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]}, v[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0)) continue;
    // The distance of the face's plane from the centre: the face's point nearest it.
    nearest = std::min(nearest, std::fabs(n[0] * p[0] + n[1] * p[1] + n[2] * p[2]) / length);
  }
  return (float)(1.0 - nearest / radius);
}

void PushLitArrays(const float* positions, const float* normals) {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, positions);
  glNormalPointer(GL_FLOAT, 0, normals);
}

void DrawSphereMesh(const cSphereMesh& mesh, int spheres) {
  if (spheres <= 0 || mesh.spheres <= 0) return;
  if (spheres > mesh.spheres) spheres = mesh.spheres;
  const int fans = (int)mesh.fanFirsts.size() / mesh.spheres * spheres;
  const int strips = (int)mesh.stripFirsts.size() / mesh.spheres * spheres;
  // A fan of n vertices is n - 2 triangles, a quad strip of n vertices n - 2.
  uint64_t triangles = 0, vertices = 0;
  for (int k = 0; k < fans; ++k) {
    triangles += (uint64_t)(mesh.fanCounts[k] - 2);
    vertices += (uint64_t)mesh.fanCounts[k];
  }
  for (int k = 0; k < strips; ++k) {
    triangles += (uint64_t)(mesh.stripCounts[k] - 2);
    vertices += (uint64_t)mesh.stripCounts[k];
  }
  CountGLDraw(vertices, triangles);
  PushLitArrays(mesh.positions.data(), mesh.normals.data());
  // The pole fans, then every stack's strip, each kind in one call.
  if (fans > 0) glMultiDrawArrays(GL_TRIANGLE_FAN, mesh.fanFirsts.data(), mesh.fanCounts.data(), fans);
  if (strips > 0) glMultiDrawArrays(GL_QUAD_STRIP, mesh.stripFirsts.data(), mesh.stripCounts.data(), strips);
  glPopClientAttrib();
  // gluSphere leaves its last normal current; so does this.
  const float* n = &mesh.normals[mesh.normals.size() - 3];
  glNormal3f(n[0], n[1], n[2]);
}

namespace {
// A cap on the distinct spheres kept: shapes whose scale changes every frame
// must not grow the table without end.
constexpr size_t kMaxPreparedSpheres = 64;
std::map<std::tuple<double, int, int>, cSphereMesh>& PreparedSpheres() {
  static auto* spheres = new std::map<std::tuple<double, int, int>, cSphereMesh>();
  return *spheres;
}
}  // namespace

void DrawPreparedSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
  if (!gPreparedGeometryEnabled || slices < 2 || stacks < 2) return gluSphere(quadric, radius, slices, stacks);
  auto& spheres = PreparedSpheres();
  const auto key = std::make_tuple(radius, slices, stacks);
  auto found = spheres.find(key);
  if (found == spheres.end()) {
    if (spheres.size() >= kMaxPreparedSpheres) return gluSphere(quadric, radius, slices, stacks);
    found = spheres.emplace(key, BuildSphereMesh(radius, slices, stacks)).first;
  }
  DrawSphereMesh(found->second, 1);
}

int PreparedSphereCount() { return (int)PreparedSpheres().size(); }

cSphereMesh BuildCylinderMesh(float radius, float height, int slices, int stacks) {
  const double pi = 3.14159265358979323846;
  std::vector<float> sinA(slices + 1), cosA(slices + 1);
  for (int i = 0; i < slices; ++i) {
    const float angle = (float)(2 * pi * i / slices);
    sinA[i] = (float)std::sin((double)angle);
    cosA[i] = (float)std::cos((double)angle);
  }
  sinA[slices] = sinA[0];
  cosA[slices] = cosA[0];
  cSphereMesh mesh;
  for (int j = 0; j < stacks; ++j) {
    const float low = (float)j * height / (float)stacks, high = (float)(j + 1) * height / (float)stacks;
    const int first = (int)mesh.positions.size() / 3;
    for (int i = 0; i <= slices; ++i)
      for (const float z : {low, high}) {
        mesh.normals.insert(mesh.normals.end(), {sinA[i], cosA[i], 0.0f});
        mesh.positions.insert(mesh.positions.end(), {radius * sinA[i], radius * cosA[i], z});
      }
    mesh.strips.push_back({GL_QUAD_STRIP, first, 2 * (slices + 1)});
    mesh.stripFirsts.push_back(first);
    mesh.stripCounts.push_back(2 * (slices + 1));
  }
  mesh.spheres = 1;
  return mesh;
}

namespace {
std::map<std::tuple<float, float, int>, cSphereMesh>& PreparedCylinders() {
  static auto* cylinders = new std::map<std::tuple<float, float, int>, cSphereMesh>();
  return *cylinders;
}
}  // namespace

const cSphereMesh* FindPreparedCylinder(float radius, float height, int slices) {
  if (slices < 2) return nullptr;
  auto& cylinders = PreparedCylinders();
  const auto key = std::make_tuple(radius, height, slices);
  auto found = cylinders.find(key);
  if (found == cylinders.end()) {
    if (cylinders.size() >= kMaxPreparedSpheres) return nullptr;
    found = cylinders.emplace(key, BuildCylinderMesh(radius, height, slices, 1)).first;
  }
  return &found->second;
}

void DrawPreparedCylinder(GLUquadric* quadric, float radius, float height, int slices) {
  const cSphereMesh* mesh = gPreparedGeometryEnabled ? FindPreparedCylinder(radius, height, slices) : nullptr;
  if (!mesh) return gluCylinder(quadric, radius, radius, height, slices, 1);
  DrawSphereMesh(*mesh, 1);  // its quad strips; the last normal current, as gluCylinder leaves it
}

cKeptTriangles::~cKeptTriangles() {
  if (mBuffers[0] && mGeneration == GetGLContextGeneration()) nGLExt::glDeleteBuffersARB(4, mBuffers);
}

void cKeptTriangles::Keep(const float* positions, const float* normals, const float* colours, size_t vertices,
                          const uint32_t* indices, size_t indexCount) {
  mVertices = vertices;
  mIndexCount = indices ? indexCount : 0;
  mArrays[0] = positions, mArrays[1] = normals, mArrays[2] = colours;
  mIndices = indices;
  Upload();
}

void cKeptTriangles::Upload() {
  if (mGeneration != GetGLContextGeneration()) {  // the names were the last context's: forgotten, not deleted
    for (unsigned int& buffer : mBuffers) buffer = 0;
    mGeneration = GetGLContextGeneration();
  }
  if (!IsGLEntryPointLoaded("glBindBufferARB")) return;  // drawn from the caller's arrays
  if (!mBuffers[0]) nGLExt::glGenBuffersARB(4, mBuffers);
  const size_t vertices = mVertices;
  for (int a = 0; a < 3; ++a) {
    nGLExt::glBindBufferARB(GL_ARRAY_BUFFER_ARB, mBuffers[a]);
    nGLExt::glBufferDataARB(GL_ARRAY_BUFFER_ARB, (GLsizeiptrARB)(vertices * 3 * sizeof(float)), mArrays[a],
                            GL_STATIC_DRAW_ARB);
  }
  nGLExt::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  nGLExt::glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, mBuffers[3]);
  nGLExt::glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, (GLsizeiptrARB)(mIndexCount * sizeof(uint32_t)), mIndices,
                          GL_STATIC_DRAW_ARB);
  nGLExt::glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

bool cKeptTriangles::Bind() {
  if (mGeneration != GetGLContextGeneration()) Upload();
  const bool buffers = mBuffers[0] != 0;
  // In a buffer object an array's pointer is its offset: 0.
  auto array = [&](int a) -> const float* {
    if (buffers) nGLExt::glBindBufferARB(GL_ARRAY_BUFFER_ARB, mBuffers[a]);
    return buffers ? nullptr : mArrays[a];
  };
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, array(0));
  glNormalPointer(GL_FLOAT, 0, array(1));
  glColorPointer(3, GL_FLOAT, 0, array(2));
  if (buffers) nGLExt::glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
  if (buffers && mIndices) nGLExt::glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, mBuffers[3]);
  return buffers;
}

void cKeptTriangles::Unbind() {
  if (mBuffers[0] && mIndices) nGLExt::glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  glPopClientAttrib();
}

void cKeptTriangles::Draw() {
  if (mVertices == 0 || (mIndices && mIndexCount == 0)) return;
  CountGLDraw(mVertices, (mIndices ? mIndexCount : mVertices) / 3);
  const bool buffers = Bind();
  if (!mIndices) glDrawArrays(GL_TRIANGLES, 0, (GLsizei)mVertices);
  else glDrawElements(GL_TRIANGLES, (GLsizei)mIndexCount, GL_UNSIGNED_INT, buffers ? nullptr : mIndices);
  Unbind();
}

void cKeptTriangles::DrawRuns(const uint32_t* firsts, const int* counts, size_t runs) {
  if (mVertices == 0 || !mIndices || runs == 0) return;
  uint64_t indices = 0;
  for (size_t k = 0; k < runs; ++k) indices += (uint64_t)counts[k];
  CountGLDraw(mVertices, indices / 3);
  const bool buffers = Bind();
  // In a buffer object a run's start is its byte offset.
  mRunStarts.resize(runs);
  for (size_t k = 0; k < runs; ++k)
    mRunStarts[k] =
        buffers ? (const void*)(uintptr_t)(firsts[k] * sizeof(uint32_t)) : (const void*)(mIndices + firsts[k]);
  glMultiDrawElements(GL_TRIANGLES, counts, GL_UNSIGNED_INT, mRunStarts.data(), (GLsizei)runs);
  Unbind();
}
