// A city's gun tower. Idle, it sweeps its gun from -90 to +90 degrees and
// back; a hostile vehicle strictly within range draws it onto the vehicle,
// and once the gun is on it the tower fires pillage bullets at a jittered
// period on the real-time clock. Hit, it shrinks away and its city drops it.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/civ/CivVictim.h"
#include "sim/gamedata/GameData.h"

class cCivModeDecoratedCity;
class cCivModeVehicle;
class cSceneObject;
class cSceneShapeTurret;

enum eCivTurretState {
  kCivTurretSweepLeft = 0, kCivTurretSweepRight, kCivTurretEngage, kCivTurretReturn, kCivTurretDying, kCivTurretDead,
};

class cCivModeTurret : public Ko::cGameData, public cICivModeVictim {
 public:
  static constexpr uint32_t kTypeId = 0x2F2F17BE;
  static constexpr float kSweepLimit = 90.0f;    // degrees either side of the rest direction
  static constexpr float kTurnStep = 1.0f;       // degrees per update on each axis
  static constexpr float kShrinkStep = 0.1f;     // per axis per update while dying
  static constexpr uint32_t kAlarmPeriodMs = 10000;  // the under-attack sound, at most once per city
  static constexpr int kGunSlices = 20;

  cCivModeTurret() = default;
  Ko::cIGameData* Create() override { return new cCivModeTurret(); }
  uint32_t GetTypeId() override { return kTypeId; }

  // Stands the tower on the ground at `position`, its gun's rest direction
  // pointing away from `city` (upright when there is none).
  void Init(int owner, const Ru::Math::Vector3& position, int slot, cCivModeDecoratedCity* city);
  void Update();
  void Enter();  // back into the scene
  void Leave();  // out of the scene
  void SetOwner(int owner);
  void SetSelected(bool on);
  void ForgetTarget(cCivModeVehicle* vehicle);  // the gun returns when it was the target
  // The barrel, skipped when the planet hides it from `eye` (the loaded
  // view's). Between BeginGuns and EndGuns the barrels are only listed, and
  // EndGuns draws them all in one call: a frame has dozens, every one turned anew.
  void DrawGun(const Ru::Math::Vector3& eye);
  static void BeginGuns();
  static void EndGuns();

  const Ru::Math::Vector3* GetVictimPosition() override;
  void OnHit(int attacker) override;
  void OnDiplomaticHit(cCivModeDecoratedCity*, cCivModeVehicle*) override {}
  uint32_t GetVictimTypeId() override { return kTypeId; }

  int GetOwner() const { return mOwner; }
  int GetSlot() const { return mSlot; }
  int GetState() const { return mState; }
  cCivModeDecoratedCity* GetCity() const { return mCity; }
  cCivModeVehicle* GetTarget() const { return mTarget; }
  float GetYaw() const { return mYaw; }
  float GetPitch() const { return mPitch; }
  const Ru::Math::Vector3& GetScale() const { return mScale; }
  const Ru::Math::Vector3& GetGunPosition() const { return mGunPosition; }
  const Ru::Math::Quaternion& GetGunOrientation() const { return mGunOrientation; }
  cSceneObject* GetSceneObject() const { return mSceneObject; }

 protected:
  ~cCivModeTurret() override;

 private:
  cCivModeVehicle* FindTarget() const;
  bool TurnToward(float yaw, float pitch);  // true while either axis still moves
  void Fire();

  int mOwner = -1;
  int mSlot = 0;
  cCivModeDecoratedCity* mCity = nullptr;
  bool mSelected = false;
  cSceneObject* mSceneObject = nullptr;  // owned
  cSceneShapeTurret* mModel = nullptr;   // owned; shrinks while dying
  Ru::Math::Vector3 mScale{10.0f, 10.0f, 10.0f};
  Ru::Math::Vector3 mGunPosition{0, 0, 0};
  Ru::Math::Quaternion mGunOrientation{0, 0, 0, 1};
  float mYaw = 0.0f;
  float mPitch = 0.0f;
  float mTargetYaw = 0.0f;
  float mTargetPitch = 0.0f;
  uint32_t mLastFireTime = 0;
  uint32_t mFirePeriod = 0;
  int mState = kCivTurretSweepLeft;
  cCivModeVehicle* mTarget = nullptr;  // not referenced: the world's removal forwarding clears it
};
