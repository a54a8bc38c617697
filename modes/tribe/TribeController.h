// Not built yet: runs the rival (NPC) tribes on three timers, placing their
// huts, growing them and sending raids at the player's hut; does nothing for now.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "math/Types.h"

class cTribe;
class cTribeGameMode;

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

 private:
  cTribeGameMode* mMode;
  uint32_t mPlacementMs = 0;
  uint32_t mGrowthMs = 0;
  uint32_t mAttackMs = 0;
  cGameStopwatch mTimeSinceAttack;
};
