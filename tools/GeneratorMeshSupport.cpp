// The generator measures patch sizes with the planet's own mesh code but
// draws nothing: this stands in for the colour table that code refers to.
#include <vector>

#include "world/planet/DisplacedSphere.h"

namespace nKoPlanet {
const std::vector<cColour3>& LandColourTable() {
  static const std::vector<cColour3> grey(256, cColour3{0.5f, 0.5f, 0.5f});
  return grey;
}
}  // namespace nKoPlanet
