// How civ records and rules reach the running civ mode and its world without
// including the mode's header. The pointers are null while no civ mode exists
// (in tests that build their own objects).
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <vector>

#include "math/Types.h"
#include "world/planet/PlanetModel.h"

class cCivHud;
class cCivInfluence;
class cCivModeVehicle;
class cCivModeDecoratedCity;
class cCivPlayers;
class cCivWorld;

cCivPlayers* GetCivPlayers();
void SetCivPlayers(cCivPlayers* players);  // the civ mode's (or a test's) while they live
cCivWorld* GetCivWorld();
cCivInfluence* GetCivInfluence();  // the world's influence field
// Every civ city; a city's index here is its index everywhere.
std::vector<cCivModeDecoratedCity*>& GetCivCities();
int GetCivHumanPlayer();  // the player the human plays; -1 before a world chose one
// The mode's HUD while the mode lives (a test's while it sets one): the input
// controller sends map clicks and key "i" there.
cCivHud* GetCivHud();
void SetCivHud(cCivHud* hud);

// What vehicles and the world need of the input controller: the ground point
// under the cursor (a selected guard turns toward it) and the selection (a
// new vehicle of the human joins it). The input controller connects them
// while it lives; unset, the pick point is the origin and nothing is selected.
struct sCivInputHooks {
  std::function<Ru::Math::Vector3()> pickPoint;
  std::function<void(cCivModeVehicle*)> addToSelection;
};
void SetCivInputHooks(sCivInputHooks hooks);
Ru::Math::Vector3 GetCivPickPoint();
void CivAddToSelection(cCivModeVehicle* vehicle);

// Every civ path search goes through here, so the benchmarks can count them.
std::list<Ru::Math::Vector3> CivFindPath(const Ru::Math::Vector3& start, const Ru::Math::Vector3& goal,
                                         cPlanetModel::cITravelCost* cost, int maxRounds = 10000);
uint32_t CivFindPathCalls();  // since the program started
void CivCountPathSearch();    // one run a part at a time (a road's)
