// A road between two civ cities: kind 0 joins the cities' money into one
// network that pays for purchases, kind 1 is a trade route that raises the
// start city's income. A road between two cities is two one-way roads, each
// in its start city's list. So far a road holds its ends, owner and kind
// only; its path and the segments that draw it come with road laying.
#pragma once

#include <cstdint>

#include "sim/gamedata/GameData.h"

class cCivModeDecoratedCity;

enum eCivRoadKind { kCivPlainRoad = 0, kCivTradeRoute = 1 };

class cCivModeRoad : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xCEC59006;

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

 protected:
  ~cCivModeRoad() override = default;

 private:
  int mOwner = -1;
  cCivModeDecoratedCity* mStart = nullptr;
  cCivModeDecoratedCity* mEnd = nullptr;
  int mKind = kCivPlainRoad;
};
