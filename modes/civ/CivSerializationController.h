// The civ mode's part in saving and loading: it keeps out of the way. Nothing
// civ is written or read; before a load every civ city goes (with its record),
// so the next entry lays out a fresh set; and a city record that another mode
// (the city mode) creates gets a civ city of its own.
#pragma once

#include "sim/gamedata/GameData.h"

class cBuildingCommon;

class cCivSerializationController {
 public:
  void BeforeLoad();  // every civ city goes, with its buildings and their records
  void ObjectAdded(Ko::cIGameData* object);

 private:
  void AddForeignBuilding(cBuildingCommon* record);
};
