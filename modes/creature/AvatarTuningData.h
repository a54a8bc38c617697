// The fly/swim avatar's constants, from the tuning file its controller names
// ("CreatureTuning.xml"): speeds in the air and the water, turning, climbing,
// sinking, the height ceiling and the wing beat. Each key's default and range
// stand in one table (Fields, in the .cpp).
#pragma once

#include <vector>

#include "sim/tuning/TuningData.h"
#include "sim/tuning/TuningKeys.h"

class cAvatarTuningData : public cTuningData {
 public:
  explicit cAvatarTuningData(const std::string& fileName, const std::string& dataFolder = kTuningDataFolder);
  void ApplyConstants() override;
  static std::vector<sTuningKey> Keys();  // the file's keys with their ranges
  double Held(const std::string& name) const;  // what it holds for a key, in the file's unit (NaN: none)

  float flySpeed = 20.0f;     // units per second at full MOVE in the air
  float swimSpeed = 8.0f;     // units per second at full MOVE under the sea surface
  float acceleration = 15.0f; // units per second per second towards the wanted speed
  float turnRate = 1.5f;      // radians per second at full TURN
  float climbRate = 10.0f;    // units per second at full CLIMB (negative CLIMB dives)
  float sinkRate = 2.0f;      // units per second the avatar glides down without CLIMB
  float maxHeight = 40.0f;    // the highest it flies above the ground or the sea
  float flapRate = 2.0f;      // wing beats per second while flying

 private:
  static const std::vector<tTuningField<cAvatarTuningData>>& Fields();
};
