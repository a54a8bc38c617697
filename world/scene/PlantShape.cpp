#include "world/scene/PlantShape.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "glf/PreparedGeometry.h"
#include "math/Geometry.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SceneServices.h"

using Ru::Math::Vector3;

cSceneShapePlant::cSceneShapePlant() : tShapeClass(false) {
  const Vector3 top{0, 10, 0};
  // Canopy, then trunk: four triangles each from the top down to a ring of four points.
  const Vector3 canopy[4] = {{0, 4, 5}, {5, 4, 0}, {0, 4, -5}, {-5, 4, 0}};
  const Vector3 trunk[4] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}};
  const float a = 0.705346f, b = 0.0705346f, c = 0.457496f, d = 0.762493f;
  const Vector3 canopyNormals[4] = {{-a, -b, -a}, {-a, -b, a}, {a, -b, a}, {a, -b, -a}};
  const Vector3 trunkNormals[4] = {{-c, -d, -c}, {-c, -d, c}, {c, -d, c}, {c, -d, -c}};
  int n = 0;
  auto addCone = [&](const Vector3 (&ring)[4], const Vector3 (&normals)[4], const Vector3& colour) {
    for (int i = 0; i < 4; ++i) {
      const Vector3 corners[3] = {top, ring[i], ring[(i + 1) % 4]};
      for (const Vector3& corner : corners) {
        AddVertex(corner, normals[i]);
        mColours[n++] = colour;
      }
    }
  };
  addCone(canopy, canopyNormals, Vector3{0.0f, 1.0f, 0.0f});
  addCone(trunk, trunkNormals, Vector3{1.0f, 0.5f, 0.0f});
  mBatches.SetModel(GetVertices(), GetNormals(), mColours, &FruitPosition(0), kMaxFruit, 0.5f);
}

const Vector3& cSceneShapePlant::FruitPosition(int i) {
  static const Vector3 positions[kMaxFruit] = {{0, kFruitHeight, 5},       {5, kFruitHeight, 0},
                                               {0, kFruitHeight, -5},      {-5, kFruitHeight, 0},
                                               {2.5f, kFruitHeight, 2.5f}, {2.5f, kFruitHeight, -2.5f},
                                               {-2.5f, kFruitHeight, 2.5f}, {-2.5f, kFruitHeight, -2.5f}};
  return positions[i];
}

void cSceneShapePlant::BeginDraw() {
  cSceneShapePolyModel::BeginDraw();
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(3, GL_FLOAT, 0, mColours);
  const Vector3 scale = GetScale();
  mGathering = IsPreparedGeometryEnabled() && scale.x == 1.0f && scale.y == 1.0f && scale.z == 1.0f;
}

void cSceneShapePlant::EndDraw() {
  cSceneShapePolyModel::EndDraw();
  glDisableClientState(GL_COLOR_ARRAY);
  if (!mGathering) return;
  mGathering = false;
  float modelView[16], projection[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  mBatches.Draw(modelView, projection, viewport[3]);
  glColor3f(mLastColour.x, mLastColour.y, mLastColour.z);  // as the last plant drawn alone would leave it
}

void cSceneShapePlant::Draw(cSceneObject* object) {
  const Vector3 colour = object ? object->GetColour() : Vector3{1.0f, 0.0f, 0.0f};
  const bool wireframe = colour.x != 1.0f;
  int fruit = 0;
  if (auto* bearer = object ? dynamic_cast<cIFruitBearer*>(object->GetOwner()) : nullptr)
    fruit = std::clamp(bearer->GetFruitCount(), 0, kMaxFruit);
  mLastColour = colour;
  if (mGathering && object && !wireframe) {
    mBatches.Add(cPlantInstance{object->GetWorldMatrix(), colour, fruit});
    return;
  }
  glColor3f(1.0f, 0.5f, 0.0f);
  if (wireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  cSceneShapePolyModel::Draw(object);
  glColor3f(colour.x, colour.y, colour.z);
  if (IsPreparedGeometryEnabled()) {
    // All the fruit in two draw calls: the spheres are placed in one mesh, made once.
    static const cSphereMesh cluster = [] {
      float offsets[3 * kMaxFruit];
      for (int i = 0; i < kMaxFruit; ++i) {
        offsets[3 * i] = FruitPosition(i).x;
        offsets[3 * i + 1] = FruitPosition(i).y;
        offsets[3 * i + 2] = FruitPosition(i).z;
      }
      return BuildSphereCluster(0.5, 8, 6, offsets, kMaxFruit);
    }();
    DrawSphereMesh(cluster, fruit);
  } else {
    for (int i = 0; i < fruit; ++i) {
      const Vector3& p = FruitPosition(i);
      glPushMatrix();
      glTranslatef(p.x, p.y, p.z);
      gluSphere(GetSceneQuadric(), 0.5, 8, 6);
      glPopMatrix();
    }
  }
  if (wireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

bool cSceneShapePlant::IntersectRay(const Ru::Math::Ray& ray, Vector3& hit) {
  // Every fruit position counts, shown or not: the shape does not see the owner here.
  for (int i = 0; i < kMaxFruit; ++i) {
    const Vector3& p = FruitPosition(i);
    if (nSceneMath::IsAhead(ray, p) && Ru::Math::RayPointArcDistance(ray, p) < 0.5f) {
      hit = p;
      return true;
    }
  }
  bool (*trianglesPickable)() = GetSceneServices().plantTrianglesPickable;
  return trianglesPickable && trianglesPickable() && IntersectTriangles(ray, hit);
}

cSceneShapePlant& GetPlantShape() {
  static cSceneShapePlant* shape = new cSceneShapePlant();
  return *shape;
}
