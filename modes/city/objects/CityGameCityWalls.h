// The city's boundary: a closed ring of 150 points around the hall that grows
// outward, like a contour of a potential field, as buildings are added as
// field sources. It is drawn as a low blue band, tells how far a point lies
// beyond it, and can show a red trial ring for a building being placed.
// Every ring point and source is a unit direction from the planet's centre.
#pragma once

#include <vector>

#include "math/Types.h"
#include "modes/city/objects/CityGameObject.h"

class cCityGameCityWalls : public tCityGameClass<cCityGameCityWalls, cCityGameObject, 0x0ED7FC07> {
 public:
  static constexpr int kRingPoints = 150;
  static constexpr float kInitialHalfAngle = 0.02f;  // the first circle is 0.04 radians out
  static constexpr float kGrowthStep = 0.03f;
  static constexpr int kMaxGrowthSteps = 200;        // per point per pass
  static constexpr float kBandHeight = 5.0f;

  struct sFieldPoint {
    Ru::Math::Vector3 direction;
    float weight = 0.0f;
  };

  void Draw() override { DrawRing(); }
  virtual void Initialize(const Ru::Math::Vector3& position);  // around a hall standing there
  virtual void DrawWorkingRing();
  virtual void DrawRing();
  // One growth pass from the committed ring into the working ring, with an
  // optional trial source; the committed ring is left as it is.
  virtual void GrowRing(const Ru::Math::Vector3* trial, float trialWeight);
  virtual void AddPoint(float x, float y, float z, float weight);  // a source, and the ring grows round it
  // Positive beyond the wall, negative (or zero) inside: the surface distance
  // to the ring point in the point's direction.
  virtual float SignedDistance(float x, float y, float z);

  const std::vector<Ru::Math::Vector3>& GetRing() const { return mRing; }
  const std::vector<Ru::Math::Vector3>& GetWorkingRing() const { return mWorkingRing; }
  const Ru::Math::Vector3& GetCentre() const { return mCentre; }
  const std::vector<sFieldPoint>& GetPoints() const { return mPoints; }

 private:
  void DrawBand(const std::vector<Ru::Math::Vector3>& ring, float r, float g, float b);

  std::vector<sFieldPoint> mPoints;
  std::vector<Ru::Math::Vector3> mWorkingRing;
  std::vector<Ru::Math::Vector3> mRing;
  Ru::Math::Vector3 mCentre{0.0f, 1.0f, 0.0f};
};
