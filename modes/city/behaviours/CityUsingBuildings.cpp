// Using a building: walk to its door, go in, stay, come out by one of its roads.
#include <vector>

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/economy/CityGameBuilding.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/InteractionTarget.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

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

uint32_t cCityGameBehaviorUseBuilding::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* building = dynamic_cast<cCityGameBuilding*>(TargetOfWord(GetTarget()));
  cCreatureCommon* record = creature ? creature->GetCommon() : nullptr;
  if (!record || !building || !building->AcceptsUser(creature)) return 0;
  const uint32_t ms = GetBehaviorController().GetLastUpdateTime();
  const float r = building->GetRadius();
  record->SetPosition(OnSurface(building->GetPosition()));
  switch (mState) {
    case 0:
      if (record->GetDistanceToTarget() >= r * kDoorReach) break;
      // Turned away at the door: wait there only while the building lets it.
      if (!building->IsPickable(creature)) return building->AllowsStay(creature) ? 1 : 0;
      mState = 1;
      building->AddOccupant(creature);
      return 1;
    case 1:
      if (record->GetDistanceToTarget() >= r) break;
      mState = 2;
      if (cSceneObject* body = creature->GetSceneObject()) GetSceneManager().RemoveObject(body);
      return building->Enter(creature) ? 1 : 0;
    default: {
      const bool wantsMore = building->UpdateOccupant(creature, ms);
      mInsideMs += (float)ms;
      // A satisfied occupant leaves after the minimum stay; a wanting one stays up to the maximum.
      return wantsMore ? (mInsideMs <= building->GetMaximumStay() ? 1 : 0) : (mInsideMs < building->GetMinimumStay() ? 1 : 0);
    }
  }
  creature->MoveTowardGoal(ms, 1.0f);
  return 1;
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
