// Lines typed on standard input, read here from a pipe or a file standing in
// for it, as the console polls them frame by frame.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Sys.h"
#include "platform/glui/DebugView.h"
#include "tests/support/TestSupport.h"

namespace {

// A pipe in place of standard input. A writer whose reader gave up gets an
// error instead of the signal that would end the test binary.
struct cPipedInput {
  cPipedInput() {
    EXPECT_EQ(pipe(fds), 0);
    previousPipeSignal = signal(SIGPIPE, SIG_IGN);
    Sys_SetStdinForTest(fds[0]);
  }
  ~cPipedInput() {
    Sys_SetStdinForTest(-1);
    CloseWriter();
    close(fds[0]);
    signal(SIGPIPE, previousPipeSignal);
  }
  bool Write(const std::string& bytes) const {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t wrote = write(fds[1], bytes.data() + done, bytes.size() - done);
      if (wrote <= 0) return false;
      done += (size_t)wrote;
    }
    return true;
  }
  void CloseWriter() {
    if (fds[1] >= 0) close(fds[1]);
    fds[1] = -1;
  }
  int fds[2] = {-1, -1};
  void (*previousPipeSignal)(int) = SIG_DFL;
};

// Frames' polling: each frame takes lines until the poll comes up empty. Stops
// once `want` lines came or after `frames` frames; between frames it waits a
// little for a writer that is behind.
std::vector<std::string> PollFrames(int fd, size_t want, int frames) {
  std::vector<std::string> lines;
  std::string line;
  for (int frame = 0; frame < frames && lines.size() < want; ++frame) {
    while (Sys_PollStdinLine(line)) lines.push_back(line);
    pollfd readable{fd, POLLIN, 0};
    poll(&readable, 1, 100);
  }
  return lines;
}

const std::string kLongLine(8 * 1024 * 1024, 'a');

}  // namespace

TEST(Console, LinesAreCutToWhatACommandTakesAndEachCutIsSaidOnce) {
  const std::string kept(kDebugCommandMaxChars, 'a');
  const struct {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
    int cuts;
  } rows[] = {
      {"line ends of both kinds", "help\r\nmode\n", {"help", "mode"}, 0},
      {"as long as a command, then CR LF", kept + "\r\n", {kept}, 0},
      {"one character too long", kept + "a\n", {kept}, 1},
      {"two long lines", kept + "aaaa\n" + kept + "bbbb\r\nhelp\n", {kept, kept, "help"}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cMessageCapture boxes;
    cPipedInput input;
    ASSERT_TRUE(input.Write(row.input));
    input.CloseWriter();
    EXPECT_EQ(PollFrames(input.fds[0], row.lines.size(), 10), row.lines);
    EXPECT_EQ(boxes.Count("Console"), row.cuts);
  }
}

TEST(Console, ACommandAfterAMultiMegabyteLineIsAnswered) {
  cMessageCapture boxes;
  cPipedInput input;
  std::thread writer([&input] {
    input.Write(kLongLine + "\nhelp\n");
    input.CloseWriter();
  });
  const std::vector<std::string> lines = PollFrames(input.fds[0], 2, 100000);
  close(input.fds[0]);  // a writer still blocked on a reader that gave up fails instead
  input.fds[0] = -1;
  writer.join();
  EXPECT_EQ(boxes.Count("Console"), 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), kDebugCommandMaxChars);  // its characters: the table above
  EXPECT_EQ(lines[1], "help");
}

// Input that is all there at once (a file) must still leave the frame: the
// frame's poll ends before the long line does, and later frames take the rest.
TEST(Console, AFramesPollingReadsABoundedShareOfInput) {
  cMessageCapture boxes;
  const int fd = memfd_create("console", 0);
  ASSERT_GE(fd, 0);
  const std::string input = kLongLine + "\nhelp\n";
  ASSERT_EQ(write(fd, input.data(), input.size()), (ssize_t)input.size());
  lseek(fd, 0, SEEK_SET);
  Sys_SetStdinForTest(fd);
  std::string line;
  EXPECT_FALSE(Sys_PollStdinLine(line));
  EXPECT_LT(lseek(fd, 0, SEEK_CUR), (off_t)kLongLine.size());
  EXPECT_EQ(PollFrames(fd, 2, 1000).size(), 2u);
  Sys_SetStdinForTest(-1);
  close(fd);
}
