// The civ map's influence image, read against the 16.7 ms frame: the one
// column refreshed each frame (about 86 influence queries) beside the
// reference of refreshing the whole image at once, over the stress field of
// 10 cities x 15 building sources among 4 players.
#include <benchmark/benchmark.h>

#include "math/Geometry.h"
#include "math/Math.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivMap.h"
#include "tests/world/planet/PlanetTestSupport.h"

namespace {

cCivInfluence StressField() {
  GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return 10.0f; }));
  cCivInfluence influence;
  influence.SetNumPlayers(4);
  for (int city = 0; city < 10; ++city)
    for (int building = 0; building < 15; ++building) {
      float longitude = city * 0.6f + building * 0.01f, latitude = (city % 3 - 1) * 0.5f + building * 0.01f;
      influence.AddSource(city % 4, cCivMap::SurfacePointAt(cCivMap::CentreX() - longitude * 65.0f, 87.0f + latitude * 80.0f),
                          1000.0f, 200.0f);
    }
  return influence;
}

void BM_CivMapInfluenceColumnPerFrame(benchmark::State& state) {
  cCivInfluence influence = StressField();
  cCivMap map;
  for (auto _ : state) map.RefreshInfluenceColumn(influence);
}
void BM_CivMapInfluenceWholeImage_Reference(benchmark::State& state) {
  cCivInfluence influence = StressField();
  cCivMap map;
  for (auto _ : state)
    for (int column = 0; column < cCivMap::Width() - 2; ++column) map.RefreshInfluenceColumn(influence);
}
BENCHMARK(BM_CivMapInfluenceColumnPerFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CivMapInfluenceWholeImage_Reference)->Unit(benchmark::kMillisecond);

}  // namespace
