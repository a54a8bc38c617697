// The building kinds the player buys: each sets its price, capacity, stays,
// name and colour from the building tuning. The silo keeps a food store of
// its own and the farm stands outside the walls, pulling them in. Using a
// kind changes the citizen inside: a house gives a room and rest, a silo a
// meal, a factory wages for the city, a farm crops that its workers carry to
// a store; the market, the temple and the military building take no order
// (tribes trade and pray there, and citizens muster by the military one).
#pragma once

#include <string>
#include <vector>

#include "app/GameClock.h"
#include "modes/city/economy/CityGameBuilding.h"

class cCityGameBundle;

// A building that serves one motive (the house: energy, the silo: hunger).
class cCityGameBuildingMotive : public cCityGameBuilding {
 public:
  uint32_t GetServedMotives() override { return 1u << mMotiveIndex; }
  Ru::Math::Vector3 GetColour() override;  // the motive's colour
  virtual float GetMotiveDelta() { return 0.0f; }
  float GetUseScore(cCityGameWorldObject* user) override;  // a pressing need near by scores high
  bool AcceptsUser(cCityGameWorldObject* user) override;
  bool UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) override;
  bool Enter(cCityGameWorldObject* user) override;

 protected:
  uint32_t mMotiveIndex = 0;
};

// A building that makes a product (the farm: food bundles).
class cCityGameBuildingProduction : public cCityGameBuilding {
 public:
  cIInteraction* GetDefaultInteraction() override;  // working it, or carrying off what it made
  int GetProductCount() const { return (int)mProduced; }
  void AddProduced(float bundles) { mProduced += bundles; }
  virtual float GetBundleAmount() { return 0.0f; }
  cCityGameBundle* TakeProduct();  // one bundle of the product, which the caller carries away

 protected:
  float mProduced = 0.0f;
};

// What the building tuning says of a kind: price, places, stays (ms), name.
struct sBuildingKindValues {
  float cost = 0.0f;
  int capacity = 0;
  float minimumStay = 0.0f, maximumStay = 0.0f;
  std::string name;
};

// A registered kind whose values come from one function of its own, T::KindValues().
template <class T, class Base, uint32_t Id>
class tCityBuildingKind : public tCityGameClass<T, Base, Id> {
 public:
  float GetCost() override { return T::KindValues().cost; }
  int GetCapacity() override { return T::KindValues().capacity; }
  float GetMinimumStay() override { return T::KindValues().minimumStay; }
  float GetMaximumStay() override { return T::KindValues().maximumStay; }
  std::string GetBuildingName() override { return T::KindValues().name; }
};

class cCityGameBuildingHouse : public tCityBuildingKind<cCityGameBuildingHouse, cCityGameBuildingMotive, 0xAEADD03E> {
 public:
  cCityGameBuildingHouse();
  static sBuildingKindValues KindValues();
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.8f, 0.8f, 0.0f}; }
  float GetMotiveDelta() override;
  int GetFreeRooms() const { return mFreeRooms; }
  bool TakeRoom() {  // false when the house is full
    if (mFreeRooms <= 0) return false;
    --mFreeRooms;
    return true;
  }
  void FreeRoom();  // a tenant left the city
  std::string GetLabelDetail() override;  // " Rented Rooms: n/m"
  // Tenancy: a citizen with a home elsewhere is turned away; one the player
  // sends here moves in, evicting the earliest tenant when no room is free.
  float GetUseScore(cCityGameWorldObject* user) override;
  bool AcceptsUser(cCityGameWorldObject* user) override;
  bool AllowsStay(cCityGameWorldObject* user) override;
  bool IsPickable(cCityGameWorldObject* user) override;
  void EndUsersInteractions() override;  // its tenants lose their home

 private:
  int mFreeRooms = 0;
};

class cCityGameBuildingSilo : public tCityBuildingKind<cCityGameBuildingSilo, cCityGameBuildingMotive, 0x4EF12AEA> {
 public:
  void Initialize(cCityGameObject* owner) override;  // with its own food store
  void SetPosition(const Ru::Math::Vector3& position, const Ru::Math::Vector3& offset) override;
  void ResolveLinks() override;
  static sBuildingKindValues KindValues();
  std::string GetInteractionName() override { return "Eat"; }
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.2f, 0.9f, 0.2f}; }
  bool AcceptsBundleKind(uint32_t kind) override { return kind == 1; }
  cCityGameBundleContainer* GetContainer(uint32_t kind) override;
  // The store menu for the selected citizens, as a click on its pile would give.
  cICityGameCursor* GetSelectionCursor(int x, int y, cSceneObject* picked,
                                       const std::vector<cCityGameWorldObject*>& creatures) override;
  bool IsPickable(cCityGameWorldObject* user) override;  // while its store holds a meal
  std::string GetLabelDetail() override;                  // "Food: held/room"
  bool UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) override;
  bool Enter(cCityGameWorldObject* user) override;
  void EndUsersInteractions() override;  // its store goes with it

 private:
  cCityObjectHandle mContainer;
};

class cCityGameBuildingTemple : public tCityBuildingKind<cCityGameBuildingTemple, cCityGameBuilding, 0xAF00F8AE> {
 public:
  static sBuildingKindValues KindValues();
  cIInteraction* GetDefaultInteraction() override { return nullptr; }  // tribes come on pilgrimage; citizens take no order here
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{1.0f, 0.0f, 1.0f}; }
};

class cCityGameBuildingFactory : public tCityBuildingKind<cCityGameBuildingFactory, cCityGameBuilding, 0x0ECADE42> {
 public:
  static sBuildingKindValues KindValues();
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.4f, 0.4f, 0.4f}; }
  bool HasSwitch() override { return true; }
  float GetUseScore(cCityGameWorldObject* user) override;
  bool AcceptsUser(cCityGameWorldObject* user) override;
  bool IsPickable(cCityGameWorldObject* user) override;
  bool UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) override;  // pays the staff each period
  void Draw() override;  // the pay rising over the factory
  bool Enter(cCityGameWorldObject* user) override;
  const cGameStopwatch& GetPayTimer() const { return mPayTimer; }

 private:
  cGameStopwatch mPayTimer;
  std::vector<float> mPendingTexts;
};

class cCityGameBuildingFarm : public tCityBuildingKind<cCityGameBuildingFarm, cCityGameBuildingProduction, 0x8F301968> {
 public:
  static sBuildingKindValues KindValues();
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.6f, 0.95f, 0.6f}; }  // food, halfway to white
  uint32_t GetProductKind() override { return 1; }
  float GetBundleAmount() override;
  float GetWallFieldWeight() override { return -1.0f; }  // the walls grow less towards farms
  bool CanPlaceAt(const cScenePickResult& pick) override;  // outside the walls by its radius
  bool HasSwitch() override { return true; }
  float GetUseScore(cCityGameWorldObject* user) override;
  bool AcceptsUser(cCityGameWorldObject* user) override;
  bool IsPickable(cCityGameWorldObject* user) override;
  bool UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) override;  // grows food while worked
  std::string GetLabelDetail() override;                                  // "Food: grown"
  bool Enter(cCityGameWorldObject* user) override;
};

class cCityGameBuildingMarket : public tCityBuildingKind<cCityGameBuildingMarket, cCityGameBuilding, 0x6F174D77> {
 public:
  static sBuildingKindValues KindValues();
  cIInteraction* GetDefaultInteraction() override { return nullptr; }  // tribes trade here on their own errand
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.8f, 0.8f, 0.8f}; }
  bool AcceptsUser(cCityGameWorldObject*) override { return false; }  // tribes trade here, citizens do not
  bool UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) override;
  bool Enter(cCityGameWorldObject* user) override;
};

class cCityGameBuildingMilitary
    : public tCityBuildingKind<cCityGameBuildingMilitary, cCityGameBuilding, 0xCFBD5627> {
 public:
  static sBuildingKindValues KindValues();  // no places, no stays
  cIInteraction* GetDefaultInteraction() override { return nullptr; }  // an order here musters, it is no use
  Ru::Math::Vector3 GetColour() override { return Ru::Math::Vector3{0.6f, 1.0f, 1.0f}; }
  bool IsTargetProperty() override { return false; }
};
