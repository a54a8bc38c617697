// Feeds arbitrary bytes to the tuning reader as if they were a tuning file,
// then reads keys of every type back and re-reads the same bytes: any crash,
// hang or out-of-bounds read in the parse or the conversions is a finding.
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "modes/city/data/CityTuning.h"
#include "platform/Sys.h"
#include "sim/tuning/TuningData.h"

namespace {

class cQuietMessages : public cISysMessageSink {
 public:
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};

class cFuzzTuningSet : public cTuningData {
 public:
  cFuzzTuningSet() : cTuningData("/nonexistent/") {}
  void ApplyConstants() override {
    sum += (unsigned)GetInt("count", 1, "");
    sum += GetFloat("speed", 1.0f, "") > 0.0f;
    sum += GetBool("flag", false, "");
    std::string text;
    GetString(text, "label", "none", "");
    sum += (unsigned)text.size();
  }
  unsigned sum = 0;  // keeps the reads observable; unsigned so it may wrap
};

void ParseBytes(cFuzzTuningSet& set, const uint8_t* data, size_t size) {
  set.ParseText(reinterpret_cast<const char*>(data), size, "fuzz.xml");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static cQuietMessages quiet;
  Sys_SetMessageSink(&quiet);
  cFuzzTuningSet set;
  ParseBytes(set, data, size);
  set.ApplyConstants();
  ParseBytes(set, data, size);  // a re-read redefines what the first read defined
  set.ApplyConstants();
  for (const sTuningConstant& c : set.Constants()) set.FindConstant(c.name.c_str(), c.type);
  // The city's sets cut what would hang or divide by zero as they read it.
  cCityGameTuning general("/nonexistent/");
  cCityGameMotiveTuning motive("/nonexistent/");
  cCityGameBuildingTuning building("/nonexistent/");
  for (cTuningData* city : std::initializer_list<cTuningData*>{&general, &motive, &building}) {
    city->ParseText(reinterpret_cast<const char*>(data), size, "fuzz.xml");
    city->ApplyConstants();
  }
  return 0;
}
