// How civ records and rules reach the running civ mode without including its
// header. Each answers null while no civ mode exists (in tests that build
// their own objects).
#pragma once

class cCivPlayers;

cCivPlayers* GetCivPlayers();
