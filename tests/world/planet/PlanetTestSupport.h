// Height maps made to order for the planet tests.
#pragma once

#include <functional>
#include <memory>

#include "world/planet/CubeMap.h"
#include "world/planet/PlanetModel.h"

// A 512 x 512 map whose height is f(direction of the cell centre).
inline std::unique_ptr<nKoPlanet::cCubeMap<float>> MakeHeightMap(
    const std::function<float(const Ru::Math::Vector3&)>& f, uint32_t n = 512) {
  auto map = std::make_unique<nKoPlanet::cCubeMap<float>>(n, n, 0.0f);
  for (uint32_t face = 0; face < 6; ++face)
    for (uint32_t a = 0; a < n; ++a)
      for (uint32_t b = 0; b < n; ++b)
        map->SetCell({face, a, b}, f(nKoPlanet::FaceCoordinateToDirection(nKoPlanet::CellToFaceCoordinate(face, a, b, n, n))));
  return map;
}

// A planet of its own (not the global one) with the given heights.
inline std::unique_ptr<cPlanetModel> MakePlanet(const std::function<float(const Ru::Math::Vector3&)>& f) {
  auto planet = std::make_unique<cPlanetModel>();
  planet->SetHeightMap(MakeHeightMap(f));
  return planet;
}

// Gives the global planet these heights for the object's lifetime; afterwards
// it has none, as in a fresh process, whichever case runs next.
struct cScopedPlanetHeights {
  explicit cScopedPlanetHeights(std::unique_ptr<nKoPlanet::cCubeMap<float>> map) {
    GetPlanetModel().SetHeightMap(std::move(map));
  }
  ~cScopedPlanetHeights() { GetPlanetModel().SetHeightMap(nullptr); }
  cScopedPlanetHeights(const cScopedPlanetHeights&) = delete;
  cScopedPlanetHeights& operator=(const cScopedPlanetHeights&) = delete;
};
