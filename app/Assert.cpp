#include "app/Assert.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/Sys.h"

namespace {

struct cAssertionKey {
  const char* file;
  uint32_t line;
  bool operator<(const cAssertionKey& other) const {  // by line first, then by the file name's bytes
    if (line != other.line) return line < other.line;
    return strcmp(file, other.file) < 0;
  }
};

std::map<cAssertionKey, bool>& IgnoredAssertions() {
  static std::map<cAssertionKey, bool> ignored;  // built on the first report
  return ignored;
}

}  // namespace

void ReportAssertion(const char* expression, const char* file, int line) {
  cAssertionKey key = {file ? file : "", (uint32_t)line};
  auto known = IgnoredAssertions().find(key);
  if (known != IgnoredAssertions().end() && known->second) return;

  char message[500];  // a longer message is cut to fit
  snprintf(message, sizeof message,
           "Assertion: %s\nFile: %s, Line: %d\nAbort to break, Retry to continue, Ignore to remove assert",
           expression ? expression : "", key.file, line);
  Sys_Print(SysStream::Err, "\n%s\n", message);

  switch (Sys_MessageBox("Assert!", message, SysBox::AbortRetryIgnore)) {
    case SysAnswer::Abort: Sys_DebugBreak(); break;
    case SysAnswer::Ignore: IgnoredAssertions()[key] = true; break;
    default: break;  // Retry: carry on after the failed check
  }
}
