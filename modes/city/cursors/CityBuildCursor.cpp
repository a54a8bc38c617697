#include "modes/city/cursors/CityBuildCursor.h"

#include <cstring>

#include "modes/city/economy/CityGameBuilding.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/civ/CivRecords.h"
#include "world/planet/PlanetModel.h"

namespace {
cCityGameCity* CityOf(cCityGameBuilding* building) {
  return building ? dynamic_cast<cCityGameCity*>(building->GetOwner()) : nullptr;
}
}  // namespace

cCityGameBuildingBuildCursor& GetCityBuildCursor() {
  static auto* cursor = new cCityGameBuildingBuildCursor;
  return *cursor;
}

void cCityGameBuildingBuildCursor::SetBuilding(cCityGameBuilding* building) {
  BeginDrag(building);
  mBuilding = building;
}

int cCityGameBuildingBuildCursor::OnMouseMove(int x, int y) {
  if (mBuilding && GetDraggedObject() == mBuilding)
    if (cCityGameCity* city = CityOf(mBuilding)) city->GrowWallsForTrial(mBuilding->GetPosition(), mBuilding->GetWallFieldWeight());
  return cCityGameDragCursor::OnMouseMove(x, y);
}

int cCityGameBuildingBuildCursor::Draw(int, int) {
  if (cCityGameCity* city = CityOf(mBuilding))
    if (cCityGameCityWalls* walls = city->GetWalls()) walls->DrawWorkingRing();
  return kStay;
}

int cCityGameBuildingBuildCursor::OnAction(const char* action, float, int) {
  if (!mBuilding || std::strcmp(action, "CANCEL_BUY") != 0) return kStay;
  CancelDrop();
  LetGo();
  return kDone;
}

void cCityGameBuildingBuildCursor::CancelDrop() {
  cCityGameBuilding* building = mBuilding;
  mBuilding = nullptr;
  if (!building || building->IsDead()) return;
  if (cCityGameCity* city = CityOf(building))
    if (cCityCommon* record = city->GetCommon()) record->SetMoney(record->GetMoney() + building->GetCost());  // the whole price
  GetCityObjectRegistry().RemoveNow(building);
}

void cCityGameBuildingBuildCursor::LetGo() {
  cCityGameDragCursor::LetGo();
  mBuilding = nullptr;
}

void cCityGameBuildingBuildCursor::CompleteDrop() {
  cCityGameBuilding* building = mBuilding;
  mBuilding = nullptr;
  if (!building) return;
  const Ru::Math::Vector3 at = building->GetPosition();
  GetPlanetModel().HidePlantsInRadius(at.x, at.y, at.z, kPlantClearRadius);
  if (cCityGameCity* city = CityOf(building)) city->AddWallPoint(at, building->GetWallFieldWeight());
  cCityGameDragCursor::CompleteDrop();
}
