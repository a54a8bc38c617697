#include "sim/tuning/TuningKeys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Sys.h"
#include "sim/tuning/BoundedCount.h"
#include "sim/tuning/TuningValueParsing.h"

namespace {

std::string Shown(const sTuningKey& key, double value) {
  char text[64];
  std::snprintf(text, sizeof text, key.type == kTuningInt ? "%.0f" : "%g", value);
  return text;
}

// The text as the file wrote it, without the blanks around it; a runaway one
// is shortened so that the line stays readable, between two characters.
std::string Written(const char* text) {
  std::string s = text ? text : "";
  const size_t first = s.find_first_not_of(" \t\r\n\v\f");
  if (first == std::string::npos) return "";
  s = s.substr(first, s.find_last_not_of(" \t\r\n\v\f") - first + 1);
  constexpr size_t kShownChars = 40;
  if (s.size() > kShownChars) s = s.substr(0, Sys_Utf8CutLength(s.data(), s.size(), kShownChars)) + "...";
  return s;
}

double Within(const sTuningKey& key, double value) {
  if (!(value >= key.low)) value = key.low;
  return value > key.high ? key.high : value;
}

// The number held within the key's range and type, and what is said of it
// when it is not the number as written (nothing when it is).
struct sHeld {
  double value;
  std::string said;
};

sHeld Hold(const sTuningKey& key, double value, eTuningNumber read, const std::string& written) {
  if (read == eTuningNumber::kNone) {
    const double held = Within(key, key.defaultValue);
    return {held, "\"" + written + "\" is not a number; " + Shown(key, held) + " is used"};
  }
  const double held = Within(key, key.type == kTuningInt ? std::trunc(value) : value);
  if (!(value >= key.low && value <= key.high)) return {held, written + " is cut to " + Shown(key, held)};
  if (held != value || read == eTuningNumber::kLeading) return {held, "\"" + written + "\" is read as " + Shown(key, held)};
  return {held, ""};
}

sHeld HoldText(const sTuningKey& key, const char* text) {
  if (!text) {  // the default, unless another key's bound cuts it
    const double held = Within(key, key.defaultValue);
    return {held, held == key.defaultValue ? "" : Shown(key, key.defaultValue) + " is cut to " + Shown(key, held)};
  }
  double value = 0.0;
  const eTuningNumber read = ReadTuningNumber(text, key.type == kTuningInt, value);
  return Hold(key, value, read, Written(text));
}

double Named(const sTuningKey& key, const sHeld& held) {
  if (held.said.empty()) TuningValueStands(key.name);
  else NameTuningValue(key.name, held.said);
  return held.value;
}

}  // namespace

sTuningKey TuningKeyWithin(const sTuningKey& key, double low, double high) {
  sTuningKey within = key;
  within.low = std::clamp(low, key.low, key.high);
  within.high = std::clamp(high, within.low, key.high);
  return within;
}

double HoldTuningText(const sTuningKey& key, const char* text) { return Named(key, HoldText(key, text)); }

double TuningTextValue(const sTuningKey& key, const char* text) { return HoldText(key, text).value; }

double HoldTuningNumber(const sTuningKey& key, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return Named(key, Hold(key, value, std::isnan(value) ? eTuningNumber::kNone : eTuningNumber::kWhole, text));
}

double HoldTuningOfOtherType(const sTuningKey& key, eTuningConstantType written, const std::string& text) {
  const double held = Within(key, key.defaultValue);
  NameTuningValue(key.name, "<" + std::string(cTuningDataRegistry::ElementName(written)) + "> " +
                                Written(text.c_str()) + " is not <" + cTuningDataRegistry::ElementName(key.type) +
                                ">; " + Shown(key, held) + " is used");
  return held;
}
