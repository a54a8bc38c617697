// The errands of city creatures with bundles and tribes: eating, saving,
// delivering, gathering fruit, selling to a tribe, buying from one, gifts,
// raids and the war's attacks; and the tribe members' own visits: trading
// at a market, pilgrimages to a temple, and leaving the city for good.
#pragma once

#include <cstdint>
#include <string>

#include "app/GameClock.h"
#include "modes/city/behaviours/CityBehaviors.h"

class cCityGameBundleContainer;
class cCityGameTribe;

class cCityGameBehaviorEatBundle : public tCityBehavior<cCityGameBehaviorEatBundle, 0> {
 public:
  std::string GetName() override { return "Eat Food Bundle"; }
  uint32_t Step() override;
};

class cCityGameBehaviorEatFromCityHall : public tCityBehavior<cCityGameBehaviorEatFromCityHall, 0> {
 public:
  std::string GetName() override { return "Eat from City Hall"; }
  uint32_t Step() override;
};

class cCityGameBehaviorSaveBundle : public tCityBehavior<cCityGameBehaviorSaveBundle, 0> {
 public:
  std::string GetName() override { return "Save Bundle"; }
  uint32_t Step() override;
};

class cCityGameBehaviorDeliverBundle : public tCityBehavior<cCityGameBehaviorDeliverBundle, 0> {
 public:
  std::string GetName() override { return "Delivering Bundle"; }
  uint32_t Step() override;
};

// The errands that end with a bundle carried to a store remember the store by id.
class cCityCarryingErrand : public cCityGameInteraction {
 public:
  void End() override;  // off the target's users; what it still carries is put down
  int GetState() const { return mState; }
  cCityGameBundleContainer* GetDestination() const;

 protected:
  void SetDestination(cCityGameBundleContainer* store);
  int mState = 0;
  uint32_t mDestinationId = 0xFFFFFFFFu;
};

template <class T, uint32_t Id>
class tCityCarryingErrand : public cCityCarryingErrand {
 public:
  static constexpr uint32_t kInteractionId = Id;
  cIInteraction* Create() override { return new T; }
  uint32_t GetInteractionId() override { return Id; }
};

class cCityCreatureGatherInteraction : public tCityCarryingErrand<cCityCreatureGatherInteraction, 0xCFBA76EE> {
 public:
  static constexpr const char* kPickSound = ".\\Data\\Sounds\\ForageOneShot.wav";
  std::string GetName() override { return "Gathering Fruit"; }
  void Start() override;
  uint32_t Step() override;

 private:
  cGameStopwatch mStopwatch;
};

class cCityGameBehaviorBuyFood : public tCityCarryingErrand<cCityGameBehaviorBuyFood, 0x6F78A33B> {
 public:
  std::string GetName() override { return "Buying food from a tribe"; }
  uint32_t Step() override;
};

class cCityGameBehaviorRaidTribe : public tCityCarryingErrand<cCityGameBehaviorRaidTribe, 0xEF74C559> {
 public:
  static constexpr const char* kHorn = ".\\Data\\Sounds\\BattleHorn1.wav";
  std::string GetName() override { return "Raiding a tribe"; }
  void Start() override;  // the horn, and the tribe takes offence before anyone arrives
  uint32_t Step() override;
};

// The same id as raiding: the groups cannot tell the two apart.
class cCityGameBehaviorAttackTribe : public tCityCarryingErrand<cCityGameBehaviorAttackTribe, 0xEF74C559> {
 public:
  std::string GetName() override { return "Attacking a tribe"; }
  void Start() override;
  uint32_t Step() override;
};

class cCityGameBehaviorGiftTribe : public tCityBehavior<cCityGameBehaviorGiftTribe, 0x8F8CA0BD> {
 public:
  std::string GetName() override { return "Giving a tribe a gift"; }
  uint32_t Step() override;
  int GetState() const { return mState; }

 private:
  int mState = 0;
};

// Selling to a tribe: the sell target, owned from Start to End, names what
// and to whom (no target: the bundle carried, to the nearest tribe).
class cCitySellingErrand : public cCityGameInteraction {
 public:
  void Start() override;  // takes the target's store and buyer by id
  void End() override;    // a bundle still carried is put down; the sell target is freed
  cCityGameTribe* GetBuyer() const;

 protected:
  bool ChooseBuyer(cCityGameCreature* creature);  // false: nobody to sell to
  // A taking step's code as the step's answer: go on, end, or with the bundle in hand choose the buyer.
  uint32_t AfterTaking(int result, cCityGameCreature* creature);
  uint32_t SellTo(cCityGameCreature* creature, bool chainOrigin);  // walks to the buyer and sells there
  uint32_t mBuyerId = 0xFFFFFFFFu;
  uint32_t mSourceId = 0xFFFFFFFFu;
  uint32_t mNamedBuyerId = 0xFFFFFFFFu;
  bool mTargetFreed = false;
};

class cCityGameBehaviorSellBundle : public cCitySellingErrand {
 public:
  cIInteraction* Create() override { return new cCityGameBehaviorSellBundle; }
  std::string GetName() override { return "Sell Bundle"; }
  uint32_t Step() override;
};

class cCityGameBehaviorSellFromContainer : public cCitySellingErrand {
 public:
  cIInteraction* Create() override { return new cCityGameBehaviorSellFromContainer; }
  std::string GetName() override { return "Sell From Container"; }
  uint32_t Step() override;
};

// ---- tribe members' visits ----

class cCityGameBehaviorNPCTrade : public tCityBehavior<cCityGameBehaviorNPCTrade, 0> {
 public:
  std::string GetName() override { return "Trading With City"; }
  uint32_t Step() override;

 private:
  uint32_t mMarketId = 0xFFFFFFFFu;
};

class cCityGameBehaviorNPCPilgrimage : public tCityBehavior<cCityGameBehaviorNPCPilgrimage, 0> {
 public:
  enum eState { kGoing = 0, kConverted = 1, kGoingHome = 2 };
  std::string GetName() override { return "On a pilgrimage"; }
  void Start() override;
  uint32_t Step() override;
  void End() override;  // a converted pilgrim becomes a citizen where it stood
  int GetState() const { return mState; }

 private:
  uint32_t mTempleId = 0xFFFFFFFFu;
  int mState = kGoing;
  cGameStopwatch mStopwatch;
};

class cCityGameBehaviorLeaveCity : public tCityBehavior<cCityGameBehaviorLeaveCity, 0> {
 public:
  static constexpr float kLeaveDistance = 100.0f;
  std::string GetName() override { return "Leaving"; }
  uint32_t Step() override;
  void End() override;  // the room is freed and the creature leaves the city

 private:
  bool mGoalSet = false;
};
