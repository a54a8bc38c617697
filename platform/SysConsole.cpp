#include "platform/Sys.h"

#include <poll.h>
#include <unistd.h>

// Reads standard input without blocking the frame loop: bytes are gathered
// until a line feed completes a command line. End of input stops the polling.
bool Sys_PollStdinLine(std::string& line) {
  static std::string pending;
  static bool closed = false;
  for (;;) {
    size_t newline = pending.find('\n');
    if (newline != std::string::npos) {
      line = pending.substr(0, newline);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      pending.erase(0, newline + 1);
      return true;
    }
    if (closed) return false;
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP))) return false;
    char buffer[512];
    ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
      closed = true;
      return false;
    }
    pending.append(buffer, (size_t)got);
  }
}
