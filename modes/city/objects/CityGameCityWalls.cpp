#include "modes/city/objects/CityGameCityWalls.h"

#include <GL/gl.h>

#include <cmath>

#include "math/Math.h"
#include "modes/city/data/CityTuning.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {
constexpr float kTwoPi = 6.28318530718f;

Vector3 Unit(const Vector3& v) {
  Vector3 out{0.0f, 1.0f, 0.0f};
  Vector3NormalizeSafe(v, out);
  return out;
}
}  // namespace

void cCityGameCityWalls::Initialize(const Vector3& position) {
  mCentre = Unit(position);
  mRing.clear();
  const Quaternion tilt{std::sin(kInitialHalfAngle), 0.0f, 0.0f, std::cos(kInitialHalfAngle)};
  for (int i = 0; i < kRingPoints; ++i) {
    const float half = (float)i * kTwoPi / (float)kRingPoints * 0.5f;
    const Quaternion spin{0.0f, std::sin(half), 0.0f, std::cos(half)};
    mRing.push_back(Unit(QuatRotateVector(QuatMultiply(spin, tilt), mCentre)));
  }
  GrowRing(nullptr, 1.0f);
  mRing = mWorkingRing;
}

void cCityGameCityWalls::AddPoint(float x, float y, float z, float weight) {
  mPoints.push_back(sFieldPoint{Unit(Vector3{x, y, z}), weight});
  GrowRing(nullptr, 1.0f);
  mRing = mWorkingRing;
}

void cCityGameCityWalls::GrowRing(const Vector3* trial, float trialWeight) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  const float exponent = tuning.wallFieldExponent;
  const Vector3 c = Unit(mCentre);
  const Vector3 trialDirection = trial ? Unit(*trial) : Vector3{};
  cPlanetModel& planet = GetPlanetModel();
  auto field = [&](const Vector3& source, float weight, const Vector3& v) {
    return weight / std::pow(Vector3Length(Vector3Sub(source, v)), exponent);
  };
  mWorkingRing = mRing;
  for (Vector3& v : mWorkingRing) {
    for (int step = 0; step < kMaxGrowthSteps; ++step) {
      float potential = field(c, tuning.wallCenterPointValue, v);
      for (const sFieldPoint& point : mPoints) potential += field(point.direction, point.weight, v);
      if (trial) potential += field(trialDirection, trialWeight, v);
      if (!(potential > tuning.wallFieldPotential)) break;  // also stops on NaN
      const Vector3 next = Unit(Vector3Add(v, Vector3Scale(Vector3Sub(v, c), kGrowthStep)));
      if (planet.IsUnderWater(next)) break;  // a dent at the shore
      v = next;
    }
  }
}

float cCityGameCityWalls::SignedDistance(float x, float y, float z) {
  if (mRing.empty()) return 0.0f;
  const Vector3 u = Unit(Vector3{x, y, z});
  Quaternion frame;
  cPlanetModel::MakeSurfaceOrientation(frame, mCentre, Vector3{0.0f, 0.0f, 1.0f});
  const Vector3 d = QuatRotateVector(QuatInverse(frame), Vector3Sub(u, mCentre));
  float a = std::atan2(d.x, d.z);
  if (a < 0.0f) a += kTwoPi;
  int k = (int)std::floor((float)kRingPoints * a / kTwoPi);
  if (k < 0 || k >= (int)mRing.size()) k = 0;  // a = 2 pi by rounding, or NaN
  const Vector3& w = mRing[size_t(k)];
  const float s = Vector3Length(Vector3Sub(w, u)) * GetPlanetModel().GetSurfaceRadius(u);
  return Vector3Length(Vector3Sub(w, mCentre)) < Vector3Length(Vector3Sub(u, mCentre)) ? s : -s;
}

void cCityGameCityWalls::DrawBand(const std::vector<Vector3>& ring, float r, float g, float b) {
  if (ring.empty()) return;
  cPlanetModel& planet = GetPlanetModel();
  glColor3f(r, g, b);
  glBegin(GL_QUAD_STRIP);
  for (size_t i = 0; i <= ring.size(); ++i) {
    const Vector3& v = ring[i % ring.size()];  // the first point again closes the band
    const float radius = planet.GetSurfaceRadius(v);
    glVertex3f(v.x * radius, v.y * radius, v.z * radius);
    glVertex3f(v.x * (radius + kBandHeight), v.y * (radius + kBandHeight), v.z * (radius + kBandHeight));
  }
  glEnd();
}

void cCityGameCityWalls::DrawRing() { DrawBand(mRing, 0.0f, 0.0f, 0.9f); }
void cCityGameCityWalls::DrawWorkingRing() { DrawBand(mWorkingRing, 1.0f, 0.0f, 0.0f); }
