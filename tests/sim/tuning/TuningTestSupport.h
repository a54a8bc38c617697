// Helpers shared by the tuning tests: a small set that reads whatever files a
// test names, file-time control without sleeping, and every key of a file
// tried with the texts that break play.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "glf/DebugWindow.h"
#include "sim/tuning/BoundedCount.h"
#include "sim/tuning/TuningData.h"
#include "sim/tuning/TuningKeys.h"

// A set over the given files (relative to its folder); counts how often its
// constants were applied and keeps what it read of a few probe keys.
class cProbeTuningSet : public cTuningData {
 public:
  cProbeTuningSet(const std::string& folder, const std::vector<std::string>& files) : cTuningData(folder + "/") {
    for (const std::string& f : files) AddFile(f);
    Reload();
  }
  void ApplyConstants() override {
    ++applied;
    speed = GetFloat("speed", -1.0f, "probe");
    count = GetInt("count", -1, "probe");
    GetString(label, "label", "none", "probe");
  }
  int applied = 0;
  float speed = 0.0f;
  int count = 0;
  std::string label;
};

inline std::string TuningXml(const std::string& body) { return "<tuning>\n" + body + "</tuning>\n"; }

// Sets a file's modification time to whole seconds so a test controls "changed".
inline void SetWriteTimeSeconds(const std::string& path, long seconds) {
  struct timespec times[2];
  times[0].tv_sec = seconds;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Just outside the key's range on each side, then the texts alike for every key.
inline std::vector<std::string> TuningTrialTexts(const sTuningKey& key) {
  const bool whole = key.type == kTuningInt;
  auto shown = [&](double v) {
    char text[64];
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%.9g", v);
    return std::string(text);
  };
  auto step = [&](double bound) { return whole ? 1.0 : std::max(0.5, std::fabs(bound) / 2); };
  return {shown(key.low - step(key.low)), shown(key.high + step(key.high)), "0", "-1", "2147483647", "1e30",
          "NaN", "inf", "-inf", "", "text"};
}

// Whether a text stands as written: a plain number of the key's type (an int
// is digits with an optional sign) within the key's range.
inline bool StandsAsWritten(const sTuningKey& key, const std::string& text) {
  const size_t sign = text.find_first_of("+-") == 0;
  if (key.type == kTuningInt && (text.size() == sign || text.find_first_not_of("0123456789", sign) != std::string::npos))
    return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(value) && value >= key.low && value <= key.high;
}

inline std::string TuningFileWriting(const sTuningKey& key, const std::string& text) {
  return TuningXml(std::string("<") + (key.type == kTuningInt ? "int" : "float") + " name=\"" + key.name +
                   "\" data=\"" + text + "\"/>\n");
}
// The set as if a file writing the one key had been read over it.
inline void ApplyTrialText(cTuningData& set, const sTuningKey& key, const std::string& text) {
  const std::string file = TuningFileWriting(key, text);
  set.ParseText(file.c_str(), file.size(), "trial.xml");
  set.ApplyConstants();
}

// Every key at every trial text: `refound()` readies a fresh fixture and
// `run(key, text, where)` founds and plays the mode. A text that does
// not stand is then named in exactly one line, which quotes it; one that
// stands is named in none, or at most one for a key another bounds (a maximum
// by its minimum). Afterwards the window goes and every key may be named
// again, so no later test, in any order, finds a line of these.
template <class tRefound, class tRun>
void TryEveryKeyAtEveryText(const std::vector<sTuningKey>& keys, tRefound refound, tRun run,
                            const std::vector<std::string>& boundByAnother = {}) {
  struct sForget {
    ~sForget() { DestroyDebugWindowForTest(), ForgetBoundedCountNoticesForTest(); }
  } forget;
  for (const sTuningKey& key : keys)
    for (const std::string& text : TuningTrialTexts(key)) {
      refound();
      if (!GetDebugWindow()) CreateDebugWindow();
      ForgetBoundedCountNoticesForTest();
      const uint64_t from = GetDebugWindow()->LinesAdded();
      const std::string where = std::string("\"") + key.name + "\" written \"" + text + "\"";
      run(key, text, where);
      const auto& lines = GetDebugWindow()->Lines();
      const uint64_t added = GetDebugWindow()->LinesAdded() - from;
      int named = 0, quoted = 0;
      for (size_t i = added < lines.size() ? lines.size() - (size_t)added : 0; i < lines.size(); ++i)
        if (lines[i].find("Tuning: \"" + std::string(key.name) + "\" ") != std::string::npos)
          ++named, quoted += lines[i].find(text.empty() ? "\"\"" : text) != std::string::npos;
      if (StandsAsWritten(key, text)) {
        EXPECT_LE(named, std::count(boundByAnother.begin(), boundByAnother.end(), key.name) > 0 ? 1 : 0) << where;
      } else {
        EXPECT_EQ(named, 1) << where;
        EXPECT_EQ(quoted, 1) << where;
      }
      if (::testing::Test::HasFatalFailure()) return;
    }
}
