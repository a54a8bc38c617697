// The generator measures patch sizes with the planet's own mesh code but has
// no colours, no random draws and no platform layer; these stand in for the
// two symbols that code refers to and the generator never uses.
#include <vector>

#include "world/planet/DisplacedSphere.h"

namespace nKoPlanet {
const std::vector<cColour3>& LandColourTable() {
  static const std::vector<cColour3> grey(256, cColour3{0.5f, 0.5f, 0.5f});
  return grey;
}
}  // namespace nKoPlanet

int Sys_Random() { return 0; }
