// A civ vehicle: a unit a city buys (land, amphibious or air) that drives
// along surface paths, guards a point, hunts enemy vehicles within sight and
// attacks cities. Its timers read the real-time clock. An NPC vehicle's agent
// gives it its orders. The target city chooses where an
// attacker drives and which of its turrets it shoots.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "math/Types.h"
#include "modes/civ/CivVictim.h"
#include "sim/gamedata/GameData.h"
#include "world/planet/PlanetModel.h"

class cCivModeDecoratedCity;
class cCivModeTurret;
class cCivVehicleAgent;
class cSceneObject;
class cSceneShapePyramid;

enum eCivVehicleState { kCivVehicleDying = 0, kCivVehicleDead = 1, kCivVehicleCombat = 2, kCivVehicleGuard = 3 };
enum eCivMission { kCivMissionPillage = 0, kCivMissionEmbassy = 1 };
enum eCivVehicleKind { kCivLandVehicle = 0, kCivAmphibiousVehicle = 1, kCivAirVehicle = 2 };

class cCivModeVehicle : public Ko::cGameData, public cICivModeVictim {
 public:
  static constexpr uint32_t kTypeId = 0xCE94CB5B;
  static constexpr float kModelScale = 9.0f;
  static constexpr float kFiringRange = 60.0f;   // surface distance
  static constexpr float kCrowdedDistance = 10.0f;
  static constexpr uint32_t kRepathPeriodMs = 2500;

  cCivModeVehicle();
  Ko::cIGameData* Create() override { return new cCivModeVehicle(); }
  uint32_t GetTypeId() override { return kTypeId; }

  // Where each kind may drive (CivTravelCost.cpp). Every bound is strict.
  class cCivLandVehicleOtc : public cPlanetModel::cOverlandTravelCost {
   public:
    bool IsPassable(const Ru::Math::Vector3& position, const Ru::Math::Quaternion& orientation) override;
  };
  class cCivAmphibiousVehicleOtc : public cPlanetModel::cOverlandTravelCost {
   public:
    bool IsPassable(const Ru::Math::Vector3& position, const Ru::Math::Quaternion& orientation) override;
  };
  class cCivAirVehicleOtc : public cPlanetModel::cOverlandTravelCost {
   public:
    bool IsPassable(const Ru::Math::Vector3& position, const Ru::Math::Quaternion& orientation) override;
  };

  // Starts at the first free patrol point of `home` (its centre without one).
  void Init(cCivModeDecoratedCity* home, int kind);
  void Update(uint32_t dtMs);
  // The one command entry; ignored while Dying or Dead.
  void SetState(int state, const Ru::Math::Vector3& point, cCivModeVehicle* vehicle, cCivModeDecoratedCity* city,
                int mission);
  void ResumePreviousState();
  void SetDestination(const Ru::Math::Vector3& goal);  // plans a path by its kind's rule
  void ForgetObject(Ko::cIGameData* object);  // a removed target vehicle: back to what it did before
  void OnTurretLost(cCivModeTurret* turret);
  // Kind, state and (attacking a city) the relationship, while highlighted with the debug-text switch on.
  std::vector<std::string> GetDebugLines() const;
  void DrawDebugText();
  void SetSelected(bool on);     // the selection colours while set, the owner's when cleared
  void SetHighlighted(bool on);

  const Ru::Math::Vector3* GetVictimPosition() override;
  void OnHit(int attacker) override;
  void OnDiplomaticHit(cCivModeDecoratedCity*, cCivModeVehicle*) override {}
  uint32_t GetVictimTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  int GetOwner() const { return mOwner; }
  void SetOwner(int owner) { mOwner = owner; }
  int GetState() const { return mState; }
  bool IsNPC() const { return mIsNPC; }
  void SetNPC(bool npc) { mIsNPC = npc; }
  int GetMission() const { return mMission; }
  int GetKind() const { return mKind; }
  cCivModeTurret* GetTargetTurret() const { return mTargetTurret; }
  void SetTargetTurret(cCivModeTurret* turret, int mission) { mTargetTurret = turret; mMission = mission; }
  cCivModeVehicle* GetTargetVehicle() const { return mTargetVehicle; }
  cCivModeDecoratedCity* GetTargetCity() const { return mTargetCity; }
  cCivModeDecoratedCity* GetHomeCity() const { return mHome; }
  uint32_t GetLastFireTime() const { return mLastFireTime; }  // real time
  void SetLastFireTime(uint32_t ms) { mLastFireTime = ms; }
  const Ru::Math::Vector3& GetPosition() const;
  // Its position as the surface distance takes it, kept until it moves: the
  // target and crowding searches measure every vehicle against many points.
  const cPlanetModel::sSurfacePoint& GetSurfacePoint() const;
  void SetPosition(const Ru::Math::Vector3& position);
  const Ru::Math::Vector3& GetWaypoint() const { return mWaypoint; }
  const Ru::Math::Vector3& GetGuardPoint() const { return mGuardPoint; }
  size_t GetPathLength() const { return mPath.size(); }
  bool IsAimPending() const { return mAimPending || mAimSearch; }  // asked for, or searching
  float GetScale() const { return mScale; }
  cSceneObject* GetSceneObject() const { return mSceneObject; }

 protected:
  ~cCivModeVehicle() override;

 private:
  bool HasWaypoint() const;
  bool InRange(cCivModeVehicle* target) const;
  bool IsCrowded(const Ru::Math::Vector3& at) const;
  void MoveAlongPath(uint32_t dtMs);
  void Advance(uint32_t dtMs, float most);  // its speed times the time, at most `most` units
  void FaceTowards(const Ru::Math::Vector3& point);
  void TurnTowards(const Ru::Math::Vector3& point);  // a little each update
  void DropPathFront(size_t count);                  // and as many markers
  // The search by its kind's rule, up to `maxRounds`; then the path taken up
  // (markers, the first waypoint) as SetDestination does.
  std::list<Ru::Math::Vector3> PlanPath(const Ru::Math::Vector3& goal, int maxRounds) const;
  static std::list<Ru::Math::Vector3> SearchPath(const Ru::Math::Vector3& from, const Ru::Math::Vector3& goal,
                                                 cPlanetModel::cITravelCost* cost, int maxRounds);
  void FollowPath(std::list<Ru::Math::Vector3> path);
  bool TakeReplanTurn() const;  // the world's turn for a search that may wait
  void ApproachCity();                               // re-plans and re-targets on the way in
  void Fire();
  void HoldPosition();
  void AimAtCity();  // the target city chooses what to drive to and shoot at
  // Aims now if the world grants a search turn; else the aim waits, pending.
  // Vehicles sent at a city, re-aimed after a lost turret or back from a
  // chase all go this way, so many in one tick do not each search in it.
  void AimWhenTurn();
  // Inside the world's tick an aim's search (up to 10,000 rounds toward a
  // city it may not reach) runs kReplanRounds a turn; the vehicle waits
  // where it stands until it ends. Any new order drops it.
  void ContinueAim();
  void DropAimSearch();
  void DropMarkers();
  void ShowSelection(bool on);

  uint32_t mId = 0;
  int mOwner = -1;
  int mState = kCivVehicleGuard;
  int mPreviousState = kCivVehicleGuard;
  bool mIsNPC = false;
  std::list<Ru::Math::Vector3> mPath;
  Ru::Math::Vector3 mWaypoint{0, 0, 0};
  std::vector<cSceneObject*> mMarkers;  // owned; only with "ShowVehiclePaths"
  cCivModeVehicle* mTargetVehicle = nullptr;
  cCivModeDecoratedCity* mTargetCity = nullptr;
  int mMission = kCivMissionPillage;
  cCivModeTurret* mTargetTurret = nullptr;
  cCivModeDecoratedCity* mPreviousTargetCity = nullptr;
  cCivModeDecoratedCity* mHome = nullptr;
  cSceneObject* mSceneObject = nullptr;  // owned
  cSceneShapePyramid* mModel = nullptr;  // owned; shrinks while dying
  float mScale = kModelScale;
  mutable cPlanetModel::sSurfacePoint mSurfacePoint{};
  mutable Ru::Math::Vector3 mSurfacePointAt{};
  mutable uint32_t mSurfacePointHeights = 0;
  mutable bool mSurfacePointKept = false;
  bool mSelected = false;
  bool mHighlighted = false;
  Ru::Math::Vector3 mGuardPoint{0, 0, 0};
  int mKind = kCivLandVehicle;
  uint32_t mLastFireTime = 0;
  uint32_t mFirePeriod = 0;
  uint32_t mLastRepathTime = 0;
  // When a search for a free spot last found nothing: the next waits a re-path period.
  uint32_t mSpotSearchFailedAt = 0;
  bool mAimPending = false;  // a new aim was asked for; the search waits its turn
  std::unique_ptr<cPlanetModel::cITravelCost> mAimCost;  // outlives mAimSearch, which uses it
  std::unique_ptr<cPlanetModel::cPathSearch> mAimSearch;
  bool mSpotSearchFailed = false;
  size_t mReplannedAt = 0;  // the path count of the last re-plan on the way to a city
  cCivVehicleAgent* mAgent = nullptr;  // owned
};
