#include "world/scene/MultiSelector.h"

#include <GL/gl.h>

#include <vector>

#include "math/Quaternion.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

using namespace Ru::Math;

// A miss is told by the planet's zero point itself, never by a NaN from normalising it.
bool cMultiSelector::GroundUnder(int x, int y, Vector3& ground) {
  GetPlanetModel().IntersectRay(ground, cSceneManager::ScreenPointToRay(x, y));
  return Vector3LengthSquared(ground) > 0.0f && IsValidVector3(ground);
}

bool cMultiSelector::SelectAt(int x, int y) {
  mLastX = x;
  mLastY = y;
  Vector3 ground;
  if (!GroundUnder(x, y, ground)) return false;
  std::vector<cSceneObject*> found;
  if (!GetSceneManager().FindObjectsInRadius(found, ground, GetRadius())) return false;
  for (cSceneObject* object : found) {
    Ko::cGameData* owner = object->GetOwner();
    if (mClient && mClient->CanSelect(owner)) mClient->Select(owner);
  }
  return true;
}

void cMultiSelector::Draw() {
  Vector3 ground;
  if (!GroundUnder(mLastX, mLastY, ground)) return;
  // Upright at the ground point; the heading does not matter for a ring.
  Quaternion upright;
  cPlanetModel::MakeSurfaceOrientation(upright, ground, Vector3{0.0f, 0.0f, 1.0f});
  if (upright.w == 1.0f) cPlanetModel::MakeSurfaceOrientation(upright, ground, Vector3{1.0f, 0.0f, 0.0f});
  const Matrix4 place = QuatToMatrix4(upright, ground);
  // A plain coloured band whatever the last drawn object left switched on
  // (a billboard's texture and alpha test would make the white band vanish).
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glMultMatrixf(place.m);
  glColor3f(mColour.x, mColour.y, mColour.z);
  const float k = 0.866f;
  const float ring[13][2] = {{-1, 0}, {-k, -0.5f}, {-0.5f, -k}, {0, -1}, {0.5f, -k}, {k, -0.5f}, {1, 0},
                             {k, 0.5f}, {0.5f, k},  {0, 1},      {-0.5f, k}, {-k, 0.5f}, {-1, 0}};
  glBegin(GL_QUAD_STRIP);
  for (const auto& point : ring) {
    const float r = GetRadius();
    glVertex3f(point[0] * r, 0.0f, point[1] * r);
    glVertex3f(point[0] * r, 1.4f, point[1] * r);
  }
  glEnd();
  glPopMatrix();
  glPopAttrib();
}
