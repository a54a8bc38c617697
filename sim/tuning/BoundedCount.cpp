#include "sim/tuning/BoundedCount.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "glf/DebugWindow.h"

namespace {
struct sHeldLine {
  std::string key;  // a file's key, whose later line takes this one's place; empty for a script's count
  std::string line;
};

struct sCutNotices {
  std::map<std::string, std::string> lastSaid;  // a file's key -> what its last line said of it
  std::set<std::string> countsSaid;             // a script's key and value, each said once
  std::vector<sHeldLine> held;  // lines waiting for the debug window, in the order of the cuts
};

sCutNotices& Notices() {
  static sCutNotices* notices = new sCutNotices();  // lives for the whole run; the tuning sets use it before main
  return *notices;
}

std::string Line(const char* key, const std::string& what) {
  return std::string("Tuning: \"") + (key ? key : "?") + "\" " + what + ", so that play can go on";
}

// Shown now, or kept for the window; a file's key keeps only its latest line waiting.
void Say(const std::string& fileKey, const std::string& line) {
  if (GetDebugWindow()) {
    DebugPrintf("%s\n", line.c_str());
    return;
  }
  std::vector<sHeldLine>& held = Notices().held;
  auto waiting = std::find_if(held.begin(), held.end(),
                              [&](const sHeldLine& h) { return !fileKey.empty() && h.key == fileKey; });
  if (waiting != held.end()) held.erase(waiting);
  held.push_back({fileKey, line});
}

std::string CutText(double value, double cut) {
  char what[96];
  std::snprintf(what, sizeof what, "%g is cut to %g", value, cut);
  return what;
}
}  // namespace

void NameTuningValue(const char* key, const std::string& what) {
  const std::string name = key ? key : "?";
  std::string& last = Notices().lastSaid[name];
  if (last == what) return;
  last = what;
  Say(name, Line(key, what));
}

void NameTuningCut(const char* key, double value, double cut) { NameTuningValue(key, CutText(value, cut)); }

void TuningValueStands(const char* key) {
  const std::string name = key ? key : "?";
  Notices().lastSaid.erase(name);
  std::vector<sHeldLine>& held = Notices().held;
  held.erase(std::remove_if(held.begin(), held.end(), [&](const sHeldLine& h) { return h.key == name; }), held.end());
}

void NameTuningCutsMadeBeforeTheDebugWindow() {
  if (!GetDebugWindow()) return;
  for (const sHeldLine& waiting : Notices().held) DebugPrintf("%s\n", waiting.line.c_str());
  Notices().held.clear();
}

int BoundedCount(const char* key, float value, int least, int most) {
  const bool notANumber = !(value == value);
  if (!notANumber && value <= (float)most) return value >= (float)least ? (int)value : least;
  const int cut = notANumber ? least : most;
  const std::string what = CutText(value, cut);
  if (Notices().countsSaid.insert(std::string(key ? key : "") + '\n' + what).second) Say("", Line(key, what));
  return cut;
}

void ForgetBoundedCountNoticesForTest() {
  Notices().lastSaid.clear();
  Notices().countsSaid.clear();
  Notices().held.clear();
}
