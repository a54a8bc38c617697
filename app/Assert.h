// Assertions a designer can break on, continue past or silence: a failed
// check asks "Abort to break, Retry to continue, Ignore to remove assert".
// Abort stops in the debugger (without one, the crash guard reports the
// breakpoint); Ignore silences that file and line for the rest of the run.
#pragma once

void ReportAssertion(const char* expression, const char* file, int line);

#define QV_ASSERT(condition)                                           \
  do {                                                                 \
    if (!(condition)) ReportAssertion(#condition, __FILE__, __LINE__); \
  } while (0)
