// The tribe mode's ground: the hut stands at the surface point above the north
// pole, and the places the tribe scripts pick around it (tree stands, herd
// homes, rival huts) must be dry land on the generated terrain.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "tests/support/TestSupport.h"
#include "world/planet/PlanetModel.h"

namespace {
using Ru::Math::Vector3;

// The surface point at distance d and compass angle a (degrees) from the hut, offset in world x and z.
Vector3 AroundHut(const cPlanetModel& planet, const Vector3& hut, float angleDeg, float d) {
  const float a = angleDeg * 3.14159265f / 180.0f;
  Vector3 out;
  planet.ProjectToSurface(out, Vector3{hut.x + std::sin(a) * d, hut.y, hut.z - std::cos(a) * d});
  return out;
}

class TerrainData : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(mPlanet.LoadTerrain(".\\Data\\Terrain\\terrain.bin", error)) << error;
    mPlanet.ProjectToSurface(mHut, Vector3{0.0f, 1.0f, 0.0f});
  }
  bool Dry(float angleDeg, float d) const { return !mPlanet.IsUnderWater(AroundHut(mPlanet, mHut, angleDeg, d)); }
  void Load(cRovurozovizProgram& p, const char* name) {
    cMessageCapture boxes;
    ASSERT_TRUE(p.Load(std::string(".\\Data\\Scripts\\") + name));
  }
  cPlanetModel mPlanet;
  Vector3 mHut;
};
}  // namespace

TEST_F(TerrainData, TheHutStandsOnLandWithLandAllAround) {
  EXPECT_GT(mPlanet.GetSurfaceRadius(mHut), cPlanetModel::kSeaLevelRadius);
  int dry = 0, all = 0;
  for (int d = 10; d <= 150; d += 10)
    for (int a = 0; a < 360; a += 10, ++all) dry += Dry(float(a), float(d));
  EXPECT_GE(dry * 10, all * 8) << dry << " of " << all << " points within 150 units are dry";
}

TEST_F(TerrainData, ScriptedPlacesAroundTheHutAreDry) {
  cRovurozovizProgram trees, rivals, herds;
  Load(trees, "tribe_tree_location.txt");
  trees.Run();
  for (int k = 1; k <= int(trees.GetVariable("number_of_stands")); ++k) {
    const std::string n = std::to_string(k);
    EXPECT_TRUE(Dry(trees.GetVariable("angle" + n), trees.GetVariable("distance" + n))) << "tree stand " << k;
  }
  Load(rivals, "tribe_npc_location.txt");
  rivals.SetVariable("time_since_birth1", 1e6f);  // old enough for every tribe to have come
  rivals.Run();
  EXPECT_GE(rivals.GetVariable("number_of_tribes"), 3.0f);
  for (int k = 1; k <= int(rivals.GetVariable("number_of_tribes")); ++k) {
    const std::string n = std::to_string(k);
    EXPECT_TRUE(Dry(rivals.GetVariable("angle" + n), rivals.GetVariable("distance" + n))) << "rival hut " << k;
  }
  Load(herds, "tribe_herd_location.txt");
  for (int type = 1; type <= 3; ++type) {
    herds.SetVariable("herd_type", float(type));
    herds.Run();
    int dry = 0;
    for (int a = 0; a < 360; a += 10) dry += Dry(float(a), herds.GetVariable("distance_from_hut"));
    EXPECT_GE(dry, 30) << "herd type " << type << ": homes are drawn in any direction";
  }
}

// The city stands at the pole too: its walls grow about 40 units out and its
// tribes camp up to 90 away, so every point within 100 units must be dry.
TEST_F(TerrainData, EveryPointWithin100UnitsOfThePoleIsDry) {
  int wet = 0;
  for (int d = 5; d <= 100; d += 5)
    for (int a = 0; a < 360; a += 5) wet += !Dry(float(a), float(d));
  EXPECT_EQ(wet, 0);
}
