// Standard output written to readers that stop reading or go away: the
// writer never waits, every line either arrives in order or is counted in the
// notice that takes its place, and a reader that quit is said once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Sys.h"

namespace {

std::vector<std::string> gNotices;
void HearNotice(const char* line) { gNotices.push_back(line); }

// Standard output sent to `fd`, the notices heard, SIGPIPE as the game has it;
// all put back afterwards.
struct cRedirectedOutput {
  cRedirectedOutput(int fd, size_t bound) {
    alarm(120);  // a writer that waits on its reader would hang here: end the binary instead
    previousPipeSignal = signal(SIGPIPE, SIG_IGN);
    gNotices.clear();
    Sys_SetOutputClosedNotice(HearNotice);
    Sys_SetOutputForTest(SysStream::Out, fd, bound);
  }
  ~cRedirectedOutput() {
    Sys_SetOutputForTest(SysStream::Out, -1, 0);
    Sys_SetOutputClosedNotice(nullptr);
    signal(SIGPIPE, previousPipeSignal);
    alarm(0);
  }
  void (*previousPipeSignal)(int) = SIG_DFL;
};

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
// that a notice counts where they would have been (expectedDropped -1: any
// number of them).
void ExpectEveryLineAccountedFor(const std::string& received, int sent, int expectedDropped) {
  int next = 0, dropped = 0, notices = 0;
  size_t at = 0;
  while (at < received.size()) {
    const size_t end = received.find('\n', at);
    ASSERT_NE(end, std::string::npos) << "a cut line at " << at;
    const std::string line = received.substr(at, end + 1 - at);
    at = end + 1;
    unsigned long long count = 0;
    if (sscanf(line.c_str(), "[%llu lines dropped: Standard output was not read]", &count) == 1) {
      ++notices;
      dropped += (int)count;
      next += (int)count;
      continue;
    }
    ASSERT_EQ(line, Line(next)) << "after " << next << " lines";
    ++next;
  }
  EXPECT_EQ(next, sent);
  if (expectedDropped >= 0) {
    EXPECT_EQ(dropped, expectedDropped);
  }
  EXPECT_EQ(notices, dropped ? 1 : 0);
}

}  // namespace

// Rows: where standard output goes, and what its reader does. The pipe holds
// one page of whole lines (a small write goes in whole or not at all), the
// queue 1024 bytes of them; beyond that the oldest waiting lines are dropped.
// A file takes everything.
TEST(Output, AReaderThatStopsOrQuitsNeverHoldsUpTheWriter) {
  enum eDestination { kPipe, kSocket, kFile };
  enum eReader { kSlow, kQuitBefore, kQuitWhileLinesWait };
  const int held = 4096 / kLineBytes + 1024 / kLineBytes;
  const struct Row {
    eDestination destination;
    eReader reader;
    int lines;
    int dropped;  // -1: as many as the socket's buffer leaves over
  } rows[] = {
      {kPipe, kSlow, held, 0},
      {kPipe, kSlow, held + 1, 1},
      {kPipe, kSlow, 1000, 1000 - held},
      {kSocket, kSlow, 20000, -1},
      {kFile, kSlow, 20000, 0},
      {kPipe, kQuitBefore, 10, 0},
      {kPipe, kQuitWhileLinesWait, 1000, 0},
      {kSocket, kQuitWhileLinesWait, 20000, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "destination " << row.destination << ", reader " << row.reader << ", "
                                    << row.lines << " lines");
    int fds[2] = {-1, -1};
    if (row.destination == kPipe) {
      ASSERT_EQ(pipe(fds), 0);
      ASSERT_EQ(fcntl(fds[1], F_SETPIPE_SZ, 4096), 4096);
    } else if (row.destination == kSocket) {
      ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    } else {
      fds[0] = memfd_create("output-test", 0);
      fds[1] = dup(fds[0]);
    }
    {
      cRedirectedOutput redirected(fds[1], 1024);
      if (row.reader == kQuitBefore) close(fds[0]);
      for (int i = 0; i < row.lines; ++i) Sys_Write(SysStream::Out, Line(i).data(), Line(i).size());
      if (row.reader == kQuitWhileLinesWait) {
        EXPECT_GT(Sys_OutputWaitingBytes(SysStream::Out), 0u);
        close(fds[0]);
        Sys_PumpOutput();
      }
      if (row.reader != kSlow) {
        EXPECT_EQ(Sys_OutputWaitingBytes(SysStream::Out), 0u);
        ASSERT_EQ(gNotices.size(), 1u);
        EXPECT_EQ(gNotices[0], "Standard output was closed: its lines are no longer written there");
        Sys_Write(SysStream::Out, "one more\n", 9);
        Sys_PumpOutput();
        EXPECT_EQ(gNotices.size(), 1u) << "said once";
      } else {
        EXPECT_LE(Sys_OutputWaitingBytes(SysStream::Out), 1024u);
        Sys_PumpOutput();  // a frame while the reader still sleeps: nothing more goes
        EXPECT_EQ(Sys_FlushOutput(0), Sys_OutputWaitingBytes(SysStream::Out) == 0) << "the exit's flush says what it left";
        // The reader catches up: what waited follows what the pipe held.
        std::string received;
        if (row.destination == kFile) {
          lseek(fds[0], 0, SEEK_SET);
          received = ReadAll(fds[0]);
        } else {
          fcntl(fds[0], F_SETFL, O_NONBLOCK);
          for (int round = 0; round < 100 && (round == 0 || Sys_OutputWaitingBytes(SysStream::Out) > 0); ++round) {
            received += ReadAll(fds[0]);
            Sys_PumpOutput();
          }
          received += ReadAll(fds[0]);
        }
        EXPECT_TRUE(Sys_FlushOutput(0));
        EXPECT_TRUE(gNotices.empty());
        ExpectEveryLineAccountedFor(received, row.lines, row.dropped);
      }
    }
    if (row.reader == kSlow) close(fds[0]);
    close(fds[1]);
  }
}
