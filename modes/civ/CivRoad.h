// A road between two civ cities: kind 0 joins the cities' money into one
// network that pays for purchases, kind 1 is a trade route that raises the
// start city's income. A road between two cities is two one-way roads, each
// in its start city's list. It is drawn as a chain of small shapes, one per
// path point, and each point projects influence for the road's owner.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"
#include "world/planet/PlanetModel.h"

class cCivModeDecoratedCity;
class cSceneObject;
class cSceneShapeCube;

enum eCivRoadKind { kCivPlainRoad = 0, kCivTradeRoute = 1 };

class cCivModeRoad : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xCEC59006;
  static constexpr float kInfluenceStrength = 500.0f;
  static constexpr float kInfluenceRadius = 50.0f;

  // Roads step only where the ground is above 490 (shallow water is fine);
  // with the test camera also within its band.
  class cCivRoadOtc : public cPlanetModel::cOverlandTravelCost {
   public:
    bool IsPassable(const Ru::Math::Vector3& position, const Ru::Math::Quaternion& orientation) override;
  };

  cCivModeRoad();
  Ko::cIGameData* Create() override { return new cCivModeRoad(); }
  uint32_t GetTypeId() override { return kTypeId; }

  int GetOwner() const { return mOwner; }
  void SetOwner(int owner) { mOwner = owner; }
  cCivModeDecoratedCity* GetStart() const { return mStart; }
  void SetStart(cCivModeDecoratedCity* city) { mStart = city; }
  cCivModeDecoratedCity* GetEnd() const { return mEnd; }
  void SetEnd(cCivModeDecoratedCity* city) { mEnd = city; }
  int GetKind() const { return mKind; }
  void SetKind(int kind) { mKind = kind; }

  // One drawn segment per point, in the start city's owner's colour.
  void BuildSegments(const std::vector<Ru::Math::Vector3>& path);
  size_t GetSegmentCount() const { return mSegments.size(); }
  const Ru::Math::Vector3& GetSegmentPosition(size_t i) const;  // i below the count
  // Out of the scene while another mode runs, back in on the next entry.
  void ShowSegments(bool shown);

  // The two lanes a path gives: a plain road keeps every second point for
  // both directions; a trade route sends every third of those back and the
  // rest out.
  static void SplitPath(const std::list<Ru::Math::Vector3>& path, int kind, std::vector<Ru::Math::Vector3>& outbound,
                        std::vector<Ru::Math::Vector3>& back);

 protected:
  ~cCivModeRoad() override;

 private:
  bool ProjectsInfluence() const;

  int mOwner = -1;
  cCivModeDecoratedCity* mStart = nullptr;
  cCivModeDecoratedCity* mEnd = nullptr;
  std::vector<cSceneObject*> mSegments;  // owned
  int mKind = kCivPlainRoad;
  cSceneShapeCube* mShape = nullptr;  // owned
  // Whether the segments' influence was added: the destructor removes exactly
  // that, whoever holds the start city by then (or whether it still exists).
  bool mInfluenceRegistered = false;
};
