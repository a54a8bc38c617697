// Shared by the civ rule tests: tuning loaded from ini text of the test's
// own, and a reader that remembers every (section, key) it was asked for.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "modes/civ/CivTuning.h"
#include "tests/support/TestSupport.h"

struct cRecordingIniReader {
  tCivIniReader inner;
  std::vector<std::pair<std::string, std::string>> asked;
  tCivIniReader Reader() {
    return [this](const char* section, const char* key) {
      asked.emplace_back(section, key);
      return inner(section, key);
    };
  }
};

struct CivRulesTest : ::testing::Test {
  cScratchDir dir;

  // A tuning read from `iniText` (bounds not applied).
  cCivTuning Load(const std::string& iniText) {
    dir.Write("CivGameMode.ini", iniText);
    cCivTuning tuning;
    tuning.Load(CivIniFileReader(dir.File("CivGameMode.ini")));
    return tuning;
  }
};
