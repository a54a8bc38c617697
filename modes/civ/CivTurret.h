// A city's gun tower. NOT BUILT YET: it stands nowhere, never turns or
// fires, and a hit does nothing; no city places one so far.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/civ/CivVictim.h"
#include "sim/gamedata/GameData.h"

class cCivModeDecoratedCity;
class cCivModeVehicle;

enum eCivTurretState {
  kCivTurretSweepLeft = 0, kCivTurretSweepRight, kCivTurretEngage, kCivTurretReturn, kCivTurretDying, kCivTurretDead,
};

class cCivModeTurret : public Ko::cGameData, public cICivModeVictim {
 public:
  static constexpr uint32_t kTypeId = 0x2F2F17BE;
  Ko::cIGameData* Create() override { return new cCivModeTurret(); }
  uint32_t GetTypeId() override { return kTypeId; }

  void Init(int owner, const Ru::Math::Vector3& /*position*/, int slot, cCivModeDecoratedCity* city) {
    mOwner = owner; mSlot = slot; mCity = city;
  }
  void Update() {}
  void Enter() {}
  void Leave() {}
  void SetOwner(int owner) { mOwner = owner; }
  void SetSelected(bool on) { mSelected = on; }
  void ForgetTarget(cCivModeVehicle* /*vehicle*/) {}
  void DrawGun() {}

  const Ru::Math::Vector3* GetVictimPosition() override { return &mPosition; }
  void OnHit(int /*attacker*/) override {}
  void OnDiplomaticHit(cCivModeDecoratedCity*, cCivModeVehicle*) override {}
  uint32_t GetVictimTypeId() override { return kTypeId; }

  int GetOwner() const { return mOwner; }
  int GetSlot() const { return mSlot; }
  int GetState() const { return mState; }
  cCivModeDecoratedCity* GetCity() const { return mCity; }

 protected:
  ~cCivModeTurret() override = default;

 private:
  int mOwner = -1;
  int mSlot = 0;
  int mState = kCivTurretSweepLeft;
  bool mSelected = false;
  cCivModeDecoratedCity* mCity = nullptr;
  Ru::Math::Vector3 mPosition{0, 0, 0};
};
