#include "modes/city/economy/CityBuildingKinds.h"

#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/city/objects/CityGameCity.h"

using Ru::Math::Vector3;

namespace {
const cCityGameBuildingTuning& Tuning() { return GetCityGameBuildingTuning(); }
}  // namespace

Vector3 cCityGameBuildingMotive::GetColour() {
  static const Vector3 kMotiveColours[3] = {{0.2f, 0.9f, 0.2f}, {0.8f, 0.8f, 0.0f}, {0.2f, 0.2f, 0.9f}};
  return kMotiveColours[mMotiveIndex < 3 ? mMotiveIndex : 0];
}

cCityGameBuildingHouse::cCityGameBuildingHouse() {
  mMotiveIndex = 1;
  mFreeRooms = Tuning().roomsPerHouse;
}
float cCityGameBuildingHouse::GetCost() { return (float)Tuning().sleepCost; }
int cCityGameBuildingHouse::GetCapacity() { return Tuning().sleepCapacity; }
float cCityGameBuildingHouse::GetMinimumStay() { return Tuning().sleepMinimumStay; }
float cCityGameBuildingHouse::GetMaximumStay() { return Tuning().sleepMaximumStay; }
std::string cCityGameBuildingHouse::GetBuildingName() { return Tuning().sleepBuildingName; }
float cCityGameBuildingHouse::GetMotiveDelta() { return Tuning().sleepEnergyDelta; }

void cCityGameBuildingSilo::Initialize(cCityGameObject* owner) {
  cCityGameBuilding::Initialize(owner);
  if (auto* store = CreateHeldCityObject<cCityGameBundleContainer>(mContainer)) {
    store->Setup(owner, this, Tuning().siloBundleCapacity, 8.5f, 9.0f, kCityFood);
    store->SetPosition(mPosition, Vector3{});
  }
}
void cCityGameBuildingSilo::SetPosition(const Vector3& position, const Vector3& offset) {
  cCityGameBuilding::SetPosition(position, offset);
  if (cCityGameBundleContainer* store = GetContainer(kCityFood)) store->SetPosition(position, offset);
}
void cCityGameBuildingSilo::ResolveLinks() {
  cCityGameBuilding::ResolveLinks();
  mContainer.object = GetCityObjectRegistry().Find(mContainer.id);
}
cCityGameBundleContainer* cCityGameBuildingSilo::GetContainer(uint32_t) {
  return dynamic_cast<cCityGameBundleContainer*>(GetCityObjectRegistry().Find(mContainer.id));
}
float cCityGameBuildingSilo::GetCost() { return (float)Tuning().siloCost; }
int cCityGameBuildingSilo::GetCapacity() { return Tuning().siloCapacity; }
float cCityGameBuildingSilo::GetMinimumStay() { return Tuning().siloMinimumStay; }
float cCityGameBuildingSilo::GetMaximumStay() { return Tuning().siloMaximumStay; }
std::string cCityGameBuildingSilo::GetBuildingName() { return Tuning().siloBuildingName; }

float cCityGameBuildingTemple::GetCost() { return (float)Tuning().templeCost; }
int cCityGameBuildingTemple::GetCapacity() { return Tuning().templeCapacity; }
float cCityGameBuildingTemple::GetMinimumStay() { return Tuning().templeMinimumStay; }
float cCityGameBuildingTemple::GetMaximumStay() { return Tuning().templeMaximumStay; }
std::string cCityGameBuildingTemple::GetBuildingName() { return Tuning().culturalBuildingName; }

float cCityGameBuildingFactory::GetCost() { return (float)Tuning().factoryCost; }
int cCityGameBuildingFactory::GetCapacity() { return Tuning().factoryCapacity; }
float cCityGameBuildingFactory::GetMinimumStay() { return Tuning().factoryMinimumStay; }
float cCityGameBuildingFactory::GetMaximumStay() { return Tuning().factoryMaximumStay; }
std::string cCityGameBuildingFactory::GetBuildingName() { return Tuning().moneyBuildingName; }

float cCityGameBuildingFarm::GetCost() { return (float)Tuning().farmCost; }
int cCityGameBuildingFarm::GetCapacity() { return Tuning().farmCapacity; }
float cCityGameBuildingFarm::GetMinimumStay() { return Tuning().farmMinimumStay; }
float cCityGameBuildingFarm::GetMaximumStay() { return Tuning().farmMaximumStay; }
std::string cCityGameBuildingFarm::GetBuildingName() { return Tuning().foodBuildingName; }
float cCityGameBuildingFarm::GetBundleAmount() { return GetCityGameTuning().foodBundleAmount; }
bool cCityGameBuildingFarm::CanPlaceAt(const cScenePickResult& pick) {
  auto* city = dynamic_cast<cCityGameCity*>(GetOwner());
  cCityGameCityWalls* walls = city ? city->GetWalls() : nullptr;
  if (!walls || !pick.terrain) return false;
  return walls->SignedDistance(pick.point.x, pick.point.y, pick.point.z) > GetRadius();
}

float cCityGameBuildingMarket::GetCost() { return (float)Tuning().marketCost; }
int cCityGameBuildingMarket::GetCapacity() { return Tuning().marketCapacity; }
float cCityGameBuildingMarket::GetMinimumStay() { return Tuning().marketMinimumStay; }
float cCityGameBuildingMarket::GetMaximumStay() { return Tuning().marketMaximumStay; }
std::string cCityGameBuildingMarket::GetBuildingName() { return Tuning().diplomaticBuildingName; }

float cCityGameBuildingMilitary::GetCost() { return Tuning().militaryCost; }
std::string cCityGameBuildingMilitary::GetBuildingName() { return Tuning().militaryBuildingName; }
