#include "modes/creature/AvatarTuningData.h"

#include <algorithm>

cAvatarTuningData::cAvatarTuningData(const std::string& fileName, const std::string& dataFolder)
    : cTuningData(dataFolder) {
  AddFile(fileName);
  Reload();
}

void cAvatarTuningData::ApplyConstants() {
  // Negative rates would fly the avatar backwards or through the ground: they read as 0.
  flySpeed = std::max(0.0f, GetFloat("flySpeed", 20.0f, "avatar speed in the air, units per second"));
  swimSpeed = std::max(0.0f, GetFloat("swimSpeed", 8.0f, "avatar speed under water, units per second"));
  acceleration = std::max(0.0f, GetFloat("acceleration", 15.0f, "change of speed, units per second per second"));
  turnRate = std::max(0.0f, GetFloat("turnRate", 1.5f, "turning, radians per second"));
  climbRate = std::max(0.0f, GetFloat("climbRate", 10.0f, "climbing and diving, units per second"));
  sinkRate = std::max(0.0f, GetFloat("sinkRate", 2.0f, "gliding down without climbing, units per second"));
  maxHeight = std::max(0.0f, GetFloat("maxHeight", 40.0f, "ceiling above the ground or the sea, units"));
  flapRate = std::max(0.0f, GetFloat("flapRate", 2.0f, "wing beats per second while flying"));
}
