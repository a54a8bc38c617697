#include "modes/civ/CivSerializationController.h"

#include <algorithm>

#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivWorld.h"
#include "sim/gamedata/DataManager.h"
#include "world/scene/SceneObject.h"

void cCivSerializationController::BeforeLoad() {
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  cDataManager* data = GetDataManager();
  // Bullets first (they aim at cities), then vehicles, then each city with its roads and turrets.
  if (cCivWorld* world = GetCivWorld()) world->ClearForLoad();
  for (cCivModeDecoratedCity* city : cities) city->RemoveRoadsAndTurrets();
  for (cCivModeDecoratedCity* city : cities) {
    std::vector<cCivModeDecoratedBuilding*> buildings = city->GetBuildings();
    for (cCivModeDecoratedBuilding* building : buildings) city->RemoveBuilding(building);
    if (city->GetRecord()) data->Remove(city->GetRecord());
    city->SetRecord(nullptr);
    data->Remove(city);
  }
  cities.clear();
  cities.shrink_to_fit();
}

void cCivSerializationController::ObjectAdded(Ko::cIGameData* object) {
  if (!object) return;
  if (object->GetTypeId() == cBuildingCommon::kTypeId) {
    AddForeignBuilding(static_cast<cBuildingCommon*>(object));
    return;
  }
  if (object->GetTypeId() != cCityCommon::kTypeId) return;
  auto* record = static_cast<cCityCommon*>(object);
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  bool known = std::any_of(cities.begin(), cities.end(), [&](cCivModeDecoratedCity* c) { return c->GetRecord() == record; });
  if (known) return;  // every record the civ mode makes itself
  auto* city = GetDataManager()->CreateObject<cCivModeDecoratedCity>();
  if (!city) return;
  city->SetRecord(record);
  auto* marker = new cSceneObject(nullptr, nullptr);
  marker->SetPosition(record->GetPosition());
  marker->SetOrientation(record->GetOrientation());
  city->SetMarker(marker);
  city->SetOwner(record->IsPlayerCity() ? GetCivHumanPlayer() : -1);
  cities.push_back(city);
}

// A building record the city mode made joins the first city that the city
// mode plays; without one the civ building stands in no city.
void cCivSerializationController::AddForeignBuilding(cBuildingCommon* record) {
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  for (cCivModeDecoratedCity* city : cities)
    for (cCivModeDecoratedBuilding* building : city->GetBuildings())
      if (building->GetRecord() && building->GetRecord()->GetId() == record->GetId()) return;
  auto* building = GetDataManager()->CreateObject<cCivModeDecoratedBuilding>();
  if (!building) return;
  building->SetRecord(record);
  for (cCivModeDecoratedCity* city : cities) {
    if (!city->GetRecord() || !city->GetRecord()->IsPlayerCity()) continue;
    record->SetCityRecord(city->GetRecord());
    city->AdoptBuilding(building);
    return;
  }
}
