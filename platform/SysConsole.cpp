#include "platform/Sys.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/SysIoThread.h"
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
  bool classified = false;    // whether `fd` is read directly or by the reading thread is known
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

// Whether this process may read the terminal now: a terminal that is not our
// controlling one has no foreground to keep to.
bool InTerminalForeground(int fd) {
  const pid_t foreground = tcgetpgrp(fd);
  return foreground < 0 || foreground == getpgrp();
}

// Input that is not a file is read by a thread of its own: a read there may
// wait (another process sharing the pipe or the terminal, a shell among them,
// can take the bytes between our look and our read), and only this thread
// waits. It reads one chunk ahead of the frames and no more, and on a terminal
// only while the game is in the terminal's foreground: there the shell reads
// what is typed, and a read would stop the game (or fail, SIGTTIN ignored).
struct cInputThread {
  cInputThread(int descriptor, bool isTerminal) : fd(descriptor), terminal(isTerminal) {}
  ~cInputThread() { close(fd); }
  int fd;  // a duplicate of its own: the caller may close or reuse the one it gave
  bool terminal;
  bool abandoned = false;  // replaced: the thread ends at its next look
  bool ready = false;      // `bytes` holds a chunk the frames have not taken
  bool ended = false;      // end of input, or an error
  std::vector<char> bytes;
};
using tInputThread = std::shared_ptr<cInputThread>;  // the console's, and the thread's while it runs

struct cInput {
  std::mutex lock;
  std::condition_variable changed;
  tInputThread thread;  // none: the input is a file, read directly
  void (*beforeRead)() = nullptr;
};
cInput* MakeInput();
cInput*& InputSlot() {
  static cInput* input = MakeInput();  // never destroyed: its thread may outlive main
  return input;
}
cInput& Input() { return *InputSlot(); }

// A child forked while the reading thread held the lock would find it held
// forever, and the condition would count waiters that are not there: the
// child gets fresh ones and, having no reading thread, looks at its input afresh.
void AfterForkInChild() {
  cInput* child = new cInput;
  child->beforeRead = InputSlot()->beforeRead;
  InputSlot() = child;
  gReader.classified = false;
}

cInput* MakeInput() {
  pthread_atfork([] { Input().lock.lock(); }, [] { Input().lock.unlock(); }, AfterForkInChild);
  return new cInput;
}

constexpr int kTerminalLookMs = 200;  // how often a terminal's foreground is looked at again

void ReaderLoop(tInputThread t) {
  BlockSignalsInThisIoThread();
  cInput& in = Input();
  std::vector<char> buffer(kChunkBytes);
  std::unique_lock<std::mutex> hold(in.lock);
  for (;;) {
    in.changed.wait(hold, [t] { return t->abandoned || !t->ready; });
    if (t->abandoned) break;
    void (*const beforeRead)() = in.beforeRead;
    hold.unlock();
    const bool mayRead = !t->terminal || InTerminalForeground(t->fd);
    pollfd p{t->fd, POLLIN, 0};
    // In the background only the foreground is looked at again, now and then.
    const bool seen = mayRead && poll(&p, 1, t->terminal ? kTerminalLookMs : -1) > 0 &&
                      (!t->terminal || InTerminalForeground(t->fd));
    if (seen && beforeRead) beforeRead();
    const ssize_t got = seen ? read(t->fd, buffer.data(), buffer.size()) : -1;
    const int error = seen && got < 0 ? errno : EAGAIN;
    hold.lock();
    if (!mayRead) in.changed.wait_for(hold, std::chrono::milliseconds(kTerminalLookMs), [t] { return t->abandoned; });
    if (got > 0) {
      t->bytes.assign(buffer.data(), buffer.data() + got);
      t->ready = true;
    } else if (got == 0 || (error != EAGAIN && error != EINTR && !(error == EIO && t->terminal))) {
      t->ended = true;  // an EIO on a terminal: sent to the background between the look and the read
    } else {
      continue;
    }
    in.changed.notify_all();
    if (t->ended) break;
  }
}

void Abandon(const tInputThread& t) {
  if (!t) return;
  t->abandoned = true;
  Input().changed.notify_all();
}

// Decides, once per descriptor, how it is read.
void Classify() {
  cLineReader& r = gReader;
  r.classified = true;
  struct stat st {};
  if (fstat(r.fd, &st) == 0 && S_ISREG(st.st_mode)) return;  // a file never waits
  const int own = fcntl(r.fd, F_DUPFD_CLOEXEC, 3);
  if (own < 0) return;
  std::lock_guard<std::mutex> hold(Input().lock);
  Input().thread = std::make_shared<cInputThread>(own, isatty(own));
  std::thread(ReaderLoop, Input().thread).detach();
}

// Takes what is there (waitMs 0) or waits up to waitMs (-1: until input or end).
// Called only once the chunk before was taken whole.
bool ReadMore(int waitMs) {
  cLineReader& r = gReader;
  if (r.closed) return false;
  if (!r.classified) Classify();
  cInput& in = Input();
  std::unique_lock<std::mutex> hold(in.lock);
  if (const tInputThread t = in.thread) {
    const auto there = [t] { return t->ready || t->ended; };
    if (waitMs < 0) in.changed.wait(hold, there);
    else if (waitMs > 0) in.changed.wait_for(hold, std::chrono::milliseconds(waitMs), there);
    if (t->ready) {
      memcpy(r.chunk, t->bytes.data(), t->bytes.size());
      r.begin = 0;
      r.end = t->bytes.size();
      t->ready = false;
      in.changed.notify_all();
      return true;
    }
    r.closed = t->ended;
    return false;
  }
  hold.unlock();
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
  {
    std::lock_guard<std::mutex> hold(Input().lock);
    Abandon(Input().thread);
    Input().thread = nullptr;
  }
  gReader.fd = fd >= 0 ? fd : STDIN_FILENO;
  gReader.classified = gReader.closed = gReader.cut = gReader.holdsNul = false;
  gReader.begin = gReader.end = gReader.polledBytes = 0;
  gReader.polledLines = 0;
  gReader.line.clear();
}

bool Sys_StdinIsForegroundTerminal() { return isatty(gReader.fd) && InTerminalForeground(gReader.fd); }

bool Sys_WaitStdinForTest(unsigned waitMs) {
  cLineReader& r = gReader;
  if (r.begin < r.end) return true;
  if (!r.closed && !r.classified) Classify();
  std::unique_lock<std::mutex> hold(Input().lock);
  const tInputThread t = Input().thread;
  if (!t || r.closed) return true;  // a file: what it holds is there, or its end
  return Input().changed.wait_for(hold, std::chrono::milliseconds(waitMs), [t] { return t->ready || t->ended; });
}

void Sys_SetStdinReadHookForTest(void (*beforeRead)()) {
  std::lock_guard<std::mutex> hold(Input().lock);
  Input().beforeRead = beforeRead;
}
