#include "modes/city/economy/CityBuildingKinds.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/data/CityTuning.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/city/objects/CityGameCity.h"

using Ru::Math::Vector3;

namespace {
const cCityGameBuildingTuning& Tuning() { return GetCityGameBuildingTuning(); }
const cCityGameMotiveTuning& Motives() { return GetCityGameMotiveTuning(); }

// 1 + "Motive Effect Randomness" x u, u uniform in [-1, 1], drawn anew each time.
float RandomnessFactor() {
  const float u = 1.0f - 2.0f * (float)Sys_Random() / 32767.0f;
  return 1.0f + Tuning().motiveEffectRandomness * u;
}

// Workers' needs drain at the building's own rates while they are inside.
bool SetWorkRates(cCityGameWorldObject* user, float hungerDelta, float energyDelta) {
  if (auto* creature = dynamic_cast<cCityGameCreature*>(user)) {
    creature->SetRate(0, hungerDelta * RandomnessFactor());
    creature->SetRate(1, energyDelta * RandomnessFactor());
  }
  return true;
}

float NearnessScore(cCityGameBuilding* building, cCityGameWorldObject* user) {
  if (!user || !building->IsPickable(user)) return -1.0f;
  const float d = GetPlanetModel().GetSurfaceDistance(building->GetPosition(), user->GetPosition());
  return d > 0.0f ? 1.0f / d : -1.0f;
}

float MotiveOf(cCityGameWorldObject* user, int index) {
  auto* creature = dynamic_cast<cCityGameCreature*>(user);
  return creature ? creature->GetMotive(index) : Motives().maxMotive;
}

bool AnyMotiveAtOrBelow(cCityGameWorldObject* user, float value) {
  auto* creature = dynamic_cast<cCityGameCreature*>(user);
  return creature && creature->IsAnyMotiveAtOrBelow(value);
}
}  // namespace

float cCityGameBuildingMotive::GetUseScore(cCityGameWorldObject* user) {
  const float low = Motives().lowMotive;
  const float m = MotiveOf(user, (int)mMotiveIndex);
  if (!(m < low) || !IsPickable(user)) return -1.0f;
  const float d = GetPlanetModel().GetSurfaceDistance(mPosition, user->GetPosition());
  return d > 0.0f ? ((low - m) / (0.5f * low)) / d : -1.0f;
}

bool cCityGameBuildingMotive::AcceptsUser(cCityGameWorldObject* user) {
  return cCityGameBuilding::AcceptsUser(user) && MotiveOf(user, (int)mMotiveIndex) < Motives().maxMotive;
}

bool cCityGameBuildingMotive::UpdateOccupant(cCityGameWorldObject* user, uint32_t) {
  return MotiveOf(user, (int)mMotiveIndex) < Motives().maxMotive;
}

bool cCityGameBuildingMotive::Enter(cCityGameWorldObject* user) {
  if (auto* creature = dynamic_cast<cCityGameCreature*>(user))
    creature->SetRate((int)mMotiveIndex, GetMotiveDelta() * RandomnessFactor());
  return true;
}

cIInteraction* cCityGameBuildingProduction::GetDefaultInteraction() {
  return GetCityBehavior<cCityGameBehaviorUseProductionBuilding>();
}

cCityGameBundle* cCityGameBuildingProduction::TakeProduct() {
  mProduced -= 1.0f;
  auto* bundle = new cCityGameBundle;
  bundle->Initialize(nullptr, GetProductKind(), GetBundleAmount());
  bundle->SetSourceId(GetId());
  return bundle;
}

sBuildingKindValues cCityGameBuildingHouse::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {(float)t.sleepCost, t.sleepCapacity, t.sleepMinimumStay, t.sleepMaximumStay, t.sleepBuildingName};
}
sBuildingKindValues cCityGameBuildingSilo::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {(float)t.siloCost, t.siloCapacity, t.siloMinimumStay, t.siloMaximumStay, t.siloBuildingName};
}
sBuildingKindValues cCityGameBuildingTemple::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {(float)t.templeCost, t.templeCapacity, t.templeMinimumStay, t.templeMaximumStay, t.culturalBuildingName};
}
sBuildingKindValues cCityGameBuildingFactory::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {(float)t.factoryCost, t.factoryCapacity, t.factoryMinimumStay, t.factoryMaximumStay, t.moneyBuildingName};
}
sBuildingKindValues cCityGameBuildingFarm::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {(float)t.farmCost, t.farmCapacity, t.farmMinimumStay, t.farmMaximumStay, t.foodBuildingName};
}
sBuildingKindValues cCityGameBuildingMarket::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {(float)t.marketCost, t.marketCapacity, t.marketMinimumStay, t.marketMaximumStay, t.diplomaticBuildingName};
}
sBuildingKindValues cCityGameBuildingMilitary::KindValues() {
  const cCityGameBuildingTuning& t = Tuning();
  return {t.militaryCost, 0, 0.0f, 0.0f, t.militaryBuildingName};
}

Vector3 cCityGameBuildingMotive::GetColour() {
  static const Vector3 kMotiveColours[3] = {{0.2f, 0.9f, 0.2f}, {0.8f, 0.8f, 0.0f}, {0.2f, 0.2f, 0.9f}};
  return kMotiveColours[mMotiveIndex < 3 ? mMotiveIndex : 0];
}

cCityGameBuildingHouse::cCityGameBuildingHouse() {
  mMotiveIndex = 1;
  mFreeRooms = Tuning().roomsPerHouse;
}
float cCityGameBuildingHouse::GetMotiveDelta() { return Tuning().sleepEnergyDelta; }

namespace {
// A citizen whose home is some other building.
bool LivesElsewhere(cCityGameWorldObject* user, cCityGameBuilding* house) {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(user);
  return citizen && citizen->HasHome() && citizen->GetHomeId() != house->GetId();
}
}  // namespace

float cCityGameBuildingHouse::GetUseScore(cCityGameWorldObject* user) {
  if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(user))
    if (!citizen->HasHome() || citizen->GetHomeId() != GetId()) return -1.0f;
  return cCityGameBuildingMotive::GetUseScore(user);
}

bool cCityGameBuildingHouse::AcceptsUser(cCityGameWorldObject* user) {
  return !LivesElsewhere(user, this) && cCityGameBuildingMotive::AcceptsUser(user);
}

bool cCityGameBuildingHouse::AllowsStay(cCityGameWorldObject* user) {
  return !LivesElsewhere(user, this) && cCityGameBuildingMotive::AllowsStay(user);
}

bool cCityGameBuildingHouse::IsPickable(cCityGameWorldObject* user) {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(user);
  if (citizen && citizen->GetStartMode() == 1 && !(citizen->HasHome() && citizen->GetHomeId() == GetId())) {
    // Sent here by the player: it moves in, out of its old home.
    if (citizen->HasHome())
      if (auto* old = dynamic_cast<cCityGameBuildingHouse*>(GetCityObjectRegistry().Find(citizen->GetHomeId())))
        ++old->mFreeRooms;
    if (mFreeRooms == 0) {
      std::vector<cCityGamePlayerCreature*> citizens;
      GetCityObjectRegistry().CollectObjectsOfClass(citizens);
      for (cCityGamePlayerCreature* tenant : citizens)
        if (tenant != citizen && tenant->HasHome() && tenant->GetHomeId() == GetId()) {
          tenant->ClearHome();  // the earliest tenant is evicted
          break;
        }
    } else {
      --mFreeRooms;
    }
    citizen->SetHome(GetId());
  }
  if (LivesElsewhere(user, this)) return false;
  return cCityGameBuildingMotive::IsPickable(user);
}

void cCityGameBuildingHouse::EndUsersInteractions() {
  std::vector<cCityGamePlayerCreature*> citizens;
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* tenant : citizens)
    if (tenant->HasHome() && tenant->GetHomeId() == GetId()) tenant->ClearHome();
  cCityGameBuildingMotive::EndUsersInteractions();
}

void cCityGameBuildingSilo::Initialize(cCityGameObject* owner) {
  cCityGameBuilding::Initialize(owner);
  if (auto* store = CreateHeldCityObject<cCityGameBundleContainer>(mContainer)) {
    store->Setup(owner, this, Tuning().siloBundleCapacity, 8.5f, 9.0f, kCityFood);
    store->SetPosition(mPosition, Vector3{});
  }
}
void cCityGameBuildingSilo::EndUsersInteractions() {
  cCityGameBuildingMotive::EndUsersInteractions();
  RemoveHeldStore(mContainer);
}
void cCityGameBuildingSilo::SetPosition(const Vector3& position, const Vector3& offset) {
  cCityGameBuilding::SetPosition(position, offset);
  if (cCityGameBundleContainer* store = GetContainer(kCityFood)) store->SetPosition(position, offset);
}
void cCityGameBuildingSilo::ResolveLinks() {
  cCityGameBuilding::ResolveLinks();
  mContainer.object = GetCityObjectRegistry().Find(mContainer.id);
}
cICityGameCursor* cCityGameBuildingSilo::GetSelectionCursor(int x, int y, cSceneObject* picked,
                                                            const std::vector<cCityGameWorldObject*>& creatures) {
  cCityGameBundleContainer* store = GetContainer(kCityFood);
  return store ? store->GetSelectionCursor(x, y, picked, creatures) : nullptr;
}

cCityGameBundleContainer* cCityGameBuildingSilo::GetContainer(uint32_t) {
  return dynamic_cast<cCityGameBundleContainer*>(GetCityObjectRegistry().Find(mContainer.id));
}

bool cCityGameBuildingSilo::IsPickable(cCityGameWorldObject* user) {
  cCityGameBundleContainer* store = GetContainer(kCityFood);
  return cCityGameBuildingMotive::IsPickable(user) && store && store->HasAmount(1.0f);
}

bool cCityGameBuildingSilo::UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) {
  if (auto* creature = dynamic_cast<cCityGameCreature*>(user)) creature->SetMotive(0, Motives().maxMotive);
  return cCityGameBuildingMotive::UpdateOccupant(user, ms);
}

bool cCityGameBuildingSilo::Enter(cCityGameWorldObject* user) {
  cCityGameBundleContainer* store = GetContainer(kCityFood);
  // Only a store that still holds a meal feeds the one who comes in: an empty
  // one turns the hungry away instead of running into debt.
  if (!store || !store->HasAmount(1.0f)) return false;
  if (MotiveOf(user, 0) <= Tuning().siloHungerMotiveCutoff) store->RemoveAmount(1.0f);
  return true;
}



float cCityGameBuildingFactory::GetUseScore(cCityGameWorldObject* user) { return NearnessScore(this, user); }

bool cCityGameBuildingFactory::AcceptsUser(cCityGameWorldObject* user) {
  return cCityGameBuilding::AcceptsUser(user) && !AnyMotiveAtOrBelow(user, Motives().lowMotive) && IsOn();
}

bool cCityGameBuildingFactory::IsPickable(cCityGameWorldObject* user) { return cCityGameBuilding::IsPickable(user); }

bool cCityGameBuildingFactory::UpdateOccupant(cCityGameWorldObject* user, uint32_t) {
  if (mUsers == 0) {
    mPayTimer.Stop();  // the time worked so far waits for the staff to return
    mPendingTexts.clear();
  } else if (!mPayTimer.IsRunning()) {
    mPayTimer.Restart();
  }
  if (mPayTimer.IsRunning()) {
    const float period = Tuning().factoryMoneyTime;
    const float elapsed = (float)mPayTimer.GetElapsed();
    if (elapsed >= period) {
      mPayTimer.Restart();
      mPayTimer.accumulated = (uint32_t)(elapsed - period);  // the overshoot counts towards the next pay
      const float amount = (float)mUsers * Tuning().factoryMoneyDelta;
      if (auto* city = dynamic_cast<cCityGameCity*>(GetOwner())) city->AddMoneySilently(amount);
      mPendingTexts.assign(1, amount);
    }
  }
  return AcceptsUser(user);
}

bool cCityGameBuildingFactory::Enter(cCityGameWorldObject* user) {
  return SetWorkRates(user, Tuning().factoryHungerDelta, Tuning().factoryEnergyDelta);
}

float cCityGameBuildingFarm::GetBundleAmount() { return GetCityGameTuning().foodBundleAmount; }
float cCityGameBuildingFarm::GetUseScore(cCityGameWorldObject* user) { return NearnessScore(this, user); }

bool cCityGameBuildingFarm::AcceptsUser(cCityGameWorldObject* user) {
  const float low = Motives().lowMotive;
  if (!(MotiveOf(user, 1) > low)) return false;
  if (MotiveOf(user, 0) <= low && GetCityFood() != 0.0f) return false;  // the hungry farm only when there is no food at all
  return cCityGameBuilding::AcceptsUser(user) && IsOn();
}

bool cCityGameBuildingFarm::IsPickable(cCityGameWorldObject* user) { return cCityGameBuilding::IsPickable(user); }

bool cCityGameBuildingFarm::UpdateOccupant(cCityGameWorldObject* user, uint32_t ms) {
  const float amount = GetBundleAmount();
  if (amount > 0.0f) AddProduced((float)ms * Tuning().farmFoodDelta / amount);
  return AcceptsUser(user);
}

bool cCityGameBuildingFarm::Enter(cCityGameWorldObject* user) {
  return SetWorkRates(user, Tuning().farmHungerDelta, Tuning().farmEnergyDelta);
}

bool cCityGameBuildingFarm::CanPlaceAt(const cScenePickResult& pick) {
  auto* city = dynamic_cast<cCityGameCity*>(GetOwner());
  cCityGameCityWalls* walls = city ? city->GetWalls() : nullptr;
  if (!walls || !pick.terrain) return false;
  return walls->SignedDistance(pick.point.x, pick.point.y, pick.point.z) > GetRadius();
}


bool cCityGameBuildingMarket::UpdateOccupant(cCityGameWorldObject* user, uint32_t) {
  return !AnyMotiveAtOrBelow(user, Motives().lowestMotive);
}

bool cCityGameBuildingMarket::Enter(cCityGameWorldObject* user) {
  return SetWorkRates(user, Tuning().marketHungerDelta, Tuning().marketEnergyDelta);
}


void cCityGameBuildingHouse::FreeRoom() {
  if (mFreeRooms < Tuning().roomsPerHouse) ++mFreeRooms;
}

std::string cCityGameBuildingHouse::GetLabelDetail() {
  const int rooms = Tuning().roomsPerHouse;
  return " Rented Rooms: " + std::to_string(rooms - mFreeRooms) + "/" + std::to_string(rooms);
}

std::string cCityGameBuildingSilo::GetLabelDetail() {
  cCityGameBundleContainer* store = GetContainer(kCityFood);
  const int held = store ? (int)store->GetTotalAmount() : 0;
  const int room = (int)((float)Tuning().siloBundleCapacity * GetCityGameTuning().foodBundleAmount);
  return "Food: " + std::to_string(held) + "/" + std::to_string(room);
}

std::string cCityGameBuildingFarm::GetLabelDetail() {
  char text[48];
  std::snprintf(text, sizeof text, "Food: %g", (double)(GetCityGameTuning().foodBundleAmount * mProduced));
  return text;
}

void cCityGameBuildingFactory::Draw() {
  cCityGameBuilding::Draw();
  const float period = Tuning().factoryMoneyTime;
  if (mPendingTexts.empty() || !(period > 0.0f)) return;
  const float f = (float)mPayTimer.GetElapsed() / period;
  Vector3 up{0.0f, 1.0f, 0.0f};
  Ru::Math::Vector3NormalizeSafe(mPosition, up);
  int x = 0, y = 0;
  if (!GetCityInputView().ProjectToWindow(Ru::Math::Vector3Add(mPosition, Ru::Math::Vector3Scale(up, 10.0f * f)), x, y))
    return;
  char text[48];
  std::snprintf(text, sizeof text, "+%g money", (double)mPendingTexts.back());
  Begin2D();
  SetBlending2D(true);
  SetColour2D(1.0f, 1.0f, 1.0f, 0.6f - 0.6f * f);
  DrawText2D(x, y, GLUT_BITMAP_HELVETICA_12, text);
  SetBlending2D(false);
  End2D();
}
