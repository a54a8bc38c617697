// A tribe's raid on the city: one world object at the city whose raiders
// each grab a loose or piled food bundle and carry it home. The first raider
// within 45 of the hall starts the war cry and four red rings pulsing round
// it for ten seconds; the raid removes itself once every raider is done and
// tells its tribe when it goes.
#pragma once

#include <cstdint>
#include <vector>

#include "app/GameClock.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/groups/CityRings.h"
#include "modes/city/objects/CityGameObject.h"

class cCityGameCity;
class cCityGameTribe;
class cCityGameTribeCreature;

class cCityGameRaidDisaster : public tCityGameClass<cCityGameRaidDisaster, cCityGameWorldObject, 0x0F6258B9> {
 public:
  static constexpr float kArrivalReach = 45.0f;  // from the hall: the raiders have come
  static constexpr uint32_t kRippleMs = 1500, kRingsLastMs = 10000;
  static constexpr const char* kWarCry = ".\\Data\\Sounds\\IndiansAttack.wav";

  virtual const char* GetName() { return "Raid Disaster"; }
  cIInteraction* GetDefaultInteraction() override;
  void Start(cCityGameCity* city, cCityGameTribe* tribe);
  void AddRaider(cCityGameTribeCreature* raider);
  void RemoveRaider() { --mRaiderCount; }
  void Update(uint32_t ms) override;
  // The tribe hears the raid is over (found by id: it may be gone), the rings go.
  void EndUsersInteractions() override;

  int GetRaiderCount() const { return mRaiderCount; }
  cCityGameTribeCreature* GetLeadRaider() const;
  bool HasPlayedWarCry() const { return mSoundPlayed; }
  float GetRingScale(int i) const { return mRings.GetScale(i); }

 private:
  cGameStopwatch mRippleStopwatch;
  cCityRingPulse mRings;
  uint32_t mTribeId = kNoCityId;
  bool mTribeTold = false;
  int mRaiderCount = 0;
  uint32_t mLeadRaiderId = kNoCityId;
  cGameStopwatch mLeadStopwatch;
  std::vector<uint32_t> mRaiders;  // registry ids in start order: a raider may be removed meanwhile
  bool mSoundPlayed = false;
};

// A raider's part: walk to the nearest loose or piled food, take it home to
// the tribe's store; one bundle each, and nothing to take ends it at once.
class cCityGameRaidingTribeInteraction : public tCityBehavior<cCityGameRaidingTribeInteraction, 0xEF6A244C> {
 public:
  std::string GetName() override { return "Raiding From City"; }
  void Start() override;
  uint32_t Step() override;
  void End() override;
  bool IsWalking() const { return mWalking; }
  float GetArrivalRadius() const { return mArrivalRadius; }

 private:
  void LookForLoot(cCityGameTribeCreature* raider);

  float mArrivalRadius = 0.0f;
  bool mWalking = false;
};
