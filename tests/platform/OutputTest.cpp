// Standard output written to readers that stop reading or go away: the
// writer never waits, every line either arrives in order or is counted in the
// notice that takes its place, and a reader that quit is said once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Line(int number) {
  char text[40];
  snprintf(text, sizeof text, "line %06d of the test's output\n", number);
  return text;
}
const int kLineBytes = (int)Line(0).size();

std::string ReadAll(int fd) {
  std::string all;
  char chunk[4096];
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;) all.append(chunk, (size_t)got);
  return all;
}

// Every line sent arrives once, in order, or stands in the one run of lines
// a notice counts in its place; how many that notice counted.
int LinesDroppedInTheirPlace(const std::string& received, int sent) {
  int next = 0, dropped = 0, notices = 0;
  for (size_t at = 0, end; at < received.size(); at = end + 1) {
    end = received.find('\n', at);
    const std::string line = received.substr(at, end - at + 1);
    unsigned long long count = 0;
    if (sscanf(line.c_str(), "[%llu lines dropped: Standard output was not read]", &count) == 1) {
      ++notices, dropped += (int)count, next += (int)count;
    } else if (line != Line(next++)) {
      ADD_FAILURE() << "after " << next - 1 << " lines: " << line;
      return -1;
    }
  }
  EXPECT_EQ(next, sent);
  EXPECT_EQ(notices, dropped ? 1 : 0);
  return dropped;
}

}  // namespace

// Rows: where standard output goes, and what its reader does. The pipe holds
// one page of whole lines (a small write goes in whole or not at all), the
// queue 1024 bytes of them; beyond that the oldest waiting lines are dropped.
// A file takes everything; a socket as much as its buffer. Mended: a named
// pipe whose reader quit before the first line cannot be reopened, and its
// lines were dropped without a word.
TEST(Output, AReaderThatStopsOrQuitsNeverHoldsUpTheWriter) {
  enum { kPipe, kSocket, kFile, kNamedPipe };
  enum { kSlow, kQuitBefore, kQuitWhileLinesWait };
  const int held = 4096 / kLineBytes + 1024 / kLineBytes;
  const struct {
    int destination, reader, lines;
    int dropped;  // -1: as many as the socket's buffer leaves over
  } rows[] = {
      {kPipe, kSlow, held, 0},          {kPipe, kSlow, held + 1, 1},       {kPipe, kSlow, 1000, 1000 - held},
      {kSocket, kSlow, 20000, -1},      {kFile, kSlow, 20000, 0},          {kPipe, kQuitBefore, 10, 0},
      {kNamedPipe, kQuitBefore, 10, 0}, {kPipe, kQuitWhileLinesWait, 1000, 0}, {kSocket, kQuitWhileLinesWait, 20000, 0},
  };
  cScratchDir dir;
  struct cAsTheGameRuns {
    void (*pipeSignal)(int) = signal(SIGPIPE, SIG_IGN);
    unsigned alarmGuard = alarm(120);  // a writer that waits on its reader would hang: end the binary instead
    ~cAsTheGameRuns() { signal(SIGPIPE, pipeSignal), alarm(0), Sys_SetOutputForTest(SysStream::Out, -1, 0); }
  } asTheGameRuns;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "destination " << row.destination << ", reader " << row.reader << ", "
                                    << row.lines << " lines");
    int fds[2] = {-1, -1};
    if (row.destination == kPipe) {
      ASSERT_EQ(pipe(fds), 0);
      ASSERT_EQ(fcntl(fds[1], F_SETPIPE_SZ, 4096), 4096);
    } else if (row.destination == kSocket) {
      ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    } else if (row.destination == kNamedPipe) {
      ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
      fds[0] = open(dir.File("fifo").c_str(), O_RDONLY | O_NONBLOCK);
      fds[1] = open(dir.File("fifo").c_str(), O_WRONLY);
    } else {
      fds[0] = memfd_create("output-test", 0);
      fds[1] = dup(fds[0]);
    }
    cMessageCapture boxes;
    Sys_SetOutputForTest(SysStream::Out, fds[1], 1024);
    if (row.reader == kQuitBefore) close(fds[0]);
    for (int i = 0; i < row.lines; ++i) Sys_Write(SysStream::Out, Line(i).data(), Line(i).size());
    if (row.reader == kSlow) {
      // A frame while the reader sleeps sends nothing more; the exit's flush says what it left.
      EXPECT_EQ(Sys_FlushOutput(0), row.destination == kFile);
      std::string received;
      fcntl(fds[0], F_SETFL, O_NONBLOCK);
      if (row.destination == kFile) lseek(fds[0], 0, SEEK_SET);
      for (int frame = 0; frame < 100 && (received += ReadAll(fds[0]), !Sys_FlushOutput(0)); ++frame) {}
      received += ReadAll(fds[0]);
      const int dropped = LinesDroppedInTheirPlace(received, row.lines);
      if (row.dropped >= 0) {
        EXPECT_EQ(dropped, row.dropped);
      }
      EXPECT_TRUE(boxes.boxes.empty());
      close(fds[0]);
    } else {
      if (row.reader == kQuitWhileLinesWait) {
        EXPECT_FALSE(Sys_FlushOutput(0));
        close(fds[0]);
      }
      Sys_Write(SysStream::Out, "one more\n", 9);
      EXPECT_TRUE(Sys_FlushOutput(0)) << "nothing waits for a reader that quit";
      ASSERT_EQ(boxes.boxes.size(), 1u) << "said once";
      EXPECT_EQ(boxes.boxes[0].text, "Standard output was closed: its lines are no longer written there");
    }
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    close(fds[1]);
  }
}
