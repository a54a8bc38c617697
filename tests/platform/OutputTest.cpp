// Standard output written to readers that stop reading or go away: the
// writer never waits, every line either arrives in order or is counted in the
// notice that takes its place, and a reader that quit is said once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Lines(int from, int count) {
  std::string text;
  char line[40];
  for (int i = from; i < from + count; ++i) text.append(line, (size_t)snprintf(line, sizeof line, "line %06d of the test's output\n", i));
  return text;
}
const int kLineBytes = (int)Lines(0, 1).size();
const int kHeld = 32;  // whole lines the queue holds in these tests

void WriteLines(int from, int count) {
  for (int i = from; i < from + count; ++i) Sys_Write(SysStream::Out, Lines(i, 1).data(), (size_t)kLineBytes);
}

// Reads until the writer has nothing left and the destination is empty.
std::string ReadAllWritten(int fd) {
  static char chunk[256 * 1024];  // a whole datagram
  std::string received;
  fcntl(fd, F_SETFL, O_NONBLOCK);
  for (int polls = 0; polls < 6000; ++polls) {
    const bool settled = Sys_FlushOutput(0);
    ssize_t got = 0, all = 0;
    while ((got = read(fd, chunk, sizeof chunk)) > 0) received.append(chunk, (size_t)got), all += got;
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

// Every line sent arrives once, in order, or stands in a run of lines a
// notice counts in its place; how many the notices counted.
int DroppedInTheirPlace(const std::string& received, int sent) {
  int next = 0, dropped = 0;
  for (size_t at = 0, end; at < received.size(); at = end + 1) {
    end = received.find('\n', at);
    const std::string line = received.substr(at, end - at + 1);
    unsigned long long count = 0;
    if (sscanf(line.c_str(), "[%llu lines dropped: Standard output was not read]", &count) == 1) {
      dropped += (int)count, next += (int)count;
    } else if (line != Lines(next++, 1)) {
      ADD_FAILURE() << "after " << next - 1 << " lines: " << line;
      return -1;
    }
  }
  EXPECT_EQ(next, sent);
  return dropped;
}

// The test's process stands as the game does: SIGPIPE ignored, and a writer
// that waits on its reader would hang, so the binary ends instead.
struct cAsTheGameRuns {
  void (*pipeSignal)(int) = signal(SIGPIPE, SIG_IGN);
  unsigned alarmGuard = alarm(300);
  ~cAsTheGameRuns() {
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    Sys_SetOutputFlushClockForTest(nullptr);
    signal(SIGPIPE, pipeSignal);
    alarm(alarmGuard);
  }
};

enum eDestination { kPipe, kSocket, kDatagram, kFile, kNamedPipe, kNamedPipeNoAccess, kTerminal };

// fds[0] is read, fds[1] written. A pipe holds one page; a named pipe no one
// may open again stands for a pipe of another user's (or one without /proc).
bool Open(eDestination destination, const cScratchDir& dir, int fds[2]) {
  const std::string fifo = dir.File("fifo");
  switch (destination) {
    case kPipe: return pipe(fds) == 0 && fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096;
    case kSocket: return socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0;
    case kDatagram: return socketpair(AF_UNIX, SOCK_DGRAM, 0, fds) == 0;
    case kFile: return (fds[0] = memfd_create("output-test", 0)) >= 0 && (fds[1] = dup(fds[0])) >= 0;
    case kTerminal: {
      termios raw {};
      cfmakeraw(&raw);  // bytes pass as written
      return openpty(&fds[0], &fds[1], nullptr, &raw, nullptr) == 0;
    }
    default:
      if (mkfifo(fifo.c_str(), 0600) != 0) return false;
      fds[0] = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
      fds[1] = open(fifo.c_str(), O_WRONLY);
      fcntl(fds[0], F_SETFL, 0);
      return fds[1] >= 0 && fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096 &&
             (destination == kNamedPipe || chmod(fifo.c_str(), 0) == 0);
  }
}

}  // namespace

// Rows: where standard output goes, and what its reader does. The plug, lines
// written at once first, is more than the destination holds: the writer takes
// it and waits on its reader, so what follows waits in the queue, which holds
// kHeld lines; beyond that the oldest waiting lines are dropped, a notice
// counting them. A row's `more` lines come once the reader took all but the
// plug's last page: the writer then holds the notice at the head of what it
// took, and more lines are dropped meanwhile. A file takes everything.
// Mended: a destination that cannot be opened again (a pipe of another
// user's, no /proc) was written with blocking writes, and a full one stopped
// the game; a named pipe whose reader quit before the first line dropped its
// lines without a word; a datagram socket's "too large" was taken for a
// reader that left.
TEST(Output, AReaderThatStopsOrQuitsNeverHoldsUpTheWriter) {
  enum { kSlow, kQuitBefore, kQuitWhileLinesWait };
  const int pipePlug = 8192 / kLineBytes, lastPageLeft = (3 * 4096 + 4000) / kLineBytes;
  const int terminalPlug = (1 << 20) / kLineBytes, socketPlug = (4 << 20) / kLineBytes;
  const struct {
    eDestination destination;
    int reader, plug, lines, more;
    int dropped;  // -1: any, each notice counting its place
  } rows[] = {
      {kPipe, kSlow, pipePlug, kHeld, 0, 0},
      {kPipe, kSlow, pipePlug, kHeld + 1, 0, 1},
      {kPipe, kSlow, pipePlug, 1000, 0, 1000 - kHeld},
      {kPipe, kSlow, lastPageLeft, kHeld + 5, kHeld + 3, -1},
      {kNamedPipeNoAccess, kSlow, pipePlug, kHeld + 1, 0, 1},
      {kTerminal, kSlow, terminalPlug, kHeld, 0, 0},
      {kTerminal, kSlow, terminalPlug, kHeld + 1, 0, 1},
      {kSocket, kSlow, socketPlug, 20000, 0, 20000 - kHeld},
      {kFile, kSlow, 0, 20000, 0, 0},
      {kDatagram, kSlow, (512 << 10) / kLineBytes, 0, 0, 0},  // one write, more than a datagram holds
      {kPipe, kQuitBefore, 0, 10, 0, 0},
      {kNamedPipe, kQuitBefore, 0, 10, 0, 0},
      {kPipe, kQuitWhileLinesWait, pipePlug, 1000, 0, 0},
      {kSocket, kQuitWhileLinesWait, socketPlug, 20000, 0, 0},
  };
  cAsTheGameRuns asTheGameRuns;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "destination " << row.destination << ", reader " << row.reader << ", plug "
                                    << row.plug << ", " << row.lines << " + " << row.more << " lines");
    cScratchDir dir;
    int fds[2] = {-1, -1};
    ASSERT_TRUE(Open(row.destination, dir, fds));
    cMessageCapture boxes;
    Sys_SetOutputForTest(SysStream::Out, fds[1], (size_t)(kHeld * kLineBytes));
    if (row.reader == kQuitBefore) close(fds[0]);
    const std::string plug = Lines(0, row.plug);
    Sys_Write(SysStream::Out, plug.data(), plug.size());
    if (row.plug) {
      ASSERT_TRUE(Arrived(fds[0]));
    }
    WriteLines(row.plug, row.lines);
    std::string received;
    for (size_t before = plug.size() - plug.size() % 4096; row.more && received.size() < before;) {
      char page[4096];
      const ssize_t got = read(fds[0], page, std::min(sizeof page, before - received.size()));
      ASSERT_GT(got, 0);
      received.append(page, (size_t)got);
    }
    WriteLines(row.plug + row.lines, row.more);
    if (row.reader == kSlow) {
      if (row.destination == kFile) lseek(fds[0], 0, SEEK_SET);
      const int dropped = DroppedInTheirPlace(received + ReadAllWritten(fds[0]), row.plug + row.lines + row.more);
      EXPECT_TRUE(row.dropped < 0 || dropped == row.dropped) << dropped << " dropped";
      EXPECT_TRUE(boxes.boxes.empty());
      close(fds[0]);
    } else {
      if (row.reader == kQuitWhileLinesWait) {
        EXPECT_FALSE(Sys_FlushOutput(0));
        close(fds[0]);
      }
      Sys_Write(SysStream::Out, "one more\n", 9);
      EXPECT_TRUE(Sys_FlushOutput(60000)) << "nothing waits for a reader that quit";
      ASSERT_EQ(boxes.boxes.size(), 1u) << "said once";
      EXPECT_EQ(boxes.boxes[0].text, "Standard output was closed: its lines are no longer written there");
    }
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    close(fds[1]);
  }
}

namespace {
std::atomic<uint32_t> gFlushNow{0};
std::atomic<bool> gFlushBegan{false};
uint32_t FlushNow() {
  gFlushBegan = true;
  return gFlushNow;
}
}  // namespace

// Rows: what waits at exit gets a second of the flush's clock, which a slow
// reader spends as it reads (so many ms a page). One fast enough gets every
// line; one too slow stops at the second, and the exit goes on.
TEST(Output, TheExitWaitsASecondForASlowReader) {
  const struct {
    int msPerPage;
    bool allWritten;
  } rows[] = {{100, true}, {250, false}};  // six pages: 500 ms to read once one is in the pipe, and 1250 ms
  cAsTheGameRuns asTheGameRuns;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.msPerPage << " ms a page");
    cScratchDir dir;
    int fds[2];
    ASSERT_TRUE(Open(kPipe, dir, fds));
    Sys_SetOutputForTest(SysStream::Out, fds[1], 1 << 20);
    gFlushNow = 0;
    gFlushBegan = false;
    Sys_SetOutputFlushClockForTest(FlushNow);
    const std::string sent = Lines(0, 6 * 4096 / kLineBytes);
    WriteLines(0, 6 * 4096 / kLineBytes);
    ASSERT_TRUE(Arrived(fds[0]));
    std::atomic<bool> flushed{false};
    std::string received;
    std::thread reader([&] {  // reads once the flush began, never past the second
      while (!gFlushBegan) usleep(1000);
      const size_t inTheSecond = kSysOutputFlushWaitMs * 4096 / (size_t)row.msPerPage;
      char page[4096];
      for (ssize_t got; received.size() < std::min(inTheSecond, sent.size()) &&
                        (got = read(fds[0], page, std::min(sizeof page, inTheSecond - received.size()))) > 0;) {
        received.append(page, (size_t)got);
        gFlushNow = (uint32_t)(received.size() * (size_t)row.msPerPage / 4096);
      }
      while (!flushed) usleep(1000);
    });
    EXPECT_EQ(Sys_FlushOutput(kSysOutputFlushWaitMs), row.allWritten);
    flushed = true;
    reader.join();
    EXPECT_EQ(received + ReadAllWritten(fds[0]), sent);
    Sys_SetOutputFlushClockForTest(nullptr);
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    close(fds[0]);
    close(fds[1]);
  }
}
