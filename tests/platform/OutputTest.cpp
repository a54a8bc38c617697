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
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Line(int number) {
  char text[40];
  snprintf(text, sizeof text, "line %06d of the test's output\n", number);
  return text;
}
const int kLineBytes = (int)Line(0).size();
const int kHeld = 32;                             // whole lines the queue holds
const size_t kBound = (size_t)(kHeld * kLineBytes);  // the queue's bound in these tests

std::string Lines(int from, int count) {
  std::string text;
  for (int i = from; i < from + count; ++i) text += Line(i);
  return text;
}

void WriteLines(int from, int count) {
  for (int i = from; i < from + count; ++i) Sys_Write(SysStream::Out, Line(i).data(), Line(i).size());
}

size_t ReadWhatIsThere(int fd, std::string& into) {
  static char chunk[256 * 1024];  // a whole datagram
  size_t all = 0;
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0; all += (size_t)got) into.append(chunk, (size_t)got);
  return all;
}

// Reads until the writer has nothing left and the destination is empty.
std::string ReadUntilAllIsWritten(int fd) {
  std::string received;
  fcntl(fd, F_SETFL, O_NONBLOCK);
  for (int polls = 0; polls < 6000; ++polls) {
    const bool settled = Sys_FlushOutput(0);
    if (ReadWhatIsThere(fd, received) == 0 && settled) break;
    pollfd readable{fd, POLLIN, 0};
    poll(&readable, 1, 10);
  }
  return received;
}

// Waits until text has reached the reader: the writer has taken what was written first.
bool Arrived(int fd) {
  for (int polls = 0; polls < 60000; ++polls) {
    int waiting = 0;
    if (ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0) return true;
    pollfd readable{fd, POLLIN, 0};
    poll(&readable, 1, 1);
  }
  return false;
}

// Every line sent arrives once, in order, or stands in the one run of lines
// a notice counts in its place. The counts of the notices, in order.
std::vector<int> NoticesInTheirPlace(const std::string& received, int sent) {
  std::vector<int> notices;
  int next = 0;
  for (size_t at = 0, end; at < received.size(); at = end + 1) {
    end = received.find('\n', at);
    const std::string line = received.substr(at, end - at + 1);
    unsigned long long count = 0;
    if (sscanf(line.c_str(), "[%llu lines dropped: Standard output was not read]", &count) == 1) {
      notices.push_back((int)count);
      next += (int)count;
    } else if (line != Line(next++)) {
      ADD_FAILURE() << "after " << next - 1 << " lines: " << line;
      return {-1};
    }
  }
  EXPECT_EQ(next, sent);
  return notices;
}

// The test's own process stands as the game does: SIGPIPE ignored, and a
// writer that waits on its reader would hang, so the binary ends instead.
struct cAsTheGameRuns {
  void (*pipeSignal)(int) = signal(SIGPIPE, SIG_IGN);
  unsigned alarmGuard = alarm(300);
  ~cAsTheGameRuns() {
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    signal(SIGPIPE, pipeSignal);
    alarm(alarmGuard);
  }
};

enum eDestination { kPipe, kSocket, kDatagram, kFile, kNamedPipe, kNamedPipeNoAccess, kTerminal };

// fds[0] is read, fds[1] written. A pipe holds one page; a named pipe no one
// may open again stands for a pipe of another user's (or one without /proc).
bool Open(eDestination destination, const cScratchDir& dir, int fds[2]) {
  switch (destination) {
    case kPipe: return pipe(fds) == 0 && fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096;
    case kSocket: return socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0;
    case kDatagram: return socketpair(AF_UNIX, SOCK_DGRAM, 0, fds) == 0;
    case kFile: return (fds[0] = memfd_create("output-test", 0)) >= 0 && (fds[1] = dup(fds[0])) >= 0;
    case kNamedPipe:
    case kNamedPipeNoAccess: {
      const std::string name = dir.File("fifo");
      if (mkfifo(name.c_str(), 0600) != 0) return false;
      fds[0] = open(name.c_str(), O_RDONLY | O_NONBLOCK);
      fds[1] = open(name.c_str(), O_WRONLY);
      fcntl(fds[0], F_SETFL, 0);
      return fds[1] >= 0 && fcntl(fds[1], F_SETPIPE_SZ, 4096) == 4096 &&
             (destination == kNamedPipe || chmod(name.c_str(), 0) == 0);
    }
    case kTerminal: {
      termios raw {};
      cfmakeraw(&raw);  // bytes pass as written
      return openpty(&fds[0], &fds[1], nullptr, &raw, nullptr) == 0;
    }
  }
  return false;
}

// Lines written at once before the rest, more than the destination holds: the
// writer takes them and waits on its reader, and what follows waits in the queue.
int PlugLines(eDestination destination) {
  switch (destination) {
    case kSocket: return (4 << 20) / kLineBytes;
    case kTerminal: return (1 << 20) / kLineBytes;
    case kFile:
    case kDatagram: return 0;
    default: return 8192 / kLineBytes;
  }
}

}  // namespace

// Rows: where standard output goes, and what its reader does. The queue holds
// kHeld lines beyond what the writer holds; beyond that the oldest waiting
// lines are dropped, one notice counting them. A file takes everything.
// Mended: a destination that cannot be opened again (a pipe of another
// user's, no /proc) was written with blocking writes, and a full one stopped
// the game; a named pipe whose reader quit before the first line dropped its
// lines without a word; a datagram socket's "too large" was taken for a
// reader that left.
TEST(Output, AReaderThatStopsOrQuitsNeverHoldsUpTheWriter) {
  enum { kSlow, kQuitBefore, kQuitWhileLinesWait };
  const struct {
    eDestination destination;
    int reader, lines;  // lines after the plug
    std::vector<int> notices;
    bool oneWrite;  // the lines in a single write
  } rows[] = {
      {kPipe, kSlow, kHeld, {}, false},
      {kPipe, kSlow, kHeld + 1, {1}, false},
      {kPipe, kSlow, 1000, {1000 - kHeld}, false},
      {kNamedPipeNoAccess, kSlow, kHeld + 1, {1}, false},
      {kTerminal, kSlow, kHeld, {}, false},
      {kTerminal, kSlow, kHeld + 1, {1}, false},
      {kSocket, kSlow, 20000, {20000 - kHeld}, false},
      {kFile, kSlow, 20000, {}, false},
      {kDatagram, kSlow, (512 << 10) / kLineBytes, {}, true},  // more than one datagram holds
      {kPipe, kQuitBefore, 10, {}, false},
      {kNamedPipe, kQuitBefore, 10, {}, false},
      {kPipe, kQuitWhileLinesWait, 1000, {}, false},
      {kSocket, kQuitWhileLinesWait, 20000, {}, false},
  };
  cAsTheGameRuns asTheGameRuns;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "destination " << row.destination << ", reader " << row.reader << ", "
                                    << row.lines << " lines");
    cScratchDir dir;
    int fds[2] = {-1, -1};
    ASSERT_TRUE(Open(row.destination, dir, fds));
    cMessageCapture boxes;
    Sys_SetOutputForTest(SysStream::Out, fds[1], kBound);
    if (row.reader == kQuitBefore) close(fds[0]);
    const int plug = PlugLines(row.destination);
    if (plug) {
      const std::string plugged = Lines(0, plug);
      Sys_Write(SysStream::Out, plugged.data(), plugged.size());
      if (row.reader != kQuitBefore) {
        ASSERT_TRUE(Arrived(fds[0]));
      }
    }
    if (row.oneWrite) {
      const std::string all = Lines(plug, row.lines);
      Sys_Write(SysStream::Out, all.data(), all.size());
    } else {
      WriteLines(plug, row.lines);
    }
    if (row.reader == kSlow) {
      if (row.destination == kFile) lseek(fds[0], 0, SEEK_SET);
      EXPECT_EQ(NoticesInTheirPlace(ReadUntilAllIsWritten(fds[0]), plug + row.lines), row.notices);
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

// The writer stalls holding the notice of dropped lines at the head of what
// it took (the pipe full of the plug's last page), and more lines are dropped
// meanwhile: each line is counted once, in its place, by one notice or the next.
TEST(Output, ANoticeTheWriterHoldsIsSaidOnceWhenMoreLinesGo) {
  cAsTheGameRuns asTheGameRuns;
  cScratchDir dir;
  int fds[2];
  ASSERT_TRUE(Open(kPipe, dir, fds));
  Sys_SetOutputForTest(SysStream::Out, fds[1], kBound);
  const int plug = (3 * 4096 + 4000) / kLineBytes;  // its last page leaves no room for what follows
  const std::string plugged = Lines(0, plug);
  Sys_Write(SysStream::Out, plugged.data(), plugged.size());
  ASSERT_TRUE(Arrived(fds[0]));
  WriteLines(plug, kHeld + 5);  // 5 dropped, the rest queued
  std::string received;
  const size_t lastPage = plugged.size() % 4096;
  while (received.size() < plugged.size() - lastPage) {
    char page[4096];
    const ssize_t got = read(fds[0], page, std::min(sizeof page, plugged.size() - lastPage - received.size()));
    ASSERT_GT(got, 0);
    received.append(page, (size_t)got);
  }
  WriteLines(plug + kHeld + 5, kHeld + 3);  // 3 more beyond what waits
  received += ReadUntilAllIsWritten(fds[0]);
  const std::vector<int> notices = NoticesInTheirPlace(received, plug + 2 * kHeld + 8);
  ASSERT_FALSE(notices.empty());
  int dropped = 0;
  for (int count : notices) dropped += count;
  EXPECT_GE(dropped, 8);
  EXPECT_LE(notices.size(), 2u);
  close(fds[0]);
  Sys_SetOutputForTest(SysStream::Out, -1, 0);
  close(fds[1]);
}

namespace {
std::atomic<uint32_t> gFlushNow{0};
std::atomic<bool> gFlushBegan{false};
uint32_t FlushNow() {
  gFlushBegan = true;
  return gFlushNow;
}
}  // namespace

// Rows: what waits at exit gets a second of the flush's clock, spent as a slow
// reader takes it (one page a step). A reader fast enough gets every line; one
// too slow gets what it took by then, and the exit goes on.
TEST(Output, TheExitWaitsASecondForASlowReader) {
  const struct {
    int msPerPage, pages;
    bool allWritten;
  } rows[] = {
      {100, 6, true},   // 500 ms of reading
      {250, 6, false},  // 1250 ms
  };
  cAsTheGameRuns asTheGameRuns;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.msPerPage << " ms a page, " << row.pages << " pages");
    cScratchDir dir;
    int fds[2];
    ASSERT_TRUE(Open(kPipe, dir, fds));
    Sys_SetOutputForTest(SysStream::Out, fds[1], 1 << 20);
    gFlushNow = 0;
    gFlushBegan = false;
    Sys_SetOutputFlushClockForTest(FlushNow);
    const int lines = row.pages * 4096 / kLineBytes;
    WriteLines(0, lines);
    ASSERT_TRUE(Arrived(fds[0]));
    std::atomic<bool> flushed{false};
    std::string received;
    // The reader's time is the flush's: it reads once the flush began, and
    // stops once the second is spent, until the flush has answered.
    std::thread reader([&] {
      while (!gFlushBegan) usleep(1000);
      char page[4096];
      const size_t inTheSecond = kSysOutputFlushWaitMs * sizeof page / (size_t)row.msPerPage;
      for (ssize_t got; received.size() < inTheSecond &&
                        (got = read(fds[0], page, std::min(sizeof page, inTheSecond - received.size()))) > 0;) {
        received.append(page, (size_t)got);
        gFlushNow = (uint32_t)(received.size() * (size_t)row.msPerPage / 4096);
        if (received.size() == (size_t)(lines * kLineBytes)) break;
      }
      while (!flushed) usleep(1000);
    });
    EXPECT_EQ(Sys_FlushOutput(kSysOutputFlushWaitMs), row.allWritten);
    flushed = true;
    reader.join();
    received += ReadUntilAllIsWritten(fds[0]);
    EXPECT_EQ(received, Lines(0, lines));
    Sys_SetOutputFlushClockForTest(nullptr);
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    close(fds[0]);
    close(fds[1]);
  }
}
