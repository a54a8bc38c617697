// Bundles of food (kind 1) and goods (kind 2) and the stores that hold them.
// A holder's store (the city hall's, a silo's, a tribe's) keeps up to its
// capacity as a plain count and lays every bundle beyond it as a cube in a
// pile around itself, moving the pile with it; the city's two global stores
// keep the bundles citizens set down anywhere. A bundle is no game-data
// object: whoever holds its pointer owns it.
#pragma once

#include <cstdint>
#include <vector>

#include "modes/city/objects/CityGameObject.h"

class cSceneShapeCube;

inline constexpr uint32_t kCityFood = 1, kCityGoods = 2;

// Per kind: the amount one bundle holds, what it sells for, its cube's colour
// (any other kind is worth 0).
float GetBundleAmount(uint32_t kind);
float GetBundleSellValue(uint32_t kind);
Ru::Math::Vector3 GetBundleColour(uint32_t kind);
cSceneShapeCube* GetBundleShape();  // the one cube every bundle shares

class cCityGameBundle : public cCityGameInteractableObject {
 public:
  cCityGameBundle() = default;
  ~cCityGameBundle() override;  // its behaviours end, its cube leaves the scene
  cCityGameBundle(const cCityGameBundle&) = delete;
  cCityGameBundle& operator=(const cCityGameBundle&) = delete;

  void Initialize(Ko::cGameData* owner, uint32_t kind, float amount);
  void CreateSceneObject();  // at the origin: the one who places the bundle moves it

  float GetAmount() const { return mAmount; }
  void SetAmount(float amount) { mAmount = amount; }
  uint32_t GetKind() const { return mKind; }
  cSceneObject* GetSceneObject() const { return mSceneObject; }
  float GetSellValue() const { return GetBundleSellValue(mKind); }
  Ru::Math::Vector3 GetColour() const { return GetBundleColour(mKind); }
  Ko::cGameData* GetOwner() const { return mOwner; }
  void SetOwner(Ko::cGameData* owner);  // the scene object's owner too
  uint32_t GetSourceId() const { return mSourceId; }
  void SetSourceId(uint32_t id) { mSourceId = id; }

 private:
  Ko::cGameData* mOwner = nullptr;
  uint32_t mKind = 0;
  cSceneObject* mSceneObject = nullptr;  // owned
  uint32_t mSourceId = kNoCityId;
  float mAmount = 0.0f;
};

class cCityGameBundleContainer
    : public tCityGameClass<cCityGameBundleContainer, cCityGameWorldObject, 0x4F4E8CD7> {
 public:
  static constexpr uint32_t kFood = kCityFood, kGoods = kCityGoods;

  struct sPileEntry {
    Ru::Math::Vector3 offset;   // from the store, in its own frame
    cCityGameBundle* bundle;    // owned
  };

  void EndUsersInteractions() override;  // the piled bundles go too
  cIInteraction* GetDefaultInteraction() override;  // delivering a carried bundle into it
  void ResolveLinks() override;
  void OnModeEnter() override;           // piled cubes back in the scene
  void SetPosition(const Ru::Math::Vector3& position, const Ru::Math::Vector3& offset) override;
  // The store menu for the selected citizens; none at a tribe's store.
  cICityGameCursor* GetSelectionCursor(int x, int y, cSceneObject* picked,
                                       const std::vector<cCityGameWorldObject*>& creatures) override;

  void Setup(cCityGameObject* owner, cCityGameObject* holder, int capacity, float pileMinDistance,
             float pileMaxDistance, uint32_t kind);
  float GetAmountPerBundle() const { return GetBundleAmount(mKind); }
  float GetTotalAmount() const;
  bool HasAmount(float amount) const { return GetTotalAmount() >= amount; }
  void AddAmount(float amount);     // a negative amount is removed
  void RemoveAmount(float amount);  // oldest piled bundles first, then loose food, then stored bundles broken open
  void DepositBundle(cCityGameBundle* bundle);  // the caller keeps and disposes of the bundle
  void AddPiledBundle(float amount);
  // The named piled bundle, or with null the newest piled one, else a new one
  // from the stored count; null when there is none. The caller owns it.
  cCityGameBundle* TakeBundle(cCityGameBundle* bundle);

  int GetPileCount() const { return (int)mPile.size(); }
  const std::vector<sPileEntry>& GetPile() const { return mPile; }
  int GetStoredCount() const { return mStoredCount; }
  float GetLoose() const { return mLoose; }
  int GetCapacity() const { return mCapacity; }
  float GetPileMaxDistance() const { return mPileMaxDistance; }
  uint32_t GetKind() const { return mKind; }
  uint32_t GetBundleType() const { return mKind; }
  cCityGameObject* GetHolder() const;  // null once the holder has left the registry
  const char* GetName() const { return "Bundle Container"; }

 private:
  void PlacePiledBundle(const sPileEntry& entry, const Ru::Math::Quaternion& frame);
  void DestroyPile();

  cCityObjectHandle mHolder;
  std::vector<sPileEntry> mPile;  // oldest first
  int mStoredCount = 0;
  int mCapacity = 0;
  uint32_t mKind = 0;
  float mPileMinDistance = 0.0f, mPileMaxDistance = 0.0f;
  float mLoose = 0.0f;
};

class cCityGameCityBundleContainer
    : public tCityGameClass<cCityGameCityBundleContainer, cCityGameWorldObject, 0xEF567BB1> {
 public:
  void EndUsersInteractions() override;  // its bundles go with it
  cIInteraction* GetDefaultInteraction() override;  // saving a loose bundle from it
  float GetUseScore(cCityGameWorldObject* user) override;
  bool AcceptsUser(cCityGameWorldObject* user) override;
  bool IsPickable(cCityGameWorldObject* user) override;
  cICityGameCursor* GetSelectionCursor(int x, int y, cSceneObject* picked,
                                       const std::vector<cCityGameWorldObject*>& creatures) override;

  void Setup(cCityGameObject* owner, uint32_t kind);
  void SetCityAndKind(cCityGameObject* city, uint32_t kind) { Setup(city, kind); }
  void AddBundle(cCityGameBundle* bundle);             // the store owns it from now on
  cCityGameBundle* RemoveBundle(cCityGameBundle* bundle);  // handed back to the caller
  cCityGameBundle* FindNearestBundle(float x, float y, float z) const;
  cCityGameBundle* FindBundleBySceneObject(cSceneObject* sceneObject) const;
  float GetSellValue() const;  // of the first bundle's kind
  int GetBundleCount() const { return (int)mBundles.size(); }
  uint32_t GetBundleType() const { return mKind; }
  const char* GetName() const { return "Bundle Container"; }

 private:
  uint32_t mKind = kCityFood;
  std::vector<cCityGameBundle*> mBundles;  // owned, in the order they came
  bool mClosed = false;  // being removed: a bundle set down now is nobody's
};

// A holder going takes its store along (and empties the handle): a store
// left behind would still count its food and name a holder that is gone.
void RemoveHeldStore(cCityObjectHandle& store);

// True when the creature's hunger or energy is at or below the value (a
// non-creature has neither).
bool HasMotiveAtOrBelow(cCityGameWorldObject* user, float value);
