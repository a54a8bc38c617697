#include "glf/PreparedGeometry.h"

#define GL_GLEXT_PROTOTYPES  // glMultiDrawArrays (OpenGL 1.4), which libGL exports
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

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

cIndexedSphere BuildIndexedSphere(double radius, int slices, int stacks) {
  const cSphereMesh mesh = BuildSphereMesh(radius, slices, stacks);
  cIndexedSphere out;
  std::map<std::array<uint32_t, 6>, uint32_t> seen;  // exact bits of position and normal
  std::vector<uint32_t> index(mesh.positions.size() / 3);
  for (size_t v = 0; v < index.size(); ++v) {
    std::array<uint32_t, 6> bits;
    std::memcpy(&bits[0], &mesh.positions[3 * v], 12);
    std::memcpy(&bits[3], &mesh.normals[3 * v], 12);
    auto [at, added] = seen.emplace(bits, (uint32_t)(out.positions.size() / 3));
    if (added) {
      out.positions.insert(out.positions.end(), &mesh.positions[3 * v], &mesh.positions[3 * v + 3]);
      out.normals.insert(out.normals.end(), &mesh.normals[3 * v], &mesh.normals[3 * v + 3]);
    }
    index[v] = at->second;
  }
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

void DrawSphereMesh(const cSphereMesh& mesh, int spheres) {
  if (spheres <= 0 || mesh.spheres <= 0) return;
  if (spheres > mesh.spheres) spheres = mesh.spheres;
  const int fans = (int)mesh.fanFirsts.size() / mesh.spheres * spheres;
  const int strips = (int)mesh.stripFirsts.size() / mesh.spheres * spheres;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
  glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
  // The pole fans, then every stack's strip, each kind in one call.
  glMultiDrawArrays(GL_TRIANGLE_FAN, mesh.fanFirsts.data(), mesh.fanCounts.data(), fans);
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
