// Fuzzes the terrain file decoder and the height queries fed with arbitrary
// floats (NaN, infinities, tiny and huge vectors): nothing may crash, hang or
// read outside the cube map.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "world/planet/PlanetModel.h"
#include "world/planet/TerrainFile.h"

namespace {
cPlanetModel& SmallWorld() {
  static cPlanetModel* planet = [] {
    auto* p = new cPlanetModel();
    auto map = std::make_unique<nKoPlanet::cCubeMap<float>>(nKoPlanet::kTerrainCells, nKoPlanet::kTerrainCells, 3.0f);
    map->SetCell({2, 0, 0}, 40.0f);
    p->SetHeightMap(std::move(map));
    return p;
  }();
  return *planet;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The decoder: any size, any bytes. A full-size input is decoded for real.
  static nKoPlanet::cCubeMap<float> map(nKoPlanet::kTerrainCells, nKoPlanet::kTerrainCells, 0.0f);
  std::string error;
  nKoPlanet::DecodeTerrainHeights(data, size, map, error);
  if (size == nKoPlanet::kTerrainFileBytes || size < 24) return 0;

  // The queries: the first 24 bytes are a point and a ray step.
  float f[6];
  std::memcpy(f, data, sizeof(f));
  cPlanetModel& planet = SmallWorld();
  const Ru::Math::Vector3 p{f[0], f[1], f[2]};
  volatile float r = planet.GetSurfaceRadius(p);
  (void)r;
  Ru::Math::Vector3 out;
  planet.ProjectToSurface(out, p);
  planet.GetSlopeVector(out, p);
  nKoPlanet::cFaceCoordinate c{static_cast<uint32_t>(data[0] % 7), f[3], f[4]};
  volatile float s = map.Sample(nKoPlanet::NormalizeFaceCoordinate(c));
  (void)s;
  // A ray with a step of at least 0.1 from within 10000 takes at most 2e5 steps.
  Ru::Math::Ray ray{p, Ru::Math::Vector3{f[3], f[4], f[5]}};
  const float len2 = f[3] * f[3] + f[4] * f[4] + f[5] * f[5];
  if (len2 > 1e-2f && len2 < 1e12f && f[0] * f[0] + f[1] * f[1] + f[2] * f[2] < 1e8f) planet.IntersectRay(out, ray);
  return 0;
}
