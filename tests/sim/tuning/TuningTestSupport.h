// Helpers shared by the tuning tests: a small set that reads whatever files a
// test names, and file-time control without sleeping.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "sim/tuning/TuningData.h"

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
