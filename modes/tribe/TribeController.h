// The rival (NPC) tribes, run on three timers: about every minute the location
// script decides how many there are and where their huts stand around the
// player's first hut; about every 5.5 seconds the size script sets each one's
// population (new members arrive at once); about every second the attack
// script may send one tribe's members against the player's hut.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "math/Types.h"

class cTribe;
class cTribeGameMode;
class cTribeObjectController;

class cTribeController {
 public:
  static constexpr uint32_t kPlacementPeriodMs = 60000;
  static constexpr uint32_t kGrowthPeriodMs = 5510;
  static constexpr uint32_t kAttackPeriodMs = 1012;

  explicit cTribeController(cTribeGameMode* mode);
  virtual ~cTribeController();

  virtual void Update(uint32_t ms);  // the three timers
  virtual void Enter();              // places the NPC tribes at once
  virtual void Leave();
  virtual void StartRaid(cTribe* tribe, int attackers);

  void PlaceNpcTribes();
  void GrowNpcTribes();
  void GrowNpcTribe(cTribe* tribe);
  void TestAttack();
  // Hut place k (1-based) of the location script around the centre.
  Ru::Math::Vector3 GetNpcLocation(const Ru::Math::Vector3& centre, int k);

  uint32_t GetMsSinceAttack() const { return mTimeSinceAttack.GetElapsed(); }
  // The huts are placed around where the player's hut stood at the first
  // placement of the run; tests start a run afresh.
  static void ResetPlacementCentreForTest();

 private:
  cTribeObjectController* Objects();

  cTribeGameMode* mMode;
  uint32_t mPlacementMs = 0;
  uint32_t mGrowthMs = 0;
  uint32_t mAttackMs = 0;
  cGameStopwatch mTimeSinceAttack;
};
