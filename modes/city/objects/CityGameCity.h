// The player's city hall and the city's bookkeeper. It stands at the north
// pole, keeps the city's money in the shared city record, pays the hall's
// income on a timer (shown rising over the hall), averages the citizens'
// happiness over a ring of samples, counts population and housing, grows the
// population through the population formula, keeps the walls, the protest
// group, the sleeping spot and its food store, shows a warning icon over the
// hall when food or money run low, and starts the war on a tribe.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "app/GameClock.h"
#include "modes/city/economy/CityGameBuilding.h"

class cCityCommon;
class cCityGameCityWalls;
class cCityGamePlayerCreature;
class cCityGameProtestGroup;
class cSceneShapeBillboard;

class cCityGameCity : public tCityGameClass<cCityGameCity, cCityGameBuilding, 0xEE9B2232> {
 public:
  static constexpr int kMaxHappinessSamples = 1000;  // the ring's size is cut to 1 .. this
  static constexpr float kIconHeight = 10.0f;
  static constexpr float kIconScale = 3.0f;
  static constexpr uint32_t kIconPeriodMs = 2000;  // food in the first half, money in the second
  static constexpr float kIconShowsAtOrBelow = 5.0f;
  static constexpr float kFoodRedAtOrBelow = 0.2f;
  static constexpr float kMoneyRedAtOrBelow = 0.5f;
  static constexpr int kWarPartySize = 6;
  enum eIcon { kNoIcon = -1, kSleepRed, kSleepYellow, kFoodRed, kFoodYellow, kMoneyRed, kMoneyYellow, kIconCount };
  enum eFeature { kMilitaryFeature = 1, kMarketFeature = 2, kTempleFeature = 3 };

  void Setup();  // once per city, by the mode's Enter

  void EndUsersInteractions() override;
  void ResolveLinks() override;
  void OnModeEnter() override;
  void Draw() override;
  void Update(uint32_t ms) override;
  float GetUseScore(cCityGameWorldObject* user) override;
  bool IsPickable(cCityGameWorldObject* user) override;
  void DrawLabel(bool show, int x, int y) override;
  cICityGameCursor* StartDrag(int x, int y, cSceneObject* picked) override;
  cICityGameCursor* GetCursor(int x, int y, cSceneObject* picked) override;  // the city pie menu
  std::string GetInteractionName() override { return "Eat"; }
  cIInteraction* GetDefaultInteraction() override;  // eating from the hall's store
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.0f, 0.0f, 1.0f}; }
  bool AcceptsBundleKind(uint32_t kind) override { return kind == 1; }
  cCityGameBundleContainer* GetContainer(uint32_t kind) override;

  void AddMoney(float amount);  // the coin sound for a gain, the cash register for a cost
  void AddMoneySilently(float amount);
  float GetMoney() const;
  void UpgradeCityHall();  // when below the top level and the money covers the next level's price
  void AddFeature(int kind);
  bool HasFeature(int kind) const;
  void StartPartyBonus() { mPartyTimer.Restart(); }
  // The building build cursor's hands on the walls: a trial growth while a
  // building is placed, a new field source once it is.
  void GrowWallsForTrial(const Ru::Math::Vector3& point, float weight);
  void AddWallPoint(const Ru::Math::Vector3& point, float weight);

  float GetHappiness() const { return mHappiness; }
  float GetPartyBonus() const { return mPartyBonus; }
  int GetPopulation() const { return mPopulation; }
  int GetHousingCapacity() const { return mHousingCapacity; }
  cCityCommon* GetCommon() const { return mCommon; }
  cCityGameCityWalls* GetWalls() const;
  const Ru::Math::Vector3& GetSleepingSpot() const { return mSleepingSpot; }
  cCityGameProtestGroup* GetProtestGroup() const { return mProtestGroup; }
  int GetUpgradeLevel() const { return mUpgradeLevel; }
  int GetSampleCount() const { return mSampleCount; }
  float GetFrameRate() const { return mFrameRate; }
  eIcon GetStatusIconKind() const { return mStatusIconKind; }
  cSceneObject* GetStatusIcon() const { return mStatusIcon; }
  const std::vector<float>& GetMoneyTexts() const { return mMoneyTexts; }
  const cGameStopwatch& GetMoneyTimer() const { return mMoneyTimer; }

  static cSceneShapeBillboard* GetIconShape(eIcon icon);  // the six warning icons, built on first use
  // Which icon shows at icon-clock time t with that food and money.
  static eIcon ChooseStatusIcon(uint32_t t, float food, float money);

 private:
  void UpdateHappiness();
  std::vector<cCityGamePlayerCreature*> GetOwnCitizens() const;  // in id order
  void CountPeopleAndRooms(int population);  // the population and the housing capacity
  void UpdateStatusIcon();
  void RemoveStatusIcon();
  void StartWar();
  Ru::Math::Vector3 PointAroundHall(float degrees) const;

  float mHappiness = 50.0f;
  float mPartyBonus = 0.0f;
  int mPopulation = 0;
  int mHousingCapacity = 0;
  Ru::Math::Vector3 mSleepingSpot;
  cCityCommon* mCommon = nullptr;
  cCityObjectHandle mWalls;
  uint32_t mCommonId = kNoCityId;
  cSceneObject* mStatusIcon = nullptr;  // owned
  eIcon mStatusIconKind = kNoIcon;
  cGameStopwatch mIconClock;
  cCityGameProtestGroup* mProtestGroup = nullptr;
  float mFrameRate = 10.0f;
  cCityObjectHandle mContainer;
  int mUpgradeLevel = 0;
  cGameStopwatch mMoneyTimer;
  cGameStopwatch mHappinessTimer;
  std::vector<float> mMoneyTexts;
  std::deque<float> mHappinessSamples;  // newest at the front
  int mSampleCount = 1;
  std::vector<int> mFeatures;
  cGameStopwatch mPartyTimer;
};

// The food in every holder's store but the tribes': the "Food:" of the HUD.
float GetCityFood();
// The city has a military building and some tribe is at war with it.
bool IsAtWar(cCityGameCity* city);
// The city's two global stores (food, goods), made by the hall's setup; null
// when none is registered (before the first setup and after a load) and while
// the registry is being cleared.
class cCityGameCityBundleContainer;
cCityGameCityBundleContainer* GetGlobalCityContainer(uint32_t kind);
