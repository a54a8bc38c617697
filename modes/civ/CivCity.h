// One city of the civ game: an owner, the shared city record (money, place),
// a ring of buildings, a wall round them, a patrol path outside the wall, a
// mood, the income its buildings earn every tick (raised by embassies and
// trade routes), and the roads that join its money with its neighbours'.
// Its combat side: bullets destroy buildings until it surrenders and changes
// hands; diplomatic bullets found embassies, which sour relations expel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/Types.h"
#include "modes/civ/CivMood.h"
#include "modes/civ/CivVictim.h"
#include "sim/gamedata/GameData.h"

class cCityCommon;
class cCivCityAgent;
class cCivModeTurret;
class cCivModeDecoratedBuilding;
class cCivModeEmbassyBuilding;
class cCivModeRoad;
class cCivModeWall;
class cSceneObject;

class cCivModeDecoratedCity : public Ko::cGameData, public cICivModeVictim {
 public:
  static constexpr uint32_t kTypeId = 0xAE94CB4D;
  static constexpr int kFirstRingStep = 45;     // degrees between buildings
  static constexpr int kFirstRingRadius = 20;   // world units beyond the building scale
  static constexpr int kWideningBuilding = 9;   // the ring widens for the ninth building
  static constexpr float kPatrolMargin = 20.0f; // the patrol path's distance outside the wall

  cCivModeDecoratedCity();
  Ko::cIGameData* Create() override { return new cCivModeDecoratedCity(); }
  uint32_t GetTypeId() override { return kTypeId; }

  // Creates the city record, places the marker and the record at `position`
  // (upright there), walls the place, gives the city to `owner` and builds
  // its first buildings on the ring with their starting money.
  void Setup(int owner, const Ru::Math::Vector3& position);
  // A later entry into the mode: the ring is replayed, the buildings return
  // to the scene and a new wall is built.
  void Reenter(int owner);
  void Leave();  // the buildings, roads and turrets leave the scene and the wall goes
  void Update(uint32_t dtMs);  // earns, then drops removed buildings and lost turrets
  void Render();  // the info lines (highlighted, with the debug-text switch on), then the wall band
  // "City Owner = 2", "Wealth Local to City = 150", ...: what the info text shows.
  std::vector<std::string> GetInfoLines();
  void Relocate(float x, float y, float z);  // the ring is laid again round the new place
  // The wall restarts from the city centre and encloses every building
  // again; the patrol path follows it.
  void RefreshLayout();

  cCivModeDecoratedBuilding* AddBuilding(int kind);  // 1 happiness ... 5 embassy
  void DestroyBuilding();  // the first intact building becomes rubble
  void RepairBuilding();   // the first rubble is rebuilt
  void ThrowParty();
  void SetHighlighted(bool on);
  bool IsHighlighted() const { return mHighlighted; }

  // The plain-road network: this city first, then every city its plain roads
  // reach, each once (depth first, in road-list order). Trade routes join no network.
  std::vector<cCivModeDecoratedCity*> GetNetworkCities();
  float GetNetworkWealth();
  float GetAvailableWealth();  // the owner's civ pool and the network's money
  // Takes exactly `cost`: from the network's cities in network order, each up
  // to what it holds, the rest from the owner's civ pool.
  void Pay(float cost);
  void GiveGift(cCivModeDecoratedCity* to, float amount);
  void AddRoad(cCivModeRoad* road);  // the city holds a reference
  const std::vector<cCivModeRoad*>& GetRoads() const { return mRoads; }
  cCivModeRoad* FindRoad(cCivModeDecoratedCity* far, int kind) const;
  // The city's roads and turrets leave the data manager (and the scene) with it.
  void RemoveRoadsAndTurrets();
  // The first embassy here, not expelled, that speaks for `player` (-1: any player); null for none.
  cCivModeEmbassyBuilding* FindEmbassy(int player) const;
  cCivModeDecoratedBuilding* FindBuildingBySceneObject(cSceneObject* object) const;
  void SetBuildingStyle(int style);  // 0 the civ look, 1 the city look
  static int CountHumanBuildings();  // intact buildings over the human's cities

  // Money per second before the NPC handicap; pays each embassy's owner its share of `dtMs`.
  float GetWealthRate(uint32_t dtMs);
  float GetBaseWealthRate() const;
  int CountIntactBuildings() const;  // owned by the city's owner and intact
  bool HasDamagedBuilding() const;
  int GetBuildingCount() const { return (int)mBuildings.size(); }
  const std::vector<cCivModeDecoratedBuilding*>& GetBuildings() const { return mBuildings; }
  // Takes the building out of the city, the scene and the data manager, with its record.
  void RemoveBuilding(cCivModeDecoratedBuilding* building);
  // A building made elsewhere (the city mode's) joins the list as it stands, owned by the city's owner.
  void AdoptBuilding(cCivModeDecoratedBuilding* building);
  void GetPatrolPath(std::vector<Ru::Math::Vector3>& out) const { out = mPatrolPath; }
  size_t GetPatrolMarkerCount() const { return mPatrolMarkers.size(); }
  void UpdatePatrolMarkers();  // in the scene only while "ShowCityPatrolPaths" is on
  int GetRingStep() const { return mRingStep; }
  int GetRingRadius() const { return mRingRadius; }

  // ---- turrets ----
  // A turret at its slot's patrol point; nothing at the limit (8) or without a patrol path.
  void AddTurret();
  int RemoveTurrets();  // through the data manager; returns how many there were
  const std::vector<cCivModeTurret*>& GetTurrets() const { return mTurrets; }
  // A game object leaves the world: every turret drops it as a target.
  void ForgetObject(Ko::cIGameData* object);

  // ---- the combat side ----
  const Ru::Math::Vector3* GetVictimPosition() override;
  // Where a vehicle at `from` should shoot: the nearest live turret (returned
  // in `victim`), else beside the nearest building (victim null), else the centre.
  void GetAttackTarget(const Ru::Math::Vector3& from, Ru::Math::Vector3& aimPoint, cICivModeVictim*& victim);
  void ChangeOwner(int newOwner);  // capture; announces a won or lost game
  void EstablishEmbassy(cCivModeDecoratedCity* source);
  void ExpelEmbassy(cCivModeDecoratedBuilding* building);
  void RemoveRoadsTo(cCivModeDecoratedCity* other);  // through the data manager
  void OnHit(int attacker) override;
  void OnDiplomaticHit(cCivModeDecoratedCity* home, cCivModeVehicle* vehicle) override;
  uint32_t GetVictimTypeId() override { return kTypeId; }
  // The relationship with `player` turned sour: an NPC city may expel its embassy.
  void ConsiderExpellingEmbassy(int player);
  uint32_t GetLastHitTime() const { return mLastHitTime; }  // real time of the last bullet arrival
  void SetLastHitTime(uint32_t ms) { mLastHitTime = ms; }
  cCivCityAgent* GetAgent() const { return mAgent; }

  int GetOwner() const { return mOwner; }
  void SetOwner(int owner);  // also decides whether the NPC agent plays it
  bool IsNPC() const { return mIsNPC; }
  void SetNPC(bool npc) { mIsNPC = npc; }
  cCivMood* GetMood() { return &mMood; }
  cCityCommon* GetRecord() const { return mRecord; }
  void SetRecord(cCityCommon* record) { mRecord = record; }
  cSceneObject* GetMarker() const { return mMarker; }
  void SetMarker(cSceneObject* marker);  // the city takes it
  cCivModeWall* GetWall() const { return mWall; }
  Ru::Math::Vector3 GetPosition() const;  // the record's; the origin without one
  float GetMoney() const;
  void SetMoney(float money);

 protected:
  ~cCivModeDecoratedCity() override;

 private:
  void MakeWall();
  void DropWall();
  void DropPatrolMarkers();
  void AddNewBuilding(cCivModeDecoratedBuilding* building);
  // Places the building at the ring's next angle, widening the ring for the
  // ninth; returns the final position (also enclosed by the wall).
  Ru::Math::Vector3 PlaceOnRing(cCivModeDecoratedBuilding* building, bool isNinth);

  int mOwner = -1;
  bool mHighlighted = false;
  std::vector<cCivModeDecoratedBuilding*> mBuildings;  // creation order; the data manager holds them
  cCityCommon* mRecord = nullptr;
  cCivModeWall* mWall = nullptr;
  std::vector<cCivModeRoad*> mRoads;  // leaving this city; referenced
  std::vector<Ru::Math::Vector3> mPatrolPath;
  std::vector<cSceneObject*> mPatrolMarkers;  // owned
  cSceneObject* mMarker = nullptr;            // owned
  std::vector<cCivModeTurret*> mTurrets;      // referenced; the data manager holds them
  cCivCityAgent* mAgent = nullptr;            // owned
  uint32_t mLastHitTime = 0;
  Ru::Math::Vector3 mVictimPosition{0, 0, 0};
  int mRingStep = kFirstRingStep;
  int mRingRadius = kFirstRingRadius;
  int mRingAngle = 0;
  bool mIsNPC = true;
  cCivMood mMood;
};
