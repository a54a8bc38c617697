// How citizens get around the city: walking to a set goal, sleeping in the
// open, using a building (door, inside, out by a road) and following a road.
#include <vector>

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/economy/CityGameBuilding.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/InteractionTarget.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kWalkArrival = 1.0f;
constexpr float kSleepSpotReach = 2.0f;  // near enough the spot to lie down

cCityGameCreature* CreatureOf(cIInteraction* interaction) {
  return dynamic_cast<cCityGameCreature*>(interaction->GetAgent());
}
}  // namespace

uint32_t cCityGameBehaviorWalk::Step() {
  cCityGameCreature* creature = CreatureOf(this);
  cCreatureCommon* record = creature ? creature->GetCommon() : nullptr;
  if (!record) return 0;
  creature->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return record->GetDistanceToTarget() >= kWalkArrival ? 1 : 0;
}

void cCityGameBehaviorSleepOnGround::Start() {
  cCityGameInteraction::Start();
  cCityGameCreature* creature = CreatureOf(this);
  if (!creature) return;
  if (auto* city = dynamic_cast<cCityGameCity*>(creature->GetOwner()))
    if (cCreatureCommon* record = creature->GetCommon()) record->SetPosition(city->GetSleepingSpot());
  creature->SetRate(1, GetCityGameMotiveTuning().sleepOnGroundEnergyDelta);
}

uint32_t cCityGameBehaviorSleepOnGround::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(CreatureOf(this));
  cCreatureCommon* record = citizen ? citizen->GetCommon() : nullptr;
  // The get-up level already has the low-motive mark added by the tuning.
  if (!record || citizen->HasHome() || citizen->GetMotive(1) > GetCityGameMotiveTuning().sleepOnGroundGetUp) return 0;
  if (record->GetDistanceToTarget() > kSleepSpotReach)
    citizen->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return 1;
}

void cCityGameBehaviorSleepOnGround::End() {
  cCityGameInteraction::End();
  if (cCityGameCreature* creature = CreatureOf(this)) creature->SetRate(1, GetCityGameMotiveTuning().worldEnergyDelta);
}

namespace {
constexpr float kDoorReach = 1.5f;                           // radii: counted as an occupant from here
constexpr float kComeOutNear = 1.3f, kComeOutFar = 1.4f;     // radii: where a citizen with no road comes out

Vector3 OnSurface(const Vector3& p) {
  Vector3 out;
  GetPlanetModel().ProjectToSurface(out, p);
  return out;
}

// Puts a citizen leaving `building` at the end of a road to another building
// that takes it, heading there; with none, somewhere just outside.
void ComeOut(cCityGamePlayerCreature* citizen, cCityGameBuilding* building) {
  std::vector<cCityGameRoad*> roads, candidates;
  building->GetRoads(roads);
  for (cCityGameRoad* road : roads) {
    if (citizen->HasArrivalRoad() && road->GetId() == citizen->GetArrivalRoadId()) continue;
    cCityGameBuilding* other = road->GetOtherEnd(building);
    if (other && other->IsPickable(citizen)) candidates.push_back(road);
  }
  citizen->SetDestinationBuilding(kNoCityId);
  if (candidates.empty()) {
    Vector3 near;
    const float r = building->GetRadius();
    GetPlanetModel().GetRandomSurfacePointNear(near, building->GetPosition(), kComeOutNear * r, kComeOutFar * r);
    citizen->SetPosition(OnSurface(near), Vector3{});
  } else {
    cCityGameRoad* road = candidates[(size_t)Sys_Random() % candidates.size()];
    const std::vector<Vector3>& points = road->GetPoints();
    if (!points.empty()) citizen->SetPosition(OnSurface(road->GetEnd(0) == building ? points.front() : points.back()), Vector3{});
    citizen->SetPendingTarget(road);
    citizen->SetDestinationBuilding(road->GetOtherEnd(building)->GetId());
  }
  citizen->SetArrivalRoad(kNoCityId);
}
}  // namespace

uint32_t cCityGameBehaviorUseBuilding::ReachDoor(cCityGameCreature* creature, cCityGameBuilding* building) {
  // Turned away at the door: wait there only while the building lets it.
  if (!building->IsPickable(creature)) return building->AllowsStay(creature) ? 1 : 0;
  mState = 1;
  building->AddOccupant(creature);
  return 1;
}

uint32_t cCityGameBehaviorUseBuilding::GoInside(cCityGameCreature* creature, cCityGameBuilding* building) {
  mState = 2;
  if (cSceneObject* body = creature->GetSceneObject()) GetSceneManager().RemoveObject(body);
  return building->Enter(creature) ? 1 : 0;
}

uint32_t cCityGameBehaviorUseBuilding::StayInside(cCityGameCreature* creature, cCityGameBuilding* building, uint32_t ms) {
  const bool wantsMore = building->UpdateOccupant(creature, ms);
  mInsideMs += (float)ms;
  // A satisfied occupant leaves after the minimum stay; a wanting one stays up to the maximum.
  return wantsMore ? (mInsideMs <= building->GetMaximumStay() ? 1 : 0) : (mInsideMs < building->GetMinimumStay() ? 1 : 0);
}

uint32_t cCityGameBehaviorUseBuilding::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* building = dynamic_cast<cCityGameBuilding*>(TargetOfWord(GetTarget()));
  cCreatureCommon* record = creature ? creature->GetCommon() : nullptr;
  if (!record || !building || !building->AcceptsUser(creature)) return 0;
  const uint32_t ms = GetBehaviorController().GetLastUpdateTime();
  const float r = building->GetRadius();
  record->SetPosition(OnSurface(building->GetPosition()));
  if (mState == 2) return StayInside(creature, building, ms);
  if (record->GetDistanceToTarget() < r * (mState == 0 ? kDoorReach : 1.0f))
    return mState == 0 ? ReachDoor(creature, building) : GoInside(creature, building);
  creature->MoveTowardGoal(ms, 1.0f);
  return 1;
}

uint32_t cCityGameBehaviorUseProductionBuilding::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* building = dynamic_cast<cCityGameBuildingProduction*>(TargetOfWord(GetTarget()));
  cCreatureCommon* record = creature ? creature->GetCommon() : nullptr;
  if (!record || !building) return 0;
  const uint32_t ms = GetBehaviorController().GetLastUpdateTime();
  const float r = building->GetRadius();
  record->SetPosition(OnSurface(building->GetPosition()));
  if (mState == 2) return StayInside(creature, building, ms);
  if (record->GetDistanceToTarget() >= r * (mState == 0 ? kDoorReach : 1.0f)) {
    if (!building->AcceptsUser(creature)) return 0;
    creature->MoveTowardGoal(ms, 1.0f);
    return 1;
  }
  if (mState == 1) return building->AcceptsUser(creature) ? GoInside(creature, building) : 0;
  // A citizen already carrying something could not take the product (it
  // would be lost), so it goes in like any other worker.
  if (building->GetProductCount() >= 1 && !creature->GetCarried()) {
    creature->AttachCarried(building->TakeProduct());
    if (cCityGameWorldObject* destination = FindDeliveryDestination(building, creature))
      creature->SetPendingTarget(destination);
    return 0;
  }
  return ReachDoor(creature, building);
}

void cCityGameBehaviorUseBuilding::End() {
  cCityGameInteraction::End();
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(GetAgent());
  auto* building = dynamic_cast<cCityGameBuilding*>(TargetOfWord(GetTarget()));
  if (!citizen || !building || mState == 0) return;
  building->RemoveOccupant(citizen);
  citizen->ResetRates();
  if (mState != 2) return;
  // Only a body in no scene goes back: the scene manager would list it twice.
  cSceneObject* body = citizen->GetSceneObject();
  if (body && body->GetSceneRefCount() == 0) GetSceneManager().AddObject(body);
  ComeOut(citizen, building);
}

namespace {
constexpr float kRoadPointReach = 3.0f;  // a road point this near is passed
constexpr float kRoadArrival = 1.6f;     // radii of the destination: the walk is over

cCityGameBuilding* DestinationOf(cCityGamePlayerCreature* citizen) {
  if (!citizen || !citizen->HasDestinationBuilding()) return nullptr;
  return dynamic_cast<cCityGameBuilding*>(GetCityObjectRegistry().Find(citizen->GetDestinationBuildingId()));
}
}  // namespace

void cCityGameBehaviorFollowRoad::Start() {
  cCityGameInteraction::Start();
  auto* road = dynamic_cast<cCityGameRoad*>(TargetOfWord(GetTarget()));
  cCityGameBuilding* destination = DestinationOf(dynamic_cast<cCityGamePlayerCreature*>(GetAgent()));
  if (road && destination && road->GetEnd(0) == destination) mPointIndex = (int)road->GetPoints().size() - 1;
}

uint32_t cCityGameBehaviorFollowRoad::Step() {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(GetAgent());
  auto* road = dynamic_cast<cCityGameRoad*>(TargetOfWord(GetTarget()));
  cCityGameBuilding* destination = DestinationOf(citizen);
  cCreatureCommon* record = citizen ? citizen->GetCommon() : nullptr;
  if (!record || !road || !destination || !road->HasEnd(destination)) return 0;
  // A citizen in need stops when the building ahead does nothing for that
  // need and heads for what it chooses instead.
  if (citizen->IsAnyMotiveAtOrBelow(GetCityGameMotiveTuning().lowMotive) &&
      !(destination->GetServedMotives() & (1u << citizen->LowestMotiveIndex()))) {
    mLeftInNeed = true;
    if (cCityGameWorldObject* target = citizen->ChooseTarget()) citizen->SetPendingTarget(target);
    return 0;
  }
  const std::vector<Vector3>& points = road->GetPoints();
  const int direction = road->GetEnd(0) == destination ? -1 : 1;
  Vector3 goal = OnSurface(destination->GetPosition());
  for (; mPointIndex >= 0 && mPointIndex < (int)points.size(); mPointIndex += direction) {
    const Vector3 point = OnSurface(points[(size_t)mPointIndex]);
    if (Vector3Length(Vector3Sub(point, citizen->GetPosition())) > kRoadPointReach) {
      goal = point;
      break;
    }
  }
  record->SetPosition(goal);
  citizen->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), GetCityGameTuning().roadSpeedMultiplier);
  const float left = Vector3Length(Vector3Sub(destination->GetPosition(), citizen->GetPosition()));
  return left >= destination->GetRadius() * kRoadArrival ? 1 : 0;
}

void cCityGameBehaviorFollowRoad::End() {
  cCityGameInteraction::End();
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(GetAgent());
  auto* road = dynamic_cast<cCityGameRoad*>(TargetOfWord(GetTarget()));
  cCityGameBuilding* destination = DestinationOf(citizen);
  // One that left in need keeps the errand it chose over the building ahead.
  if (!road || !destination || !road->HasEnd(destination) || mLeftInNeed) return;
  if (cCityGameBundle* carried = citizen->GetCarried()) {
    if (destination->AcceptsBundleKind(carried->GetKind())) {
      citizen->SetPendingTarget(destination->GetContainer(carried->GetKind()));
      return;
    }
    citizen->DropCarried();
  }
  if (destination->IsPickable(citizen)) {
    citizen->SetPendingTarget(destination);
    citizen->SetArrivalRoad(road->GetId());
  }
}
