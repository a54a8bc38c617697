// The civ world's bullets. A bullet flies from where it was fired straight at
// its target at a fixed speed, kept above the ground, and on arrival tells
// the target: a pillage bullet attacks it, a diplomatic one opens diplomacy.
// Bullets are plain objects the list owns, never game data, never saved.
#pragma once

#include <cstdint>
#include <cstddef>
#include <list>

#include "math/Types.h"

namespace Ko { class cIGameData; }
class cCivModeDecoratedCity;
class cCivModeVehicle;
class cICivModeVictim;
class cSceneObject;

enum eCivBulletKind { kCivPillageBullet = 0, kCivDiplomaticBullet = 1 };

// The wait before a shooter's next shot: 3000 ms give or take up to 2000 (the combat block's fixed values).
uint32_t DrawCivFirePeriodMs();

class cCivModeBullet {
 public:
  cCivModeBullet(const Ru::Math::Vector3& from, cICivModeVictim* target, int shooter, int kind);
  virtual ~cCivModeBullet();  // the scene object leaves the scene with it

  // Flies, or on arrival sets done and tells the target.
  void Update(uint32_t dtMs);
  bool IsDone() const { return mDone; }
  cICivModeVictim* GetTarget() const { return mTarget; }
  // The straight distance to the target; within 1.0 it is 0 and the bullet is done.
  float DistanceToTarget();
  void Move(uint32_t dtMs);  // one step along its heading, lifted onto the ground when below it
  void Orient();             // faces the target
  const Ru::Math::Vector3& GetPosition() const;
  const Ru::Math::Quaternion& GetOrientation() const;
  virtual void ForgetVehicle(cCivModeVehicle* /*vehicle*/) {}

 protected:
  virtual void Arrive() = 0;

  cICivModeVictim* mTarget;  // not owned
  cSceneObject* mSceneObject;
  bool mDone = false;
  int mShooter;
};

class cCivPillageBullet : public cCivModeBullet {
 public:
  cCivPillageBullet(const Ru::Math::Vector3& from, cICivModeVictim* target, int shooter)
      : cCivModeBullet(from, target, shooter, kCivPillageBullet) {}

 protected:
  void Arrive() override;
};

class cCivDiplomaticBullet : public cCivModeBullet {
 public:
  cCivDiplomaticBullet(const Ru::Math::Vector3& from, cICivModeVictim* target, cCivModeDecoratedCity* home,
                       cCivModeVehicle* vehicle);
  void ForgetVehicle(cCivModeVehicle* vehicle) override;  // it flies on, carrying no vehicle
  cCivModeVehicle* GetVehicle() const { return mVehicle; }

 protected:
  void Arrive() override;

 private:
  cCivModeDecoratedCity* mHome;
  cCivModeVehicle* mVehicle;
};

class cCivBulletList {
 public:
  ~cCivBulletList() { Clear(); }
  // Kind 0 a pillage bullet for `home`'s owner, else a diplomatic one carrying
  // `home` and `vehicle`; nothing without a target or a home city.
  void Spawn(const Ru::Math::Vector3& from, cICivModeVictim* target, cCivModeDecoratedCity* home, int kind,
             cCivModeVehicle* vehicle);
  // Deletes the bullets done last tick, then moves the rest in firing order.
  void Update(uint32_t dtMs);
  // A removed city, turret or vehicle: the bullets aimed at it go without hitting.
  void OnObjectRemoved(Ko::cIGameData* object);
  void Clear();
  size_t GetCount() const { return mBullets.size(); }
  const std::list<cCivModeBullet*>& GetBullets() const { return mBullets; }

 private:
  // Owned, in firing order; while updating, a dropped bullet leaves a null
  // that the update then erases, so no iterator is ever invalidated.
  std::list<cCivModeBullet*> mBullets;
  bool mUpdating = false;
};
