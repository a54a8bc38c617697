// Feeds the civ tuning loader arbitrary ini text, then bounds it and builds
// the players from it. Beyond "no crash, no undefined behaviour", it checks
// what the bounds promise (two to ten players, at most ten cities, a human
// among the players, initial-building ranges that never divide by zero) and
// that the relationship matrix stays symmetric and bounded through events.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivTuning.h"
#include "platform/Sys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path = "/tmp/quorvel-fuzz-civ-" + std::to_string(getpid()) + ".ini";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  cCivTuning tuning;
  tuning.Load(CivIniFileReader(path));
  ReadCivDebugFlags(CivIniFileReader(path));
  tuning.ApplyBounds();
  const cCivTuningGeneral& g = tuning.general;
  if (g.NumPlayers < 2 || g.NumPlayers > 10 || g.NumCities < 0 || g.NumCities > 10) abort();
  if (g.HumanPlayerId < -1 || g.HumanPlayerId >= g.NumPlayers) abort();
  if (g.InitNumBuildingsPlayerMax < g.InitNumBuildingsPlayerMin || g.InitNumBuildingsNPCMax < g.InitNumBuildingsNPCMin)
    abort();
  for (int count : {-1, 0, 7, 15, 99}) {
    tuning.costs.GetBuildingCost(count);
    tuning.costs.GetVehicleCost(count, count & 3);
    tuning.costs.GetTurretCost(count);
    tuning.wealth.GetWealthPerSecond(count);
  }

  Sys_SeedRandom(size);
  int human = ChooseCivHumanPlayer(g);
  if (human < 0 || human >= g.NumPlayers) abort();
  cCivPlayers players(g.NumPlayers, human, &tuning.relationships);
  cCivRelationshipMatrix& m = *players.GetRelationships();
  for (size_t i = 0; i + 2 < size && i < 60; i += 3)
    m.ApplyEvent((eCivRelationshipEvent)(data[i] % 9), (int8_t)data[i + 1] % 12, (int8_t)data[i + 2] % 12);
  for (int a = 0; a < g.NumPlayers; ++a)
    for (int b = 0; b < g.NumPlayers; ++b) {
      float v = m.Get(a, b);
      if (v != m.Get(b, a) || (a == b && v != 0.0f)) abort();
      if (!(v >= -10.0f && v <= 10.0f)) abort();  // a NaN fails too
    }
  return 0;
}
