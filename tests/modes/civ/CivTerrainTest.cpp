// Every city start place, with and without the test camera, stands on dry
// land of the shipped terrain.
#include <gtest/gtest.h>

#include <string>

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
