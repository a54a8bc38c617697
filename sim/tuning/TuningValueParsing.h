// Conversions of a tuning element's "data" text. They follow the C library's
// atoi/atof grammar but never depend on the process locale and never overflow.
#pragma once

#include <cstdint>

int32_t ParseTuningInt(const char* text);    // "12abc" -> 12, "abc" -> 0; clamped to the int range
float ParseTuningFloat(const char* text);    // "." is the decimal point; clamped to the float range, NaN -> 0
bool ParseTuningBool(const char* text);      // true exactly when the text begins with 't', 'T' or '1'
