// Helpers shared by the tuning tests: a small set that reads whatever files a
// test names, file-time control without sleeping, and the texts every numeric
// key of every tuning file is tried with (each mode's tests found the mode
// with each and play it).
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
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

// ---- every numeric key against the texts that break play ----

// Just below the key's range and just above it, then ten texts alike for
// every key: 0, -1, the largest int, a float far past any range, NaN, the
// infinities, nothing and words.
inline std::vector<std::string> TuningTrialTexts(const sTuningKey& key) {
  auto shown = [&](double v) {
    char text[64];
    std::snprintf(text, sizeof text, key.type == kTuningInt ? "%.0f" : "%.9g", v);
    return std::string(text);
  };
  const double below = key.type == kTuningInt ? key.low - 1.0 : key.low - std::max(0.5, std::fabs(key.low) / 2);
  const double above = key.type == kTuningInt ? key.high + 1.0 : key.high + std::max(0.5, std::fabs(key.high) / 2);
  return {shown(below), shown(above), "0", "-1", "2147483647", "1e30", "NaN", "inf", "-inf", "", "text"};
}

// Whether a file's text stands as written: a plain number of the key's type
// (for an int key, digits with an optional sign) within the key's range.
inline bool StandsAsWritten(const sTuningKey& key, const std::string& text) {
  if (text.empty()) return false;
  if (key.type == kTuningInt) {
    const size_t start = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (start == text.size() || text.find_first_not_of("0123456789", start) != std::string::npos) return false;
  }
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value) && value >= key.low && value <= key.high;
}

// The debug window's lines naming the key among the last `added` lines.
inline int LinesNamingTuningKey(const std::string& key, uint64_t added) {
  const std::deque<std::string>& lines = GetDebugWindow()->Lines();
  int named = 0;
  const size_t from = added < lines.size() ? lines.size() - (size_t)added : 0;
  for (size_t i = from; i < lines.size(); ++i) named += lines[i].find("Tuning: \"" + key + "\" ") != std::string::npos;
  return named;
}

// One trial's watch over the debug window: open it and forget which keys were
// named already, then, once the mode has played, expect the key named exactly
// once, with the text as written, when the text does not stand.
class cTuningTrial {
 public:
  // After the trials the window goes and every key may be named again, so the
  // next test finds no line of theirs, whichever order the tests run in.
  static void ForgetTrials() {
    DestroyDebugWindowForTest();
    ForgetBoundedCountNoticesForTest();
  }
  cTuningTrial(const sTuningKey& key, const std::string& text) : mKey(key), mText(text) {
    if (!GetDebugWindow()) CreateDebugWindow();
    ForgetBoundedCountNoticesForTest();
    mFrom = GetDebugWindow()->LinesAdded();
  }
  std::string Where() const { return std::string("\"") + mKey.name + "\" written \"" + mText + "\""; }
  // A key that another key bounds (a maximum by its minimum) may be cut
  // though its own range holds the text.
  void ExpectNamedOnceUnlessItStands(bool boundByAnother = false) const {
    const uint64_t added = GetDebugWindow()->LinesAdded() - mFrom;
    const int named = LinesNamingTuningKey(mKey.name, added);
    if (StandsAsWritten(mKey, mText)) {
      EXPECT_LE(named, boundByAnother ? 1 : 0) << Where();
      return;
    }
    EXPECT_EQ(named, 1) << Where();
    const std::deque<std::string>& lines = GetDebugWindow()->Lines();
    const size_t from = added < lines.size() ? lines.size() - (size_t)added : 0;
    bool quoted = false;  // the line gives the text as the file wrote it
    for (size_t i = from; i < lines.size(); ++i)
      quoted = quoted || (lines[i].find(std::string("\"") + mKey.name + "\" ") != std::string::npos &&
                          lines[i].find(mText.empty() ? "\"\"" : mText) != std::string::npos);
    EXPECT_TRUE(quoted) << Where();
  }

 private:
  sTuningKey mKey;
  std::string mText;
  uint64_t mFrom = 0;
};

// The XML of a tuning file that writes the one key.
inline std::string TuningFileWriting(const sTuningKey& key, const std::string& text) {
  return TuningXml(std::string("<") + (key.type == kTuningInt ? "int" : "float") + " name=\"" + key.name +
                   "\" data=\"" + text + "\"/>\n");
}

// Every key of a file at every trial text: `run(key, text, where)` founds and
// plays the mode (after the first, from a fresh fixture: `refound()`); then
// the key is named once unless its text stands. Keys another key bounds are
// listed in `boundByAnother`. Stops at the first fatal failure.
template <class tRefound, class tRun>
void TryEveryKeyAtEveryText(const std::vector<sTuningKey>& keys, tRefound refound, tRun run,
                            const std::vector<std::string>& boundByAnother = {}) {
  bool first = true;
  for (const sTuningKey& key : keys)
    for (const std::string& text : TuningTrialTexts(key)) {
      if (!first) refound();
      first = false;
      cTuningTrial trial(key, text);
      run(key, text, trial.Where());
      trial.ExpectNamedOnceUnlessItStands(std::count(boundByAnother.begin(), boundByAnother.end(), key.name) > 0);
      if (::testing::Test::HasFatalFailure()) return;
    }
}
