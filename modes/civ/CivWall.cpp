#include "modes/civ/CivWall.h"

#include <GL/gl.h>

#include <cmath>

#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {
float InverseFourth(const Vector3& a, const Vector3& b) {
  float d2 = Vector3LengthSquared(Vector3Sub(a, b));
  return 1.0f / (d2 * d2);
}
}  // namespace

void cCivModeWall::Init(float x, float y, float z, cCivModeDecoratedCity* city) {
  SetCentre({x, y, z});
  MakeCircle();
  Relax();
  mOutline = mWork;
  mCity = city;
  mFromReset = false;
}

void cCivModeWall::SetCentre(const Vector3& p) { mCentre = Vector3Normalized(p); }

void cCivModeWall::Reset() {
  mPoints.clear();
  mWork.clear();
  MakeCircle();
  mFromReset = true;
}

void cCivModeWall::Enclose(const Vector3& centre, const std::vector<Vector3>& positions) {
  auto same = [](const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
  size_t kept = 0;
  bool continues = mFromReset && same(Vector3Normalized(centre), mCentre) && mPoints.size() <= positions.size();
  while (continues && kept < mPoints.size()) {
    continues = same(mPoints[kept], Vector3Normalized(positions[kept]));
    ++kept;
  }
  if (!continues) {
    SetCentre(centre);
    Reset();
    kept = 0;
  }
  for (size_t i = kept; i < positions.size(); ++i) AddPoint(positions[i]);
}

void cCivModeWall::AddPoint(const Vector3& p) {
  mPoints.push_back(Vector3Normalized(p));
  Relax();
  mOutline = mWork;
}

void cCivModeWall::MakeCircle() {
  mOutline.clear();
  Quaternion toCentre = QuatFromTwoVectors(Vector3{0.0f, 1.0f, 0.0f}, mCentre);
  for (int i = 0; i < kOutlinePoints; ++i) {
    float a = (float)i * 2.0f * (float)M_PI / (float)kOutlinePoints;
    Quaternion q = QuatMultiply(toCentre, Quaternion{0.0f, std::sin(a / 2.0f), 0.0f, std::cos(a / 2.0f)});
    Vector3 v = Vector3Add(QuatRotateVector(q, Vector3{0.0f, 0.0f, kCircleOffset}), mCentre);
    mOutline.push_back(Vector3Normalized(v));
  }
}

// Each point moves out from the centre until the field of the centre and the
// enclosed positions (falling with the fourth power of distance) is weak
// enough; starting from the published outline, no point ever moves inward.
void cCivModeWall::Relax() {
  mWork = mOutline;
  Vector3 c = Vector3Normalized(mCentre);
  for (Vector3& q : mWork) {
    for (int round = 0; round < kMostRounds; ++round) {
      float field = kCentreWeight * InverseFourth(c, q);
      for (const Vector3& a : mPoints) field += InverseFourth(a, q);
      mFieldEvaluations += mPoints.size() + 1;
      if (field <= kFieldThreshold) break;
      q = Vector3Normalized(Vector3Add(q, Vector3Scale(Vector3Sub(q, c), kOutwardStep)));
    }
  }
}

void cCivModeWall::Draw() {
  if (mOutline.empty()) return;
  int colourIndex = -1;
  if (mCity) colourIndex = mCity->IsHighlighted() ? (mCity->IsNPC() ? -3 : -2) : mCity->GetOwner();
  Vector3 colour = CivPlayerColour(colourIndex);
  cPlanetModel& planet = GetPlanetModel();
  // The lighting too: with the colour material on, the band's colour becomes
  // the material, which the current colour alone does not put back.
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_CULL_FACE);  // the band is seen from inside and outside the city
  glColor3f(colour.x, colour.y, colour.z);
  glBegin(GL_QUAD_STRIP);
  for (size_t i = 0; i <= mOutline.size(); ++i) {
    const Vector3& p = mOutline[i % mOutline.size()];
    float r = planet.GetSurfaceRadius(p);
    glVertex3f(p.x * r, p.y * r, p.z * r);
    glVertex3f(p.x * (r + kHeight), p.y * (r + kHeight), p.z * (r + kHeight));
  }
  glEnd();
  glPopAttrib();
}
