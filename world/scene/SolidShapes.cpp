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

namespace {
struct cLoadedView {
  float view[16], projection[16];
  int viewport[4];
  cLoadedView() {
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
  }
  float DepthOf(const float* c) const { return -(view[2] * c[0] + view[6] * c[1] + view[10] * c[2] + view[14]); }
};
}  // namespace

void cSceneShapeTurret::Draw(cSceneObject* object) {
  cSceneShapePolyModel::Draw(object);
  const Vector3 scale = GetScale();
  if (IsGathering() && object) {  // the box is listed; the ball goes with it
    const float radius = 0.55f * Smallest(scale);
    cKeptItem ball;
    ball.world = object->GetWorldMatrix();
    float* m = ball.world.m;
    for (int r = 0; r < 3; ++r) m[12 + r] += m[4 + r] * scale.y * 0.5f;  // up the box's own y axis
    const cLoadedView loaded;
    ball.mesh = &mDome.MeshFor(radius, loaded.DepthOf(&m[12]), loaded.projection, loaded.viewport);
    ball.meshVersion = mDome.GetVersion();
    ball.colour = object->GetColour();
    ball.ball = GetHorizonBall();
    Batch().placed.push_back(ball);
    return;
  }
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
  if (!IsListingObjects() || !object) {
    glPushMatrix();
    DrawPreparedSphere(GetSceneQuadric(), Smallest(GetScale()), 20, 20);
    glPopMatrix();
    return;
  }
  cKeptItem item;  // its mesh is chosen by its size on screen at EndDraw
  item.world = object->GetWorldMatrix();
  item.colour = object->GetColour();
  item.ball = GetHorizonBall();
  Batch().placed.push_back(item);
}

float cSphereDetail::RadiusInPixels(float depth, float radius, const float* projection, const int* viewport) {
  constexpr float kUnbounded = 1.0e30f;
  if (!(depth > 2.0f * radius)) return kUnbounded;  // near the eye, or behind it: no saving worth a doubt
  const float pixels = radius * projection[5] * 0.5f * static_cast<float>(viewport[3]) / depth;
  return pixels > 0.0f && pixels < 1.0e6f ? pixels : kUnbounded;
}

const cIndexedMesh& cSphereDetail::MeshFor(float radius, float depth, const float* projection, const int* viewport) {
  if (radius != mRadius) {
    for (int level = 0; level + 1 < kLevels; ++level) {
      mMeshes[level] = BuildGeodesicSphere(radius, level + kCoarsestFrequency);
      // Corners out by as much as the faces' middles then fall in: (1 + e)(1 - s) = 1 - e.
      const float shortfall = MeshShortfall(mMeshes[level], radius);
      mStray[level] = shortfall / (2.0f - shortfall);
      for (float& coordinate : mMeshes[level].positions) coordinate *= 1.0f + mStray[level];
    }
    mMeshes[kLevels - 1] = BuildIndexedSphere(radius, kFullSlices, kFullSlices);
    mStray[kLevels - 1] = MeshShortfall(mMeshes[kLevels - 1], radius);
    mRadius = radius;
    ++mVersion;
  }
  const float pixels = sFewerSlices ? RadiusInPixels(depth, radius, projection, viewport) : 1.0e30f;
  int level = 0;
  while (level + 1 < kLevels && (pixels * mStray[level] > 0.25f || pixels > kFullFromPixels)) ++level;
  return mMeshes[level];
}

// The fewest slices whose outline strays at most a quarter of a pixel from the
// round one (a ring of n slices falls short of its circle by r (1 - cos(pi / n))),
// never under 10.
int cSceneShapeSphere::SlicesForLoadedView(float radius) {
  if (!cSphereDetail::IsFewerSlicesWhenSmall()) return cSphereDetail::kFullSlices;
  const cLoadedView loaded;
  const float pixels = cSphereDetail::RadiusInPixels(-loaded.view[14], radius, loaded.projection, loaded.viewport);
  for (const int slices : {10, 12, 14, 16})
    if (pixels * (1.0f - std::cos(3.14159265f / static_cast<float>(slices))) <= 0.25f) return slices;
  return cSphereDetail::kFullSlices;
}

void cSceneShapeSphere::EndDraw() {
  std::vector<cKeptItem>& placed = Batch().placed;
  if (IsListingObjects() && !placed.empty()) {
    const float radius = Smallest(GetScale());
    const cLoadedView loaded;
    for (cKeptItem& item : placed) {
      item.mesh = &mDetail.MeshFor(radius, loaded.DepthOf(&item.world.m[12]), loaded.projection, loaded.viewport);
      item.meshVersion = mDetail.GetVersion();
    }
  }
  cSceneShapePolyModel::EndDraw();
  mLastTriangles = Batch().groups.LastStats().triangles;
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
