#include "platform/Sys.h"

#include <limits.h>
#include <poll.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/glui/DebugView.h"

// One reader of standard input for the whole program: console commands poll
// it each frame, and questions asked on a terminal wait on it. Sharing the
// buffer keeps the two from stealing each other's bytes.
//
// Piped input may be of any size, so each byte is looked at once: line ends
// are searched for only in what was just read, a line keeps only what its
// reader can use (the rest is dropped as it comes), and one frame's polling
// takes a bounded number of lines and reads a bounded amount before the frame
// goes on. Nothing more is read while lines of the last read wait, so a
// writer that is ahead waits on its pipe instead of filling our memory.
namespace {
constexpr size_t kChunkBytes = 64 * 1024;          // a whole pipe buffer in one read
constexpr size_t kPollBytesPerFrame = 1024 * 1024;  // then the frame goes on; the rest waits for the next
constexpr size_t kAnswerMaxChars = PATH_MAX;        // a file name typed at a prompt

struct cLineReader {
  int fd = STDIN_FILENO;
  bool closed = false;
  char chunk[kChunkBytes];
  size_t begin = 0, end = 0;  // the part of the chunk not yet taken
  std::string line;           // gathered so far: at most one byte more than kept, for a '\r' before the end
  bool cut = false;           // longer than kept: the rest is dropped, and that was said
  bool holdsNul = false;      // the kept part holds a NUL: the line would not run as it would be echoed
  size_t polledBytes = 0;     // read since the console's polling last came up empty
  int polledLines = 0;        // taken since then
};
cLineReader gReader;

void SayLineCut(size_t kept) {
  char text[128];
  snprintf(text, sizeof text, "A line on standard input was cut to its first %zu characters", kept);
  Sys_MessageBox("Console", text);
}

// The next whole line in what was read, cut to `keep` characters. `lines`
// counts the whole lines taken, those dropped for a NUL among them; none is
// taken once it reached `maxLines`.
bool TakeLine(std::string& line, size_t keep, int& lines, int maxLines) {
  cLineReader& r = gReader;
  while (r.begin < r.end && lines < maxLines) {
    const char* start = r.chunk + r.begin;
    const char* newline = (const char*)memchr(start, '\n', r.end - r.begin);
    const size_t length = (size_t)((newline ? newline : r.chunk + r.end) - start);
    const size_t room = keep + 1 - std::min(r.line.size(), keep + 1);
    const size_t kept = std::min(length, room);
    r.line.append(start, kept);
    r.holdsNul = r.holdsNul || memchr(start, '\0', kept) != nullptr;
    if (length > room && !r.cut) {
      r.cut = true;
      SayLineCut(keep);
    }
    r.begin += length;
    if (!newline) return false;
    ++r.begin;
    ++lines;
    if (!r.cut && !r.line.empty() && r.line.back() == '\r') r.line.pop_back();
    if (r.line.size() > keep) {
      if (!r.cut) SayLineCut(keep);
      r.line.resize(keep);
    }
    // Text stops at a NUL where it is echoed and shown, but not where the
    // command reads its words: such a line is dropped rather than run unseen.
    const bool refused = r.holdsNul && memchr(r.line.data(), '\0', r.line.size()) != nullptr;
    if (refused) Sys_MessageBox("Console", "A line on standard input holding a NUL character was dropped");
    if (!refused) line.swap(r.line);
    r.line.clear();
    r.cut = r.holdsNul = false;
    if (!refused) return true;
  }
  return false;
}

// Reads what is there (waitMs 0) or waits up to waitMs (-1: until input or end).
// Called only once the chunk before was taken whole.
bool ReadMore(int waitMs) {
  cLineReader& r = gReader;
  if (r.closed) return false;
  pollfd p{r.fd, POLLIN, 0};
  if (poll(&p, 1, waitMs) <= 0 || !(p.revents & (POLLIN | POLLHUP))) return false;
  ssize_t got = read(r.fd, r.chunk, sizeof r.chunk);
  if (got <= 0) {
    r.closed = true;
    return false;
  }
  r.begin = 0;
  r.end = (size_t)got;
  return true;
}
}  // namespace

bool Sys_PollStdinLine(std::string& line) {
  cLineReader& r = gReader;
  while (!TakeLine(line, kDebugCommandMaxChars, r.polledLines, kSysConsoleLinesPerFrame)) {
    // The frame's share is taken, or the chunk is (only then may more be read).
    if (r.polledLines >= kSysConsoleLinesPerFrame || r.polledBytes >= kPollBytesPerFrame || !ReadMore(0)) {
      r.polledBytes = 0;
      r.polledLines = 0;
      return false;
    }
    r.polledBytes += r.end;
  }
  return true;
}

bool Sys_ReadStdinLine(std::string& line) {
  int lines = 0;
  while (!TakeLine(line, kAnswerMaxChars, lines, INT_MAX))
    if (!ReadMore(-1)) return false;
  return true;
}

void Sys_SetStdinForTest(int fd) {
  gReader.fd = fd >= 0 ? fd : STDIN_FILENO;
  gReader.closed = gReader.cut = gReader.holdsNul = false;
  gReader.begin = gReader.end = gReader.polledBytes = 0;
  gReader.polledLines = 0;
  gReader.line.clear();
}
