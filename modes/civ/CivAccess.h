// How civ records and rules reach the running civ mode and its world without
// including the mode's header. The pointers are null while no civ mode exists
// (in tests that build their own objects).
#pragma once

#include <vector>

class cCivInfluence;
class cCivInputController;
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
// The civ mode's input controller while it lives (a vehicle made for the human starts selected).
cCivInputController* GetCivInputController();
