#include "world/scene/CreatureShape.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "glf/PreparedGeometry.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SceneServices.h"

using Ru::Math::Vector3;

Vector3 cSceneShapeCreature::GetScale() {
  const float s = GetSharedTuningData().GetCreatureScale(mKind);
  return Vector3{s, s, s};
}

static void DrawRing() {
  static const auto* points = [] {
    auto* p = new float[8][2];
    for (int i = 0; i < 8; ++i) {
      p[i][0] = std::cos(i * 2.0f * 3.14159265f / 8.0f);
      p[i][1] = std::sin(i * 2.0f * 3.14159265f / 8.0f);
    }
    return p;
  }();
  glLineWidth(2.0f);
  glBegin(GL_LINE_LOOP);
  for (int i = 0; i < 8; ++i) glVertex3f(points[i][0], 1.0f, points[i][1]);
  glEnd();
}

static void DrawEye(float x, float browFrom, float browTo) {
  glColor3f(1.0f, 1.0f, 1.0f);
  glPushMatrix();
  glEnable(GL_LIGHTING);
  glTranslatef(x, 1.25f, -0.75f);
  DrawPreparedSphere(GetSceneQuadric(), 0.2, 6, 5);
  glDisable(GL_LIGHTING);
  glColor3f(0.0f, 0.0f, 0.0f);
  glBegin(GL_POINTS);
  glVertex3f(0.0f, 0.0f, -0.21f);
  glEnd();
  glColor3f(0.6f, 0.25f, 0.0f);
  glBegin(GL_LINES);
  glVertex3f(-0.14f, browFrom, -0.1f);
  glVertex3f(0.14f, browTo, -0.1f);
  glEnd();
  glPopMatrix();
  glEnable(GL_LIGHTING);
}

void cSceneShapeCreature::Draw(cSceneObject* object) {
  cSceneShapePyramid::Draw(object);
  const Vector3 scale = GetScale();
  const Vector3 s{scale.x * 0.5555556f, scale.y * 0.5555556f, scale.z * 0.5555556f};
  const bool scaled = !(s.x == 1.0f && s.y == 1.0f && s.z == 1.0f);
  if (scaled) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glScalef(s.x, s.y, s.z);
  }
  float brow = 0.0f;
  bool inGroup = false, ring = false;
  cICreatureShapeQueries* creatures = GetSceneServices().creatures;
  if (object && creatures && creatures->Describe(object->GetOwner(), inGroup, ring)) {
    if (inGroup) brow = 0.1f;
    glDisable(GL_LIGHTING);
    if (ring) DrawRing();  // in the object's colour, still current
  }
  glPointSize(4.0f);
  glLineWidth(4.0f);
  DrawEye(0.21f, 0.22f - brow, 0.22f + brow);
  DrawEye(-0.21f, 0.22f + brow, 0.22f - brow);
  glPointSize(1.0f);
  glLineWidth(1.0f);
  glEnable(GL_LIGHTING);
  if (scaled) glPopMatrix();
}
