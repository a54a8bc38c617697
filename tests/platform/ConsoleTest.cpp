// Lines typed on standard input, read here from a pipe or a file standing in
// for it, as the console polls them frame by frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

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
// once `want` lines came or after `frames` frames; between frames it waits for
// the reader to have more (a writer that is behind), or the input's end.
std::vector<std::string> PollFrames(size_t want, int frames) {
  std::vector<std::string> lines;
  std::string line;
  for (int frame = 0; frame < frames && lines.size() < want; ++frame) {
    while (Sys_PollStdinLine(line)) lines.push_back(line);
    if (lines.size() < want) Sys_WaitStdinForTest(60000);
  }
  return lines;
}

const std::string kLongLine(8 * 1024 * 1024, 'a');

}  // namespace

// A NUL ends the text where it is echoed but not where the command reads it:
// such a line is dropped, and said, rather than echoed as another command.
TEST(Console, LinesAreCutToWhatACommandTakesAndEachCutOrDropIsSaidOnce) {
  const std::string kept(kDebugCommandMaxChars, 'a');
  const std::string nul(1, '\0');
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
      {"a NUL inside a line", "help" + nul + "mode\nmode\n", {"mode"}, 1},
      {"a NUL just past what is kept", kept + nul + "\nhelp\n", {kept, "help"}, 1},
      {"a NUL as the last kept character", kept.substr(1) + nul + "a\n", {}, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cMessageCapture boxes;
    cPipedInput input;
    ASSERT_TRUE(input.Write(row.input));
    input.CloseWriter();
    EXPECT_EQ(PollFrames(row.lines.size() + 1, 10), row.lines);
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
  const std::vector<std::string> lines = PollFrames(2, 100000);
  close(input.fds[0]);  // a writer still blocked on a reader that gave up fails instead
  input.fds[0] = -1;
  writer.join();
  EXPECT_EQ(boxes.Count("Console"), 1);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), kDebugCommandMaxChars);  // its characters: the table above
  EXPECT_EQ(lines[1], "help");
}

namespace {

// The other reader of a pipe the game reads: it takes what is there between
// the game's look and its read, once.
int gThief = -1;
std::string gStolen;
std::atomic<int> gLooks{0};
std::atomic<bool> gStealDone{false};
void StealOnce() {
  if (gLooks++ > 0) return;
  char bytes[256];
  for (ssize_t got; (got = read(gThief, bytes, sizeof bytes)) > 0;) gStolen.append(bytes, (size_t)got);
  gStealDone = true;
}

// A terminal as a shell's job sees it: the child leads a session on the
// terminal, a "shell" process of another group is in the foreground and, once
// done with what it runs, reads the one line typed there; the child, in the background, polls frames,
// writes to the terminal under `stty tostop`, is given the foreground and
// takes the next line typed. Exit codes name what went wrong.
int GameInATerminalsBackground(int master, const char* terminal) {
  setsid();
  const int slave = open(terminal, O_RDWR);  // the session's controlling terminal
  termios modes {};
  if (slave < 0 || tcgetattr(slave, &modes) != 0) return 10;
  modes.c_lflag &= ~(tcflag_t)ECHO;
  modes.c_lflag |= TOSTOP;
  tcsetattr(slave, TCSANOW, &modes);
  int report[2], go[2];
  if (pipe(report) != 0 || pipe(go) != 0) return 11;
  const pid_t shell = fork();
  if (shell == 0) {  // busy (as with `sleep 4` run at its prompt) until told to read
    setpgid(0, 0);
    char typed[64];
    if (read(go[0], typed, 1) != 1) _exit(1);
    const ssize_t got = read(slave, typed, sizeof typed);
    _exit(write(report[1], typed, got > 0 ? (size_t)got : 0) >= 0 ? 0 : 1);
  }
  setpgid(shell, shell);
  if (tcsetpgrp(slave, shell) != 0) return 12;  // the game is a background job now
  Sys_SetStdinForTest(slave);
  Sys_SetOutputForTest(SysStream::Out, slave, 1 << 20);
  if (write(master, "help\n", 5) != 5) return 13;  // typed at the shell's prompt
  std::string line;
  for (int frame = 0; frame < 20; ++frame)
    if (Sys_PollStdinLine(line)) return 14;  // the shell's line, read by the game
  if (Sys_WaitStdinForTest(200) || Sys_PollStdinLine(line)) return 14;
  if (write(go[1], "r", 1) != 1) return 11;
  char taken[64] = {};
  if (read(report[0], taken, sizeof taken - 1) != 5 || std::string(taken) != "help\n") return 15;
  for (int frame = 0; frame < 20; ++frame)
    if (Sys_PollStdinLine(line)) return 16;
  const std::string shown = "drawn in the background\n";
  Sys_Write(SysStream::Out, shown.data(), shown.size());
  if (!Sys_FlushOutput(60000)) return 17;
  waitpid(shell, nullptr, 0);
  // `fg`: the terminal is the game's again (as the shell does it, SIGTTOU held).
  sigset_t ttou;
  sigemptyset(&ttou);
  sigaddset(&ttou, SIGTTOU);
  sigprocmask(SIG_BLOCK, &ttou, nullptr);
  const bool foreground = tcsetpgrp(slave, getpgrp()) == 0;
  sigprocmask(SIG_UNBLOCK, &ttou, nullptr);
  if (!foreground) return 18;
  if (write(master, "mode\n", 5) != 5) return 19;
  if (PollFrames(1, 100) != std::vector<std::string>{"mode"}) return 20;
  return 0;
}

}  // namespace

// Rows: another process reads the input the game reads. What it takes between
// the game's look and its read, the frame never waits for (a pipe shared with
// another reader; a terminal whose foreground is a shell, with a line typed
// and taken there). In a terminal's background the game reads nothing there,
// is not stopped by the terminal for reading or for writing under `stty
// tostop`, and in the foreground takes the next line typed.
// Mended: the frame's poll read after its look, so a shell's line held the
// frame loop in the read, and a background game was stopped by the terminal.
TEST(Console, AnotherReaderOfTheSameInputNeverHoldsUpTheFrame) {
  const unsigned alarmGuard = alarm(300);  // a frame held in a read would hang: end the binary instead
  {
    SCOPED_TRACE("a pipe another reader shares");
    cScratchDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int game = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    gThief = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // a description of its own: the game's reads still wait
    const int typing = open(fifo.c_str(), O_WRONLY);
    ASSERT_TRUE(game >= 0 && gThief >= 0 && typing >= 0);
    fcntl(game, F_SETFL, 0);
    gStolen.clear();
    gLooks = 0;
    gStealDone = false;
    Sys_SetStdinReadHookForTest(StealOnce);
    Sys_SetStdinForTest(game);
    ASSERT_EQ(write(typing, "help\n", 5), 5);
    std::string line;
    for (int frame = 0; frame < 100000 && !gStealDone; ++frame) {
      EXPECT_FALSE(Sys_PollStdinLine(line));
      usleep(1000);
    }
    for (int frame = 0; frame < 20; ++frame) EXPECT_FALSE(Sys_PollStdinLine(line));
    EXPECT_EQ(gStolen, "help\n");
    ASSERT_EQ(write(typing, "mode\n", 5), 5);
    EXPECT_EQ(PollFrames(1, 100), std::vector<std::string>{"mode"}) << "a line after the stolen one";
    Sys_SetStdinReadHookForTest(nullptr);
    Sys_SetStdinForTest(-1);
    for (int fd : {game, gThief, typing}) close(fd);
  }
  {
    SCOPED_TRACE("a terminal whose foreground is a shell");
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string terminal = ptsname(master);
    const pid_t game = fork();
    if (game == 0) _exit(GameInATerminalsBackground(master, terminal.c_str()));
    int status = 0;
    pid_t ended = 0;
    for (int waited = 0; waited < 120000 && ended == 0; ++waited) {
      ended = waitpid(game, &status, WNOHANG | WUNTRACED);
      if (ended == 0) usleep(1000);
    }
    if (ended != game || WIFSTOPPED(status)) kill(game, SIGKILL), waitpid(game, nullptr, 0);
    ASSERT_EQ(ended, game) << "the game did not end";
    EXPECT_FALSE(WIFSTOPPED(status)) << "stopped by the terminal: signal " << WSTOPSIG(status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    std::string shown;
    char bytes[256];
    fcntl(master, F_SETFL, O_NONBLOCK);
    for (ssize_t got; (got = read(master, bytes, sizeof bytes)) > 0;) shown.append(bytes, (size_t)got);
    EXPECT_NE(shown.find("drawn in the background"), std::string::npos) << shown;
    close(master);
  }
  alarm(alarmGuard);
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
  EXPECT_EQ(PollFrames(2, 1000).size(), 2u);
  Sys_SetStdinForTest(-1);
  close(fd);
}

// Fault mended: a flood of short commands ran ~200,000 of them in one frame
// (the bound counted bytes), and the game stopped answering for seconds. A
// frame takes a bounded number of lines, dropped ones included; the rest wait,
// unread, for the next frames, and none is lost.
TEST(Console, AFrameTakesABoundedNumberOfLinesAndTheRestWaitUnread) {
  const int limit = kSysConsoleLinesPerFrame;
  const auto repeat = [](const std::string& line, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += line;
    return text;
  };
  const size_t aMegabyte = (1 << 20) / 5;
  const struct {
    const char* name;
    std::string input;
    size_t firstFrame;  // lines the first frame gives
    size_t lines;       // all the frames give
    int dropped;
  } rows[] = {
      {"as many as a frame takes", repeat("mode\n", limit), (size_t)limit, (size_t)limit, 0},
      {"one more", repeat("mode\n", limit + 1), (size_t)limit, (size_t)limit + 1, 0},
      {"a megabyte of short commands", repeat("help\n", aMegabyte), (size_t)limit, aMegabyte, 0},
      {"a frame's share of dropped lines first", repeat(std::string(1, '\0') + "\n", limit) + "help\n", 0, 1, limit},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cMessageCapture boxes;
    const int fd = memfd_create("console", 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, row.input.data(), row.input.size()), (ssize_t)row.input.size());
    lseek(fd, 0, SEEK_SET);
    Sys_SetStdinForTest(fd);
    std::vector<std::string> lines;
    std::string line;
    while (Sys_PollStdinLine(line)) lines.push_back(line);
    EXPECT_EQ(lines.size(), row.firstFrame);
    EXPECT_LE(lseek(fd, 0, SEEK_CUR), 64 * 1024) << "read on while lines waited";
    for (int frame = 0; frame < 10000 && lines.size() < row.lines; ++frame)
      while (Sys_PollStdinLine(line)) lines.push_back(line);
    ASSERT_EQ(lines.size(), row.lines);
    EXPECT_EQ(lines.back(), row.input.substr(row.input.size() - 5, 4));
    EXPECT_EQ(boxes.Count("Console"), row.dropped);
    Sys_SetStdinForTest(-1);
    close(fd);
  }
}

// Fault mended: started with standard input closed, the game's X connection
// became descriptor 0 and the console read it every frame. Each of the three
// is /dev/null before anything else opens, and what opens next is not read.
// Also mended: a reader of standard output that quit (`quorvel | head`) ended
// the game with SIGPIPE; the streams are opened with it ignored.
TEST(Console, ClosedStandardStreamsAreOpenedOnDevNullAndNothingForeignIsRead) {
  struct stat null {};
  ASSERT_EQ(stat("/dev/null", &null), 0);
  const std::vector<int> rows[] = {{0}, {1}, {2}, {0, 1, 2}};
  for (const std::vector<int>& closed : rows) {
    SCOPED_TRACE(::testing::PrintToString(closed));
    int saved[3];
    for (int fd = 0; fd < 3; ++fd) saved[fd] = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    for (int fd : closed) close(fd);
    void (*pipeSignal)(int) = signal(SIGPIPE, SIG_DFL);
    Sys_OpenStandardStreams();
    const bool pipeSignalIgnored = signal(SIGPIPE, pipeSignal) == SIG_IGN;
    int foreign[2];
    const bool piped = pipe(foreign) == 0 && write(foreign[1], "help\n", 5) == 5;
    Sys_SetStdinForTest(-1);
    std::string line;
    bool read = false;
    for (int frame = 0; frame < 3; ++frame) read = Sys_PollStdinLine(line) || read;
    int waiting = 0;
    ioctl(foreign[0], FIONREAD, &waiting);
    struct stat streams[3] {};
    for (int fd = 0; fd < 3; ++fd) fstat(fd, &streams[fd]);
    for (int fd = 0; fd < 3; ++fd) dup2(saved[fd], fd), close(saved[fd]);
    Sys_SetStdinForTest(-1);
    Sys_OpenStandardStreams();  // the output looks at the restored streams again
    signal(SIGPIPE, pipeSignal);
    EXPECT_TRUE(pipeSignalIgnored);
    ASSERT_TRUE(piped);
    close(foreign[0]);
    close(foreign[1]);
    EXPECT_FALSE(read);
    EXPECT_EQ(waiting, 5);
    for (int fd : closed) {
      EXPECT_TRUE(S_ISCHR(streams[fd].st_mode)) << fd;
      EXPECT_EQ(streams[fd].st_rdev, null.st_rdev) << fd;
    }
  }
}
