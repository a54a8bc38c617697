#include "platform/Sys.h"

#include <poll.h>
#include <unistd.h>

// One reader of standard input for the whole program: console commands poll
// it each frame, and questions asked on a terminal wait on it. Sharing the
// buffer keeps the two from stealing each other's bytes.
namespace {
std::string gPending;
bool gClosed = false;

bool TakeLine(std::string& line) {
  size_t newline = gPending.find('\n');
  if (newline == std::string::npos) return false;
  line = gPending.substr(0, newline);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  gPending.erase(0, newline + 1);
  return true;
}

// Reads what is there (waitMs 0) or waits up to waitMs (-1: until input or end).
bool ReadMore(int waitMs) {
  if (gClosed) return false;
  pollfd p{STDIN_FILENO, POLLIN, 0};
  if (poll(&p, 1, waitMs) <= 0 || !(p.revents & (POLLIN | POLLHUP))) return false;
  char buffer[512];
  ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
  if (got <= 0) {
    gClosed = true;
    return false;
  }
  gPending.append(buffer, (size_t)got);
  return true;
}
}  // namespace

bool Sys_PollStdinLine(std::string& line) {
  while (!TakeLine(line))
    if (!ReadMore(0)) return false;
  return true;
}

bool Sys_ReadStdinLine(std::string& line) {
  while (!TakeLine(line))
    if (!ReadMore(-1)) return false;
  return true;
}
