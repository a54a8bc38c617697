#include "sim/tuning/BoundedCount.h"

#include <set>
#include <string>

#include "glf/DebugWindow.h"

static std::set<std::string>& NamedKeys() {
  static std::set<std::string>* keys = new std::set<std::string>();  // lives for the whole run
  return *keys;
}

int BoundedCount(const char* key, float value, int least, int most) {
  const bool notANumber = !(value == value);
  if (!notANumber && value <= (float)most) return value >= (float)least ? (int)value : least;
  if (NamedKeys().insert(key ? key : "").second)
    DebugPrintf("Tuning: %s = %g cut to the bound %d\n", key ? key : "?", value, notANumber ? least : most);
  return notANumber ? least : most;
}

void ForgetBoundedCountNoticesForTest() { NamedKeys().clear(); }
