// A civ city's wall: a closed ring of 100 points on the planet that starts as
// a small circle round the city centre and is pushed outward until it passes
// round the centre and every building and turret with a smooth margin (where
// a field of charges falls to a threshold). It is drawn as a low band. A city
// makes its wall with `new` and deletes it when the mode is left; the wall is
// never in the data manager, so never in a save file.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"

class cCivModeDecoratedCity;

class cCivModeWall : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xEEFCB03A;
  static constexpr int kOutlinePoints = 100;
  static constexpr int kMostRounds = 200;
  static constexpr float kFieldThreshold = 250000.0f;
  static constexpr float kCentreWeight = 10.0f;
  static constexpr float kOutwardStep = 0.03f;
  static constexpr float kCircleOffset = 0.05f;
  static constexpr float kHeight = 10.0f;

  Ko::cIGameData* Create() override { return new cCivModeWall(); }
  uint32_t GetTypeId() override { return kTypeId; }

  void Init(float x, float y, float z, cCivModeDecoratedCity* city);
  void SetCentre(const Ru::Math::Vector3& p);
  void Reset();  // no points, the first circle
  void AddPoint(const Ru::Math::Vector3& p);  // encloses one more position
  // The outline SetCentre, Reset and an AddPoint for each of `positions` in
  // order make. When the wall, last reset round the same centre, already
  // encloses the first of them in the same order (a turret or a building
  // added after the last layout), only the rest are added: each AddPoint
  // relaxes from the outline before it, so the outline is the same.
  void Enclose(const Ru::Math::Vector3& centre, const std::vector<Ru::Math::Vector3>& positions);
  uint64_t GetFieldEvaluations() const { return mFieldEvaluations; }  // work done relaxing, so far
  void GetOutline(std::vector<Ru::Math::Vector3>& out) const { out = mOutline; }
  const std::vector<Ru::Math::Vector3>& Outline() const { return mOutline; }  // unit directions, ring order
  void Draw();

 private:
  void MakeCircle();
  void Relax();  // from the published outline outward into mWork

  std::vector<Ru::Math::Vector3> mPoints;
  std::vector<Ru::Math::Vector3> mWork;
  std::vector<Ru::Math::Vector3> mOutline;
  Ru::Math::Vector3 mCentre{0.0f, 1.0f, 0.0f};
  cCivModeDecoratedCity* mCity = nullptr;
  bool mFromReset = false;  // the outline grew from the first circle by AddPoint alone
  uint64_t mFieldEvaluations = 0;
};
