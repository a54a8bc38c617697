// Counts that tuning files and scripts give (plants to seed, members to make,
// herds to place) are held in bounds where they are read, since a wild value
// would hang start-up or every frame. The first cut of each key is named once
// in the debug window, so a designer learns why the number did not take.
#pragma once

#include <string>

// `value` held to [least, most]; a value that is not a number gives `least`.
// A value above `most` or not a number is named once per key.
int BoundedCount(const char* key, float value, int least, int most);
void ForgetBoundedCountNoticesForTest();  // every key may be named again; held notices are dropped

// The one place a cut tuning or script value is named: once per key, in the
// debug window, as "Tuning: "<key>" <what>, so that play can go on". The
// tuning sets are read before the debug window opens; their cuts wait, and
// start-up names them once it has opened the window
// (NameTuningCutsMadeBeforeTheDebugWindow).
void NameTuningValue(const char* key, const std::string& what);
void NameTuningCut(const char* key, double value, double cut);  // "<value> is cut to <cut>"
void NameTuningCutsMadeBeforeTheDebugWindow();

// `value` held to [low, high] (a NaN reads as `low`); any cut is named.
template <class T>
T CutTuningValue(const char* key, T value, T low, T high) {
  T cut = value;
  if (!(cut >= low)) cut = low;
  if (cut > high) cut = high;
  if (cut == value) return value;
  NameTuningCut(key, (double)value, (double)cut);
  return cut;
}
