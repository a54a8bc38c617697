// Stores of food (kind 1) and goods (kind 2) bundles: a building's or a
// tribe's own container and the city's two global ones. They are registered
// and remember their owner and kind; holding, piling, taking and dropping
// bundles come with the bundles' own work, so for now every store is empty
// and additions are ignored.
#pragma once

#include "modes/city/objects/CityGameObject.h"

class cCityGameBundleContainer
    : public tCityGameClass<cCityGameBundleContainer, cCityGameWorldObject, 0x4F4E8CD7> {
 public:
  static constexpr uint32_t kFood = 1, kGoods = 2;

  // Holder, the pile's base height and its inner and outer radius, bundle kind.
  void Setup(cCityGameWorldObject* /*holder*/, float /*base*/, float /*innerRadius*/, float /*outerRadius*/,
             uint32_t kind) {
    mKind = kind;
  }
  void AddAmount(float /*amount*/) {}
  float GetContents() const { return 0.0f; }
  uint32_t GetBundleType() const { return mKind; }

 private:
  uint32_t mKind = kFood;
};

class cCityGameCityBundleContainer
    : public tCityGameClass<cCityGameCityBundleContainer, cCityGameWorldObject, 0xEF567BB1> {
 public:
  void SetCityAndKind(cCityGameObject* city, uint32_t kind) {
    SetOwner(city);
    mKind = kind;
  }
  uint32_t GetBundleType() const { return mKind; }

 private:
  uint32_t mKind = cCityGameBundleContainer::kFood;
};
