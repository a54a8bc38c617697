// Screen points to rays, picks along a ray, and the radius search.
#include <GL/gl.h>
#include <GL/glu.h>

#include "math/Vector.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneShape.h"

using namespace Ru::Math;

// Unprojects the window point (y down) at the near and far planes with the
// current GL matrices; the direction has unit length.
Ray cSceneManager::ScreenPointToRay(int x, int y) {
  // Zeroed: without a current GL context the queries write nothing, and the
  // singular matrices then give no ray instead of one made of stack leftovers.
  GLdouble model[16] = {}, projection[16] = {};
  GLint viewport[4] = {};
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const double wy = static_cast<double>(viewport[3]) - y;  // the window's height, as glutGet would give
  double nx, ny, nz, fx, fy, fz;
  if (!gluUnProject(x, wy, 0.0, model, projection, viewport, &nx, &ny, &nz) ||
      !gluUnProject(x, wy, 1.0, model, projection, viewport, &fx, &fy, &fz))
    return Ray{};
  Vector3 direction{static_cast<float>(fx - nx), static_cast<float>(fy - ny), static_cast<float>(fz - nz)};
  if (!nSceneMath::NormalizeNonZero(direction)) return Ray{};
  return Ray{Vector3{static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz)}, direction};
}

void ScreenPointToRay(int x, int y, float ray[6]) {
  const Ray r = cSceneManager::ScreenPointToRay(x, y);
  for (int i = 0; i < 6; ++i) ray[i] = r.Ptr()[i];
}

void cSceneManager::PickAlongRay(cScenePickResult& result, const Ray& ray, cIScenePickTest* filter) {
  CompactAll();
  cScenePickResult best;
  float bestDistance = 1e21f;
  for (cShapeEntry& entry : mEntries) {
    if (entry.nodes.empty() || !entry.shape) continue;
    const float radius = entry.shape->GetBoundingRadius();
    if (!(radius > 0.0f)) continue;  // an unpickable shape
    for (cISceneNode* node : entry.nodes) {
      auto* object = static_cast<cSceneObject*>(node);  // only scene objects are ever listed
      if (filter && !filter->Accept(object)) continue;
      Vector3 hit;
      if (!object->IntersectRayWithin(ray, radius, hit)) continue;
      // The tests are symmetric about the eye: a hit behind it is not in view.
      if (!nSceneMath::IsAhead(ray, hit)) continue;
      const float d = Vector3LengthSquared(Vector3Sub(hit, ray.origin));
      if (d < bestDistance) {
        bestDistance = d;
        best.object = object;
        best.point = hit;
      }
    }
  }
  cPlanetModel& planet = GetPlanetModel();
  if (planet.IsTerrainPickable()) {
    Vector3 ground;
    planet.IntersectRay(ground, ray);
    if (Vector3LengthSquared(ground) > 0.0f && Vector3LengthSquared(Vector3Sub(ground, ray.origin)) < bestDistance) {
      best.object = nullptr;
      best.point = ground;
      best.terrain = true;
    }
  }
  result = best;
}

void cSceneManager::PickAtScreenPoint(cScenePickResult& result, int x, int y, cIScenePickTest* filter) {
  PickAlongRay(result, ScreenPointToRay(x, y), filter);
}

bool cSceneManager::FindObjectsInRadius(std::vector<cSceneObject*>& out, const Vector3& centre, float radius) {
  CompactAll();
  bool found = false;
  for (cShapeEntry& entry : mEntries) {
    for (cISceneNode* node : entry.nodes) {
      const float reach = radius + node->GetScale().x;
      if (Vector3LengthSquared(Vector3Sub(centre, node->GetPosition())) < reach * reach) {
        out.push_back(static_cast<cSceneObject*>(node));
        found = true;
      }
    }
  }
  return found;
}
