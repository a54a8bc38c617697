#include "math/IniValues.h"

#include <cstdio>
#include <cstdlib>

#include "platform/Sys.h"

namespace Ru::Math {

// The ini service hands back at most this many characters of value text.
static const size_t kMaxValueChars = 255;

// atof's reading (leading blanks skipped, text after the number ignored, 0 for
// no number), straight to float so out-of-range text gives infinity, not an
// undefined double-to-float conversion.
static float TextToFloat(const std::string& text) { return std::strtof(text.c_str(), nullptr); }

float IniReadFloat(const std::string& section, const std::string& key, float defaultValue, const std::string& file) {
  // The default travels as "%f" text, so it comes back with six decimals.
  char text[kMaxValueChars + 1];
  std::snprintf(text, sizeof text, "%f", (double)defaultValue);
  std::string value = Sys_IniReadString(file, section, key, text, kMaxValueChars);
  return TextToFloat(value);
}

// Takes the text up to the first comma as a number and drops it with the comma.
// Without a comma the whole text is the number and stays for the next part.
static float TakeLeadingNumber(std::string& s) {
  size_t comma = s.find(',');
  if (comma == std::string::npos) return TextToFloat(s);
  float value = TextToFloat(s.substr(0, comma));
  s = s.substr(comma + 1);
  return value;
}

Vector3 IniReadVector3(Vector3& out, const std::string& section, const std::string& key, const Vector3& defaultValue,
                       const std::string& file) {
  char text[3 * 64 + 8];
  std::snprintf(text, sizeof text, "%f,%f,%f", (double)defaultValue.x, (double)defaultValue.y, (double)defaultValue.z);
  std::string s = Sys_IniReadString(file, section, key, text, kMaxValueChars);
  Vector3 v;
  v.x = TakeLeadingNumber(s);
  v.y = TakeLeadingNumber(s);
  v.z = TextToFloat(s);
  out = v;
  return v;
}

Vector3 IniReadVector3(const std::string& section, const std::string& key, const Vector3& defaultValue,
                       const std::string& file) {
  Vector3 out;
  return IniReadVector3(out, section, key, defaultValue, file);
}

}  // namespace Ru::Math
