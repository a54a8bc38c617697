// Standard output and error written to readers that stop reading or go away:
// the writer never waits, every line either arrives whole and in the order
// written or is counted in the notice that takes its place, and a reader that
// quit is said once.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"
#include <gdk/gdkx.h>

#include "platform/GtkDialogs.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/glui.h"
#include "platform/X11Query.h"  // last: Xlib's macros

namespace {

// A line naming its place among all lines written and its stream, padded to
// `width` bytes with its newline.
std::string Line(int at, SysStream stream, int width) {
  char head[48];
  const int length = snprintf(head, sizeof head, "line %06d of the test's %s", at,
                              stream == SysStream::Out ? "output" : "errors");
  std::string line(head, (size_t)length);
  if (width > length + 1) line.resize((size_t)width - 1, '.');
  return line + '\n';
}
std::string Lines(int from, int count) {
  std::string text;
  for (int at = from; at < from + count; ++at) text += Line(at, SysStream::Out, 0);
  return text;
}
const int kLineBytes = (int)Line(0, SysStream::Out, 0).size();
const int kHeld = 32;                               // whole lines the queue holds in most rows
const int kDefaultHeld = 256 * 1024 / kLineBytes;  // in the README's bound

// Reads until the writer has nothing left and the destination is empty;
// notes where the reads that did not end a line ended.
std::string ReadAllWritten(int fd, std::vector<size_t>* readsEndingMidLine = nullptr) {
  static char chunk[256 * 1024];  // a whole datagram
  std::string received;
  fcntl(fd, F_SETFL, O_NONBLOCK);
  for (int polls = 0; polls < 6000; ++polls) {
    const bool settled = Sys_FlushOutput(0);
    ssize_t got = 0, all = 0;
    while ((got = read(fd, chunk, sizeof chunk)) > 0) {
      received.append(chunk, (size_t)got), all += got;
      if (readsEndingMidLine && chunk[got - 1] != '\n') readsEndingMidLine->push_back(received.size());
    }
    if (all == 0 && settled) break;
    pollfd readable{fd, POLLIN, 0};
    poll(&readable, 1, 10);
  }
  return received;
}

// Waits until text reached the reader: the writer took what was written first.
bool Arrived(int fd) {
  int waiting = 0;
  for (int polls = 0; polls < 60000 && (ioctl(fd, FIONREAD, &waiting) != 0 || waiting == 0); ++polls) {
    pollfd readable{fd, POLLIN, 0};
    poll(&readable, 1, 1);
  }
  return waiting > 0;
}

// The test's process stands as the game does: SIGPIPE ignored, and a writer
// that waits on its reader would hang, so the binary ends instead.
struct cAsTheGameRuns {
  void (*pipeSignal)(int) = signal(SIGPIPE, SIG_IGN);
  unsigned alarmGuard = alarm(300);
  ~cAsTheGameRuns() {
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    Sys_SetOutputForTest(SysStream::Err, -1, 0);
    Sys_SetOutputFlushClockForTest(nullptr);
    signal(SIGPIPE, pipeSignal);
    alarm(alarmGuard);
  }
};

// The destination stands at descriptor 2 while it lives, and standard
// error is looked at afresh both ways: written as the game's own, with its
// default bound.
struct cStandardErrorAt {
  explicit cStandardErrorAt(int destination) {
    dup2(destination, STDERR_FILENO);
    Sys_SetOutputForTest(SysStream::Err, -1, 0);
  }
  ~cStandardErrorAt() {
    dup2(saved, STDERR_FILENO);
    close(saved);
    Sys_SetOutputForTest(SysStream::Err, -1, 0);
  }
  int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 10);
};

enum eDestination {
  kPipe, kNonBlockingPipe, kSocket, kDatagram, kSmallDatagram, kFile, kFileOpenedTwice, kNamedPipe, kNamedPipeNoAccess,
  kTerminal
};
enum eReader { kSlow, kQuitBefore, kQuitWhileLinesWait };
enum eStreams { kOut, kErr, kBoth };  // kBoth: after the plug, lines go to output and error in turn

struct sRow {
  eDestination where;
  eReader reader = kSlow;
  int plug = 0, lines = 0, more = 0;
  int dropped = 0;  // -1: any, each notice counting its place
  eStreams streams = kOut;
  int lineBytes = kLineBytes;
  int firstLineBytes = 0;  // the first line's width, when not lineBytes
  int linesPerWrite = 1;
  bool defaultBound = false;  // standard error's own, at descriptor 2; else kHeld lines' worth
  bool inPieces = false;  // each line written as its head, then (once the writer took what it may) its rest
};

int WidthOf(const sRow& row, int at) { return at == 0 && row.firstLineBytes ? row.firstLineBytes : row.lineBytes; }

SysStream StreamOf(const sRow& row, int at) {
  if (row.streams == kBoth) return at >= row.plug && (at - row.plug) % 2 ? SysStream::Err : SysStream::Out;
  return row.streams == kErr ? SysStream::Err : SysStream::Out;
}

// Lines [from, from + count) as the row writes them: each Sys_Write holds
// up to linesPerWrite lines of one stream.
void WriteLines(const sRow& row, int from, int count) {
  for (int at = from, end = from + count; at < end;) {
    const SysStream stream = StreamOf(row, at);
    std::string piece;
    for (int n = 0; n < row.linesPerWrite && at < end && StreamOf(row, at) == stream; ++n, ++at)
      piece += Line(at, stream, WidthOf(row, at));
    if (row.inPieces) {  // as a progress line's dots come
      Sys_Write(stream, piece.data(), 10);
      Sys_FlushOutput(60000);
      Sys_Write(stream, piece.data() + 10, piece.size() - 10);
      continue;
    }
    Sys_Write(stream, piece.data(), piece.size());
  }
}

std::string DroppedNotice(unsigned long long count, SysStream stream) {
  return "[" + std::to_string(count) + " lines dropped: Standard " + (stream == SysStream::Out ? "output" : "error") +
         " was not read]\n";
}

// Every line sent arrives once, whole and in the order written, or stands in
// a run of its stream's lines that a notice counts in its place; how many
// the notices counted.
int DroppedInTheirPlace(const std::string& received, const sRow& row, int sent) {
  const SysStream streams[2] = {SysStream::Out, SysStream::Err};
  int next[2] = {0, 0};  // the next line due from each stream
  auto Skip = [&](int stream, int from) {
    while (from < sent && StreamOf(row, from) != streams[stream]) ++from;
    return from;
  };
  next[0] = Skip(0, 0), next[1] = Skip(1, 0);
  int dropped = 0, last = -1;
  for (size_t at = 0, end; at < received.size(); at = end + 1) {
    end = received.find('\n', at);
    const std::string line = received.substr(at, end - at + 1);
    unsigned long long count = 0;
    int stream = -1;
    if (sscanf(line.c_str(), "[%llu lines dropped", &count) == 1) {
      for (int s : {0, 1})
        if (line == DroppedNotice(count, streams[s])) stream = s;
      for (unsigned long long n = 0; stream >= 0 && n < count; ++n) next[stream] = Skip(stream, next[stream] + 1);
      dropped += (int)count;
    } else {
      for (int s : {0, 1})
        if (next[s] > last && line == Line(next[s], streams[s], WidthOf(row, next[s]))) stream = s;
      if (stream >= 0) last = next[stream], next[stream] = Skip(stream, next[stream] + 1);
    }
    if (stream < 0) {
      int at = -1;
      const bool whole = sscanf(line.c_str(), "line %d", &at) == 1 &&
                         (line == Line(at, streams[0], WidthOf(row, at)) || line == Line(at, streams[1], WidthOf(row, at)));
      ADD_FAILURE() << (whole ? "out of order" : "cut") << ", after line " << last << ": " << line.substr(0, 80);
      return -1;
    }
  }
  EXPECT_EQ(next[0], sent);
  EXPECT_EQ(next[1], sent);
  return dropped;
}

// fds[0] is read, fds[1] written, fds[2] written by standard error too where
// both streams go there: the same description (`2>&1`), or for a file and a
// terminal the same one opened again (`>log 2>log`). A pipe holds one page;
// a named pipe no one may open again stands for a pipe of another user's (or
// one without /proc).
bool Open(eDestination destination, const cScratchDir& dir, int fds[3]) {
  const std::string fifo = dir.File("fifo"), file = dir.File("log");
  bool opened = false;
  switch (destination) {
    case kPipe:
    case kNonBlockingPipe:  // as another process sharing it may set it
      opened = pipe(fds) == 0 && fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096 &&
               fcntl(fds[1], F_SETFL, destination == kPipe ? 0 : O_NONBLOCK) == 0;
      break;
    case kSocket: opened = socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0; break;
    case kDatagram: opened = socketpair(AF_UNIX, SOCK_DGRAM, 0, fds) == 0; break;
    case kSmallDatagram: {  // its largest send (about 4.5 KB) is shorter than a batch
      const int least = 1;
      opened = socketpair(AF_UNIX, SOCK_DGRAM, 0, fds) == 0 &&
               setsockopt(fds[1], SOL_SOCKET, SO_SNDBUF, &least, sizeof least) == 0;
      break;
    }
    case kFile: opened = (fds[0] = memfd_create("output-test", 0)) >= 0 && (fds[1] = dup(fds[0])) >= 0; break;
    case kFileOpenedTwice:
      fds[0] = open(file.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
      return fds[0] >= 0 && (fds[1] = open(file.c_str(), O_WRONLY)) >= 0 &&
             (fds[2] = open(file.c_str(), O_WRONLY)) >= 0;
    case kTerminal: {
      termios raw {};
      cfmakeraw(&raw);  // bytes pass as written
      return openpty(&fds[0], &fds[1], nullptr, &raw, nullptr) == 0 &&
             (fds[2] = open(ptsname(fds[0]), O_WRONLY | O_NOCTTY)) >= 0;
    }
    default:
      if (mkfifo(fifo.c_str(), 0600) != 0) return false;
      fds[0] = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
      fds[1] = open(fifo.c_str(), O_WRONLY);
      fcntl(fds[0], F_SETFL, 0);
      opened = fds[1] >= 0 && fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096 &&
               (destination == kNamedPipe || chmod(fifo.c_str(), 0) == 0);
  }
  return opened && (fds[2] = dup(fds[1])) >= 0;
}

}  // namespace

// Rows: where standard output (or error, or both) goes, and what its reader
// does. The plug, lines written at once first, is more than the destination
// holds: the writer takes it and waits on its reader, so what follows waits
// in the queue, which holds kHeld lines of each stream (or the default 256
// KiB); beyond that the oldest waiting lines are dropped, a notice counting
// them. A row's `more` lines come once the reader took all but the plug's
// last page: the writer then holds the notice at the head of what it took,
// and more lines are dropped meanwhile. A file takes everything.
// Mended: a destination that cannot be opened again (a pipe of another
// user's, no /proc) was written with blocking writes, and a full one stopped
// the game; a named pipe whose reader quit before the first line dropped its
// lines without a word; a datagram socket's "too large" was taken for a
// reader that left; standard output and error sent to one pipe (`2>&1 |
// less`) each had a writer of its own, whose writes beyond a pipe's atomic
// 4096 bytes mixed inside lines, and in a file opened for each they wrote
// over each other; a datagram's smaller sends cut lines, and one too large
// for a datagram was taken for a reader that left (a line longer than any
// send goes in parts; a piece of several lines is at most 4096 bytes, which
// any datagram socket takes); a line written in pieces went out piece by
// piece, so a reader that stopped could be left with it begun and never
// ended (each datagram a write: none ends mid-line). Last row: standard
// error, with nothing in flight as the reader both share quits, says so too.
TEST(Output, AReaderThatStopsOrQuitsNeverHoldsUpTheWriter) {
  const int pipePlug = 8192 / kLineBytes, lastPageLeft = (3 * 4096 + 4000) / kLineBytes;
  const int terminalPlug = (1 << 20) / kLineBytes, socketPlug = (4 << 20) / kLineBytes;
  const int longLine = 5000;  // beyond what a pipe keeps whole
  const sRow rows[] = {
      {.where = kPipe, .plug = pipePlug, .lines = kHeld},
      {.where = kPipe, .plug = pipePlug, .lines = kHeld + 1, .dropped = 1},
      {.where = kPipe, .plug = pipePlug, .lines = 1000, .dropped = 1000 - kHeld},
      {.where = kPipe, .plug = pipePlug, .lines = 1000, .dropped = 1000 - kHeld, .linesPerWrite = 4},
      {.where = kPipe, .plug = pipePlug, .lines = kDefaultHeld, .streams = kErr, .defaultBound = true},
      {.where = kPipe, .plug = pipePlug, .lines = kDefaultHeld + 1, .dropped = 1, .streams = kErr,
       .defaultBound = true},
      {.where = kPipe, .plug = lastPageLeft, .lines = kHeld + 5, .more = kHeld + 3, .dropped = -1},
      {.where = kPipe, .lines = 2 * kHeld, .streams = kBoth, .lineBytes = longLine},
      {.where = kPipe, .plug = 2, .lines = 2 * kHeld + 2, .dropped = 2, .streams = kBoth, .lineBytes = longLine},
      {.where = kNonBlockingPipe, .plug = pipePlug, .lines = kHeld},
      {.where = kNamedPipeNoAccess, .plug = pipePlug, .lines = kHeld + 1, .dropped = 1},
      {.where = kTerminal, .plug = terminalPlug, .lines = kHeld},
      {.where = kTerminal, .plug = terminalPlug, .lines = kHeld + 1, .dropped = 1},
      {.where = kTerminal, .plug = (1 << 20) / longLine, .lines = 2 * kHeld, .streams = kBoth, .lineBytes = longLine},
      {.where = kSocket, .plug = socketPlug, .lines = 20000, .dropped = 20000 - kHeld},
      {.where = kFile, .lines = 20000},
      {.where = kFileOpenedTwice, .lines = 2000, .streams = kBoth},
      {.where = kDatagram, .plug = (512 << 10) / kLineBytes},  // one write, more than a datagram holds
      {.where = kSmallDatagram, .lines = 100, .firstLineBytes = 4500, .linesPerWrite = 100},
      {.where = kSmallDatagram, .lines = 100, .firstLineBytes = 10000, .linesPerWrite = 100},  // longer than any send
      {.where = kDatagram, .lines = 20, .inPieces = true},
      {.where = kPipe, .reader = kQuitBefore, .lines = 10},
      {.where = kNamedPipe, .reader = kQuitBefore, .lines = 10},
      {.where = kPipe, .reader = kQuitBefore, .lines = 10, .streams = kBoth},
      {.where = kPipe, .reader = kQuitWhileLinesWait, .plug = pipePlug, .lines = 1000},
      {.where = kSocket, .reader = kQuitWhileLinesWait, .plug = socketPlug, .lines = 20000},
      {.where = kPipe, .reader = kQuitWhileLinesWait, .plug = 2, .lines = 100, .streams = kBoth, .lineBytes = longLine},
      {.where = kPipe, .reader = kQuitWhileLinesWait, .plug = pipePlug, .streams = kBoth},  // error: nothing in flight
  };
  cAsTheGameRuns asTheGameRuns;
  for (const sRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "destination " << row.where << ", reader " << row.reader << ", streams "
                                    << row.streams << ", plug " << row.plug << ", " << row.lines << " + " << row.more
                                    << " lines of " << row.lineBytes << " bytes, " << row.linesPerWrite
                                    << " a write" << (row.defaultBound ? ", the default bound" : "")
                                    << (row.inPieces ? ", in pieces" : ""));
    cScratchDir dir;
    int fds[3] = {-1, -1, -1};
    ASSERT_TRUE(Open(row.where, dir, fds));
    cMessageCapture boxes;
    const SysStream first = StreamOf(row, 0);
    std::unique_ptr<cStandardErrorAt> standing;
    if (row.defaultBound) {
      standing = std::make_unique<cStandardErrorAt>(fds[1]);
    } else {
      const size_t bound = (size_t)(kHeld * row.lineBytes);
      Sys_SetOutputForTest(SysStream::Out, fds[1], bound);
      if (row.streams == kBoth) Sys_SetOutputForTest(SysStream::Err, fds[2], bound);
    }
    if (row.reader == kQuitBefore) close(fds[0]);
    std::string plug;
    for (int at = 0; at < row.plug; ++at) plug += Line(at, first, row.lineBytes);
    if (row.plug) {
      Sys_Write(first, plug.data(), plug.size());
      ASSERT_TRUE(Arrived(fds[0]));
    }
    WriteLines(row, row.plug, row.lines);
    std::string received;
    for (size_t before = plug.size() - plug.size() % 4096; row.more && received.size() < before;) {
      char page[4096];
      pollfd readable{fds[0], POLLIN, 0};  // a writer that never comes fails the row in a minute
      ASSERT_EQ(poll(&readable, 1, 60000), 1) << "the plug was not written in a minute";
      const ssize_t got = read(fds[0], page, std::min(sizeof page, before - received.size()));
      ASSERT_GT(got, 0);
      received.append(page, (size_t)got);
    }
    WriteLines(row, row.plug + row.lines, row.more);
    if (row.reader == kSlow) {
      if (row.where == kFile || row.where == kFileOpenedTwice) lseek(fds[0], 0, SEEK_SET);
      std::vector<size_t> readsEndingMidLine;
      received += ReadAllWritten(fds[0], &readsEndingMidLine);
      standing.reset();
      const int dropped = DroppedInTheirPlace(received, row, row.plug + row.lines + row.more);
      EXPECT_TRUE(row.dropped < 0 || dropped == row.dropped) << dropped << " dropped";
      EXPECT_TRUE(boxes.boxes.empty());
      if (row.where == kDatagram || row.where == kSmallDatagram) {
        // Only a line longer than any datagram goes in parts.
        const size_t longerThanAnySend = row.firstLineBytes > 8192 ? (size_t)row.firstLineBytes : 0;
        for (size_t at : readsEndingMidLine) EXPECT_LT(at, longerThanAnySend) << "a send ended mid-line";
      }
      close(fds[0]);
    } else {
      if (row.reader == kQuitWhileLinesWait) {
        EXPECT_FALSE(Sys_FlushOutput(0));
        close(fds[0]);
      }
      EXPECT_TRUE(Sys_FlushOutput(60000)) << "the writer did not find the reader gone";
      std::vector<std::string> said, due = {"Standard output was closed: its lines are no longer written there"};
      if (row.streams == kBoth) due.push_back("Standard error was closed: its lines are no longer written there");
      for (SysStream stream : {SysStream::Out, SysStream::Err})
        if (row.streams == kBoth || stream == first) Sys_Write(stream, "one more\n", 9);
      EXPECT_TRUE(Sys_FlushOutput(60000)) << "nothing waits for a reader that quit";
      for (const auto& box : boxes.boxes) said.push_back(box.text);
      std::sort(said.begin(), said.end(), std::greater<>());
      EXPECT_EQ(said, due) << "said once for each stream";
    }
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    Sys_SetOutputForTest(SysStream::Err, -1, 0);
    close(fds[1]);
    close(fds[2]);
  }
}

// Mended: a stream sent elsewhere while only an unfinished line of its waited
// (a progress line) left it to a writer that was never started.
TEST(Output, AnUnfinishedLineGoesWhereItBeganWhenTheStreamMoves) {
  cAsTheGameRuns asTheGameRuns;
  cScratchDir dir;
  int fds[3] = {-1, -1, -1};
  ASSERT_TRUE(Open(kPipe, dir, fds));
  Sys_SetOutputForTest(SysStream::Out, fds[1], 1 << 20);
  Sys_Write(SysStream::Out, "Building Terrain...", 19);
  Sys_SetOutputForTest(SysStream::Out, -1, 0);
  EXPECT_EQ(ReadAllWritten(fds[0]), "Building Terrain...");
  for (int fd : fds) close(fd);
}

namespace {
// The flush's clock, shared with a forked child that flushes on it.
struct sFlushClock {
  std::atomic<uint32_t> now{0};
  std::atomic<bool> began{false};
  std::atomic<int> looks{0};  // at the clock
};
sFlushClock& SharedFlushClock() {
  static sFlushClock* clock = new (mmap(nullptr, sizeof(sFlushClock), PROT_READ | PROT_WRITE,
                                        MAP_SHARED | MAP_ANONYMOUS, -1, 0)) sFlushClock;
  return *clock;
}
uint32_t FlushNow() {
  SharedFlushClock().began = true;
  ++SharedFlushClock().looks;
  return SharedFlushClock().now;
}
// The flush looks at the clock as it begins and again once it has looked at
// what waits: the writer takes nothing before that.
void HoldTheWriterUntilTheFlushLooked() {
  while (SharedFlushClock().looks < 2) poll(nullptr, 0, 1);
}

enum eWriter {
  kThisProcess,     // flushes as a prompt does
  kThisProcessMoved,  // sends the stream elsewhere first: what waits still goes where it was written
  kThisProcessMovedBeforeItsWriterRan,  // the same, its writer held until the flush looked: all it has waits
  kForkedChild,     // forked once this process's writer ran on the destination; flushes and ends
  kChildThatExits,  // its standard output, opened as main does halfway; calls exit(): the flush at exit
};

// When a row's end came about (the server killed, a window destroyed, the
// exit called), on the machine's steady clock, shared with a forked child
// that brings it about itself.
std::atomic<int64_t>& EndingEvent() {
  static auto* at = new (mmap(nullptr, sizeof(std::atomic<int64_t>), PROT_READ | PROT_WRITE,
                              MAP_SHARED | MAP_ANONYMOUS, -1, 0)) std::atomic<int64_t>(0);
  return *at;
}
int64_t SteadyNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
void NoteTheEndingEvent() { EndingEvent() = SteadyNowMs(); }

// Waits for the child's end, which must be a good one, and with a bound
// within it of the ending event. The wait goes on to two minutes (a child's
// own alarm ends it before), so a slow end fails the row and a hung one ends.
void ExpectEndedWell(pid_t child, int exitStatus = 0, int64_t boundMs = 0) {
  int status = 0;
  pid_t ended = 0;
  for (int polls = 0; polls < 120000 && ended == 0; ++polls) {
    ended = waitpid(child, &status, WNOHANG);
    if (ended == 0) poll(nullptr, 0, 1);
  }
  const int64_t took = SteadyNowMs() - EndingEvent();
  if (ended != child) kill(child, SIGKILL), waitpid(child, &status, 0);
  EXPECT_EQ(ended, child) << "the child did not end within two minutes";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == exitStatus) << "the child's status " << status;
  if (boundMs) {
    EXPECT_GT(EndingEvent(), 0) << "the ending event was never noted";
    EXPECT_LE(took, boundMs) << "the child ended " << took << " ms after the event";
  }
}
}  // namespace

// Rows: what waits at exit gets a second of the flush's clock, which a slow
// reader spends as it reads (so many ms a page). One fast enough gets every
// line; one too slow stops at the second, and the exit goes on. The same
// holds in a child forked while this process's writer ran (it writes with a
// writer of its own) and in one that ends with exit(). Mended: opening the
// streams, or sending one elsewhere, dropped what waited (a start-up error on
// a pipe), and the exit cut the line a writer was in the middle of. The row
// whose writer starts only once the flush looked guards that the flush counts
// what a stream sent elsewhere left for that writer.
TEST(Output, TheExitWaitsASecondForASlowReader) {
  const struct {
    int msPerPage;
    bool allWritten;
    eWriter writer;
  } rows[] = {
      {100, true, kThisProcess},  // six pages: 500 ms to read once one is in the pipe
      {250, false, kThisProcess},  // 1250 ms
      {100, true, kThisProcessMoved},
      {100, true, kThisProcessMovedBeforeItsWriterRan},
      {100, true, kForkedChild},
      {100, true, kChildThatExits},
      {250, false, kChildThatExits},
  };
  cAsTheGameRuns asTheGameRuns;
  sFlushClock& clock = SharedFlushClock();
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.msPerPage << " ms a page, writer " << row.writer);
    cScratchDir dir;
    int fds[3];
    ASSERT_TRUE(Open(kPipe, dir, fds));
    close(fds[2]);
    Sys_SetOutputForTest(SysStream::Out, fds[1], 1 << 20);
    const int pages = 6 * 4096 / kLineBytes;
    const std::string sent = Lines(0, pages);
    std::string received;
    int from = 0;  // the first line the flushing process writes
    if (row.writer == kForkedChild) {  // this process's writer runs on the destination
      Sys_Write(SysStream::Out, sent.data(), (size_t)kLineBytes);
      ASSERT_TRUE(Arrived(fds[0]));
      received = ReadAllWritten(fds[0]);
      from = 1;
    }
    clock.now = 0;
    clock.began = false;
    clock.looks = 0;
    Sys_SetOutputFlushClockForTest(FlushNow);
    pid_t child = 0;
    const bool held = row.writer == kThisProcessMovedBeforeItsWriterRan;
    const bool moved = row.writer == kThisProcessMoved || held;
    const bool inThisProcess = row.writer == kThisProcess || moved;
    if (held) Sys_SetOutputWriterStartHookForTest(HoldTheWriterUntilTheFlushLooked);
    if (!inThisProcess && (child = fork()) == 0) {
      alarm(60);  // a child that cannot write would wait forever on the reader's clock
      if (row.writer == kChildThatExits) {  // written to before main, as by a tuning file's error
        dup2(fds[1], STDOUT_FILENO);
        Sys_SetOutputForTest(SysStream::Out, -1, 0);
      }
      for (int at = from; at < pages; ++at) {
        if (row.writer == kChildThatExits && at == pages / 2) Sys_OpenStandardStreams();  // the flush at exit set up
        Sys_Write(SysStream::Out, Lines(at, 1).data(), (size_t)kLineBytes);
      }
      if (row.writer == kChildThatExits) exit(0);
      _exit(Sys_FlushOutput(kSysOutputFlushWaitMs) ? 0 : 1);
    }
    ASSERT_GE(child, 0);
    if (held) {
      Sys_Write(SysStream::Out, sent.data(), sent.size());
    } else if (inThisProcess) {
      // Two pages in one write, which the writer holds: the lines after it wait.
      const int twoPages = 2 * 4096 / kLineBytes;
      Sys_Write(SysStream::Out, Lines(0, twoPages).data(), (size_t)(twoPages * kLineBytes));
      ASSERT_TRUE(Arrived(fds[0]));
      for (int at = twoPages; at < pages; ++at) Sys_Write(SysStream::Out, Lines(at, 1).data(), (size_t)kLineBytes);
    }
    if (moved) Sys_SetOutputForTest(SysStream::Out, -1, 0);
    std::atomic<bool> flushed{false};
    std::thread reader([&] {  // reads once the flush began, never past the second
      const size_t inTheSecond = std::min(kSysOutputFlushWaitMs * 4096 / (size_t)row.msPerPage, sent.size());
      for (char page[4096]; received.size() < inTheSecond && !flushed;) {
        pollfd readable{fds[0], POLLIN, 0};
        if (!clock.began) readable.fd = -1;  // only waits a moment
        if (poll(&readable, 1, 10) != 1) continue;
        const ssize_t got = read(fds[0], page, std::min(sizeof page, inTheSecond - received.size()));
        if (got > 0) received.append(page, (size_t)got);
        clock.now = (uint32_t)(received.size() * (size_t)row.msPerPage / 4096);
      }
    });
    if (inThisProcess) {
      EXPECT_EQ(Sys_FlushOutput(kSysOutputFlushWaitMs), row.allWritten);
    } else {
      ExpectEndedWell(child);
    }
    flushed = true;
    reader.join();
    if (inThisProcess && row.allWritten) {  // a flush that said so waited until all was written
      fcntl(fds[0], F_SETFL, O_NONBLOCK);
      char page[4096];
      for (ssize_t got; (got = read(fds[0], page, sizeof page)) > 0;) received.append(page, (size_t)got);
    } else {
      received += ReadAllWritten(fds[0]);
    }
    const bool cutAtExit = !row.allWritten && !inThisProcess;  // the rest went with the child: whole lines only
    EXPECT_TRUE(cutAtExit ? received.size() < sent.size() && sent.compare(0, received.size(), received) == 0 &&
                                (received.empty() || received.back() == '\n')
                          : received == sent)
        << received.size() << " of " << sent.size() << " bytes arrived";
    Sys_SetOutputFlushClockForTest(nullptr);
    Sys_SetOutputWriterStartHookForTest(nullptr);
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    close(fds[0]);
    close(fds[1]);
  }
}

namespace {
// What a library's exit handler writes straight to descriptor 2, registered
// before the streams were opened, so it runs after their flush.
void WriteAsALibraryAtExit() {
  const std::string text(256 * 1024, 'L');
  if (write(STDERR_FILENO, text.data(), text.size()) < 0) {}
}

// A writer that starts only once a flush looks at its clock after it started:
// the exit's flush looks as it begins and, while text waits, again at least
// every 20 ms. So a line queued before that flush goes out, and one queued
// after it never does, whichever thread runs first.
std::atomic<int> gFlushLooks{0};
uint32_t CountingRealClock() {
  ++gFlushLooks;
  using namespace std::chrono;
  return (uint32_t)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
void StartOnlyForAFlush() {
  for (const int at = gFlushLooks; gFlushLooks == at;) poll(nullptr, 0, 1);
}

// How X ends the child: its server killed, a window of its destroyed by
// another client (`xdotool windowclose`), or its client killed while the
// Save As dialog or a question's box is up (`xkill`); with the toolkit
// started beforehand or not. kServerKilledAfterAToolkitError: before that, an
// error on GDK's connection that GDK traps and ignores comes in after the trap
// ended, as GDK leaves many (a property set on a window that may be gone):
// GDK's handler must see it. kGameWindowDestroyed: the game window, which
// draws nothing (as when minimized or covered), so makes no request the
// server could refuse. kGameRequestRefusedToolkitUp: a request of the game's
// connection refused with GDK's handler in place. kToolkitErrorUntrapped: an
// error on GDK's connection that no trap expected (a window of GDK's
// destroyed by another client). kServerLostInGlutInit: the server gone just
// as glutInit connected (see cDisplayLostOnceConnected).
enum eXEnd { kNoX, kServerKilled, kServerKilledToolkitUp, kServerKilledAfterAToolkitError, kDebugWindowDestroyed,
             kDebugWindowDestroyedToolkitUp, kGameWindowDestroyed, kGameRequestRefusedToolkitUp, kToolkitErrorUntrapped,
             kServerLostInGlutInit, kGameKilledInSaveAs, kGameKilledInQuestion };

// A display that is lost once a client connected: a relay to the server
// DISPLAY names, under a display name of its own, that hands the client the
// server's greeting and then closes both connections, as a server killed just
// after the client connected. The client's next request finds it gone.
class cDisplayLostOnceConnected {
 public:
  cDisplayLostOnceConnected() {
    const char* real = getenv("DISPLAY");
    mServer = real && *real == ':' ? "/tmp/.X11-unix/X" + std::to_string(atoi(real + 1)) : "";
    mListening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // The first number free among the abstract socket names, where Xlib looks first.
    for (int number = 3000; mListening >= 0 && number < 3200 && mName.empty(); ++number)
      if (bind(mListening, (sockaddr*)&AbstractAddress("/tmp/.X11-unix/X" + std::to_string(number)), mLength) == 0)
        mName = ":" + std::to_string(number);
    if (mName.empty() || mServer.empty() || listen(mListening, 1) != 0) mName.clear();
    if (!mName.empty()) mRelay = std::thread([this] { Relay(); });
  }
  ~cDisplayLostOnceConnected() {
    mDone = true;
    if (mRelay.joinable()) mRelay.join();
    close(mListening);
  }
  const std::string& Name() const { return mName; }  // "" when it could not be set up

 private:
  const sockaddr_un& AbstractAddress(const std::string& path) {
    mAddress = {};
    mAddress.sun_family = AF_UNIX;
    memcpy(mAddress.sun_path + 1, path.data(), path.size());
    mLength = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    return mAddress;
  }
  void Relay() {
    pollfd waiting{mListening, POLLIN, 0};
    while (!mDone && poll(&waiting, 1, 10) == 0) {}
    const int client = mDone ? -1 : accept4(mListening, nullptr, nullptr, SOCK_CLOEXEC);
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un path{};
    path.sun_family = AF_UNIX;
    snprintf(path.sun_path, sizeof path.sun_path, "%s", mServer.c_str());
    if (client >= 0 && connect(server, (sockaddr*)&path, sizeof path) == 0) {
      std::string greeting;  // the server's, up to its end: 8 bytes, then its length in 4-byte units
      char bytes[4096];
      for (bool greeted = false; !greeted && !mDone;) {
        pollfd looks[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (poll(looks, 2, 10) <= 0) continue;
        if (looks[0].revents) {
          const ssize_t got = read(client, bytes, sizeof bytes);
          if (got <= 0 || write(server, bytes, (size_t)got) != got) break;
        }
        if (looks[1].revents) {
          const ssize_t got = read(server, bytes, sizeof bytes);
          if (got <= 0) break;
          greeting.append(bytes, (size_t)got);
          uint16_t units = 0;
          if (greeting.size() >= 8) memcpy(&units, greeting.data() + 6, 2);
          const size_t whole = 8 + 4 * (size_t)units;
          greeted = greeting.size() >= whole;
          if (greeted) greeting.resize(whole);
        }
      }
      if (write(client, greeting.data(), greeting.size()) < 0) {}
      NoteTheEndingEvent();
    }
    close(server);
    if (client >= 0) close(client);
  }
  std::string mName, mServer;
  int mListening = -1;
  sockaddr_un mAddress{};
  socklen_t mLength = 0;
  std::atomic<bool> mDone{false};
  std::thread mRelay;
};

// A top-level window titled `title`, framed by a window manager or not, that is
// on the screen; 0: none. The server is grabbed, so no window vanishes (an
// error would end this process) between the listing and the look at it.
Window ShownWindowTitled(Display* display, const char* title) {
  XGrabServer(display);
  Window found = 0;
  const std::function<void(Window, int)> look = [&](Window parent, int depth) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return;
    for (unsigned i = 0; i < count && !found; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes{};
      if (XFetchName(display, children[i], &name) && name && strcmp(name, title) == 0 &&
          XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
        found = children[i];
      if (name) XFree(name);
      if (!found && depth < 1) look(children[i], depth + 1);
    }
    if (children) XFree(children);
  };
  look(DefaultRootWindow(display), 0);
  XUngrabServer(display);
  XSync(display, False);
  return found;
}

Window WaitForShownWindow(Display* display, const char* title) {
  Window found = 0;
  for (int polls = 0; polls < 60000 && !(found = ShownWindowTitled(display, title)); ++polls) poll(nullptr, 0, 1);
  return found;
}

// In the child: the game's windows as start-up makes them, the debug window
// with a new line each frame, as a playing game's has.
uint64_t gDebugLines = 0;
void OpenTheGamesWindows(eXEnd end) {
  int argc = 1;
  char* argv[] = {(char*)"quorvel", nullptr};
  Sys_InitGlut(&argc, argv);
  Sys_CreateGlutWindow("QuorvelGL");
  glutDisplayFunc([] {});
  sGLUIDebugViewSource source;
  source.linesAdded = [] { return gDebugLines; };
  source.copyLines = [](std::vector<std::string>& lines) { lines.assign(1, "line " + std::to_string(gDebugLines)); };
  if (end == kDebugWindowDestroyed || end == kDebugWindowDestroyedToolkitUp) GLUI_OpenDebugView("Debug Window", source);
  const bool toolkitUp = end == kServerKilledToolkitUp || end == kServerKilledAfterAToolkitError ||
                         end == kDebugWindowDestroyedToolkitUp || end == kGameRequestRefusedToolkitUp ||
                         end == kToolkitErrorUntrapped;
  if (toolkitUp && !(Sys_PretendWindowManagerForTest(false) && GtkDialogsReady())) _exit(4);
  if (end == kGameRequestRefusedToolkitUp || end == kToolkitErrorUntrapped) {  // no such window, on either connection
    Display* connection = end == kToolkitErrorUntrapped ? gdk_x11_display_get_xdisplay(gdk_display_get_default())
                                                        : glXGetCurrentDisplay();
    NoteTheEndingEvent();
    XDestroyWindow(connection, XAllocID(connection));
    XSync(connection, False);
  }
  if (end == kServerKilledAfterAToolkitError) {
    GdkDisplay* toolkit = gdk_display_get_default();
    Display* connection = gdk_x11_display_get_xdisplay(toolkit);
    gdk_x11_display_error_trap_push(toolkit);
    XDestroyWindow(connection, XAllocID(connection));  // no such window
    gdk_x11_display_error_trap_pop_ignored(toolkit);
    XSync(connection, False);  // the error comes in, with the game's handler in place again
  }
  if ((end == kGameKilledInSaveAs || end == kGameKilledInQuestion) && !GtkDialogsReady()) _exit(4);
  glutMainLoopEvent();  // the first frame's events: the windows are on the screen
}
}  // namespace

// What docs/console.md promises of every end below, from its event: the
// flush's second, and the end itself.
constexpr int64_t kEndsWithinMs = 5000;

// Rows: a whole exit (exit(), in a child whose standard output and error
// are one pipe of 8 KiB, or one stream socket) behind a reader stopped until
// it ended. The exit ends within the flush's second and what arrived ends at
// a line end. Mended: the sound device was never closed, and the sound
// library's exit handler said so on standard error, where behind a stopped
// reader it held the exit forever, as any library's line after the flush
// did; the device's close ran before the flush and before the streams could
// no longer block, and what the library wrote as it closed held the exit; a
// socket, which cannot be opened again without blocking, was left blocking
// after a flush that finished, and a library's text at exit waited there.
// Also: a line left unfinished is ended; one past 4096 bytes goes in parts
// into the room the reader left; a lost display (Xlib's handler, or GDK's
// once the toolkit started, in place of ours) held the exit or skipped it.
// Also mended: a window of the game's destroyed by another client ended the
// game in Xlib's handler, which held the exit behind a full pipe, and once
// the toolkit started GDK's ignored it and the game played on; the game's
// client killed while a desktop dialog was up ended the game only once the
// dialog was answered (the question's box too). Also mended: the game window
// destroyed while it drew nothing went unnoticed; GDK's report of an error it
// did not trap waited on the full pipe, and GDK then ended the game past its
// exit sequence; the server lost in glutInit left Xlib's own handler to write
// to the full pipe. Every end comes within the docs' bound of its event. The
// game's handler leaves GDK's errors to GDK's: an
// error GDK trapped still ends nothing. Where the row's writer starts late,
// nothing was written before the end: what the end says goes out only if it
// was queued before the exit's flush (the line ending an unfinished one too).
TEST(Output, AnExitNeverWaitsOnAStoppedReader) {
  const struct {
    const char* name;
    bool socket;    // else a named pipe
    int inThePipe;  // lines of 64 bytes the stopped reader left in it; -1: the child fills it once the device opened
    bool libraryWritesAtExit, soundDevice, soundLibrarySaysAll;
    size_t lineBytes;  // a line written last but one, beside the last line
    bool lastLineUnfinished = false;  // written without its line end, as a progress line
    eXEnd xEnd = kNoX;
    bool writerStartsLate = false;  // the writer starts only for a flush (see StartOnlyForAFlush)
    const char* said = "the last line\n";  // what arrives last, with room in the pipe
    // Or this: a request of the game's on a window destroyed under it may be
    // refused before Xlib hands over the window's end, which came first.
    const char* orSaid = nullptr;
  } rows[] = {
      {"a library's lines after the flush, the pipe full", false, 8192 / 64, true, false, false, 0},
      {"the sound device left open, the pipe empty", false, 0, false, true, false, 0},
      {"the sound device's close says what it does, the pipe full", false, -1, false, true, true, 0},
      {"a library's lines after the flush, a socket", true, 0, true, false, false, 0},
      {"a line of 4096 bytes with room for part of it", false, 2000 / 64, false, false, false, 4096},
      {"a line of 7000 bytes with room for part of it", false, 2000 / 64, false, false, false, 7000},
      {"the last line unfinished, the pipe empty", false, 0, false, false, false, 0, true, kNoX, true},
      {"the display lost, the pipe full", false, 8192 / 64, false, false, false, 0, false, kServerKilled},
      {"the display lost with the toolkit up, the pipe empty", false, 0, false, false, false, 0, false,
       kServerKilledToolkitUp, true, "was lost: the game ends\n"},
      {"the display lost after an error the toolkit trapped, the pipe empty", false, 0, false, false, false, 0,
       false, kServerKilledAfterAToolkitError, false, "was lost: the game ends\n"},
      {"the debug window destroyed by another client, the pipe full", false, 8192 / 64, false, false, false, 0, false,
       kDebugWindowDestroyed},
      {"the debug window destroyed by another client with the toolkit up, the pipe empty", false, 0, false, false,
       false, 0, false, kDebugWindowDestroyedToolkitUp, true, "destroyed the game's window \"Debug Window\" ",
       "refused a request of the game's: "},
      {"the game window, drawing nothing, destroyed by another client, the pipe empty", false, 0, false, false,
       false, 0, false, kGameWindowDestroyed, true, "destroyed the game's window \"QuorvelGL\" ",
       "refused a request of the game's: "},
      {"a request of the game's refused with the toolkit up, the pipe empty", false, 0, false, false, false, 0,
       false, kGameRequestRefusedToolkitUp, true, "refused a request of the game's: "},
      {"an error the toolkit did not trap, the pipe full", false, 8192 / 64, false, false, false, 0, false,
       kToolkitErrorUntrapped},
      {"an error the toolkit did not trap, the pipe empty", false, 0, false, false, false, 0, false,
       kToolkitErrorUntrapped, true, "refused a request of the desktop toolkit's: the game ends\n"},
      {"the display lost in glutInit, the pipe full", false, 8192 / 64, false, false, false, 0, false,
       kServerLostInGlutInit},
      {"the display lost in glutInit, the pipe empty", false, 0, false, false, false, 0, false,
       kServerLostInGlutInit, true, "was lost: the game ends\n"},
      {"the game's client killed with Save As up, the pipe empty", false, 0, false, false, false, 0, false,
       kGameKilledInSaveAs, true, "was lost: the game ends\n"},
      {"the game's client killed with a question's box up, the pipe empty", false, 0, false, false, false, 0, false,
       kGameKilledInQuestion, true, "was lost: the game ends\n"},
  };
  cAsTheGameRuns asTheGameRuns;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cScratchDir dir;
    const std::string fifo = dir.File("fifo");
    int reading = -1, plug = -1, sockets[2] = {-1, -1};
    if (row.socket) {
      ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
      reading = sockets[0];
      plug = sockets[1];
    } else {
      ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
      reading = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
      plug = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      ASSERT_TRUE(reading >= 0 && plug >= 0 && fcntl(plug, F_SETPIPE_SZ, 8192) == 8192);
    }
    std::string left;
    for (int at = 0; at < row.inThePipe; ++at) left += Line(at, SysStream::Out, 64);
    ASSERT_EQ(write(plug, left.data(), left.size()), (ssize_t)left.size());
    std::optional<cPrivateTestDisplay> display;
    std::optional<cTestWindowManager> manager;
    if (row.xEnd != kNoX) {
      ASSERT_TRUE(display.emplace().Started());
    }
    const bool killedInADialog = row.xEnd == kGameKilledInSaveAs || row.xEnd == kGameKilledInQuestion;
    if (killedInADialog) {
      ASSERT_TRUE(manager.emplace().Started());
    }
    std::optional<cDisplayLostOnceConnected> lostDisplay;
    if (row.xEnd == kServerLostInGlutInit) {
      ASSERT_FALSE(lostDisplay.emplace().Name().empty());
    }
    EndingEvent() = 0;
    // Forked: this process never set up a flush at exit, so the child's is
    // set up after the library's handler and runs before it.
    const pid_t child = fork();
    if (child == 0) {
      alarm(30);  // longer than any row's bound: a slow end fails the row, a hung one ends
      if (lostDisplay) setenv("DISPLAY", lostDisplay->Name().c_str(), 1);
      const int out = row.socket ? dup(plug) : open(fifo.c_str(), O_WRONLY);
      dup2(out, STDOUT_FILENO);
      dup2(out, STDERR_FILENO);
      close(out);
      if (row.libraryWritesAtExit) atexit(WriteAsALibraryAtExit);
      Sys_OpenStandardStreams();
      if (row.writerStartsLate) {
        Sys_SetOutputFlushClockForTest(CountingRealClock);
        Sys_SetOutputWriterStartHookForTest(StartOnlyForAFlush);
      }
      if (row.soundDevice) {
        setenv("ALSOFT_DRIVERS", "null", 1);  // a device that opens, as players have
        if (row.soundLibrarySaysAll) setenv("ALSOFT_LOGLEVEL", "3", 1);
        SysPcm pcm;
        pcm.channels = 1;
        pcm.rate = 22050;
        pcm.samples.assign(2205, 0);
        if (!Sys_OpenSoundDevice(22050, 2) || !Sys_CreateVoice(pcm)) _exit(3);
      }
      if (row.inThePipe < 0) {  // as the game's lines fill it while it plays (the library said much as it opened)
        const int more = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        while (write(more, Line(0, SysStream::Out, 64).data(), 64) == 64) {}
      }
      if (row.lineBytes) Sys_Write(SysStream::Out, (std::string(row.lineBytes - 1, 'x') + '\n').data(), row.lineBytes);
      for (int held = 0, polls = 0; row.lineBytes > PIPE_BUF && polls < 20000 &&  // its first part in the pipe
                                    ioctl(STDOUT_FILENO, FIONREAD, &held) == 0 && (size_t)held <= left.size(); ++polls)
        poll(nullptr, 0, 1);
      if (row.xEnd == kNoX) Sys_Write(SysStream::Out, "the last line\n", row.lastLineUnfinished ? 13 : 14);
      if (row.xEnd != kNoX) OpenTheGamesWindows(row.xEnd);
      if (row.xEnd >= kServerKilled && row.xEnd <= kServerKilledAfterAToolkitError) {  // stopped while the server is killed
        Display* connection = X11QueryDisplay();
        raise(SIGSTOP);
        for (;;) XSync(connection, False);
      }
      if (row.xEnd == kGameKilledInSaveAs) Sys_FileDialog(SysFileDialog::Save, dir.Path().c_str());
      if (row.xEnd == kGameKilledInQuestion) Sys_MessageBox("Quit", "Go on?", SysBox::YesNo);
      for (; row.xEnd != kNoX; ++gDebugLines) {  // frames, as the game plays
        GLUI_PumpFrame();
        glutMainLoopEvent();
      }
      NoteTheEndingEvent();
      exit(0);
    }
    ASSERT_GT(child, 0);
    if (row.xEnd >= kServerKilled && row.xEnd <= kServerKilledAfterAToolkitError) {
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, WUNTRACED), child);
      ASSERT_TRUE(WIFSTOPPED(status)) << "the child ended before its server was killed, status " << status;
      display->Kill();
      NoteTheEndingEvent();
      kill(child, SIGCONT);
    } else if (row.xEnd != kNoX && row.xEnd != kServerLostInGlutInit && row.xEnd != kGameRequestRefusedToolkitUp &&
               row.xEnd != kToolkitErrorUntrapped) {  // another client on the child's display, as xdotool or xkill
      Display* other = XOpenDisplay(nullptr);
      ASSERT_NE(other, nullptr);
      const char* dialog = row.xEnd == kGameKilledInSaveAs ? "Save As" : "Quit";
      EXPECT_TRUE(!killedInADialog || WaitForShownWindow(other, dialog)) << "no " << dialog << " dialog shown";
      const Window target = WaitForShownWindow(other, row.xEnd == kDebugWindowDestroyed ||
                                                              row.xEnd == kDebugWindowDestroyedToolkitUp
                                                          ? "Debug Window"
                                                          : "QuorvelGL");
      EXPECT_NE(target, 0u) << "the window to end was not shown";
      if (target && killedInADialog) XKillClient(other, target);
      else if (target) XDestroyWindow(other, target);
      XCloseDisplay(other);  // sent
      NoteTheEndingEvent();
    }
    ExpectEndedWell(child, row.xEnd != kNoX ? 1 : 0, kEndsWithinMs);
    std::string received;
    char page[4096];
    fcntl(reading, F_SETFL, O_NONBLOCK);
    for (ssize_t got; (got = read(reading, page, sizeof page)) > 0;) received.append(page, (size_t)got);
    EXPECT_EQ(received.find("not closed"), std::string::npos) << received.substr(0, 200);
    if (row.lineBytes > PIPE_BUF) {
      EXPECT_GT(received.size(), left.size()) << "nothing of the long line went into the room the reader left";
    } else {
      EXPECT_TRUE(received.empty() || received.back() == '\n') << "cut at " << received.size() << " bytes";
    }
    if (row.inThePipe == 0) {  // with room for it, the last line arrives, and why the game ended
      EXPECT_TRUE(received.find(row.said) != std::string::npos ||
                  (row.orSaid && received.find(row.orSaid) != std::string::npos))
          << received.substr(0, 400);
    }
    close(plug);
    close(reading);
  }
}
