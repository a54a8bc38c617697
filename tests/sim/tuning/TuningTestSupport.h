// Helpers shared by the tuning tests: a small set that reads whatever files a
// test names, file-time control without sleeping, and every key of a file
// tried with the texts that break play.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
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

// What the debug window's lines added since `from` (its LinesAdded() then) say
// of the key, in order: each line's words after the key's name, up to ", so
// that play can go on".
inline std::vector<std::string> TuningNoticesSince(uint64_t from, const std::string& key) {
  std::vector<std::string> said;
  const std::deque<std::string>& lines = GetDebugWindow()->Lines();
  const uint64_t added = GetDebugWindow()->LinesAdded() - from;
  const std::string lead = "Tuning: \"" + key + "\" ", tail = ", so that play can go on";
  for (size_t i = added < lines.size() ? lines.size() - (size_t)added : 0; i < lines.size(); ++i) {
    const size_t at = lines[i].find(lead);
    if (at == std::string::npos) continue;
    const std::string what = lines[i].substr(at + lead.size());
    said.push_back(what.substr(0, what.rfind(tail)));
  }
  return said;
}

// The value a notice says the key is held at: the number it ends with ("250
// is cut to 100", "\"abc\" is not a number; 5 is used"); NaN when none.
inline double HeldAsNamed(const std::string& what) {
  std::string s = what;
  const std::string used = " is used";
  if (s.size() >= used.size() && s.compare(s.size() - used.size(), used.size(), used) == 0) s.resize(s.size() - used.size());
  const char* last = s.c_str() + s.rfind(' ') + 1;
  char* end = nullptr;
  const double held = std::strtod(last, &end);
  return end != last && *end == '\0' ? held : std::nan("");
}

// The texts a key is tried at: first each end of its range, each followed by
// the number just outside it (kTrialEnds texts), then the texts alike for
// every key. Outside an int's end is the next integer; outside a float's, a
// step of 2^-20 of the end (of 1 at least): the nearest number outside may be
// held as the very float the end is (as 0.1 is), or round to it times a unit,
// and would not show a missing cut.
inline constexpr size_t kTrialEnds = 4;  // low, below low, high, above high
inline std::vector<std::string> TuningTrialTexts(const sTuningKey& key) {
  const bool whole = key.type == kTuningInt;
  auto shown = [](double v) {  // the shortest text that reads back as v
    char text[64];
    if (v == std::trunc(v)) std::snprintf(text, sizeof text, "%.0f", v);
    for (int digits = 1; v != std::trunc(v) && (digits == 1 || std::strtod(text, nullptr) != v); ++digits)
      std::snprintf(text, sizeof text, "%.*g", digits, v);
    return std::string(text);
  };
  auto step = [&](double end) { return whole ? 1.0 : std::ldexp(std::max(std::fabs(end), 1.0), -20); };
  std::vector<std::string> texts = {shown(key.low), shown(key.low - step(key.low)), shown(key.high),
                                    shown(key.high + step(key.high))};
  for (const char* text : {"0", "-1", "2147483647", "1e30", "NaN", "inf", "-inf", "", "text"})
    if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(text);
  return texts;
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

// What every key of a kind holds whatever its row in the table under test
// says, found by a word in its name (without case): a price is not below 0, a
// goal is at least 1. The trials take each range from the table itself, so a
// wrong range there fails only here.
struct sTuningLaw {
  const char* word;
  double least;
  double most = HUGE_VAL;
};
inline bool Governs(const sTuningLaw& law, const sTuningKey& key) {
  auto folded = [](std::string s) {
    for (char& c : s) c = (char)std::tolower((unsigned char)c);
    return s;
  };
  return folded(key.name).find(folded(law.word)) != std::string::npos;
}

// Every key at every trial text: `refound()` readies a fresh fixture and
// `run(key, text, where)` founds and plays the mode and returns what the mode
// holds for the key, in the file's unit. A text that does not stand is then
// named in exactly one line, which quotes it and gives the value the mode
// holds; one that stands is named in none. At an end of the range, and just
// outside it, the mode holds that end. A key another bounds (a maximum by its
// minimum) may be named once, and hold another value, at its end; just
// outside, it holds what it holds at the end. Whatever it is written, it holds
// what each law that governs it allows, and each law governs some key.
// Afterwards the window goes and every key may be named again, so no later
// test, in any order, finds a line of these.
template <class tRefound, class tRun>
void TryEveryKeyAtEveryText(const std::vector<sTuningKey>& keys, const std::vector<sTuningLaw>& laws, tRefound refound,
                            tRun run, const std::vector<std::string>& boundByAnother = {}) {
  struct sForget {
    ~sForget() { DestroyDebugWindowForTest(), ForgetBoundedCountNoticesForTest(); }
  } forget;
  for (const sTuningLaw& law : laws)
    EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [&](const sTuningKey& key) { return Governs(law, key); }))
        << "no key of the set has \"" << law.word << "\" in its name";
  for (const sTuningKey& key : keys) {
    const std::vector<std::string> texts = TuningTrialTexts(key);
    const bool another = std::count(boundByAnother.begin(), boundByAnother.end(), key.name) > 0;
    auto asHeld = [&](double v) { return key.type == kTuningFloat ? (double)(float)v : v; };  // a float key's member
    double heldAtEnd = 0.0;
    for (size_t t = 0; t < texts.size(); ++t) {
      const std::string& text = texts[t];
      const std::string where = std::string("\"") + key.name + "\" written \"" + text + "\"";
      if (t < kTrialEnds) {
        ASSERT_EQ(StandsAsWritten(key, text), t % 2 == 0) << where << ": not the end meant";
      }
      refound();
      if (!GetDebugWindow()) CreateDebugWindow();
      ForgetBoundedCountNoticesForTest();
      const uint64_t from = GetDebugWindow()->LinesAdded();
      const double held = run(key, text, where);
      const std::vector<std::string> said = TuningNoticesSince(from, key.name);
      const int named = (int)said.size();
      int quoted = 0;
      for (const std::string& what : said) {
        quoted += what.find(text.empty() ? "\"\"" : text) != std::string::npos;
        // The line gives what play goes on with, also where another key bounds this one.
        const double namedHeld = HeldAsNamed(what);
        EXPECT_NEAR(namedHeld, held, 1e-5 * std::max(1.0, std::fabs(held))) << where << ": named \"" << what << "\"";
      }
      for (const sTuningLaw& law : laws)
        if (Governs(law, key)) {
          EXPECT_TRUE(held >= law.least && held <= law.most)
              << where << ": holds " << held << ", outside [" << law.least << ", " << law.most << "] for a \"" << law.word << "\"";
        }
      if (StandsAsWritten(key, text)) {
        EXPECT_LE(named, another ? 1 : 0) << where;
      } else {
        EXPECT_EQ(named, 1) << where;
        EXPECT_EQ(quoted, 1) << where;
      }
      if (t < kTrialEnds) {
        if (t % 2 == 0) heldAtEnd = held;
        const double end = another ? heldAtEnd : t < 2 ? key.low : key.high;
        EXPECT_EQ(asHeld(held), asHeld(end)) << where << ": not held at " << texts[t & ~size_t(1)];
      }
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}
