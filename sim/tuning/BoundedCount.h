// Counts that tuning files and scripts give (plants to seed, members to make,
// herds to place) are held in bounds where they are read, since a wild value
// would hang start-up or every frame. A cut is named in the debug window, so a
// designer learns why the number did not take.
#pragma once

#include <string>

// `value` held to [least, most]; a value that is not a number gives `least`.
// A value above `most` or not a number is named once for each value the key
// is given: a script may give one key several values in one run (a count per
// stand, per herd type, per tribe), and running it again alike says nothing new.
int BoundedCount(const char* key, float value, int least, int most);
void ForgetBoundedCountNoticesForTest();  // every key may be named again; held notices are dropped

// The one place a tuning value that does not stand as written is named: in
// the debug window, as "Tuning: "<key>" <what>, so that play can go on". A
// file's key holds one value at a time, so it is named again only when what
// is said of it differs from its last line: a file read again alike says
// nothing new, each new edit that does not stand is named, and so is one
// written again after the key stood as written (TuningValueStands). The tuning
// sets are read before the debug window opens; their lines wait, only the
// latest of each key, and start-up names them once it has opened the window
// (NameTuningCutsMadeBeforeTheDebugWindow).
void NameTuningValue(const char* key, const std::string& what);
void NameTuningCut(const char* key, double value, double cut);  // "<value> is cut to <cut>"
void TuningValueStands(const char* key);  // read as written: its next cut is named, and no line of it waits
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
