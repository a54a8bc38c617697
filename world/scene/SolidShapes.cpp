#include "world/scene/SolidShapes.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "glf/PreparedGeometry.h"
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
  DrawPreparedSphere(GetSceneQuadric(), 0.55f * Smallest(scale), 20, 20);
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

void cSceneShapeSphere::Draw(cSceneObject*) {
  glPushMatrix();
  DrawPreparedSphere(GetSceneQuadric(), Smallest(GetScale()), 20, 20);
  glPopMatrix();
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
