#include "world/planet/DisplacedSphere.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "glf/DebugWindow.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "platform/Sys.h"
#include "glf/GLExtensions.h"
#include "world/planet/LandColourRamp.h"
#include "world/planet/PatchMesh.h"

namespace nKoPlanet {

using Ru::Math::Vector3;

namespace {

std::vector<cColour3> gLandColours;
const int32_t* gWireframeFlag = nullptr;

// The ramp used when the image is missing: deep to shallow water, sand,
// greens, browns, rock and snow, by height above the base radius (entry i is
// 40 * i / 255 above it; sea level is 4).
// The same ramp the generator writes, read as if from the file.
std::vector<cColour3> ColoursFromRgb(const std::vector<uint8_t>& rgb) {
  std::vector<cColour3> table(256);
  for (int i = 0; i < 256; ++i)
    table[i] = cColour3{rgb[i * 3] * 0.00390625f, rgb[i * 3 + 1] * 0.00390625f, rgb[i * 3 + 2] * 0.00390625f};
  return table;
}

void LoadLandColours() {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  const char* path = ".\\Data\\Textures\\landcolor.bmp";
  std::string refusal;
  if (!Sys_LoadImageRGB(path, width, height, rgb, refusal) || rgb.size() < 256 * 3) {
    if (!refusal.empty()) {
      Sys_Print(SysStream::Err, "warning: %s; using the built-in colour ramp\n", refusal.c_str());
      DebugPrintf("warning: %s; using the built-in colour ramp\n", refusal.c_str());
    } else {
      Sys_Print(SysStream::Err, "warning: %s is missing, cannot be decoded or holds fewer than 256 pixels; "
                   "using the built-in colour ramp\n", "landcolor.bmp");
      DebugPrintf("warning: landcolor.bmp is missing, damaged or too small; using the built-in colour ramp\n");
    }
    gLandColours = ColoursFromRgb(BuildLandColourRamp());
    return;
  }
  gLandColours = ColoursFromRgb(rgb);
}

// Distance from the origin to the nearest point of triangle abc (closest
// point by the triangle's regions: vertex, edge or face).
float DistanceFromCentre(const Vector3& a, const Vector3& b, const Vector3& c) {
  using namespace Ru::Math;
  const Vector3 ab = Vector3Sub(b, a), ac = Vector3Sub(c, a), ap = Vector3Negate(a);
  const float d1 = Vector3Dot(ab, ap), d2 = Vector3Dot(ac, ap);
  if (d1 <= 0.0f && d2 <= 0.0f) return Vector3Length(a);
  const Vector3 bp = Vector3Negate(b);
  const float d3 = Vector3Dot(ab, bp), d4 = Vector3Dot(ac, bp);
  if (d3 >= 0.0f && d4 <= d3) return Vector3Length(b);
  const float vc = d1 * d4 - d3 * d2;
  if (vc <= 0.0f && d1 >= 0.0f && d3 <= 0.0f) return Vector3Length(Vector3Add(a, Vector3Scale(ab, d1 / (d1 - d3))));
  const Vector3 cp = Vector3Negate(c);
  const float d5 = Vector3Dot(ab, cp), d6 = Vector3Dot(ac, cp);
  if (d6 >= 0.0f && d5 <= d6) return Vector3Length(c);
  const float vb = d5 * d2 - d1 * d6;
  if (vb <= 0.0f && d2 >= 0.0f && d6 <= 0.0f) return Vector3Length(Vector3Add(a, Vector3Scale(ac, d2 / (d2 - d6))));
  const float va = d3 * d6 - d5 * d4;
  if (va <= 0.0f && d4 - d3 >= 0.0f && d5 - d6 >= 0.0f)
    return Vector3Length(Vector3Add(b, Vector3Scale(Vector3Sub(c, b), (d4 - d3) / ((d4 - d3) + (d5 - d6)))));
  const float sum = va + vb + vc;
  if (!(sum > 0.0f)) return std::min({Vector3Length(a), Vector3Length(b), Vector3Length(c)});  // degenerate
  return Vector3Length(Vector3Add(a, Vector3Add(Vector3Scale(ab, vb / sum), Vector3Scale(ac, vc / sum))));
}

}  // namespace

const std::vector<cColour3>& LandColourTable() {
  if (gLandColours.empty()) LoadLandColours();
  return gLandColours;
}

void ResetLandColourTableForTest() { gLandColours.clear(); }
void SetWireframeFlag(const int32_t* flag) { gWireframeFlag = flag; }

cTerrainPatch::cTerrainPatch() { (void)LandColourTable(); }

cTerrainPatch::~cTerrainPatch() {
  for (cTerrainPatch*& child : children) {
    delete child;
    child = nullptr;
  }
}

// The sphere owns its patch trees, so they go with it (a sphere rebuilt or
// dropped must not leak some hundred megabytes of meshes).
cDisplacedSphere::~cDisplacedSphere() { ReleasePatches(); }

bool cDisplacedSphere::Init(cDisplacedSphereParams params) {
  ReleasePatches();
  mParams = params;
  (void)LandColourTable();
  std::unique_ptr<cFaceGrid> grids[6];
  ForEachFace([&](uint32_t face) { grids[face] = std::make_unique<cFaceGrid>(face, mParams); });
  cFaceGrid* const shared[6] = {grids[0].get(), grids[1].get(), grids[2].get(), grids[3].get(), grids[4].get(), grids[5].get()};
  MatchFaceEdgeLevels(shared);
  ForEachFace([&](uint32_t face) {
    mRoots[face] = new cTerrainPatch();
    BuildPatch(mRoots[face], *grids[face], face, 1, 1, mParams.levelCount, -1);
  });
  // Every patch's ground, at any level, lies outside this ball, so whatever
  // patches are chosen the drawn ground closes around it and hides what it
  // hides. A little below, for rounding.
  mOccluderRadius = std::numeric_limits<float>::max();
  std::vector<const cTerrainPatch*> stack(mRoots, mRoots + 6);
  while (!stack.empty()) {
    const cTerrainPatch* patch = stack.back();
    stack.pop_back();
    mOccluderRadius = std::min(mOccluderRadius, patch->groundInnerRadius);
    for (const cTerrainPatch* child : patch->children)
      if (child) stack.push_back(child);
  }
  mOccluderRadius *= 0.999f;
  return true;
}

void cDisplacedSphere::ForEachFace(const std::function<void(uint32_t)>& work) {
  if (!mBuildOnThreads) {
    for (uint32_t face = 0; face < 6; ++face) work(face);
    return;
  }
  // Each face reads only the parameters, its own grid and what no one writes
  // meanwhile (the height map, the colour table) and writes only its own grid
  // or tree, so the faces are built side by side: the same result as one
  // after another, in a fraction of the start-up.
  std::vector<std::thread> helpers;
  for (uint32_t face = 1; face < 6; ++face) {
    try {
      helpers.emplace_back(work, face);
    } catch (const std::system_error&) {
      work(face);  // no thread to be had: this face on the calling thread
    }
  }
  work(0);
  for (std::thread& helper : helpers) helper.join();
}

void cDisplacedSphere::BuildPatch(cTerrainPatch* patch, const cFaceGrid& grid, uint32_t face, uint32_t parentX,
                                  uint32_t parentY, uint32_t parentLevel, int childIndex) {
  patch->face = face;
  patch->X = 2 * parentX - 1;
  patch->Y = 2 * parentY - 1;
  patch->level = parentLevel - 1;
  if (childIndex == 1 || childIndex == 2) ++patch->X;
  if (childIndex == 2 || childIndex == 3) ++patch->Y;
  if (childIndex < 0) patch->X = patch->Y = 1;
  patch->size = 1.0f / static_cast<float>(1u << ((mParams.levelCount - 1u) - patch->level));
  if (patch->level >= 1) {
    for (int i = 0; i < 4; ++i) {
      patch->children[i] = new cTerrainPatch();
      BuildPatch(patch->children[i], grid, face, patch->X, patch->Y, patch->level, i);
    }
  }
  cPatchMeshBuilder builder;
  ExtractPatchMesh(grid, builder, patch->X, patch->Y, patch->level, childIndex);
  BuildPatchArrays(*patch, grid, builder);
  Sys_Write(SysStream::Out, ".", 1);
  patch->boundsMin = builder.boxMin;
  patch->boundsMax = builder.boxMax;
  patch->meshMin = patch->meshMax = patch->positions.empty() ? builder.boxMin : patch->positions.front();
  for (const Vector3& p : patch->positions)
    for (int k = 0; k < 3; ++k) {
      patch->meshMin[k] = std::min(patch->meshMin[k], p[k]);
      patch->meshMax[k] = std::max(patch->meshMax[k], p[k]);
    }
  patch->treeMin = patch->meshMin;
  patch->treeMax = patch->meshMax;
  for (const cTerrainPatch* child : patch->children)
    if (child)
      for (int k = 0; k < 3; ++k) {
        patch->treeMin[k] = std::min(patch->treeMin[k], child->treeMin[k]);
        patch->treeMax[k] = std::max(patch->treeMax[k], child->treeMax[k]);
      }
  // The positions follow the builder's vertices, which say which are skirt points.
  const bool skirtKnown = patch->positions.size() == builder.vertices.size();
  patch->groundInnerRadius = std::numeric_limits<float>::max();
  for (size_t i = 0; i + 2 < patch->indices.size(); i += 3) {
    const uint32_t a = patch->indices[i], b = patch->indices[i + 1], c = patch->indices[i + 2];
    if (skirtKnown && (builder.vertices[a].skirt || builder.vertices[b].skirt || builder.vertices[c].skirt)) continue;
    patch->groundInnerRadius = std::min(
        patch->groundInnerRadius, DistanceFromCentre(patch->positions[a], patch->positions[b], patch->positions[c]));
  }
}

bool cDisplacedSphere::ReleasePatches() {
  for (auto& list : mDrawLists) list.clear();
  for (cTerrainPatch*& root : mRoots) {
    delete root;
    root = nullptr;
  }
  return true;
}

float PatchScreenArea(const cTerrainPatch& patch, const Vector3& view, const float c[16]) {
  const float lo = (patch.X - 1) * patch.size, hi = patch.X * patch.size;
  const float vlo = (patch.Y - 1) * patch.size, vhi = patch.Y * patch.size;
  const float corners[4][2] = {{lo, vlo}, {hi, vlo}, {hi, vhi}, {lo, vhi}};
  float m = 1.0f;
  for (const auto& corner : corners)
    m = std::min(m, Ru::Math::Vector3Dot(FaceCoordinateToDirection(patch.face, corner[0], corner[1]), view));
  if (m > 0.8f) return 0.0f;  // wholly on the far side
  float minX = 32000.0f, minY = 32000.0f, maxX = -32000.0f, maxY = -32000.0f;
  for (int i = 0; i < 8; ++i) {
    const float px = (i & 1) ? patch.boundsMax.x : patch.boundsMin.x;
    const float py = (i & 2) ? patch.boundsMax.y : patch.boundsMin.y;
    const float pz = (i & 4) ? patch.boundsMax.z : patch.boundsMin.z;
    float x = px * c[0] + py * c[4] + pz * c[8] + c[12];
    float y = px * c[1] + py * c[5] + pz * c[9] + c[13];
    float w = px * c[3] + py * c[7] + pz * c[11] + c[15];
    if (std::fabs(w) <= 0.00001f) {
      x = x > 0.0f ? 32000.0f : -32000.0f;
      y = y > 0.0f ? 32000.0f : -32000.0f;
    } else {
      x /= std::fabs(w);
      y /= std::fabs(w);
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  return (maxX - minX) * (maxY - minY);
}

bool PatchOutsideView(const cTerrainPatch& patch, const float c[16]) {
  return BoxOutsideView(patch.meshMin, patch.meshMax, c);
}

bool BoxOutsideView(const Vector3& low, const Vector3& high, const float c[16]) {
  // Clip coordinates of the eight corners; outside a side means x > w, x < -w
  // (and so on) for all of them alike.
  int outside[6] = {0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    const float px = (i & 1) ? high.x : low.x;
    const float py = (i & 2) ? high.y : low.y;
    const float pz = (i & 4) ? high.z : low.z;
    const float clip[3] = {px * c[0] + py * c[4] + pz * c[8] + c[12], px * c[1] + py * c[5] + pz * c[9] + c[13],
                           px * c[2] + py * c[6] + pz * c[10] + c[14]};
    const float w = px * c[3] + py * c[7] + pz * c[11] + c[15];
    for (int k = 0; k < 3; ++k) {
      outside[2 * k] += clip[k] > w;
      outside[2 * k + 1] += clip[k] < -w;
    }
  }
  for (int side : outside)
    if (side == 8) return true;
  return false;
}

bool BoxBeyondHorizon(const Vector3& low, const Vector3& high, const Vector3& eye, float radius) {
  const float r2 = radius * radius;
  if (!(Ru::Math::Vector3Dot(eye, eye) > r2)) return false;  // an eye inside the ball sees no horizon
  for (int i = 0; i < 8; ++i) {
    const Vector3 corner{(i & 1) ? high.x : low.x, (i & 2) ? high.y : low.y, (i & 4) ? high.z : low.z};
    // The point of the segment eye-corner nearest the centre.
    const Vector3 d = Ru::Math::Vector3Sub(corner, eye);
    const float dd = Ru::Math::Vector3Dot(d, d);
    const float t = dd > 0.0f ? std::clamp(-Ru::Math::Vector3Dot(eye, d) / dd, 0.0f, 1.0f) : 0.0f;
    const Vector3 nearest = Ru::Math::Vector3Add(eye, Ru::Math::Vector3Scale(d, t));
    if (!(Ru::Math::Vector3Dot(nearest, nearest) < r2)) return false;
  }
  return true;
}

bool cDisplacedSphere::SubtreeHidden(const cTerrainPatch& patch, const float combined[16]) const {
  if (!mTrimHidden) return false;
  if (mEyeKnown && BoxBeyondHorizon(patch.treeMin, patch.treeMax, mEye, mOccluderRadius)) return true;
  return BoxOutsideView(patch.treeMin, patch.treeMax, combined);
}

void cDisplacedSphere::Visit(cTerrainPatch* patch, const Vector3& view, const float combined[16], float threshold,
                             std::vector<cTerrainPatch*>& list) {
  const float area = PatchScreenArea(*patch, view, combined);
  if (!(area > 0.0f)) return;
  // Hidden, it is neither split nor drawn: a patch behind the planet's limb
  // can cover much of the screen, and its fine children (and the splits they
  // forced across face edges) were most of what was drawn from afar.
  if (SubtreeHidden(*patch, combined)) return;
  if (patch->children[0] && area > threshold) {
    for (cTerrainPatch* child : patch->children) Visit(child, view, combined, threshold, list);
  } else if (!PatchOutsideView(*patch, combined)) {
    list.push_back(patch);
  }
}

void cDisplacedSphere::UpdateLevelOfDetail(const float m[16], const float p[16], float splitThreshold) {
  for (auto& list : mDrawLists) list.clear();
  // The camera looks along eye -z; for a rigid model-view that is minus the
  // third column of its rotation in planet coordinates.
  const Vector3 view{-m[2], -m[6], -m[10]};
  // (p, 1) * M * P: both arrays are in OpenGL memory order, which is the math library's.
  Ru::Math::Matrix4 modelView, projection;
  std::copy(m, m + 16, modelView.m);
  std::copy(p, p + 16, projection.m);
  const Ru::Math::Matrix4 combined = Ru::Math::Matrix4Multiply(modelView, projection);
  Ru::Math::Matrix4 inverse;
  mEyeKnown = Ru::Math::Matrix4Inverse(modelView, inverse) != 0.0f;
  if (mEyeKnown) mEye = Vector3{inverse.m[12], inverse.m[13], inverse.m[14]};
  for (uint32_t face = 0; face < 6; ++face)
    if (mRoots[face]) Visit(mRoots[face], view, combined.m, splitThreshold, mDrawLists[face]);
  MatchLevelsAcrossFaceEdges(view, combined.m);
}

void cDisplacedSphere::MatchLevelsAcrossFaceEdges(const Vector3& view, const float combined[16]) {
  if (mParams.levelCount == 0) return;
  // The drawn patch over each leaf square of each face (null where none is drawn).
  const int cells = 1 << (mParams.levelCount - 1u);
  std::vector<const cTerrainPatch*> cover(static_cast<size_t>(6) * cells * cells);
  auto at = [&](uint32_t face, int a, int b) -> const cTerrainPatch*& {
    return cover[(static_cast<size_t>(face) * cells + b) * cells + a];
  };
  std::vector<const cTerrainPatch*> coarser;
  for (;;) {
    std::fill(cover.begin(), cover.end(), nullptr);
    for (uint32_t face = 0; face < 6; ++face)
      for (const cTerrainPatch* patch : mDrawLists[face]) {
        const int span = 1 << patch->level;
        for (int b = (patch->Y - 1) * span; b < static_cast<int>(patch->Y) * span; ++b)
          for (int a = (patch->X - 1) * span; a < static_cast<int>(patch->X) * span; ++a) at(face, a, b) = patch;
      }
    // A drawn square on a face's rim against a finer one across the edge: its patch splits.
    coarser.clear();
    const float step = 1.0f / static_cast<float>(cells);
    for (uint32_t face = 0; face < 6; ++face)
      for (int b = 0; b < cells; ++b)
        for (int a = 0; a < cells; ++a) {
          const cTerrainPatch* patch = at(face, a, b);
          if (!patch || (a != 0 && a != cells - 1 && b != 0 && b != cells - 1)) continue;
          const float u = (static_cast<float>(a) + 0.5f) * step, v = (static_cast<float>(b) + 0.5f) * step;
          const float beyond[4][2] = {{u - step, v}, {u + step, v}, {u, v - step}, {u, v + step}};
          for (const auto& point : beyond) {
            if (point[0] > 0.0f && point[0] < 1.0f && point[1] > 0.0f && point[1] < 1.0f) continue;  // same face
            const cCellCoordinate next =
                FaceCoordinateToCell(NormalizeFaceCoordinate(cFaceCoordinate{face, point[0], point[1]}), cells, cells);
            const cTerrainPatch* other = next.face < kNoFace ? at(next.face, next.a, next.b) : nullptr;
            if (other && other->level < patch->level && std::find(coarser.begin(), coarser.end(), patch) == coarser.end())
              coarser.push_back(patch);
          }
        }
    if (coarser.empty()) return;
    for (auto& list : mDrawLists) {
      std::vector<cTerrainPatch*> refined;
      refined.reserve(list.size() + 3);
      for (cTerrainPatch* patch : list) {
        if (std::find(coarser.begin(), coarser.end(), patch) == coarser.end()) {
          refined.push_back(patch);
          continue;
        }
        // Its children as the visit would draw them: none that faces away or lies outside the view.
        for (cTerrainPatch* child : patch->children)
          if (child && PatchScreenArea(*child, view, combined) > 0.0f && !SubtreeHidden(*child, combined) &&
              !PatchOutsideView(*child, combined))
            refined.push_back(child);
      }
      list.swap(refined);
    }
  }
}

void cDisplacedSphere::Draw() {
  glCullFace(GL_BACK);
  glEnable(GL_CULL_FACE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  const bool wireframe = gWireframeFlag && *gWireframeFlag != 0;
  glPolygonMode(GL_FRONT_AND_BACK, wireframe ? GL_LINE : GL_FILL);
  for (const auto& list : mDrawLists)
    for (const cTerrainPatch* patch : list) {
      if (patch->indices.empty()) continue;
      glVertexPointer(3, GL_FLOAT, 12, patch->positions.data());
      glNormalPointer(GL_FLOAT, 12, patch->normals.data());
      glColorPointer(3, GL_FLOAT, 12, patch->colours.data());
      glTexCoordPointer(2, GL_FLOAT, 8, patch->texCoords.data());
      nGLExt::glLockArraysEXT(0, static_cast<GLsizei>(patch->positions.size()));
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(patch->indices.size()), GL_UNSIGNED_INT, patch->indices.data());
      nGLExt::glUnlockArraysEXT();
    }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_CULL_FACE);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

size_t cDisplacedSphere::CountDrawnTriangles() const {
  size_t triangles = 0;
  for (const auto& list : mDrawLists)
    for (const cTerrainPatch* patch : list) triangles += patch->indices.size() / 3;
  return triangles;
}

size_t cDisplacedSphere::LargestPatchVertexCount() const {
  size_t largest = 0;
  std::vector<const cTerrainPatch*> stack;
  for (const cTerrainPatch* root : mRoots)
    if (root) stack.push_back(root);
  while (!stack.empty()) {
    const cTerrainPatch* p = stack.back();
    stack.pop_back();
    largest = std::max(largest, p->positions.size());
    for (const cTerrainPatch* child : p->children)
      if (child) stack.push_back(child);
  }
  return largest;
}

}  // namespace nKoPlanet
