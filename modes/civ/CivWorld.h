// The civ simulation's container and clock: it registers the civ game-data
// types, chooses the human player, lays out the cities at their start places
// on the first entry, drives every city once per tick, lowers every mood on
// the happiness timer, keeps the influence field and runs the camera's cycle
// over the human's cities. Vehicles, bullets, roads and the NPC agent join it
// later; until then the tick has nothing of theirs to run.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"

class cBuildingCommon;
class cCivInfluence;
class cCivModeDecoratedBuilding;
class cCivModeDecoratedCity;
class cCivModeRoad;

class cCivWorld {
 public:
  cCivWorld();
  ~cCivWorld();

  void Enter();
  void Update(uint32_t dtMs);
  void Render();
  void Leave();

  void ClearFocusCycle();
  void PrepareSniffTest();
  cCivModeDecoratedCity* NextPlayerCity();
  void FocusNextPlayerCity(bool continueCycle);
  cCivModeDecoratedCity* CreateCity();
  cCivModeRoad* CreateRoad();
  // Lays the road (its start, end and kind set) and its return road along a
  // surface path between the two cities; a trade route also records the
  // trade event between their owners.
  void PlaceRoad(cCivModeRoad* road);
  // When a and b are on bad terms, each one's NPC cities consider expelling
  // the other's embassy (the relationship events call it).
  void ExpelEmbassies(int a, int b);
  void DumpCityPositions() const;
  // The first building, over the cities in order, whose record is `record`.
  cCivModeDecoratedBuilding* FindBuildingByRecord(cBuildingCommon* record) const;
  // The first city whose record is the one the building record names.
  cCivModeDecoratedCity* FindCityOfBuildingRecord(cBuildingCommon* record) const;
  cCivInfluence* GetInfluence() { return mInfluence; }

  // The start place of city `index`: ten places, nine with the test camera
  // (which skips the second); the origin for any other index.
  static Ru::Math::Vector3 StartPosition(int index, bool testCamera);
  // City k of `cities` goes to floor(k / (cities / players)).
  static int StartOwner(int k, int cities, int players);
  // The mood decay timer is the program's, started by the first world; tests restart it.
  static void RestartMoodDecayForTest();

 private:
  void CreateStartCities();
  void DrawInitialMoods();

  std::vector<cCivModeDecoratedCity*> mFocusCycle;
  cCivModeDecoratedCity* mCycleStart = nullptr;
  cCivInfluence* mInfluence = nullptr;
};

// Registers every civ game-data type with the data manager, in order (once).
void RegisterCivTypes();
