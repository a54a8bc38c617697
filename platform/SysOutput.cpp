// Standard output and error, written so that the frame loop never waits on
// them. A reader that stops reading (a pipe nobody empties, `less` not paged,
// a terminal held with Ctrl+S) would block a plain write once the pipe is
// full, and a reader that quit would end the game with SIGPIPE.
//
// Text goes out at once when the destination takes it. What it does not take
// waits in a bounded queue, sent again each frame; past the bound the oldest
// waiting pieces are dropped and the next one written is preceded by a line
// saying how many lines went. Once the reader is gone, everything for that
// stream is dropped and that is said once, as a message box (the debug window
// and the game window show it).
//
// A pipe, a terminal or a FIFO is written through a descriptor of our own,
// opened anew on the same object with O_NONBLOCK: setting the flag on the
// inherited descriptor would change it for every process sharing it (the
// shell, the next command in a pipeline). Sockets take MSG_DONTWAIT per call.
// Regular files and /dev/null, and anything /proc cannot reopen, are written
// directly: the first never hold us up.
#include "platform/Sys.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace {

enum class eWay { Unknown, Direct, OwnNonBlocking, Socket };

struct cOutStream {
  cOutStream(const char* streamName, int descriptor) : name(streamName), inherited(descriptor) {}
  const char* name;         // for the notices
  int inherited;            // 1 or 2, or the test's descriptor
  int fd = -1;              // what is written: `inherited`, or our non-blocking one
  eWay way = eWay::Unknown;
  bool gone = false;        // the reader went away: all is dropped from now on
  bool stalled = false;     // the last write would have blocked: try again at the next pump
  bool atLineStart = true;  // what was last written ended a line
  std::deque<std::string> waiting;
  size_t waitingBytes = 0;  // in `waiting`, less what of the head was sent
  size_t headSent = 0;
  uint64_t droppedLines = 0;   // dropped since the last notice went out
  uint64_t noticeLines = 0;    // the head is the notice of that many, none of it sent yet
  size_t maxWaitingBytes = kSysOutputMaxWaitingBytes;
};

struct cOutput {
  std::recursive_mutex lock;
  cOutStream streams[2] = {{"Standard output", STDOUT_FILENO}, {"Standard error", STDERR_FILENO}};
};
// Built on first use and never destroyed: text may be written by static
// initialisers, and the flush at exit runs after static destructors began.
cOutput& Output() {
  static cOutput* output = new cOutput;
  return *output;
}

cOutStream& StreamOf(SysStream stream) { return Output().streams[stream == SysStream::Err ? 1 : 0]; }

void CloseOwn(cOutStream& s) {
  if (s.fd >= 0 && s.fd != s.inherited) close(s.fd);
  s.fd = -1;
}

// Decides, once per descriptor, how it is written.
void Classify(cOutStream& s) {
  if (s.way != eWay::Unknown) return;
  s.fd = s.inherited;
  s.way = eWay::Direct;
  struct stat st {};
  if (fstat(s.inherited, &st) != 0) return;  // not open: writes fail and are dropped
  if (S_ISSOCK(st.st_mode)) {
    s.way = eWay::Socket;
    return;
  }
  if (!S_ISFIFO(st.st_mode) && !isatty(s.inherited)) return;
  char path[64];
  snprintf(path, sizeof path, "/proc/self/fd/%d", s.inherited);
  // A pipe whose reader already quit cannot be opened: its direct write fails and says so.
  const int own = open(path, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (own < 0) return;
  s.fd = own;
  s.way = eWay::OwnNonBlocking;
}

void MarkGone(cOutStream& s, std::vector<std::string>& notices) {
  s.gone = true;
  s.waiting.clear();
  s.waitingBytes = s.headSent = 0;
  s.droppedLines = s.noticeLines = 0;
  CloseOwn(s);
  notices.push_back(std::string(s.name) + " was closed: its lines are no longer written there");
}

// One write of as much of `pieces` as the destination takes now: the bytes
// written, 0 when it would block, -1 when the reader is gone.
ssize_t WriteSome(cOutStream& s, const iovec* pieces, int count) {
  for (;;) {
    ssize_t wrote;
    if (s.way == eWay::Socket) {
      msghdr message{};
      message.msg_iov = const_cast<iovec*>(pieces);
      message.msg_iovlen = (size_t)count;
      wrote = sendmsg(s.fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
    } else {
      wrote = writev(s.fd, pieces, count);
    }
    if (wrote >= 0) return wrote;
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return -1;
  }
}

void NoteWritten(cOutStream& s, const char* last) { s.atLineStart = *last == '\n'; }

// Sends the waiting pieces until the destination stops taking them.
void Send(cOutStream& s, std::vector<std::string>& notices) {
  while (!s.gone && !s.stalled && !s.waiting.empty()) {
    if (s.droppedLines && s.headSent == 0) {
      char said[160];
      snprintf(said, sizeof said, "%s[%llu lines dropped: %s was not read]\n", s.atLineStart ? "" : "\n",
               (unsigned long long)s.droppedLines, s.name);
      s.noticeLines = s.droppedLines;
      s.droppedLines = 0;
      s.waiting.emplace_front(said);
      s.waitingBytes += s.waiting.front().size();
    }
    iovec pieces[64];
    int count = 0;
    for (size_t i = 0; i < s.waiting.size() && count < 64; ++i, ++count) {
      const std::string& piece = s.waiting[i];
      const size_t from = i == 0 ? s.headSent : 0;
      pieces[count] = {const_cast<char*>(piece.data() + from), piece.size() - from};
    }
    ssize_t wrote = WriteSome(s, pieces, count);
    if (wrote < 0) return MarkGone(s, notices);
    if (wrote == 0) {
      s.stalled = true;
      if (s.noticeLines) {  // said afresh, with the count of then, when the pipe takes text again
        s.waitingBytes -= s.waiting.front().size();
        s.waiting.pop_front();
        s.droppedLines += s.noticeLines;
        s.noticeLines = 0;
      }
      return;
    }
    s.noticeLines = 0;
    s.waitingBytes -= (size_t)wrote;
    while (wrote > 0) {
      const size_t left = s.waiting.front().size() - s.headSent;
      if ((size_t)wrote < left) {
        s.headSent += (size_t)wrote;
        NoteWritten(s, s.waiting.front().data() + s.headSent - 1);
        break;
      }
      wrote -= (ssize_t)left;
      NoteWritten(s, &s.waiting.front().back());
      s.waiting.pop_front();
      s.headSent = 0;
    }
  }
}

size_t LinesIn(const std::string& piece) { return std::max<size_t>(1, std::count(piece.begin(), piece.end(), '\n')); }

// Keeps the queue within its bound: the oldest pieces go first, never the one
// part of which was written (its rest must follow what went out).
void Bound(cOutStream& s) {
  const size_t keepFrom = s.headSent ? 1 : 0;
  while (s.waitingBytes > s.maxWaitingBytes && s.waiting.size() > keepFrom + 1) {
    auto oldest = s.waiting.begin() + (ptrdiff_t)keepFrom;
    s.droppedLines += LinesIn(*oldest);
    s.waitingBytes -= oldest->size();
    s.waiting.erase(oldest);
  }
}

// Outside the lock: the box writes to standard error in turn.
void Tell(const std::vector<std::string>& notices) {
  for (const std::string& notice : notices) Sys_MessageBox("Console", notice);
}

void WriteDirect(cOutStream& s, const char* text, size_t size, std::vector<std::string>& notices) {
  while (size > 0) {
    const ssize_t wrote = write(s.fd, text, size);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0 && errno == EPIPE) return MarkGone(s, notices);
    if (wrote <= 0) return;  // a full disk, a descriptor not open: this text is lost, later text may go
    text += wrote;
    size -= (size_t)wrote;
  }
}

}  // namespace

void Sys_Write(SysStream stream, const char* text, size_t size) {
  if (size == 0) return;
  std::vector<std::string> notices;
  {
    std::lock_guard<std::recursive_mutex> hold(Output().lock);
    cOutStream& s = StreamOf(stream);
    Classify(s);
    if (s.gone) return;
    if (s.way == eWay::Direct) {
      WriteDirect(s, text, size, notices);
    } else {
      s.waiting.emplace_back(text, size);
      s.waitingBytes += size;
      Bound(s);
      Send(s, notices);
    }
  }
  Tell(notices);
}

void Sys_Print(SysStream stream, const char* format, ...) {
  char buffer[4096];
  va_list args;
  va_start(args, format);
  const int length = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length > 0) Sys_Write(stream, buffer, std::min((size_t)length, sizeof buffer - 1));
}

void Sys_PumpOutput() {
  std::vector<std::string> notices;
  {
    std::lock_guard<std::recursive_mutex> hold(Output().lock);
    for (cOutStream& s : Output().streams) {
      s.stalled = false;
      Send(s, notices);
    }
  }
  Tell(notices);
}

// Real time, not the game's clock: a test's stopped clock must not make the
// exit wait forever on a reader that never comes back.
bool Sys_FlushOutput(unsigned waitMs) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    Sys_PumpOutput();
    std::lock_guard<std::recursive_mutex> hold(Output().lock);
    pollfd slow[2];
    int count = 0;
    for (cOutStream& s : Output().streams)
      if (!s.gone && !s.waiting.empty()) slow[count++] = {s.fd, POLLOUT, 0};
    if (count == 0) return true;
    const unsigned waited = (unsigned)std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start).count();
    if (waited >= waitMs) return false;
    poll(slow, (nfds_t)count, (int)std::min(waitMs - waited, 50u));
  }
}

void Sys_SetOutputForTest(SysStream stream, int fd, size_t maxWaitingBytes) {
  std::lock_guard<std::recursive_mutex> hold(Output().lock);
  cOutStream& s = StreamOf(stream);
  CloseOwn(s);
  s = cOutStream(s.name, fd >= 0 ? fd : (stream == SysStream::Err ? STDERR_FILENO : STDOUT_FILENO));
  if (fd >= 0) s.maxWaitingBytes = maxWaitingBytes;
}

// What still waits at exit gets a moment; a reader that never comes back
// must not keep the program from ending.
void FlushAtExit() { Sys_FlushOutput(kSysOutputFlushWaitMs); }

// A program started with standard input, output or error closed would get
// its next file or connection (the X display's) in that place, and the
// console would read it, or the mirror write into it. /dev/null stands there
// instead. Open takes the lowest free descriptor, so going up from 0 puts each
// in its own place.
//
// A reader that quit must not end the game: writes to it fail with EPIPE
// instead of raising SIGPIPE, and are dropped. The descriptors are looked at
// afresh, since what stands at 1 and 2 may just have changed.
void Sys_OpenStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
  signal(SIGPIPE, SIG_IGN);
  static bool flushAtExit = atexit(FlushAtExit) == 0;
  (void)flushAtExit;
  std::lock_guard<std::recursive_mutex> hold(Output().lock);
  for (cOutStream& s : Output().streams) {
    CloseOwn(s);
    s = cOutStream(s.name, s.inherited);
  }
}
