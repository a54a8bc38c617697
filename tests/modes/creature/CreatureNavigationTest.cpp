// The creature layer of the navigation graph: what the creature cost forbids
// and prices, and the path cache written on the first start, read on the next,
// and rebuilt when it is damaged or no longer fits the terrain.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "modes/creature/CreatureNavigation.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"

using Ru::Math::Vector3;

namespace {

// Sea where z < -0.5; elsewhere land rising gently with x, and a cliff around the north pole.
float TestHeight(const Vector3& d) {
  if (d.z < -0.5f) return 0.0f;
  if (d.y > 0.9f) return 45.0f;
  return 10.0f + 20.0f * d.x;
}

void UseTerrain(float (*height)(const Vector3&)) { GetPlanetModel().SetHeightMap(MakeHeightMap(height)); }

cAStarNode GroundNode(Vector3 direction) {
  const float length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, Vector3{direction.x / length, direction.y / length, direction.z / length});
  return cAStarNode{ground.x, ground.y, ground.z, 3.0f};
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  const std::string contents = FileContents(path);
  return std::vector<uint8_t>(contents.begin(), contents.end());
}

}  // namespace

TEST(CreatureNavigation, TravelCostForbidsWaterAndCliffsAndChargesForClimbing) {
  UseTerrain(TestHeight);
  const cAStarNode sea = GroundNode({0, 0, -1}), shore = GroundNode({0, -0.1f, -0.45f});
  const cAStarNode low = GroundNode({-0.3f, 0, 1}), high = GroundNode({-0.28f, 0, 1});
  const cAStarNode belowCliff = GroundNode({0, 0.88f, 0.47f}), onCliff = GroundNode({0, 0.91f, 0.41f});
  EXPECT_EQ(CreatureTravelCost(&sea, &sea), kAStarImpassableCost);
  EXPECT_NE(CreatureTravelCost(&low, &low), kAStarImpassableCost);
  EXPECT_EQ(CreatureTravelCost(&shore, &sea), kAStarImpassableCost);
  EXPECT_EQ(CreatureTravelCost(&sea, &shore), kAStarImpassableCost);
  EXPECT_EQ(CreatureTravelCost(&belowCliff, &onCliff), kAStarImpassableCost);
  EXPECT_EQ(CreatureTravelCost(&onCliff, &belowCliff), kAStarImpassableCost);
  const float distance = NodeDistance(&low, &high);
  EXPECT_GT(CreatureTravelCost(&low, &high), distance * 1.001f);  // uphill
  EXPECT_FLOAT_EQ(CreatureTravelCost(&high, &low), distance);     // downhill: the distance alone
}

TEST(CreatureNavigation, CacheIsWrittenFirstReadNextAndRebuiltWhenDamagedOrStale) {
  UseTerrain(TestHeight);
  cScratchDir dir;
  const std::string cache = dir.File("Paths.bin");

  cAStarGraph built;
  EXPECT_FALSE(InitCreatureAStar(built, cache));  // first start: built and written
  const std::vector<uint8_t> written = FileBytes(cache);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written, built.EncodeCache());
  ASSERT_EQ(built.GetLayerCount(), 2u);

  cAStarGraph loaded;
  EXPECT_TRUE(InitCreatureAStar(loaded, cache));  // next start: read
  EXPECT_EQ(loaded.EncodeCache(), written);
  EXPECT_EQ(loaded.GetLayerFunctions(kCreatureNavigationLayer).cost, &CreatureTravelCost);
  EXPECT_EQ(loaded.GetLayerFunctions(kCreatureNavigationLayer).heuristic, &NodeDistance);

  // A path across the land touches neither water nor the cliff.
  std::vector<cAStarNode> path;
  const cAStarNode from = GroundNode({-0.6f, 0.2f, 0.7f}), to = GroundNode({0.7f, 0.1f, 0.6f});
  ASSERT_TRUE(loaded.FindPath(kCreatureNavigationLayer, Vector3{from.x, from.y, from.z}, Vector3{to.x, to.y, to.z}, FLT_MAX, path));
  ASSERT_GT(path.size(), 5u);
  for (const cAStarNode& n : path) {
    const float r = GetPlanetModel().GetSurfaceRadius(Vector3{n.x, n.y, n.z});
    EXPECT_GE(r, cPlanetModel::kSeaLevelRadius);
    EXPECT_LT(r, 540.0f);
  }

  dir.Write("Paths.bin", std::string(written.begin(), written.begin() + static_cast<std::ptrdiff_t>(written.size() / 2)));
  cAStarGraph afterDamage;
  EXPECT_FALSE(InitCreatureAStar(afterDamage, cache));
  EXPECT_EQ(FileBytes(cache), written);

  // The same file over other terrain no longer fits it.
  UseTerrain([](const Vector3& d) { return TestHeight(d) + 1.0f; });
  cAStarGraph otherTerrain;
  EXPECT_FALSE(InitCreatureAStar(otherTerrain, cache));
  EXPECT_NE(FileBytes(cache), written);
  cAStarGraph again;
  EXPECT_TRUE(InitCreatureAStar(again, cache));
}
