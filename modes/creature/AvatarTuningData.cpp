#include "modes/creature/AvatarTuningData.h"

cAvatarTuningData::cAvatarTuningData(const std::string& fileName, const std::string& dataFolder)
    : cTuningData(dataFolder) {
  AddFile(fileName);
  Reload();
}

namespace {
// Per second; the avatar moves its speed times the frame (at most half a second).
constexpr sTuningKey Rate(const char* name, double defaultValue, double high) {
  return TuningFloat(name, defaultValue, 0.0, high);
}
}  // namespace

// Negative rates would fly the avatar backwards or through the ground.
const std::vector<tTuningField<cAvatarTuningData>>& cAvatarTuningData::Fields() {
  using T = cAvatarTuningData;
  static const std::vector<tTuningField<T>> fields = {
      {Rate("flySpeed", 20.0, 200.0), &T::flySpeed},          // units per second in the air
      {Rate("swimSpeed", 8.0, 200.0), &T::swimSpeed},         // units per second under water
      {Rate("acceleration", 15.0, 1000.0), &T::acceleration}, // units per second per second
      {Rate("turnRate", 1.5, 50.0), &T::turnRate},            // radians per second
      {Rate("climbRate", 10.0, 200.0), &T::climbRate},        // units per second
      {Rate("sinkRate", 2.0, 200.0), &T::sinkRate},           // units per second
      {Rate("maxHeight", 40.0, 1000.0), &T::maxHeight},       // units above the ground or the sea
      {Rate("flapRate", 2.0, 50.0), &T::flapRate},            // wing beats per second
  };
  return fields;
}

std::vector<sTuningKey> cAvatarTuningData::Keys() { return TuningKeysOf(Fields()); }

double cAvatarTuningData::Held(const std::string& name) const { return HeldTuningField(*this, Fields(), name); }

void cAvatarTuningData::ApplyConstants() { ReadTuningFields(*this, Fields()); }
