#include "world/scene/LineShapes.h"

#include <GL/gl.h>

#include <cmath>

#include "math/Scalar.h"

using Ru::Math::Vector3;

cSceneShapeCircle::cSceneShapeCircle(int segments) {
  for (int i = 0; i < segments; ++i) {
    const float a = 2.0f * 3.14159265f * static_cast<float>(i) / static_cast<float>(segments);
    mPoints.push_back(Vector3{std::cos(a), 0.0f, std::sin(a)});
  }
}

float cSceneShapeCircle::GetBoundingRadius() {
  return Ru::Math::MaxFloat(Ru::Math::MaxFloat(mScale.x, mScale.y), mScale.z);
}

void cSceneShapeCircle::BeginDraw() { glDisable(GL_LIGHTING); }
void cSceneShapeCircle::EndDraw() { glEnable(GL_LIGHTING); }

void cSceneShapeCircle::Draw(cSceneObject*) {
  const bool scaled = !(mScale.x == 1.0f && mScale.y == 1.0f && mScale.z == 1.0f);
  if (scaled) {
    glPushMatrix();
    glScalef(mScale.x, mScale.y, mScale.z);
  }
  glBegin(GL_LINE_LOOP);
  for (const Vector3& p : mPoints) glVertex3f(p.x, p.y, p.z);
  glEnd();
  if (scaled) glPopMatrix();
}

void cSceneShapeCreatureWeapon::Draw(cSceneObject*) {
  const float L = mLength;
  glDisable(GL_LIGHTING);
  glBegin(GL_LINES);
  glVertex3f(0.0f, 1.0f, 0.0f);
  glVertex3f(0.0f, 1.0f, -L);
  glEnd();
  glEnable(GL_LIGHTING);
  struct cSide {
    Vector3 normal;
    float x1, y1, x2, y2;
  };
  const cSide sides[4] = {{{1, 0, 0}, 0.1f, 1.1f, 0.1f, 0.9f},
                          {{-1, 0, 0}, -0.1f, 1.1f, -0.1f, 0.9f},
                          {{0, 1, 0}, 0.1f, 1.1f, -0.1f, 1.1f},
                          {{0, -1, 0}, 0.1f, 0.9f, -0.1f, 0.9f}};
  for (const cSide& side : sides) {
    glBegin(GL_TRIANGLES);
    glNormal3f(side.normal.x, side.normal.y, side.normal.z);
    glVertex3f(0.0f, 1.0f, -L - 1.0f);
    glVertex3f(side.x1, side.y1, -L);
    glVertex3f(side.x2, side.y2, -L);
    glEnd();
  }
}
