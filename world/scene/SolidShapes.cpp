#include "world/scene/SolidShapes.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "glf/PreparedGeometry.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/scene/SceneServices.h"

using Ru::Math::Vector3;

void nSceneGeometry::AddBox(cSceneShapePolyModel& model) {
  const float c = 0.577f;
  const Vector3 k[9] = {{},          {c, c, c},   {-c, c, c},   {c, c, -c}, {-c, c, -c},
                        {c, -c, -c}, {-c, -c, -c}, {c, -c, c}, {-c, -c, c}};
  struct cFace {
    Vector3 normal;
    int corners[6];
  };
  const cFace faces[6] = {{{0, 1, 0}, {1, 2, 4, 1, 3, 4}},  {{0, 0, -1}, {3, 4, 6, 3, 5, 6}},
                          {{0, -1, 0}, {7, 8, 6, 7, 5, 6}}, {{0, 0, 1}, {1, 2, 8, 1, 7, 8}},
                          {{1, 0, 0}, {1, 3, 5, 1, 7, 5}},  {{-1, 0, 0}, {2, 4, 6, 2, 8, 6}}};
  for (const cFace& face : faces)
    for (int corner : face.corners) model.AddVertex(k[corner], face.normal);
}

static const float kSqrt3 = std::sqrt(3.0f);

cSceneShapeCube::cSceneShapeCube() : tShapeClass(false) {
  nSceneGeometry::AddBox(*this);
  SetUnscaledRadius(kSqrt3);
}

Vector3 cSceneShapeBuilding::GetScale() {
  const float s = GetSharedTuningData().GetBuildingScale();
  return Vector3{s, s, s};
}

cSceneShapeTurret::cSceneShapeTurret() : tShapeClass(false) {
  nSceneGeometry::AddBox(*this);
  SetUnscaledRadius(kSqrt3);
}

static float Smallest(const Vector3& s) { return Ru::Math::MinFloat(Ru::Math::MinFloat(s.x, s.y), s.z); }

void cSceneShapeTurret::Draw(cSceneObject* object) {
  cSceneShapePolyModel::Draw(object);
  const Vector3 scale = GetScale();
  glPushMatrix();
  glTranslatef(0.0f, scale.y * 0.5f, 0.0f);
  const float radius = 0.55f * Smallest(scale);
  const int slices = cSceneShapeSphere::SlicesForLoadedView(radius);
  // A closed ball: its far half is hidden by its near half, so llvmpipe need not set it up.
  const bool culling = glIsEnabled(GL_CULL_FACE);
  glEnable(GL_CULL_FACE);
  DrawPreparedSphere(GetSceneQuadric(), radius, slices, slices);
  if (!culling) glDisable(GL_CULL_FACE);
  glPopMatrix();
}

cSceneShapePyramid::cSceneShapePyramid() : tShapeClass(false) {
  const Vector3 a{0, 1, 0}, b{0, 0, -1}, c{0.5f, 0, 0.5f}, d{-0.5f, 0, 0.5f};
  const Vector3 triangles[3][3] = {{a, b, c}, {a, c, d}, {a, d, b}};
  const Vector3 normals[3] = {{0.7f, 0.1f, -1.4f}, {0.0f, 0.1f, 1.0f}, {-0.7f, 0.1f, -1.4f}};
  for (int t = 0; t < 3; ++t)
    for (const Vector3& corner : triangles[t]) AddVertex(corner, normals[t]);
  SetUnscaledRadius(kSqrt3);
}

void cSceneShapeSphere::Draw(cSceneObject* object) {
  if (!IsGathering() || !IsPreparedGeometryEnabled() || !object) {
    glPushMatrix();
    DrawPreparedSphere(GetSceneQuadric(), Smallest(GetScale()), 20, 20);
    glPopMatrix();
    return;
  }
  mPlaced.push_back(cPlaced{object->GetWorldMatrix(), object->GetColour()});
}

bool cSceneShapeSphere::cPlaced::operator==(const cPlaced& o) const {
  return std::equal(world.m, world.m + 16, o.world.m) && colour.x == o.colour.x && colour.y == o.colour.y &&
         colour.z == o.colour.z;
}

bool cSceneShapeSphere::cView::operator==(const cView& o) const {
  return eye.x == o.eye.x && eye.y == o.eye.y && eye.z == o.eye.z && std::equal(view, view + 16, o.view) &&
         std::equal(projection, projection + 16, o.projection) && std::equal(viewport, viewport + 4, o.viewport) &&
         fewerSlices == o.fewerSlices;
}

cSceneShapeSphere::cView cSceneShapeSphere::LoadedView() {
  cView view;
  view.eye = EyeOfLoadedView();
  glGetFloatv(GL_MODELVIEW_MATRIX, view.view);
  glGetFloatv(GL_PROJECTION_MATRIX, view.projection);
  glGetIntegerv(GL_VIEWPORT, view.viewport);
  view.fewerSlices = sFewerSlices;
  return view;
}

// The fewest slices whose outline strays at most a quarter of a pixel from the round
// one: a ring of n slices falls short of its circle by r (1 - cos(pi / n)).
// The sphere's size on screen is taken at its depth, the outline's distance
// from the axis widening it by at most a few per cent at the window's edge.
int cSceneShapeSphere::LevelFor(const float* c, float radius, const cView& view) const {
  return view.fewerSlices ? LevelForDepth(DepthOf(c, view.view), radius, view.projection, view.viewport) : kLevels - 1;
}

float cSceneShapeSphere::DepthOf(const float* c, const float* v) {
  return -(v[2] * c[0] + v[6] * c[1] + v[10] * c[2] + v[14]);
}

int cSceneShapeSphere::LevelForDepth(float depth, float radius, const float* projection, const int* viewport) {
  const int full = kLevels - 1;
  if (!(depth > 2.0f * radius)) return full;  // near the eye, or behind it: no saving worth a doubt
  const float pixels = radius * projection[5] * 0.5f * static_cast<float>(viewport[3]) / depth;
  if (!(pixels > 0.0f) || !(pixels < 1.0e6f)) return full;
  for (int level = 0; level + 1 < kLevels; ++level)
    if (pixels * (1.0f - std::cos(3.14159265f / static_cast<float>(kSlices[level]))) <= 0.25f) return level;
  return full;
}

int cSceneShapeSphere::SlicesForLoadedView(float radius) {
  if (!sFewerSlices) return kSlices[kLevels - 1];
  float modelview[16], projection[16];
  int viewport[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  return kSlices[LevelForDepth(-modelview[14], radius, projection, viewport)];  // the centre is the origin
}

void cSceneShapeSphere::Gather(const cView& view) {
  const float radius = Smallest(GetScale());
  if (mMeshes[0].indices.empty() || radius != mMeshRadius) {
    for (int level = 0; level < kLevels; ++level)
      mMeshes[level] = BuildIndexedSphere(radius, kSlices[level], kSlices[level]);
    mMeshRadius = radius;
  }
  const Vector3& eye = view.eye;
  // The view volume's six planes (inside: a x + b y + c z + d >= 0), scaled to
  // unit normals, from the rows of projection x view: a sphere wholly outside
  // one of them covers no pixel and is not listed.
  float planes[6][4];
  {
    float pv[16];
    for (int col = 0; col < 4; ++col)
      for (int row = 0; row < 4; ++row) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k) sum += view.projection[k * 4 + row] * view.view[col * 4 + k];
        pv[col * 4 + row] = sum;
      }
    for (int p = 0; p < 6; ++p) {
      const int axis = p / 2;
      const float sign = p % 2 ? -1.0f : 1.0f;
      float length = 0.0f;
      for (int k = 0; k < 4; ++k) planes[p][k] = pv[k * 4 + 3] + sign * pv[k * 4 + axis];
      for (int k = 0; k < 3; ++k) length += planes[p][k] * planes[p][k];
      length = std::sqrt(length);
      for (int k = 0; k < 4; ++k) planes[p][k] = length > 0.0f ? planes[p][k] / length : (k == 3 ? 1.0f : 0.0f);
    }
  }
  auto outOfView = [&planes, radius](const float* c) {
    for (const float* p : planes)
      if (p[0] * c[0] + p[1] * c[1] + p[2] * c[2] + p[3] < -radius) return true;
    return false;
  };
  const size_t most = mPlaced.size() * mMeshes[kLevels - 1].positions.size();
  mPositions.resize(most);
  mNormals.resize(most);
  mColours.resize(most);
  mIndices.clear();
  float *pos = mPositions.data(), *nor = mNormals.data(), *col = mColours.data();
  for (size_t s = 0; s < mPlaced.size(); ++s) {
    const float* m = mPlaced[s].world.m;
    const Vector3& c = mPlaced[s].colour;
    if (outOfView(m + 12)) continue;
    const cIndexedSphere& mesh = mMeshes[LevelFor(m + 12, radius, view)];
    const std::vector<float>& p = mesh.positions;
    const std::vector<float>& n = mesh.normals;
    const uint32_t first = static_cast<uint32_t>((pos - mPositions.data()) / 3);
    for (size_t v = 0; v < p.size(); v += 3) {
      *pos++ = m[0] * p[v] + m[4] * p[v + 1] + m[8] * p[v + 2] + m[12];
      *pos++ = m[1] * p[v] + m[5] * p[v + 1] + m[9] * p[v + 2] + m[13];
      *pos++ = m[2] * p[v] + m[6] * p[v + 1] + m[10] * p[v + 2] + m[14];
      *nor++ = m[0] * n[v] + m[4] * n[v + 1] + m[8] * n[v + 2];
      *nor++ = m[1] * n[v] + m[5] * n[v + 1] + m[9] * n[v + 2];
      *nor++ = m[2] * n[v] + m[6] * n[v + 1] + m[10] * n[v + 2];
      *col++ = c.x, *col++ = c.y, *col++ = c.z;
    }
    // A face whose plane has the eye behind it is turned away and draws
    // nothing; faces seen edge on are kept.
    const float* placed = &mPositions[first * 3];
    const std::vector<uint32_t>& tri = mesh.indices;
    const size_t listed = mIndices.size();
    for (size_t t = 0; t + 2 < tri.size(); t += 3) {
      const float* a = placed + 3 * tri[t];
      const float* b = placed + 3 * tri[t + 1];
      const float* c = placed + 3 * tri[t + 2];
      const Vector3 ab{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, ac{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
      const Vector3 normal = Ru::Math::Vector3Cross(ab, ac);
      const Vector3 toEye{eye.x - a[0], eye.y - a[1], eye.z - a[2]};
      const float facing = Ru::Math::Vector3Dot(normal, toEye);
      const float scale = Ru::Math::Vector3Length(normal) * Ru::Math::Vector3Length(toEye);
      if (facing < -1.0e-4f * scale) continue;
      mIndices.insert(mIndices.end(), {tri[t], tri[t + 1], tri[t + 2]});
    }
    // Only the vertices of the faces listed stay, in their order (each moves
    // down, never onto one not yet moved): llvmpipe shades every vertex in
    // the range a draw's indices span.
    mRenumber.assign(p.size() / 3, kUnused);
    for (size_t i = listed; i < mIndices.size(); ++i) mRenumber[mIndices[i]] = 0;
    uint32_t kept = 0;
    for (uint32_t& v : mRenumber)
      if (v != kUnused) v = kept++;
    for (size_t i = listed; i < mIndices.size(); ++i) mIndices[i] = first + mRenumber[mIndices[i]];
    for (uint32_t v = 0; v < mRenumber.size(); ++v) {
      if (mRenumber[v] == kUnused || mRenumber[v] == v) continue;
      for (int k = 0; k < 3; ++k) {
        mPositions[3 * (first + mRenumber[v]) + k] = mPositions[3 * (first + v) + k];
        mNormals[3 * (first + mRenumber[v]) + k] = mNormals[3 * (first + v) + k];
      }
    }
    pos = &mPositions[3 * (first + kept)];
    nor = &mNormals[3 * (first + kept)];
    col = &mColours[3 * (first + kept)];
  }
  const size_t vertices = static_cast<size_t>(col - mColours.data()) / 3;
  mLastColour = mPlaced.back().colour;  // as the last sphere drawn alone would leave it
  mKept.Keep(mPositions.data(), mNormals.data(), mColours.data(), vertices, mIndices.data(), mIndices.size());
  mGathered = mPlaced;
  mGatheredRadius = radius;
  mGatheredView = view;
}

void cSceneShapeSphere::BeginDraw() {
  cSceneShapePolyModel::BeginDraw();
  mPlaced.clear();
}

void cSceneShapeSphere::EndDraw() {
  cSceneShapePolyModel::EndDraw();
  if (mPlaced.empty()) return;
  const cView view = LoadedView();
  if (mPlaced != mGathered || Smallest(GetScale()) != mGatheredRadius || !(view == mGatheredView)) Gather(view);
  if (mIndices.empty()) return;
  glPushAttrib(GL_ENABLE_BIT);
  glEnable(GL_CULL_FACE);  // outward, counter-clockwise: the back half of each is hidden by its front
  mKept.Draw();
  glPopAttrib();
  glColor3f(mLastColour.x, mLastColour.y, mLastColour.z);
}

cSceneShapePyramid& GetPyramidShape() {
  static cSceneShapePyramid* shape = new cSceneShapePyramid();
  return *shape;
}
cSceneShapeSphere& GetSphereShape() {
  static cSceneShapeSphere* shape = new cSceneShapeSphere();
  return *shape;
}
cSceneShapeTurret& GetTurretShape() {
  static cSceneShapeTurret* shape = new cSceneShapeTurret();
  return *shape;
}
