#include "modes/city/economy/CityBundleContainers.h"

#include <cmath>

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityContainerMenus.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

float GetBundleAmount(uint32_t kind) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  return kind == kCityFood ? tuning.foodBundleAmount : kind == kCityGoods ? tuning.goodsBundleAmount : 0.0f;
}

float GetBundleSellValue(uint32_t kind) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  return kind == kCityFood ? tuning.foodBundleSellValue : kind == kCityGoods ? tuning.goodsBundleSellValue : 0.0f;
}

Vector3 GetBundleColour(uint32_t kind) {
  return kind == kCityFood ? Vector3{0.2f, 0.9f, 0.2f} : Vector3{0.5f, 0.5f, 0.5f};
}

cSceneShapeCube* GetBundleShape() {
  static auto* shape = new cSceneShapeCube;
  return shape;
}

bool HasMotiveAtOrBelow(cCityGameWorldObject* user, float value) {
  auto* creature = dynamic_cast<cCityGameCreature*>(user);
  return creature && creature->IsAnyMotiveAtOrBelow(value);
}

// ---- the bundle ----

cCityGameBundle::~cCityGameBundle() {
  EndUserInteractions();
  if (!mSceneObject) return;
  GetSceneManager().RemoveObject(mSceneObject);
  delete mSceneObject;
}

void cCityGameBundle::Initialize(Ko::cGameData* owner, uint32_t kind, float amount) {
  mOwner = owner;
  mKind = kind;
  mAmount = amount;
  CreateSceneObject();
}

void cCityGameBundle::CreateSceneObject() {
  GetBundleShape()->SetScale(Vector3{1.0f, 1.0f, 1.0f});
  mSceneObject = new cSceneObject(mOwner, GetBundleShape());
  mSceneObject->SetColour(GetColour());
  GetSceneManager().AddObject(mSceneObject);
}

void cCityGameBundle::SetOwner(Ko::cGameData* owner) {
  mOwner = owner;
  if (mSceneObject) mSceneObject->SetOwner(owner);
}

// ---- a holder's store ----

cIInteraction* cCityGameBundleContainer::GetDefaultInteraction() {
  return GetCityBehavior<cCityGameBehaviorDeliverBundle>();
}

void cCityGameBundleContainer::Setup(cCityGameObject* owner, cCityGameObject* holder, int capacity,
                                     float pileMinDistance, float pileMaxDistance, uint32_t kind) {
  SetOwner(owner);
  mHolder.object = holder;
  mHolder.id = holder ? holder->GetId() : kNoCityId;
  mCapacity = capacity;
  mPileMinDistance = pileMinDistance;
  mPileMaxDistance = pileMaxDistance;
  mKind = kind;
}

cCityGameObject* cCityGameBundleContainer::GetHolder() const {
  cCityGameObject* found = GetCityObjectRegistry().Find(mHolder.id);
  return found == mHolder.object ? found : nullptr;
}

void RemoveHeldStore(cCityObjectHandle& handle) {
  cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  cCityGameObject* store = dynamic_cast<cCityGameBundleContainer*>(registry.Find(handle.id));
  handle = cCityObjectHandle();
  // A store already queued goes with the queue: removing it now would upset the flush's walk.
  if (store && !registry.IsQueued(store)) registry.RemoveNow(store);
}

void cCityGameBundleContainer::DestroyPile() {
  std::vector<sPileEntry> pile;
  pile.swap(mPile);  // the entries are gone before the bundles let go of this store
  for (sPileEntry& entry : pile) delete entry.bundle;
}

void cCityGameBundleContainer::EndUsersInteractions() {
  AddRef();  // the piled cubes hold references on this store
  cCityGameWorldObject::EndUsersInteractions();
  DestroyPile();
  Release();
}

void cCityGameBundleContainer::ResolveLinks() {
  mHolder.object = GetCityObjectRegistry().Find(mHolder.id);
  cCityGameWorldObject::ResolveLinks();
}

void cCityGameBundleContainer::OnModeEnter() {
  for (const sPileEntry& entry : mPile)
    if (cSceneObject* cube = entry.bundle->GetSceneObject(); cube && cube->GetSceneRefCount() == 0)
      GetSceneManager().AddObject(cube);
}

void cCityGameBundleContainer::PlacePiledBundle(const sPileEntry& entry, const Quaternion& frame) {
  if (cSceneObject* cube = entry.bundle->GetSceneObject())
    cube->SetPosition(Vector3Add(mPosition, QuatRotateVector(frame, entry.offset)));
}

void cCityGameBundleContainer::SetPosition(const Vector3& position, const Vector3& offset) {
  cCityGameWorldObject::SetPosition(position, offset);
  Quaternion frame;
  cPlanetModel::MakeSurfaceOrientation(frame, mPosition, Vector3{1.0f, 0.0f, 0.0f});
  for (const sPileEntry& entry : mPile) PlacePiledBundle(entry, frame);
}

float cCityGameBundleContainer::GetTotalAmount() const {
  float total = (float)mStoredCount * GetAmountPerBundle() + mLoose;
  for (const sPileEntry& entry : mPile) total += entry.bundle->GetAmount();
  return total;
}

void cCityGameBundleContainer::AddPiledBundle(float amount) {
  sPileEntry entry{Vector3{}, new cCityGameBundle};
  entry.bundle->Initialize(this, mKind, amount);
  cPlanetModel& planet = GetPlanetModel();
  Vector3 spot;
  planet.GetRandomSurfacePointNear(spot, mPosition, mPileMinDistance, mPileMaxDistance);
  Quaternion frame;
  cPlanetModel::MakeSurfaceOrientation(frame, mPosition, Vector3{1.0f, 0.0f, 0.0f});
  entry.offset = QuatRotateVector(QuatInverse(frame), Vector3Sub(spot, mPosition));
  mPile.push_back(entry);
  PlacePiledBundle(entry, frame);
}

void cCityGameBundleContainer::AddAmount(float amount) {
  if (amount < 0.0f) return RemoveAmount(-amount);
  const float a = GetAmountPerBundle();
  if (!(a > 0.0f) || !std::isfinite(amount)) return;  // no kind: nothing to count in
  const float bundles = (amount + mLoose) / a;
  const float whole = std::trunc(bundles);
  mLoose = (bundles - whole) * a;
  mStoredCount += (int)whole;
  while (mStoredCount > mCapacity) {
    AddPiledBundle(a);
    --mStoredCount;
  }
}

void cCityGameBundleContainer::RemoveAmount(float amount) {
  const float a = GetAmountPerBundle();
  if (!(a > 0.0f) || !std::isfinite(amount)) return;
  while (!mPile.empty() && amount != 0.0f) {
    cCityGameBundle* oldest = mPile.front().bundle;
    const float held = oldest->GetAmount();
    if (amount < held) {
      oldest->SetAmount(held - amount);
      return;
    }
    amount -= held;
    delete TakeBundle(oldest);
  }
  mLoose -= amount;
  if (mLoose < 0.0f) {
    const int broken = -(int)std::floor(mLoose / a);
    mStoredCount -= broken;
    mLoose += (float)broken * a;
  }
}

void cCityGameBundleContainer::DepositBundle(cCityGameBundle* bundle) {
  if (!bundle) return;
  if (mStoredCount < mCapacity) ++mStoredCount;  // a stored bundle is a full one, whatever it held
  else AddPiledBundle(bundle->GetAmount());
}

cCityGameBundle* cCityGameBundleContainer::TakeBundle(cCityGameBundle* bundle) {
  if (bundle) {
    for (auto it = mPile.begin(); it != mPile.end(); ++it)
      if (it->bundle == bundle) {
        mPile.erase(it);
        return bundle;
      }
    return nullptr;
  }
  if (!mPile.empty()) {
    cCityGameBundle* newest = mPile.back().bundle;
    mPile.pop_back();
    return newest;
  }
  if (mStoredCount < 1) return nullptr;
  auto* fresh = new cCityGameBundle;
  fresh->Initialize(this, mKind, GetAmountPerBundle());
  --mStoredCount;
  return fresh;
}

// ---- the city's global stores ----

cIInteraction* cCityGameCityBundleContainer::GetDefaultInteraction() {
  return GetCityBehavior<cCityGameBehaviorSaveBundle>();
}

void cCityGameCityBundleContainer::Setup(cCityGameObject* owner, uint32_t kind) {
  SetOwner(owner);
  mKind = kind;
}

void cCityGameCityBundleContainer::EndUsersInteractions() {
  AddRef();
  mClosed = true;
  cCityGameWorldObject::EndUsersInteractions();
  std::vector<cCityGameBundle*> bundles;
  bundles.swap(mBundles);
  for (cCityGameBundle* bundle : bundles) delete bundle;  // a removed store's bundles would be nobody's
  Release();
}

void cCityGameCityBundleContainer::AddBundle(cCityGameBundle* bundle) {
  if (!bundle) return;
  if (mClosed) {  // set down while the store is being removed (a carrier's errand ending with it)
    delete bundle;
    return;
  }
  mBundles.push_back(bundle);
  bundle->SetOwner(this);
}

cCityGameBundle* cCityGameCityBundleContainer::RemoveBundle(cCityGameBundle* bundle) {
  for (auto it = mBundles.begin(); it != mBundles.end(); ++it)
    if (*it == bundle) {
      mBundles.erase(it);
      break;
    }
  return bundle;
}

cCityGameBundle* cCityGameCityBundleContainer::FindNearestBundle(float x, float y, float z) const {
  cCityGameBundle* best = nullptr;
  float bestDistance = 0.0f;
  for (cCityGameBundle* bundle : mBundles) {
    cSceneObject* cube = bundle->GetSceneObject();
    if (!cube) continue;
    const float d = Vector3Length(Vector3Sub(cube->GetPosition(), Vector3{x, y, z}));
    if (!best || d < bestDistance) {
      best = bundle;
      bestDistance = d;
    }
  }
  return best;
}

cCityGameBundle* cCityGameCityBundleContainer::FindBundleBySceneObject(cSceneObject* sceneObject) const {
  for (cCityGameBundle* bundle : mBundles)
    if (sceneObject && bundle->GetSceneObject() == sceneObject) return bundle;
  return nullptr;
}

float cCityGameCityBundleContainer::GetSellValue() const {
  return mBundles.empty() ? 0.0f : mBundles.front()->GetSellValue();
}

bool cCityGameCityBundleContainer::IsPickable(cCityGameWorldObject* user) {
  if (HasMotiveAtOrBelow(user, GetCityGameMotiveTuning().lowMotive)) return false;
  return GetUserCount() < GetBundleCount();
}

bool cCityGameCityBundleContainer::AcceptsUser(cCityGameWorldObject* user) {
  return !HasMotiveAtOrBelow(user, GetCityGameMotiveTuning().lowMotive);
}

float cCityGameCityBundleContainer::GetUseScore(cCityGameWorldObject* user) {
  if (!user || !IsPickable(user)) return -1.0f;
  const float distance = GetPlanetModel().GetSurfaceDistance(mPosition, user->GetPosition());
  return distance > 0.0f ? 1.0f / distance : -1.0f;
}

cICityGameCursor* cCityGameBundleContainer::GetSelectionCursor(int x, int y, cSceneObject*,
                                                               const std::vector<cCityGameWorldObject*>& creatures) {
  if (dynamic_cast<cCityGameTribe*>(GetHolder())) return nullptr;  // the player cannot command at a tribe's store
  cCityGameContainerPieMenuCursor& cursor = GetCityContainerPieMenuCursor();
  cursor.OpenFor(this, x, y, creatures);
  return &cursor;
}

cICityGameCursor* cCityGameCityBundleContainer::GetSelectionCursor(int x, int y, cSceneObject*,
                                                                   const std::vector<cCityGameWorldObject*>& creatures) {
  cCityGameGlobalFoodBundlePieMenuCursor& cursor = GetCityGlobalFoodPieMenuCursor();
  cursor.OpenFor(this, x, y, creatures);
  return &cursor;
}
