// Counts that tuning files and scripts give (plants to seed, members to make,
// herds to place) are held in bounds where they are read, since a wild value
// would hang start-up or every frame. The first cut of each key is named once
// in the debug window, so a designer learns why the number did not take.
#pragma once

// `value` held to [least, most]; a value that is not a number gives `least`.
// A value above `most` or not a number is named once per key.
int BoundedCount(const char* key, float value, int least, int most);
void ForgetBoundedCountNoticesForTest();  // every key may be named again
