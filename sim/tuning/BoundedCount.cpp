#include "sim/tuning/BoundedCount.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "glf/DebugWindow.h"

namespace {
struct sCutNotices {
  std::set<std::string> namedKeys;
  std::vector<std::string> held;  // lines waiting for the debug window, in the order of the cuts
};

sCutNotices& Notices() {
  static sCutNotices* notices = new sCutNotices();  // lives for the whole run; the tuning sets use it before main
  return *notices;
}
}  // namespace

void NameTuningValue(const char* key, const std::string& what) {
  if (!Notices().namedKeys.insert(key ? key : "").second) return;
  const std::string line = std::string("Tuning: \"") + (key ? key : "?") + "\" " + what + ", so that play can go on";
  if (GetDebugWindow()) DebugPrintf("%s\n", line.c_str());
  else Notices().held.push_back(line);
}

void NameTuningCut(const char* key, double value, double cut) {
  char what[96];
  std::snprintf(what, sizeof what, "%g is cut to %g", value, cut);
  NameTuningValue(key, what);
}

void NameTuningCutsMadeBeforeTheDebugWindow() {
  if (!GetDebugWindow()) return;
  for (const std::string& line : Notices().held) DebugPrintf("%s\n", line.c_str());
  Notices().held.clear();
}

int BoundedCount(const char* key, float value, int least, int most) {
  const bool notANumber = !(value == value);
  if (!notANumber && value <= (float)most) return value >= (float)least ? (int)value : least;
  const int cut = notANumber ? least : most;
  NameTuningCut(key, value, cut);
  return cut;
}

void ForgetBoundedCountNoticesForTest() {
  Notices().namedKeys.clear();
  Notices().held.clear();
}
