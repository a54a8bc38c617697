#include "world/scene/CreatureParts.h"

#include <GL/gl.h>

#include <cfloat>
#include <cmath>

#include "math/Geometry.h"

using Ru::Math::Vector3;

namespace {
constexpr float kPi = 3.14159265f;

// Translucent parts are drawn as unlit shadows over everything.
void BeginTranslucent(float alpha) {
  glDisable(GL_LIGHTING);
  glColor4f(0.0f, 0.0f, 0.0f, alpha);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
void EndTranslucent() {
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
}
}  // namespace

// ---- shared by fins and wings -------------------------------------------------------

bool cCreaturePartShape::IntersectRay(const Ru::Math::Ray&, Vector3& hit) {
  hit = Vector3{};
  return true;  // unreachable: the bounding radius 0 rejects every ray first
}

// ---- fins ----------------------------------------------------------------------------

void cCreatureFinsShape::SetSwimPhase(float p) {
  for (int i = 0; i < 4; ++i)
    mOffsets[i] = std::pow(static_cast<float>(i), 1.5f) * std::sin(i * kPi / 8.0f + p * 2.0f * kPi) * 0.5f;
  if (p == 0.0f)
    for (float& o : mOffsets) o = 0.0f;
}

void cCreatureFinsShape::Draw(cSceneObject*) {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  if (mTranslucent) {
    BeginTranslucent(mAlpha);
  } else {
    glEnable(GL_LIGHTING);
    glColor3f(0.5f, 0.5f, 0.5f);
  }
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i < 4; ++i) {
    glNormal3f(-5.0f, 0.0f, i * mOffsets[i]);
    glVertex3f(mOffsets[i], 1.0f, 1.5f * i);
    glVertex3f(mOffsets[i], 0.0f, 1.5f * i);
  }
  glEnd();
  glBegin(GL_TRIANGLE_STRIP);
  for (int i = 0; i < 4; ++i) {
    glNormal3f(5.0f, 0.0f, i * mOffsets[i]);
    glVertex3f(mOffsets[i], 0.125f * i, 1.5f * i);
    glVertex3f(mOffsets[i], 1.0f - 0.125f * i, 1.5f * i);
  }
  glEnd();
  if (mTranslucent) EndTranslucent();
  glDisable(GL_CULL_FACE);
}

// ---- wings ---------------------------------------------------------------------------

void cCreatureWingShape::SetFlapPhase(float p) {
  const float s = p < 0.75f ? std::sin(p * 4.0f * kPi / 3.0f) : std::sin((p - 0.75f) * 4.0f * kPi + kPi);
  for (int i = 0; i < 4; ++i) mOffsets[i] = std::pow(static_cast<float>(i), 1.5f) * s * 0.5f;
}

void cCreatureWingShape::Draw(cSceneObject*) {
  if (mTranslucent) BeginTranslucent(mAlpha);
  else glEnable(GL_LIGHTING);
  glPushMatrix();
  glScalef(mScale.x, mScale.y, mScale.z);
  for (int side = -1; side <= 1; side += 2) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j < 4; ++j) {
      const float o = mOffsets[j];
      glNormal3f(-side * j * o, 5.0f, 0.0f);
      glVertex3f(side * 1.5f * j, o, 0.5f);
      glNormal3f(-side * j * o, 5.0f, 0.0f);
      glVertex3f(side * 1.5f * j, o, 0.2f * j - 0.5f);
    }
    glEnd();
  }
  glNormal3f(0.0f, 1.0f, 0.0f);
  glBegin(GL_POLYGON);
  glVertex3f(0.0f, 0.0f, 5.0f);
  glVertex3f(1.0f, 0.0f, 0.0f);
  glVertex3f(-1.0f, 0.0f, 0.0f);
  glEnd();
  glPopMatrix();
  if (mTranslucent) EndTranslucent();
}

// ---- nest ----------------------------------------------------------------------------

namespace {
struct cNestShared {
  float ring[10][2];
  Vector3 colours[25];
  cSceneStopwatch phase;
};
cNestShared& NestShared() {
  static cNestShared* shared = [] {
    auto* s = new cNestShared();
    for (int i = 0; i < 10; ++i) {
      s->ring[i][0] = std::cos(i * 2.0f * kPi * 0.1f);
      s->ring[i][1] = std::sin(i * 2.0f * kPi * 0.1f);
    }
    for (Vector3& c : s->colours) c = Vector3{1.0f, 0.5f, 0.0f};
    s->phase.Start();
    return s;
  }();
  return *shared;
}
}  // namespace

cCreatureNestShape::cCreatureNestShape() { NestShared(); }

Vector3 cCreatureNestShape::BowlPoint(int i) {
  const cNestShared& shared = NestShared();
  return Vector3{3.0f * shared.ring[i % 10][0], 1.0f, 3.0f * shared.ring[i % 10][1]};
}

void cCreatureNestShape::Draw(cSceneObject*) {
  cNestShared& shared = NestShared();
  float p = static_cast<float>(shared.phase.GetElapsed()) * 0.0005f;
  if (p > 1.0f) {
    p = 1.0f;
    shared.phase.Restart();
  }
  shared.colours[static_cast<int>(25.0f * p) % 25] = Vector3{1.0f, 1.0f, 1.0f};
  glDisable(GL_LIGHTING);
  for (int k = 0; k < 25; ++k) {
    Vector3& c = shared.colours[k];
    glColor3f(c.x, c.y, c.z);
    const float radius = 1.0f + 0.2f * k;
    glBegin(GL_LINE_LOOP);
    for (const auto& point : shared.ring) glVertex3f(point[0] * radius, 2.0f * k, point[1] * radius);
    glEnd();
    c = Vector3{c.x + (1.0f - c.x) * 0.1f, c.y + (0.5f - c.y) * 0.1f, c.z + (0.0f - c.z) * 0.1f};
  }
  glColor3f(0.75f, 0.75f, 1.0f);
  glBegin(GL_POLYGON);
  for (const auto& point : shared.ring) glVertex3f(point[0] * (1.0f + 5.0f * p), 50.0f * p, point[1] * (1.0f + 5.0f * p));
  glEnd();
  glEnable(GL_LIGHTING);
  const Vector3& base = shared.colours[0];
  glColor3f(base.x, base.y, base.z);
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < 10; ++i) {
    const auto& opposite = shared.ring[(i + 5) % 10];
    glNormal3f(opposite[0], 1.0f, opposite[1]);
    const Vector3 a = BowlPoint(i), b = BowlPoint(i + 1);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
  }
  glEnd();
}

bool cCreatureNestShape::IntersectRay(const Ru::Math::Ray& ray, Vector3& hit) {
  float best = FLT_MAX;
  bool found = false;
  for (int i = 0; i < 10; ++i) {
    Vector3 point;
    if (!Ru::Math::RayIntersectsTriangle(Vector3{}, BowlPoint(i), BowlPoint(i + 1), ray, point)) continue;
    if (!nSceneMath::IsAhead(ray, point)) continue;
    const float d = Ru::Math::Vector3LengthSquared(Ru::Math::Vector3Sub(point, ray.origin));
    if (d < best) {
      best = d;
      hit = point;
      found = true;
    }
  }
  return found;
}
