// The civ simulation's container and clock: it registers the civ game-data
// types, chooses the human player, lays out the cities at their start places
// on the first entry, drives every city once per tick, lowers every mood on
// the happiness timer, keeps the influence field and runs the camera's cycle
// over the human's cities. It also holds the vehicles, the bullets, the NPC
// players' agent and the players' income shares.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "math/Types.h"

class cBuildingCommon;
class cCivBulletList;
class cCivModeTurret;
class cCivModeVehicle;
class cCivPlayerAgent;
namespace Ko { class cIGameData; }
class cCivInfluence;
class cCivModeDecoratedBuilding;
class cCivModeDecoratedCity;
class cCivModeRoad;

class cCivWorld {
 public:
  cCivWorld();
  ~cCivWorld();

  void Enter();
  // One tick. Standing still (the mode at simulation speed 0) nothing the
  // world runs changes a city, a turret, a vehicle or a goal: the agents, the
  // mood decay and the vehicles' and turrets' timers run on clocks that a
  // tick of no time does not stop, and a bullet at its target would arrive.
  void Update(uint32_t dtMs, bool standingStill = false);
  bool IsStandingStill() const { return mStandingStill; }  // during a tick
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
  // Each player's share of the world's income, largest first, in the
  // player's colour. Computed each tick after the world (the HUD calls it),
  // so the NPC agent reads it headless too.
  struct sIncomeShare {
    float value;
    Ru::Math::Vector3 colour;
  };
  void UpdateIncomeDistribution();
  const std::vector<sIncomeShare>& GetIncomeDistribution() const { return mIncome; }
  cCivBulletList* GetBullets() { return mBullets; }

  // ---- vehicles ----
  // A vehicle of `kind` (0 land, 1 amphibious, 2 air) for `city`; null without a
  // city. The human's new vehicle starts highlighted and selected.
  cCivModeVehicle* CreateVehicle(cCivModeDecoratedCity* city, int kind);
  void AdoptVehicle(cCivModeVehicle* vehicle);  // one made elsewhere (the debug panel's) joins the list
  const std::vector<cCivModeVehicle*>& GetVehicles() const { return mVehicles; }
  // The first hostile live vehicle within 60 of `vehicle` (120 while it guards).
  cCivModeVehicle* FindVehicleTarget(cCivModeVehicle* vehicle) const;
  cCivModeVehicle* FindVehicleNearCity(cCivModeDecoratedCity* city) const;  // a foreign live one within 150
  cCivModeVehicle* FindLiveVehicle(uint32_t id) const;  // id 0 finds nothing
  // The searches a vehicle may leave for a later tick (a re-plan of a path it
  // has, a pursuit's re-path, the way to a free spot, a new aim after a lost
  // turret) take turns: at most kReplansPerTick in one tick of the world, the
  // re-plans bounded to kReplanRounds, so many falling due together do not
  // stall one tick. Outside the world's tick (a vehicle updated on its own)
  // every ask is granted.
  // The rounds they run share kSearchRoundsPerTick: a turn is granted only
  // while some are left, and every vehicle search spends what it ran (one
  // of 2,000 rounds can cost 3 ms), so two in one tick do not both run long.
  static constexpr int kReplansPerTick = 2;
  static constexpr int kReplanRounds = 2000;
  static constexpr int kSearchRoundsPerTick = 2000;
  bool TakeReplanTurn();
  int GetSearchRoundsLeft() const;  // all a search may run, outside the tick
  void SpendSearchRounds(int rounds);
  bool IsInTick() const { return mInTick; }
  // A road bought during a tick joins its cities' road lists at once; its path
  // search runs kRoadRoundsPerTick rounds a tick from the next on (a search
  // across the planet, or one that finds nothing, takes up to 10,000 rounds),
  // and its segments are laid when it finishes. Outside a tick all at once.
  static constexpr int kRoadRoundsPerTick = 2000;
  size_t GetPendingRoadCount() const { return mPendingRoads.size(); }
  cCivModeDecoratedCity* FindCityOfTurret(cCivModeTurret* turret) const;
  void KillVehiclesOfCity(cCivModeDecoratedCity* city);  // they start dying
  void NotifyTurretLost(cCivModeTurret* turret);
  // The data manager removes `object`: whoever points at it lets go.
  void ForgetObject(Ko::cIGameData* object);
  // Before a load: the bullets go, then the vehicles leave the data manager.
  void ClearForLoad();

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
  std::vector<cCivModeVehicle*> mVehicles;  // creation order; referenced
  cCivBulletList* mBullets = nullptr;        // owned
  cCivPlayerAgent* mAgent = nullptr;         // owned
  std::vector<sIncomeShare> mIncome;
  bool mInTick = false;
  bool mStandingStill = false;
  struct cPendingRoad;
  std::vector<std::unique_ptr<cPendingRoad>> mPendingRoads;
  void AdvancePendingRoads();
  static void LayPendingRoad(cPendingRoad& pending);
  int mReplansThisTick = 0;
  int mSearchRoundsLeft = 0;
};

// Registers every civ game-data type with the data manager, in order (once).
void RegisterCivTypes();
