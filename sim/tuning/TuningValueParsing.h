// Conversions of a tuning element's "data" text. They follow the C library's
// atoi/atof grammar but never depend on the process locale and never overflow.
#pragma once

#include <cstdint>

int32_t ParseTuningInt(const char* text);    // "12abc" -> 12, "abc" -> 0; clamped to the int range
float ParseTuningFloat(const char* text);    // "." is the decimal point; clamped to the float range, NaN -> 0
bool ParseTuningBool(const char* text);      // true exactly when the text begins with 't', 'T' or '1'

// How a data text reads as a number of a key's type: all of it (blanks around
// it aside), a number followed by more (or, for an int key, one with a
// fraction, an exponent or no end, as "2.5", "1e30" or "inf"), or none at all
// (empty, words, NaN).
enum class eTuningNumber { kWhole, kLeading, kNone };

// `value` is the number the text begins with as the C library reads it
// ("1e30" is 1e30, not 1); NaN when there is none.
eTuningNumber ReadTuningNumber(const char* text, bool integer, double& value);
