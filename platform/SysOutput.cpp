// Standard output and error, written so that the frame loop never waits on
// them. A reader that stops reading (a pipe nobody empties, `less` not paged,
// a terminal held with Ctrl+S) would block a plain write once the pipe is
// full, and a reader that quit would end the game with SIGPIPE.
//
// Each destination has one sink. Standard output and error sent to the same
// place (`2>&1`, one terminal, `>log 2>log`: the same device and inode, or
// the same terminal, also under its other name /dev/tty) share
// it, so their text goes out in the order written, through one descriptor:
// two writers would mix their pieces inside lines, since a pipe keeps only
// writes of up to 4096 bytes whole, and two descriptions of one file would
// write over each other. Regular files (and descriptors that are not open)
// are written at once: they never hold us up. Anything else (a pipe, a FIFO,
// a terminal, a socket) is written by a thread of the sink's own, the only
// one that ever waits on the reader; the frame loop only queues. A flag on
// the descriptor cannot do this: setting O_NONBLOCK on the inherited
// descriptor changes it for every process sharing it, and reopening it
// through /proc fails for a pipe another user owns and where /proc is not
// mounted.
//
// What the writer has not taken waits in each stream's bounded queue; past
// the bound the oldest waiting pieces are dropped and the stream's next text
// written is preceded by a line saying how many lines went. What the writer
// holds is never dropped, so no line is cut in two. Where a line can go out
// whole (a pipe, a socket: not a terminal, which takes text as its reader
// makes room) a stream's line waits until it is whole: text written in
// pieces (a progress line's dots) would otherwise leave a line begun and
// never ended behind a reader that stopped, and the other stream's lines
// would stand inside it. Once the reader is gone,
// everything for that destination is dropped and that is said once for each
// stream, as a message box (the debug window and the game window show it),
// by the frame loop's thread.
#include "platform/Sys.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/DisplayWatch.h"
#include "platform/SysIoThread.h"

namespace {

constexpr size_t kBatchBytes = 64 * 1024;  // what the writer takes at a time, beyond a larger single piece

struct cPiece {
  uint64_t order;  // among both streams' pieces
  std::string text;
};

struct cSink;
using tSink = std::shared_ptr<cSink>;  // the streams', and its writer's while it runs

struct cOutStream {
  cOutStream(const char* streamName, int descriptor, size_t bound)
      : name(streamName), inherited(descriptor), maxWaitingBytes(bound) {}
  const char* name;   // for the notices
  int inherited;      // 1 or 2, or the test's descriptor
  size_t maxWaitingBytes;
  bool classified = false;
  tSink sink;
  bool toldGone = false;
  bool inBatch = false;  // the writer holds some of its text
  std::string unfinished;  // written since its last line end, where lines go out whole
  std::deque<cPiece> waiting;
  size_t waitingBytes = 0;
  uint64_t droppedLines = 0;  // dropped since the last notice was taken
};

struct cSink {
  ~cSink() {
    if (queued) close(fd);
  }
  int fd = -1;              // written at once (a file: the stream's own), or queued: the writer's duplicate
  bool queued = false;
  bool wholeLines = false;  // queued, and not a terminal: each line is taken once it is whole
  bool identified = false;  // by where it writes, for the other stream to find
  dev_t device = 0;         // see PlaceOf
  ino_t inode = 0;
  bool writerStarted = false;
  bool abandoned = false;   // no stream writes here any more: the writer ends after its write
  bool gone = false;        // the reader went away: all is dropped from now on
  bool writing = false;     // the writer holds text taken from the queues
  bool atLineStart = true;  // what was last taken ended a line
  // What a stream had written here before it was sent elsewhere: written
  // here still, in its place among the other stream's (its `sink` is none).
  std::deque<cOutStream> retired;
};

struct cOutput {
  std::mutex lock;
  std::condition_variable changed;  // pieces queued, a write done, a sink abandoned
  cOutStream streams[2] = {{"Standard output", STDOUT_FILENO, kSysOutputMaxWaitingBytes},
                           {"Standard error", STDERR_FILENO, kSysOutputMaxWaitingBytes}};
  std::vector<std::string> notices;  // for the frame loop's thread to say
  uint64_t nextOrder = 0;
  uint32_t (*flushClock)() = nullptr;
  void (*writerStartHook)() = nullptr;  // for tests: runs as a writer starts, before it takes anything
  // The sinks whose writers run, also those a stream no longer writes to: a
  // child forked as one ends has no such thread, and must still reach it.
  std::vector<tSink> writing;
};
// Built on first use and never destroyed: text may be written by static
// initialisers, the flush at exit runs after static destructors began, and
// the writer threads may outlive main.
cOutput* MakeOutput();
cOutput*& OutputSlot() {
  static cOutput* output = MakeOutput();
  return output;
}
cOutput& Output() { return *OutputSlot(); }

// The child of a fork has no writer threads, and what the parent's queues
// hold is the parent's to write: it looks at its streams afresh.
cOutput* OutputForChild(const cOutput& parent) {
  cOutput* child = new cOutput;
  for (int i = 0; i < 2; ++i) {
    const cOutStream& s = parent.streams[i];
    child->streams[i] = cOutStream(s.name, s.inherited, s.maxWaitingBytes);
  }
  child->flushClock = parent.flushClock;
  child->writerStartHook = parent.writerStartHook;
  return child;
}

cOutput* MakeOutput() {
  cForkHandlers<cOutput, OutputSlot, OutputForChild>::Install();
  return new cOutput;
}

// How much of `text` the next write takes: whole lines of at most PIPE_BUF
// bytes, which a pipe takes whole or not at all, so a writer ended by the
// exit while it waits on a slow reader never leaves a line cut. A longer line
// is a write of its own, which a pipe takes in parts as its reader makes
// room: behind a reader that stopped, the exit may cut it. (A pipe tells how
// many bytes it holds, not how many of its pages are free, so no wait for
// room can know that such a line would go whole.)
size_t NextWrite(const char* text, size_t size) {
  if (size <= PIPE_BUF) return size;
  if (const char* lineEnd = (const char*)memrchr(text, '\n', PIPE_BUF)) return (size_t)(lineEnd - text) + 1;
  const char* longLineEnd = (const char*)memchr(text, '\n', size);
  return longLineEnd ? (size_t)(longLineEnd - text) + 1 : size;
}

// One blocking write of `size` bytes, all of them unless the reader is gone
// (then false). Only the sink's thread calls this, outside the lock.
bool WriteAll(int fd, const char* text, size_t size) {
  size_t refused = SIZE_MAX;  // the smallest send a datagram socket refused as too large
  while (size > 0) {
    // A piece of more than one line is at most PIPE_BUF bytes, below the
    // smallest datagram a socket refuses (about 4.5 KB): only a line longer
    // than the largest send is refused, and it goes in parts.
    size_t piece = NextWrite(text, size);
    if (piece >= refused) piece = refused / 2;
    const ssize_t wrote = write(fd, text, piece);
    if (wrote > 0) {
      text += wrote;
      size -= (size_t)wrote;
      continue;
    }
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {  // someone made the descriptor non-blocking
      pollfd writable{fd, POLLOUT, 0};
      poll(&writable, 1, -1);
      continue;
    }
    // Too large for one datagram is not a reader that left: smaller sends.
    if (wrote < 0 && errno == EMSGSIZE && piece > 1) {
      refused = piece;
      continue;
    }
    return false;
  }
  return true;
}

void TellGone(cOutStream& s) {
  s.waiting.clear();
  s.unfinished.clear();
  s.waitingBytes = 0;
  s.droppedLines = 0;
  if (s.toldGone) return;
  s.toldGone = true;
  Output().notices.push_back(std::string(s.name) + " was closed: its lines are no longer written there");
}

// Said for the streams whose text was lost; the other, if it shares the
// sink, is told when it writes next. What a stream sent elsewhere since had
// left here is dropped unsaid: its notice would name its new destination.
void MarkGone(cSink& sink) {
  sink.gone = true;
  sink.retired.clear();
  for (cOutStream& s : Output().streams)
    if (s.sink.get() == &sink && (s.inBatch || !s.waiting.empty())) TellGone(s);
}

// The stream of the sink's (or retired there) whose oldest waiting piece was
// written first.
cOutStream* NextInOrder(cSink* sink) {
  cOutStream* next = nullptr;
  const auto consider = [&next](cOutStream& s) {
    if (!s.waiting.empty() && (!next || s.waiting.front().order < next->waiting.front().order)) next = &s;
  };
  for (cOutStream& s : Output().streams)
    if (s.sink.get() == sink) consider(s);
  for (cOutStream& s : sink->retired) consider(s);
  return next;
}

// The next text to write: the oldest waiting pieces of both streams in the
// order written, up to a batch, each stream's first preceded by the notice
// of its lines dropped before it.
std::string TakeBatch(cSink& sink) {
  std::string batch;
  for (cOutStream* s; (s = NextInOrder(&sink)) &&
                      (batch.empty() || batch.size() + s->waiting.front().text.size() <= kBatchBytes);) {
    if (s->droppedLines) {
      char said[160];
      batch += std::string(said, (size_t)snprintf(said, sizeof said, "%s[%llu lines dropped: %s was not read]\n",
                                                  sink.atLineStart ? "" : "\n",
                                                  (unsigned long long)s->droppedLines, s->name));
      s->droppedLines = 0;
    }
    batch += s->waiting.front().text;
    s->waitingBytes -= s->waiting.front().text.size();
    s->waiting.pop_front();
    s->inBatch = true;
    sink.atLineStart = batch.back() == '\n';
  }
  std::erase_if(sink.retired, [](const cOutStream& s) { return s.waiting.empty(); });
  return batch;
}

void WriterLoop(tSink sink, void (*startHook)()) {
  BlockSignalsInThisIoThread();
  if (startHook) startHook();
  cOutput& out = Output();
  std::unique_lock<std::mutex> hold(out.lock);
  const auto hasWork = [&sink] { return !sink->gone && NextInOrder(sink.get()); };
  for (;;) {
    out.changed.wait(hold, [&] { return sink->abandoned || hasWork(); });
    if (!hasWork()) break;  // no stream writes here any more, and what they left is written
    const std::string batch = TakeBatch(*sink);
    sink->writing = true;
    hold.unlock();
    const bool reached = WriteAll(sink->fd, batch.data(), batch.size());
    hold.lock();
    sink->writing = false;
    if (!reached) MarkGone(*sink);
    for (cOutStream& s : out.streams)
      if (s.sink == sink) s.inBatch = false;
    out.changed.notify_all();
  }
  std::erase(out.writing, sink);
}

// Where a descriptor writes: its device and inode, or for a terminal the
// terminal itself (device 0 and its number), which /dev/tty also names under
// an inode of its own. A pseudo-terminal's master is a place of its own, told
// from the other masters (which share one node) by its number.
void PlaceOf(int fd, const struct stat& st, dev_t& device, ino_t& inode) {
  device = st.st_dev;
  inode = st.st_ino;
  if (!S_ISCHR(st.st_mode)) return;
  unsigned int number = 0;
  if (IsPseudoTerminalMaster(fd)) {
    if (ioctl(fd, TIOCGPTN, &number) == 0) device = st.st_rdev, inode = (ino_t)number;
  } else if (ioctl(fd, TIOCGDEV, &number) == 0) {
    device = 0;
    inode = number;
  }
}

bool SamePlace(const cSink& sink, int fd, const struct stat& st) {
  dev_t device = 0;
  ino_t inode = 0;
  PlaceOf(fd, st, device, inode);
  return sink.identified && sink.device == device && sink.inode == inode;
}

// Decides, once per descriptor, how it is written: through the other
// stream's sink when both reach the same place.
void Classify(cOutStream& s, const cOutStream& other) {
  if (s.classified) return;
  s.classified = true;
  struct stat st {};
  const bool open = fstat(s.inherited, &st) == 0;
  const tSink& theirs = other.sink;
  if (open && theirs && SamePlace(*theirs, s.inherited, st)) {
    s.sink = theirs;
    return;
  }
  s.sink = std::make_shared<cSink>();
  cSink& sink = *s.sink;
  sink.fd = s.inherited;
  if (!open) return;
  sink.identified = true;
  PlaceOf(s.inherited, st, sink.device, sink.inode);
  if (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) return;
  const int own = fcntl(s.inherited, F_DUPFD_CLOEXEC, 3);  // the caller may close or reuse `inherited`
  if (own < 0) return;
  sink.fd = own;
  sink.queued = true;
  sink.wholeLines = !isatty(own);
}

size_t LinesIn(const std::string& piece) { return std::max<size_t>(1, std::count(piece.begin(), piece.end(), '\n')); }

// Keeps the queue within its bound: the oldest pieces go first; the newest
// always stays, so the latest text is never lost to older text.
void Bound(cOutStream& s) {
  while (s.waitingBytes > s.maxWaitingBytes && s.waiting.size() > 1) {
    s.droppedLines += LinesIn(s.waiting.front().text);
    s.waitingBytes -= s.waiting.front().text.size();
    s.waiting.pop_front();
  }
}

// A piece for the stream's writer, started with the first.
void Push(cOutput& out, cOutStream& s, std::string piece) {
  s.waitingBytes += piece.size();
  s.waiting.push_back({out.nextOrder++, std::move(piece)});
  Bound(s);
  if (!s.sink->writerStarted) {
    s.sink->writerStarted = true;
    out.writing.push_back(s.sink);
    std::thread(WriterLoop, s.sink, out.writerStartHook).detach();
  }
  out.changed.notify_all();
}

// Text for the writer. Where lines go out whole, what follows the last line
// end waits until its line ends; a line longer than a batch goes in parts.
void Queue(cOutput& out, cOutStream& s, const char* text, size_t size) {
  const char* lastLineEnd = s.sink->wholeLines ? (const char*)memrchr(text, '\n', size) : text + size - 1;
  if (!lastLineEnd) {
    s.unfinished.append(text, size);
    if (s.unfinished.size() <= kBatchBytes) return;
    Push(out, s, std::exchange(s.unfinished, {}));
    return;
  }
  const size_t whole = (size_t)(lastLineEnd - text) + 1;
  std::string piece = std::move(s.unfinished);
  piece.append(text, whole);
  s.unfinished.assign(text + whole, size - whole);
  Push(out, s, std::move(piece));
}

// A line left unfinished at the exit is ended there and goes out whole.
void EndUnfinishedLines() {
  cOutput& out = Output();
  std::lock_guard<std::mutex> hold(out.lock);
  for (cOutStream& s : out.streams)
    if (!s.unfinished.empty() && !s.sink->gone) Queue(out, s, "\n", 1);
}

// Outside the lock, on the caller's thread: the box writes to standard error in turn.
void TellNotices() {
  std::vector<std::string> notices;
  {
    std::lock_guard<std::mutex> hold(Output().lock);
    notices.swap(Output().notices);
  }
  for (const std::string& notice : notices) Sys_MessageBox("Console", notice);
}

void WriteDirect(int fd, const char* text, size_t size) {
  while (size > 0) {
    const ssize_t wrote = write(fd, text, size);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;  // a full disk, a descriptor not open: this text is lost, later text may go
    text += wrote;
    size -= (size_t)wrote;
  }
}

// Does the stream already write to what `fd` stands for, at that descriptor?
bool SameDestination(const cOutStream& s, int fd) {
  struct stat st {};
  return s.classified && s.inherited == fd && !s.sink->gone && fstat(fd, &st) == 0 && SamePlace(*s.sink, fd, st);
}

// Puts a fresh stream in the slot, unless it already writes there (opening
// the streams looks again at what was written to before main). Nothing
// written is dropped: what waits still goes where it was written, through
// the old sink, whose thread then ends once no stream writes there. A file
// shared with the other stream was written through the descriptor looked at
// first, which the caller may close now: the other stream looks afresh.
void Replace(int slot, int fd, size_t bound) {
  cOutput& out = Output();
  cOutStream& s = out.streams[slot];
  cOutStream& other = out.streams[1 - slot];
  if (SameDestination(s, fd)) {
    s.maxWaitingBytes = bound;
    return;
  }
  const tSink sink = s.sink;
  // Its unfinished line goes where it began, as it is.
  if (sink && sink->queued && !sink->gone && !s.unfinished.empty()) Push(out, s, std::exchange(s.unfinished, {}));
  cOutStream left = std::move(s);
  s = cOutStream(left.name, fd, bound);
  if (sink && sink->queued && !sink->gone && !left.waiting.empty()) {
    left.sink = nullptr;
    sink->retired.push_back(std::move(left));
  }
  if (sink && sink != other.sink) sink->abandoned = true;
  if (sink && sink == other.sink && !sink->queued)
    other = cOutStream(other.name, other.inherited, other.maxWaitingBytes);
  out.changed.notify_all();
}

// Both streams' text and what either left with a sink it no longer writes to:
// whatever waits does so for a running writer (files are written at once).
bool AllWritten() {
  for (const tSink& sink : Output().writing)
    if (!sink->gone && (sink->writing || NextInOrder(sink.get()))) return false;
  return true;
}

uint32_t FlushClockNow() {
  if (Output().flushClock) return Output().flushClock();
  using namespace std::chrono;
  return (uint32_t)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void Sys_Write(SysStream stream, const char* text, size_t size) {
  if (size == 0) return;
  if (!Sys_IsVisibleText(text, size)) {
    const std::string shown = Sys_VisibleText(std::string(text, size));
    Sys_Write(stream, shown.data(), shown.size());
    return;
  }
  {
    cOutput& out = Output();
    std::lock_guard<std::mutex> hold(out.lock);
    const int slot = stream == SysStream::Err ? 1 : 0;
    cOutStream& s = out.streams[slot];
    Classify(s, out.streams[1 - slot]);
    cSink& sink = *s.sink;
    if (sink.gone) {
      TellGone(s);
    } else if (!sink.queued) {
      WriteDirect(sink.fd, text, size);
    } else {
      Queue(out, s, text, size);
    }
  }
  TellNotices();
}

// The program's own diagnostic lines are cut to 4095 bytes as they are
// written, control characters shown (each ^M or <9B> counts as written), and
// a line cut keeps its line end, the format's or the text's it prints: the
// next line, or a shell's prompt, starts on a line of its own.
void Sys_Print(SysStream stream, const char* format, ...) {
  constexpr size_t kMaxLineBytes = 4095;
  char buffer[kMaxLineBytes + 4];  // and the rest of a character the cut would split
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int printed = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  const size_t length = printed > 0 ? (size_t)printed : 0, formatted = std::min(length, sizeof buffer - 1);
  bool endsLine = formatted > 0 && buffer[formatted - 1] == '\n';
  if (formatted < length) {  // cut: only the whole text tells whether it ends its line
    std::string whole(length + 1, '\0');
    vsnprintf(whole.data(), whole.size(), format, again);
    endsLine = whole[length - 1] == '\n';
  }
  va_end(again);
  if (length == 0) return;
  const size_t kept = Sys_Utf8CutLength(buffer, formatted - (endsLine && formatted == length), kMaxLineBytes);
  std::string shown = Sys_VisibleText(std::string(buffer, kept), kMaxLineBytes);
  if (endsLine) shown += '\n';
  Sys_Write(stream, shown.data(), shown.size());
}

void Sys_PumpOutput() { TellNotices(); }

// Real time by default, not the game's clock: a test's stopped clock must not
// make the exit wait forever on a reader that never comes back.
bool Sys_FlushOutput(unsigned waitMs) {
  cOutput& out = Output();
  const uint32_t start = FlushClockNow();
  bool settled;
  {
    std::unique_lock<std::mutex> hold(out.lock);
    for (;;) {
      settled = AllWritten();
      const uint32_t waited = FlushClockNow() - start;
      if (settled || waited >= waitMs) break;
      // Woken by each write done; the clock is read again at least this often.
      out.changed.wait_for(hold, std::chrono::milliseconds(std::min(waitMs - waited, 20u)));
    }
  }
  TellNotices();
  return settled;
}

bool Sys_OutputReaches(SysStream stream, int terminal) {
  struct stat target {};
  if (fstat(terminal, &target) != 0) return false;
  cOutput& out = Output();
  std::lock_guard<std::mutex> hold(out.lock);
  const int slot = stream == SysStream::Err ? 1 : 0;
  Classify(out.streams[slot], out.streams[1 - slot]);
  const cSink& sink = *out.streams[slot].sink;
  return !sink.gone && SamePlace(sink, terminal, target);
}

void Sys_SetOutputForTest(SysStream stream, int fd, size_t maxWaitingBytes) {
  std::lock_guard<std::mutex> hold(Output().lock);
  const int slot = stream == SysStream::Err ? 1 : 0;
  if (fd >= 0) Replace(slot, fd, maxWaitingBytes);
  else Replace(slot, slot ? STDERR_FILENO : STDOUT_FILENO, kSysOutputMaxWaitingBytes);
}

void Sys_SetOutputFlushClockForTest(uint32_t (*clock)()) {
  std::lock_guard<std::mutex> hold(Output().lock);
  Output().flushClock = clock;
}

void Sys_SetOutputWriterStartHookForTest(void (*hook)()) {
  std::lock_guard<std::mutex> hold(Output().lock);
  Output().writerStartHook = hook;
}

namespace {

// After the exit's flush, what still writes to standard output or error (a
// library's exit handler, the sound device's close, the leak checker) must
// not wait on a reader that stopped either. Each that is not a file gets a
// description of its own that never blocks, on the same destination: there a
// full pipe or a held terminal drops the text. Where none can be opened (a
// socket, a pipe of another user's), /dev/null stands there: what is written
// at exit after the flush is dropped.
void NeverWaitAfterTheFlush() {
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)) continue;
    char path[32];
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    int replacement = open(path, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (replacement < 0) replacement = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (replacement < 0) continue;
    dup2(replacement, fd);
    close(replacement);
  }
}

}  // namespace

// The program's end, one sequence in a fixed order, run once: main's end
// calls it, an exit() elsewhere runs it as an exit handler, and a lost
// display's handler before its _exit. Registered
// again once the sound device opened, after the sound library's own handler,
// so it runs before that one (which complains of a device left open).
void Sys_RunExitSequence() {
  static std::atomic<bool> ran{false};
  if (ran.exchange(true)) return;
  StopWatchingTheGamesWindows();
  EndUnfinishedLines();
  Sys_FlushOutput(kSysOutputFlushWaitMs);  // what still waits gets at most this
  NeverWaitAfterTheFlush();
  Sys_CloseSoundDevice();  // its library may write as it closes
}

// A program started with standard input, output or error closed would get
// its next file or connection (the X display's) in that place, and the
// console would read it, or the mirror write into it. /dev/null stands there
// instead. Open takes the lowest free descriptor, so going up from 0 puts each
// in its own place.
//
// A reader that quit must not end the game: writes to it fail with EPIPE
// instead of raising SIGPIPE, and are dropped. A game in a terminal's
// background must not be stopped by the terminal: its writes there go through
// (SIGTTOU under `stty tostop`, also for what libraries write straight to
// descriptor 2), and a read there fails instead of stopping it (SIGTTIN; the
// console reads only in the foreground anyway). The descriptors are looked at
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
  for (int sig : {SIGPIPE, SIGTTOU, SIGTTIN}) signal(sig, SIG_IGN);
  static bool endsInOrder = atexit(Sys_RunExitSequence) == 0;
  (void)endsInOrder;
  Sys_SetOutputForTest(SysStream::Out, -1, 0);
  Sys_SetOutputForTest(SysStream::Err, -1, 0);
}
