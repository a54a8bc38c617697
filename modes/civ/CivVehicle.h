// A civ vehicle: a unit a city buys that drives, guards, fights and attacks
// cities. NOT BUILT YET: it holds the fields turrets and bullets read (owner,
// state, mission, target turret, position) and its operations do nothing;
// no city buys one so far.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/civ/CivVictim.h"
#include "sim/gamedata/GameData.h"
#include "world/planet/PlanetModel.h"

class cCivModeDecoratedCity;
class cCivModeTurret;

enum eCivVehicleState { kCivVehicleDying = 0, kCivVehicleDead = 1, kCivVehicleCombat = 2, kCivVehicleGuard = 3 };
enum eCivMission { kCivMissionPillage = 0, kCivMissionEmbassy = 1 };

class cCivModeVehicle : public Ko::cGameData, public cICivModeVictim {
 public:
  static constexpr uint32_t kTypeId = 0xCE94CB5B;
  Ko::cIGameData* Create() override { return new cCivModeVehicle(); }
  uint32_t GetTypeId() override { return kTypeId; }

  // Where each kind may drive (CivTravelCost.cpp; built). Every bound is strict.
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

  // Do nothing yet.
  void Init(cCivModeDecoratedCity* home, int kind) { mHome = home; mKind = kind; }
  void Update(uint32_t /*dtMs*/) {}
  void SetState(int state, const Ru::Math::Vector3& /*point*/, cCivModeVehicle* /*vehicle*/,
                cCivModeDecoratedCity* /*city*/, int mission) { mState = state; mMission = mission; }
  void ForgetObject(Ko::cIGameData* /*object*/) {}
  void OnTurretLost(cCivModeTurret* turret) { if (mTargetTurret == turret) mTargetTurret = nullptr; }
  void DrawDebugText() {}
  void SetHighlighted(bool on) { mHighlighted = on; }

  // Victim: a hit does nothing yet.
  const Ru::Math::Vector3* GetVictimPosition() override { return &mPosition; }
  void OnHit(int /*attacker*/) override {}
  void OnDiplomaticHit(cCivModeDecoratedCity*, cCivModeVehicle*) override {}
  uint32_t GetVictimTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  void SetId(uint32_t id) { mId = id; }
  int GetOwner() const { return mOwner; }
  void SetOwner(int owner) { mOwner = owner; }
  int GetState() const { return mState; }
  bool IsNPC() const { return mIsNPC; }
  void SetNPC(bool npc) { mIsNPC = npc; }
  int GetMission() const { return mMission; }
  int GetKind() const { return mKind; }
  cCivModeTurret* GetTargetTurret() const { return mTargetTurret; }
  void SetTargetTurret(cCivModeTurret* turret, int mission) { mTargetTurret = turret; mMission = mission; }
  cCivModeDecoratedCity* GetHomeCity() const { return mHome; }
  const Ru::Math::Vector3& GetPosition() const { return mPosition; }
  void SetPosition(const Ru::Math::Vector3& position) { mPosition = position; }

 protected:
  ~cCivModeVehicle() override = default;

 private:
  uint32_t mId = 0;
  int mOwner = -1;
  int mState = kCivVehicleGuard;
  bool mIsNPC = false;
  bool mHighlighted = false;
  int mMission = kCivMissionPillage;
  int mKind = 0;
  cCivModeTurret* mTargetTurret = nullptr;
  cCivModeDecoratedCity* mHome = nullptr;
  Ru::Math::Vector3 mPosition{0, 0, 0};
};
