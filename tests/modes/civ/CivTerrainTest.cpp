// Every city start place, with and without the test camera, stands on dry
// land of the shipped terrain, and land paths join most pairs of them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/AppGlobals.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivWorld.h"
#include "world/planet/PlanetModel.h"

TEST(CivTerrain, EveryStartPlaceIsDryLand) {
  cPlanetModel planet;
  std::string error;
  ASSERT_TRUE(planet.LoadTerrain(".\\Data\\Terrain\\terrain.bin", error)) << error;
  for (bool testCamera : {false, true})
    for (int k = 0; k < (testCamera ? 9 : 10); ++k) {
      Ru::Math::Vector3 place = cCivWorld::StartPosition(k, testCamera);
      EXPECT_GT(planet.GetSurfaceRadius(place), 504.0f) << "city " << k << (testCamera ? " (test camera)" : "");
    }
}

// Land vehicles can reach most start places from most others along the land
// rule's paths (the shipped slope limit); the pairs joined are printed. The
// terrain's causeways between start places make this hold.
TEST(CivTerrain, LandPathsJoinMostStartPlaces) {
  cPlanetModel& planet = GetPlanetModel();
  std::string error;
  ASSERT_TRUE(planet.LoadTerrain(".\\Data\\Terrain\\terrain.bin", error)) << error;
  cCivModeVehicle::cCivLandVehicleOtc land;
  int joined = 0, pairs = 0;
  std::string table;
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b, ++pairs) {
      Ru::Math::Vector3 from, to;
      planet.ProjectToSurface(from, cCivWorld::StartPosition(a, false));
      planet.ProjectToSurface(to, cCivWorld::StartPosition(b, false));
      bool found = !planet.FindPath(from, to, &land).empty();
      joined += found;
      table += std::to_string(a) + "-" + std::to_string(b) + (found ? " joined\n" : " not joined\n");
    }
  printf("Land slope limit %g\n%s", cCivTuning::GetVehicles()->LandVehicleMaxSlope, table.c_str());
  EXPECT_GT(joined * 2, pairs);
}
