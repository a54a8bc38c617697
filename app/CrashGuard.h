// Reports a crash of the program with a text report.
// Not built yet: the guard only marks where start-up installs it.
#pragma once

class cCrashGuard {
 public:
  cCrashGuard() = default;
  ~cCrashGuard() = default;
};
