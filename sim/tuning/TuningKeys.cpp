#include "sim/tuning/TuningKeys.h"

#include <cmath>
#include <cstdio>

#include "sim/tuning/BoundedCount.h"
#include "sim/tuning/TuningValueParsing.h"

namespace {

std::string Shown(const sTuningKey& key, double value) {
  char text[64];
  std::snprintf(text, sizeof text, key.type == kTuningInt ? "%.0f" : "%g", value);
  return text;
}

// The text as the file wrote it, without the blanks around it; a runaway one
// is shortened so that the line stays readable.
std::string Written(const char* text) {
  std::string s = text ? text : "";
  const size_t first = s.find_first_not_of(" \t\r\n\v\f");
  if (first == std::string::npos) return "";
  s = s.substr(first, s.find_last_not_of(" \t\r\n\v\f") - first + 1);
  constexpr size_t kShownChars = 40;
  if (s.size() > kShownChars) s = s.substr(0, kShownChars) + "...";
  return s;
}

// The number held within the key's range and type; named when it is not the
// number as written.
double Hold(const sTuningKey& key, double value, eTuningNumber read, const std::string& written) {
  if (read == eTuningNumber::kNone) {
    NameTuningValue(key.name, "\"" + written + "\" is not a number; " + Shown(key, key.defaultValue) + " is used");
    return key.defaultValue;
  }
  double held = key.type == kTuningInt ? std::trunc(value) : value;
  if (!(held >= key.low)) held = key.low;
  if (held > key.high) held = key.high;
  if (!(value >= key.low && value <= key.high)) NameTuningValue(key.name, written + " is cut to " + Shown(key, held));
  else if (held != value || read == eTuningNumber::kLeading)
    NameTuningValue(key.name, "\"" + written + "\" is read as " + Shown(key, held));
  return held;
}

}  // namespace

double HoldTuningText(const sTuningKey& key, const char* text) {
  if (!text) return key.defaultValue;
  double value = 0.0;
  const eTuningNumber read = ReadTuningNumber(text, key.type == kTuningInt, value);
  return Hold(key, value, read, Written(text));
}

double HoldTuningNumber(const sTuningKey& key, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return Hold(key, value, std::isnan(value) ? eTuningNumber::kNone : eTuningNumber::kWhole, text);
}

double HoldTuningOfOtherType(const sTuningKey& key, eTuningConstantType written, const std::string& text) {
  NameTuningValue(key.name, "<" + std::string(cTuningDataRegistry::ElementName(written)) + "> " +
                                Written(text.c_str()) + " is not <" + cTuningDataRegistry::ElementName(key.type) +
                                ">; " + Shown(key, key.defaultValue) + " is used");
  return key.defaultValue;
}
