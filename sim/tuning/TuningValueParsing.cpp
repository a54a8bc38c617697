#include "sim/tuning/TuningValueParsing.h"

#include <locale.h>
#include <stdlib.h>

#include <cfloat>
#include <climits>
#include <cmath>

// The C locale's white space, which is what atoi and atof skip.
static bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int32_t ParseTuningInt(const char* text) {
  if (!text) return 0;
  while (IsCSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  // Accumulate the magnitude in 64 bits and stop growing once it is past the
  // int range, so a designer's "99999999999" becomes INT_MAX instead of garbage.
  int64_t magnitude = 0;
  const int64_t limit = (int64_t)INT_MAX + 1;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (magnitude <= limit) magnitude = magnitude * 10 + (*text - '0');
  }
  if (negative) return magnitude >= limit ? INT_MIN : (int32_t)-magnitude;
  return magnitude > INT_MAX ? INT_MAX : (int32_t)magnitude;
}

// strtod under a private C locale: a German desktop must not turn "1.5" into 1.
static locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", (locale_t)0);
  return c;
}

static double ReadDouble(const char* text, char** end) {
  return CLocale() ? strtod_l(text, end, CLocale()) : strtod(text, end);
}

float ParseTuningFloat(const char* text) {
  if (!text) return 0.0f;
  double value = ReadDouble(text, nullptr);
  if (std::isnan(value)) return 0.0f;
  // Converting a double outside the float range is undefined; pin it to the largest float.
  if (value > FLT_MAX) return FLT_MAX;
  if (value < -FLT_MAX) return -FLT_MAX;
  return (float)value;
}

bool ParseTuningBool(const char* text) { return text && (text[0] == 't' || text[0] == 'T' || text[0] == '1'); }

eTuningNumber ReadTuningNumber(const char* text, bool integer, double& value) {
  value = std::nan("");
  if (!text) return eTuningNumber::kNone;
  while (IsCSpace(*text)) ++text;
  char* end = nullptr;
  const double read = ReadDouble(text, &end);
  if (end == text || std::isnan(read)) return eTuningNumber::kNone;
  value = read;
  bool plain = true;  // an int key's number is a sign and digits only
  if (integer) {
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    for (; p < end; ++p) plain = plain && *p >= '0' && *p <= '9';
  }
  while (IsCSpace(*end)) ++end;
  return *end == '\0' && plain ? eTuningNumber::kWhole : eTuningNumber::kLeading;
}
