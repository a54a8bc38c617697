// Lines typed on standard input, read here from a pipe or a file standing in
// for it, as the console polls them frame by frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
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
  // False once the reader took nothing for a minute: a reader that stopped
  // fails the case instead of holding it.
  bool Write(const std::string& bytes) const {
    const int flags = fcntl(fds[1], F_GETFL);
    fcntl(fds[1], F_SETFL, flags | O_NONBLOCK);
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t wrote = write(fds[1], bytes.data() + done, bytes.size() - done);
      pollfd room{fds[1], POLLOUT, 0};
      if (wrote < 0 && errno == EAGAIN && poll(&room, 1, 60000) == 1) continue;
      if (wrote <= 0) break;
      done += (size_t)wrote;
    }
    fcntl(fds[1], F_SETFL, flags);
    return done == bytes.size();
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
std::vector<std::string> PollFrames(size_t want, int frames, unsigned waitMs = 60000) {
  std::vector<std::string> lines;
  std::string line;
  // Two minutes in all, or two waits: a reader that stopped fails the case, however many frames it asks.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(2 * waitMs, 120000u));
  for (int frame = 0; frame < frames && lines.size() < want && std::chrono::steady_clock::now() < deadline; ++frame) {
    while (Sys_PollStdinLine(line)) lines.push_back(line);
    if (lines.size() < want && frame + 1 < frames) Sys_WaitStdinForTest(waitMs);
  }
  return lines;
}

const std::string kLongLine(8 * 1024 * 1024, 'a');

}  // namespace

// A NUL ends the text where it is echoed but not where the command reads it:
// such a line is dropped, and said, rather than echoed as another command.
// Each row's input comes in reads the reading thread takes one by one.
// Mended: short reads were joined to the first piece waiting, not the last.
TEST(Console, LinesAreCutToWhatACommandTakesAndEachCutOrDropIsSaidOnce) {
  const std::string kept(kDebugCommandMaxChars, 'a');
  const std::string nul(1, '\0');
  std::string almostAPipeful;  // a piece of its own after a short read, room left in that one
  for (int line = 0; line < 13107; ++line) almostAPipeful += "mode\n";
  std::vector<std::string> joined(13109, "mode");
  joined.front() = "help";
  joined.back() = "frames";
  const struct {
    const char* name;
    std::vector<std::string> reads;
    std::vector<std::string> lines;
    int cuts;
  } rows[] = {
      {"line ends of both kinds", {"help\r\nmode\n"}, {"help", "mode"}, 0},
      {"as long as a command, then CR LF", {kept + "\r\n"}, {kept}, 0},
      {"one character too long", {kept + "a\n"}, {kept}, 1},
      {"a two-byte character across the cut", {kept.substr(1) + "\xC3\xA9\n"}, {kept.substr(1)}, 1},
      {"a four-byte character across the cut", {kept.substr(1) + "\xF0\x9F\x99\x82\n"}, {kept.substr(1)}, 1},
      {"three bytes of a four-byte character before the cut", {kept.substr(3) + "\xF0\x9F\x99\x82\n"}, {kept.substr(3)}, 1},
      {"two long lines", {kept + "aaaa\n" + kept + "bbbb\r\nhelp\n"}, {kept, kept, "help"}, 2},
      {"a NUL inside a line", {"help" + nul + "mode\nmode\n"}, {"mode"}, 1},
      {"a NUL just past what is kept", {kept + nul + "\nhelp\n"}, {kept, "help"}, 1},
      {"a NUL as the last kept character", {kept.substr(1) + nul + "a\n"}, {}, 2},
      {"the last line without its line end", {"frames\nhelp"}, {"frames", "help"}, 0},
      {"a cut last line without its line end", {kept + "a"}, {kept}, 1},
      {"short reads joined in order", {"help\n", almostAPipeful, "frames\n"}, joined, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cMessageCapture boxes;
    cPipedInput input;
    size_t written = 0;
    for (const std::string& read : row.reads)
      ASSERT_TRUE(input.Write(read) && Sys_WaitStdinForTest(60000, written += read.size())) << "not read in 60 s";
    input.CloseWriter();
    EXPECT_EQ(PollFrames(row.lines.size() + 1, (int)row.lines.size() / kSysConsoleLinesPerFrame + 10), row.lines);
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
std::atomic<bool> gStolenOnce{false};
void StealOnce() {
  char bytes[256];
  for (ssize_t got; !gStolenOnce && (got = read(gThief, bytes, sizeof bytes)) > 0;) gStolen.append(bytes, (size_t)got);
  gStolenOnce = true;
}

}  // namespace

// Fault mended: the frame's poll read after its look, so another reader that
// took the line between the two held the frame loop in the read. Also
// mended: the case went on after 10 ms, before a busy machine's thread read.
TEST(Console, AnotherReaderOfTheSamePipeNeverHoldsUpTheFrame) {
  struct cPutBack {  // also when an assertion below fails: the next cases read their own input
    const unsigned alarmGuard = alarm(300);  // a frame held in a read would hang: end the binary instead
    int fds[3] = {-1, -1, -1};
    ~cPutBack() {
      Sys_SetStdinReadHookForTest(nullptr);
      Sys_SetStdinForTest(-1);
      for (int fd : fds) close(fd);
      alarm(alarmGuard);
    }
  } putBack;
  cScratchDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int game = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  gThief = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // a description of its own: the game's reads still wait
  const int typing = open(fifo.c_str(), O_WRONLY);
  putBack.fds[0] = game, putBack.fds[1] = gThief, putBack.fds[2] = typing;
  ASSERT_TRUE(game >= 0 && gThief >= 0 && typing >= 0);
  fcntl(game, F_SETFL, 0);
  gStolen.clear();
  gStolenOnce = false;
  Sys_SetStdinReadHookForTest(StealOnce);
  Sys_SetStdinForTest(game);
  ASSERT_EQ(write(typing, "help\n", 5), 5);
  std::string line;
  for (int frame = 0; frame < 60000 && !gStolenOnce; ++frame) {
    EXPECT_FALSE(Sys_PollStdinLine(line));
    usleep(1000);
  }
  EXPECT_TRUE(gStolenOnce) << "the reading thread did not come to its read in 60000 frames of 1 ms";
  for (int frame = 0; frame < 20; ++frame) EXPECT_FALSE(Sys_PollStdinLine(line));
  EXPECT_EQ(gStolen, "help\n");
  ASSERT_EQ(write(typing, "mode\n", 5), 5);
  EXPECT_EQ(PollFrames(1, 100, 600), std::vector<std::string>{"mode"}) << "a line after the stolen one, in 60 s";
}

namespace {

// A terminal laid out as a shell lays out its jobs: the "shell" leads the
// session on a pseudo-terminal and the "game" is a job of its own process
// group. Both serve commands from the test, a line each, and answer a line;
// the test types on the terminal's other side. The game's job has the
// terminal's signals as a job has them (SIGTTIN, SIGTTOU not ignored): only
// what the console does for itself keeps it from being stopped.
// SeeNext: what shows next, with nothing before it since the last See;
// Looks: a question waiting on the terminal looked at it that many more times;
// XServerKilled: the server of the display the game connected to ("connect").
enum class eWho { Type, See, SeeNext, Looks, HangUp, XServerKilled, Shell, Game, GameLater, GameReply };
struct sStep {
  eWho who;
  const char* say;     // typed, looked for, how many looks, or the command
  const char* answer = nullptr;  // what the shell or the game answers
};

struct cChannel {
  int in = -1, out = -1;
  bool Say(const std::string& text) const { return write(out, (text + "\n").data(), text.size() + 1) == (ssize_t)text.size() + 1; }
  bool Hear(std::string& text, int waitMs) const {  // one line, or false by the deadline
    text.clear();
    for (char c; text.empty() || text.back() != '\n';) {
      pollfd p{in, POLLIN, 0};
      if (poll(&p, 1, waitMs) <= 0 || read(in, &c, 1) != 1) return false;
      text += c;
    }
    text.pop_back();
    return true;
  }
};

int gTerminal = -1;
int gMaster = -1;  // the terminal's other side, in the game's hands in a row that uses it
pid_t gShellGroup = 0;
std::string gEchoed;  // the game's debug window: its last line
std::atomic<int> gBackgroundReads{0};
std::atomic<bool> gRaceArmed{false};

// Between the console's look and its read: counts reads tried while the game
// is in the background, and once armed hands the terminal to the shell there.
void OnTerminalRead() {
  if (tcgetpgrp(gTerminal) != getpgrp()) ++gBackgroundReads;
  if (gRaceArmed.exchange(false)) tcsetpgrp(gTerminal, gShellGroup);
}

// A question's looks at its terminal, counted in the game and read by the test.
std::atomic<unsigned>& QuestionLooks() {
  static auto* looks = new (mmap(nullptr, sizeof(std::atomic<unsigned>), PROT_READ | PROT_WRITE,
                                 MAP_SHARED | MAP_ANONYMOUS, -1, 0)) std::atomic<unsigned>(0);
  return *looks;
}
void CountQuestionLook() { ++QuestionLooks(); }

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : " ") + line;
  return text;
}

// What waits on the terminal (a line, or a pager's keys), without its line
// end; "nothing" by the deadline.
std::string ReadTerminal() {
  char typed[256];
  pollfd p{gTerminal, POLLIN, 0};
  const ssize_t got = poll(&p, 1, 20000) > 0 ? read(gTerminal, typed, sizeof typed) : 0;
  return got > 0 ? std::string(typed, (size_t)got - (typed[got - 1] == '\n')) : "nothing";
}

std::string GameDoes(const std::string& command) {
  std::string line;
  std::vector<std::string> lines;
  termios modes {};
  tcgetattr(gTerminal, &modes);
  if (command == "nothing read") {  // a frame, a wait such as a frame loop's, a frame
    lines = PollFrames(1, 2, 200);
    return lines.empty() ? "nothing" : Joined(lines);
  }
  if (command.rfind("read ", 0) == 0) return Joined(PollFrames(std::stoul(command.substr(5)), 300, 100));
  if (command == "connect") {  // to the row's own X server, as start-up does, with the game's window
    int argc = 1;
    char* argv[] = {(char*)"quorvel", nullptr};
    Sys_InitGlut(&argc, argv);
    return Sys_CreateGlutWindow("QuorvelGL") > 0 ? "done" : "no window";
  }
  if (command == "ask") return Sys_AskOnTerminal("Name? ", line, "no name taken") ? "answer " + line : "no answer";
  if (command == "ask yes/no") return Sys_MessageBox("Quit", "Go on?", SysBox::YesNo) == SysAnswer::Yes ? "Yes" : "not Yes";
  if (command == "save as" || command == "open")
    return Sys_FileDialog(command == "open" ? SysFileDialog::Open : SysFileDialog::Save, nullptr).empty() ? "cancelled" : "a name";
  if (command.rfind("echoed ", 0) == 0)  // the debug window's last line ends so
    return gEchoed.ends_with(command.substr(7)) ? "yes" : gEchoed;
  if (command == "errors to the master" || command == "input is the master") {  // as a program holding it could start the game
    if (command == "errors to the master") Sys_SetOutputForTest(SysStream::Err, gMaster, 1 << 20);
    else Sys_SetStdinForTest(gMaster);
    return gMaster >= 0 ? "done" : "no master";
  }
  if (command.rfind("input is ", 0) == 0) {  // `quorvel < /dev/tty`: the terminal under its other name
    Sys_SetStdinForTest(open(command.substr(9).c_str(), O_RDONLY | O_CLOEXEC));
    return "done";
  }
  if (command.rfind("errors to ", 0) == 0) {  // `2>/dev/null`, `2>/dev/tty`
    Sys_SetOutputForTest(SysStream::Err, open(command.substr(10).c_str(), O_WRONLY | O_CLOEXEC), 1 << 20);
    return "done";
  }
  if (command == "signals caught") {  // outside a question, none the console uses
    std::string caught;
    for (int sig : {SIGCONT, SIGTSTP}) {
      struct sigaction action {};
      if (sigaction(sig, nullptr, &action) == 0 && action.sa_handler != SIG_DFL) caught += strsignal(sig);
    }
    return caught.empty() ? "none" : caught;
  }
  if (command == "leads its session")  // its process group orphaned: its parent is in another session
    return getsid(0) == getpid() && tcgetpgrp(gTerminal) == getpgrp() ? "yes" : "no";
  if (command == "input ends") return Sys_WaitStdinHoldsAFramesShareForTest(30000) ? "ended" : "still read";
  if (command.rfind("print ", 0) == 0) {
    const std::string text = command.substr(6) + "\n";
    Sys_Write(SysStream::Out, text.data(), text.size());
    return Sys_FlushOutput(30000) ? "printed" : "not printed";
  }
  if (command == "pager on" || command == "pager off") {  // as `less` in the game's own job sets it
    modes.c_lflag = command == "pager on" ? modes.c_lflag & ~(tcflag_t)ICANON : modes.c_lflag | ICANON;
    modes.c_cc[VMIN] = modes.c_cc[VTIME] = 0;
    return tcsetattr(gTerminal, TCSANOW, &modes) == 0 ? "done" : "failed";
  }
  if (command == "pager reads") return ReadTerminal();
  if (command == "setsid") {  // as setsid(1) runs a job's leader: in a child of it, the job's leader gone
    if (fork() != 0) _exit(0);
    alarm(120);  // out of the shell's reach: a game stuck in a failing row ends itself
    return setsid() > 0 ? "done" : "failed";
  }
  if (command == "launched") {  // as a launcher script runs the game: a child of the job's leader, which waits
    if (const pid_t game = fork()) _exit(waitpid(game, nullptr, 0) == game ? 0 : 1);
    alarm(120);  // not inherited: a game stuck in a failing row ends itself
    return getpid() != getpgrp() ? "done" : "failed";
  }
  if (command == "race") return gRaceArmed = true, "armed";
  if (command == "raced") {  // frames until the reading thread came to its read, and the shell took the terminal
    for (int frame = 0; frame < 2000 && gRaceArmed; ++frame)
      if (Sys_PollStdinLine(line)) return "read " + line;
      else Sys_WaitStdinForTest(10);
    return gRaceArmed ? "not yet" : "yes";
  }
  if (command == "background reads") return std::to_string(gBackgroundReads.load());
  return "unknown command " + command;
}

bool gGameReaped = false;  // in the shell: the game's end was waited for

std::string ShellDoes(const std::string& command, pid_t game) {
  if (command == "wait for the game") {  // its end, as the shell reports it
    int status = 0;
    for (int waited = 0; waited < 30000 && !gGameReaped; ++waited)
      if (waitpid(game, &status, WNOHANG) == game) gGameReaped = true;
      else usleep(1000);
    if (!gGameReaped) return "still running";
    return WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status)) : "ended by signal " + std::to_string(WTERMSIG(status));
  }
  if (command == "fg game" || command == "fg shell")
    return tcsetpgrp(gTerminal, command == "fg game" ? game : getpgrp()) == 0 ? "done" : "failed";
  if (command.rfind("holds ", 0) == 0) {  // what was typed has reached the terminal: that many bytes of lines wait
    int waiting = 0;
    for (int waited = 0; waited < 30000 && (ioctl(gTerminal, FIONREAD, &waiting) != 0 || waiting < std::stoi(command.substr(6))); ++waited)
      usleep(1000);
    return std::to_string(waiting);
  }
  if (command == "read") return ReadTerminal();  // at its prompt, a line
  if (command == "keep CR") {  // Return untranslated, as bash's line editor leaves it for keys typed with `fg`
    termios modes {};
    tcgetattr(gTerminal, &modes);
    modes.c_iflag &= ~(tcflag_t)ICRNL;
    modes.c_cc[VEOL] = '\r';  // and a CR ends the terminal's line: a CR and its LF come in two reads
    return tcsetattr(gTerminal, TCSANOW, &modes) == 0 ? "done" : "failed";
  }
  if (command == "kill -CONT") return kill(-game, SIGCONT) == 0 ? "done" : "failed";  // from another shell: no stop before it
  if (command == "Ctrl+Z, fg") {  // the game's job stopped, then brought back to the foreground
    int status = 0;
    if (kill(-game, SIGTSTP) != 0) return "not stopped";
    pid_t changed = 0;  // within the step's deadline: a game that never stops fails the row, not the binary
    for (int waited = 0; waited < 20000 && (changed = waitpid(game, &status, WNOHANG | WUNTRACED)) == 0; ++waited)
      usleep(1000);
    if (changed != game || !WIFSTOPPED(status)) return "not stopped";
    return tcsetpgrp(gTerminal, game) == 0 && kill(-game, SIGCONT) == 0 ? "done" : "failed";
  }
  return "unknown command " + command;
}

void Serve(const cChannel& channel, const std::function<std::string(const std::string&)>& does) {
  for (std::string command; channel.Hear(command, 120000) && command != "quit";)
    if (!channel.Say(does(command))) break;
}

// The shell's side of the fork: the session, the terminal, the game's job;
// or the game leads its own session, echoing, as under `xterm -e quorvel`.
void RunShell(const char* terminal, cChannel shell, cChannel game, int master, bool gameLeads) {
  setsid();
  signal(SIGHUP, SIG_IGN);  // the session's leader outlives its terminal's hang-up
  gTerminal = open(terminal, O_RDWR | (gameLeads ? O_NOCTTY : 0));  // the session's controlling terminal
  termios modes {};
  if (gTerminal < 0 || tcgetattr(gTerminal, &modes) != 0) _exit(1);
  modes.c_lflag = (gameLeads ? modes.c_lflag : modes.c_lflag & ~(tcflag_t)ECHO) | TOSTOP;
  tcsetattr(gTerminal, TCSANOW, &modes);
  gShellGroup = getpgrp();
  const pid_t job = fork();
  if (job == 0) {
    if (gameLeads && (setsid() < 0 || ioctl(gTerminal, TIOCSCTTY, 0) != 0)) _exit(1);
    if (!gameLeads) setpgid(0, 0);
    alarm(300);  // a game stuck in a failing row ends itself
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // and never outlives its shell, holding the test's output open
    for (int sig : {SIGTTIN, SIGTTOU}) signal(sig, SIG_DFL);
    Sys_SetStdinReadHookForTest(OnTerminalRead);
    Sys_SetStdinForTest(gTerminal);
    Sys_SetOutputForTest(SysStream::Out, gTerminal, 1 << 20);
    Sys_SetOutputForTest(SysStream::Err, gTerminal, 1 << 20);
    Sys_SetMessageEcho([](const char* line) { gEchoed = line; });
    Sys_SetQuestionLookHookForTest(CountQuestionLook);
    gMaster = master;
    Serve(game, GameDoes);
    _exit(0);
  }
  if (master >= 0) close(master);
  if (!gameLeads) setpgid(job, job);
  signal(SIGTTOU, SIG_IGN);  // as a shell does, to hand the terminal over from the background
  Serve(shell, [job](const std::string& command) { return ShellDoes(command, job); });
  if (!gGameReaped) kill(job, SIGKILL), waitpid(job, nullptr, 0);
  _exit(0);
}

// Reads the terminal's output until `text` shows, or the deadline; what
// showed up to it is taken, so a text shown again is looked for anew, and
// what came before it is `before`.
bool Shows(int master, const std::string& text, std::string& shown, std::string& before) {
  char bytes[256];
  for (int polls = 0; polls < 300 && shown.find(text) == std::string::npos; ++polls) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 100) > 0) {
      const ssize_t got = read(master, bytes, sizeof bytes);
      if (got > 0) shown.append(bytes, (size_t)got);
    }
  }
  const size_t at = shown.find(text);
  if (at == std::string::npos) return false;
  before = shown.substr(0, at);
  shown.erase(0, at + text.size());
  return true;
}

// The shell and its game's job forked on a fresh terminal; both ended, and
// everything closed, when the row is done, whatever step it failed at. The
// game holds the terminal's master only where the row asks: held, it keeps
// the terminal from hanging up when the test closes its own.
struct cTerminalJob {
  cTerminalJob(bool masterForGame, bool gameLeads) {
    int slave = -1;
    QuestionLooks();  // mapped before the fork, so the game counts where the test reads
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return;
    const std::string terminal = ttyname(slave);
    close(slave);
    for (auto& ends : pipes)
      if (pipe2(ends, O_CLOEXEC) != 0) return;
    toShell = {pipes[1][0], pipes[0][1]};
    toGame = {pipes[3][0], pipes[2][1]};
    leader = fork();
    if (leader == 0) {
      if (!masterForGame) close(master);  // only the test's: closing it hangs the terminal up
      RunShell(terminal.c_str(), {pipes[0][0], pipes[1][1]}, {pipes[2][0], pipes[3][1]}, masterForGame ? master : -1,
               gameLeads);
    }
  }
  ~cTerminalJob() {
    toGame.Say("quit");
    toShell.Say("quit");
    for (int waited = 0; leader > 0 && waited < 10000 && waitpid(leader, nullptr, WNOHANG) == 0; ++waited) usleep(1000);
    if (leader > 0 && kill(leader, SIGKILL) == 0) waitpid(leader, nullptr, 0);
    for (auto& ends : pipes) close(ends[0]), close(ends[1]);
    close(master);
  }
  int master = -1, pipes[4][2] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
  pid_t leader = -1;
  cChannel toShell, toGame;
};

void RunTerminalRow(const std::vector<sStep>& steps) {
  const auto asks = [&steps](const char* what) {
    return std::any_of(steps.begin(), steps.end(), [what](const sStep& step) { return step.say && strstr(step.say, what); });
  };
  std::optional<cPrivateTestDisplay> display;  // inherited by the game through DISPLAY
  if (asks("connect")) {
    ASSERT_TRUE(display.emplace().Started());
  }
  cTerminalJob job(asks("the master"), asks("leads its session"));
  ASSERT_GT(job.leader, 0);
  std::string shown, before, heard;
  std::chrono::steady_clock::time_point serverKilled{};
  for (const sStep& step : steps) {
    SCOPED_TRACE(step.say ? step.say : step.answer);
    if (step.who == eWho::Type) {
      ASSERT_EQ(write(job.master, step.say, strlen(step.say)), (ssize_t)strlen(step.say));
    } else if (step.who == eWho::See || step.who == eWho::SeeNext) {
      ASSERT_TRUE(Shows(job.master, step.say, shown, before)) << shown;
      if (step.who == eWho::SeeNext) {
        EXPECT_EQ(before, "");
      }
    } else if (step.who == eWho::Looks) {
      const unsigned due = QuestionLooks() + (unsigned)std::stoul(step.say);
      for (int waited = 0; waited < 30000 && QuestionLooks() < due; ++waited) usleep(1000);
      ASSERT_GE(QuestionLooks(), due) << "the question did not look at its terminal in 30 s";
    } else if (step.who == eWho::XServerKilled) {
      display->Kill();
      serverKilled = std::chrono::steady_clock::now();
    } else if (step.who == eWho::HangUp) {  // the terminal's window closed
      close(job.master);
      job.master = -1;
    } else {
      const cChannel& to = step.who == eWho::Shell ? job.toShell : job.toGame;
      ASSERT_TRUE(!step.say || to.Say(step.say));
      if (step.who == eWho::GameLater) continue;
      const bool answered = to.Hear(heard, 30000);
      ASSERT_TRUE(answered) << "no answer: stopped by the terminal, or waiting";
      EXPECT_EQ(heard, step.answer);
      if (step.say && strcmp(step.say, "wait for the game") == 0) {  // as docs/console.md promises, from the event
        EXPECT_LE(std::chrono::steady_clock::now() - serverKilled, std::chrono::seconds(5)) << "a slow end";
      }
    }
  }
  if (asks("wait for the game")) return;  // it ended
  ASSERT_TRUE(job.toGame.Say("background reads") && job.toGame.Hear(heard, 30000));
  EXPECT_EQ(heard, "0") << "reads tried in the background";
}

}  // namespace

// A terminal is the game's to read only while it is its controlling terminal,
// the game is in its foreground and the terminal is in line mode; the shell,
// a pager in the game's job, or the shell of another session gets every key.
// Rows: a job sent to the background and brought back (nothing read there,
// printing there under `stty tostop`); the shell taking the terminal between
// the look and the read (the read fails, nothing stops the game, the next
// line after `fg` is read); Ctrl+D, which ends a line, not the console; a
// pager in the game's job (`quorvel | less`); a terminal of another session
// (`setsid quorvel &`); the terminal's master, which is not the terminal;
// questions: only a line typed after the prompt answers (lines typed before
// run as commands), and one asked in the background, sent there or with
// `2>/dev/null` takes its default, saying why; after each Ctrl+Z and `fg` its
// prompt shows again once, and never for a SIGCONT alone, nor for a stop the
// system discards (the game leads its session); the game's X server killed
// while one waits ends the game there, unanswered. Every row whose game plays
// on also asks that the game never tried to read while in the background.
// Mended: the thread read whenever the game's group was in the foreground
// (less's keys), counted a terminal it could not ask as its foreground (setsid),
// ended the console on Ctrl+D and on EIO, and a question waited in the
// background and took a line typed before it, or held the game with its
// prompt unseen; and the last four rows' faults. Also mended: /dev/tty, the
// terminal under its other name, counted as another place, so a question
// with `< /dev/tty` or `2>/dev/tty` was never asked; after Ctrl+Z and `fg` a
// waiting question's prompt stood above the shell's "Stopped" line only;
// a question that no dialog could show did not say why. Also mended: the
// terminal's master counted as the terminal, so standard error there shared
// standard output's writer and typed the game's output back into its input,
// and a question was asked there; any SIGCONT showed a waiting prompt again,
// and its handler, kept after the question, cost frames in a storm of them;
// out of line mode (or in another session) a question's note named the
// background and a pager as its reasons; a discarded stop counted as one; a
// question waited for its answer on a display that was gone, and only then
// did the game end.
TEST(Console, ATerminalIsReadOnlyWhileItIsTheGamesOwnInItsForegroundAndInLineMode) {
  const struct {
    const char* name;
    std::vector<sStep> steps;
  } rows[] = {
      {"a job sent to the background, then to the foreground",
       {{eWho::Shell, "fg shell", "done"}, {eWho::Type, "help\n"}, {eWho::Game, "nothing read", "nothing"},
        {eWho::Shell, "read", "help"}, {eWho::Game, "print drawn in the background", "printed"},
        {eWho::See, "drawn in the background"}, {eWho::Shell, "fg game", "done"}, {eWho::Type, "mode\n"},
        {eWho::Game, "read 1", "mode"}, {eWho::Shell, "fg shell", "done"}, {eWho::Type, "ls\n"},
        {eWho::Game, "nothing read", "nothing"}, {eWho::Shell, "read", "ls"}}},
      {"the shell takes the terminal between the look and the read; Ctrl+D",
       {{eWho::Shell, "fg game", "done"}, {eWho::Game, "race", "armed"}, {eWho::Type, "frames\n"},
        {eWho::Game, "raced", "yes"}, {eWho::Game, "nothing read", "nothing"}, {eWho::Shell, "read", "frames"}, {eWho::Shell, "fg game", "done"},
        {eWho::Type, "\x04"}, {eWho::Game, "nothing read", "nothing"}, {eWho::Type, "help\n"},
        {eWho::Game, "read 1", "help"}}},
      {"a pager in the game's own job",
       {{eWho::Shell, "fg game", "done"}, {eWho::Game, "pager on", "done"}, {eWho::Type, "q"},
        {eWho::Game, "nothing read", "nothing"}, {eWho::Game, "pager reads", "q"}, {eWho::Game, "ask", "no answer"},
        {eWho::See, "(the terminal is not in line mode, as a pager or `stty -icanon` leaves it; `stty sane` gives it back)"},
        {eWho::Game, "pager off", "done"}, {eWho::Type, "mode\n"}, {eWho::Game, "read 1", "mode"}}},
      {"a terminal of another session",
       {{eWho::Game, "setsid", "done"}, {eWho::Type, "echo word1xyz\n"}, {eWho::Game, "nothing read", "nothing"},
        {eWho::Shell, "read", "echo word1xyz"}, {eWho::Game, "ask", "no answer"},
        {eWho::See, "(the terminal is not the game's own: it belongs to another session)"}}},
      {"lines typed before a question run as commands after it",
       {{eWho::Shell, "fg shell", "done"}, {eWho::Type, "mode\nhelp\n"}, {eWho::Shell, "holds 10", "10"},
        {eWho::Shell, "fg game", "done"},
        {eWho::GameLater, "ask"}, {eWho::See, "Name? "}, {eWho::Type, "saved\n"},
        {eWho::GameReply, nullptr, "answer saved"}, {eWho::Game, "read 2", "mode help"}}},
      {"a question in the background, and one sent there",
       {{eWho::Game, "ask", "no answer"}, {eWho::See, "(the game is in the terminal's background)"},
        {eWho::Shell, "fg game", "done"}, {eWho::GameLater, "ask"},
        {eWho::See, "Name? "}, {eWho::Shell, "fg shell", "done"}, {eWho::GameReply, nullptr, "no answer"},
        {eWho::See, "(no line was typed, and now the game is in the terminal's background): no name taken"}, {eWho::Type, "ls\n"}, {eWho::Shell, "read", "ls"},
        {eWho::Game, "nothing read", "nothing"}}},
      {"questions in the background take their defaults, each saying which",
       {{eWho::Game, "ask yes/no", "Yes"},
        {eWho::See, "No desktop dialog (the game has no display) and not answered on the terminal (the game is in the"},
        {eWho::See, "\"Go on?\" took its default, Yes"}, {eWho::Game, "echoed \"Go on?\" took its default, Yes", "yes"},
        {eWho::Game, "save as", "cancelled"}, {eWho::See, "): the Save As dialog was cancelled"},
        {eWho::Game, "open", "cancelled"}, {eWho::See, "): the Open dialog was cancelled"}}},
      {"standard input and error on /dev/tty, the terminal under its other name",
       {{eWho::Shell, "fg game", "done"}, {eWho::Game, "input is /dev/tty", "done"}, {eWho::GameLater, "ask"},
        {eWho::See, "Name? "}, {eWho::Type, "saved\n"}, {eWho::GameReply, nullptr, "answer saved"},
        {eWho::Game, "errors to /dev/tty", "done"}, {eWho::GameLater, "ask"}, {eWho::See, "Name? "},
        {eWho::Type, "again\n"}, {eWho::GameReply, nullptr, "answer again"}}},
      {"Ctrl+Z and fg twice while a question waits: its prompt shows again after each, once",
       {{eWho::Shell, "fg game", "done"}, {eWho::GameLater, "ask"}, {eWho::See, "Name? "},
        {eWho::Shell, "Ctrl+Z, fg", "done"}, {eWho::See, "Name? "}, {eWho::Shell, "Ctrl+Z, fg", "done"},
        {eWho::See, "Name? "}, {eWho::Looks, "2"}, {eWho::Type, "saved\n"},
        {eWho::GameReply, nullptr, "answer saved"}, {eWho::Game, "print answered", "printed"},
        {eWho::SeeNext, "answered"}}},
      {"a SIGCONT from another shell while a question waits, no stop before it",
       {{eWho::Shell, "fg game", "done"}, {eWho::GameLater, "ask"}, {eWho::See, "Name? "},
        {eWho::Shell, "kill -CONT", "done"}, {eWho::Looks, "2"}, {eWho::Type, "saved\n"},
        {eWho::GameReply, nullptr, "answer saved"}, {eWho::Game, "print answered", "printed"},
        {eWho::SeeNext, "answered"}, {eWho::Game, "signals caught", "none"}}},
      // Its group orphaned, the stop is discarded; "^Z" echoes once it is sent.
      {"the terminal's own program: Ctrl+Z while a question waits",
       {{eWho::Game, "leads its session", "yes"}, {eWho::GameLater, "ask"}, {eWho::See, "Name? "},
        {eWho::Type, "\x1a"}, {eWho::SeeNext, "^Z"}, {eWho::Looks, "2"}, {eWho::Type, "saved\n"},
        {eWho::SeeNext, "saved"}, {eWho::GameReply, nullptr, "answer saved"}}},
      {"the terminal's master as standard error, then as standard input",
       {{eWho::Shell, "fg game", "done"}, {eWho::Game, "errors to the master", "done"}, {eWho::Game, "ask", "no answer"},
        {eWho::Game, "echoed (standard error does not show on the terminal): no name taken", "yes"},
        {eWho::Game, "print shown, not typed", "printed"}, {eWho::See, "shown, not typed"},
        {eWho::Game, "input is the master", "done"}, {eWho::Game, "print mode", "printed"},
        {eWho::Game, "nothing read", "nothing"}, {eWho::Game, "ask", "no answer"},
        {eWho::Game, "echoed (standard input is a pseudo-terminal's master, not a terminal): no name taken", "yes"}}},
      {"the X server killed while a question waits: the game ends at once, the question unanswered",
       {{eWho::Shell, "fg game", "done"}, {eWho::Game, "connect", "done"}, {eWho::GameLater, "ask"},
        {eWho::See, "Name? "}, {eWho::Looks, "1"}, {eWho::XServerKilled, "the X server killed"},
        {eWho::SeeNext, "The X display "}, {eWho::See, " was lost: the game ends"},
        {eWho::Shell, "wait for the game", "exit status 1"}}},
      {"a question with `2>/dev/null`",
       {{eWho::Shell, "fg game", "done"}, {eWho::Game, "errors to /dev/null", "done"}, {eWho::Game, "ask", "no answer"}}},
      {"a game a launcher script started, in its job but not its leader",
       {{eWho::Game, "launched", "done"}, {eWho::Shell, "fg game", "done"}, {eWho::Type, "mode\n"},
        {eWho::Game, "read 1", "mode"}}},
      {"Return untranslated",
       {{eWho::Shell, "fg game", "done"}, {eWho::Shell, "keep CR", "done"}, {eWho::Type, "mode\rhelp\r\nls\n"},
        {eWho::Game, "read 3", "mode help ls"}}},
      {"a hang-up while the game is in the background",
       {{eWho::Shell, "fg shell", "done"}, {eWho::Game, "nothing read", "nothing"}, {eWho::HangUp, "hang-up"},
        {eWho::Game, "input ends", "ended"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RunTerminalRow(row.steps);
  }
}

// Input that is all there at once (a file) and input a writer keeps coming
// (a pipe) go at the same rate: each frame takes a megabyte, and the reading
// thread reads no more than that ahead, so a writer further ahead waits on
// its pipe: once it waits for the frames, it took exactly a megabyte. Mended:
// the thread read one 64 KiB chunk at a time and only once the frame had taken
// the last one, so piped input crawled at a chunk a frame.
TEST(Console, AFrameTakesAMegabyteOfInputAndThePipesReaderReadsNoFurtherAhead) {
  for (const bool piped : {false, true}) {
    SCOPED_TRACE(piped ? "a pipe" : "a file");
    cMessageCapture boxes;
    cPipedInput input;
    const std::string bytes = kLongLine + "\nhelp\n";
    size_t written = 0;
    if (piped) {
      fcntl(input.fds[1], F_SETFL, O_NONBLOCK);
      int inPipe = 0;
      // A short first read: whole pipefuls after it reach the bound only if the last stops short.
      ASSERT_TRUE(input.Write(bytes.substr(0, written = 1000)) && Sys_WaitStdinForTest(60000, written));
      // Write until the reader holds all it reads ahead and waits for the frames.
      for (int tries = 0; tries < 60000; ++tries) {
        const ssize_t wrote = write(input.fds[1], bytes.data() + written, bytes.size() - written);
        if (wrote > 0) written += (size_t)wrote;
        else if (Sys_WaitStdinHoldsAFramesShareForTest(1)) break;
      }
      ASSERT_EQ(ioctl(input.fds[1], FIONREAD, &inPipe), 0);
      EXPECT_EQ(written - (size_t)inPipe, kSysConsoleBytesPerFrame) << "what the reading thread took";
      fcntl(input.fds[1], F_SETFL, 0);
    }
    const int file = piped ? -1 : memfd_create("console", 0);
    if (!piped) {
      ASSERT_EQ(write(file, bytes.data(), bytes.size()), (ssize_t)bytes.size());
      lseek(file, 0, SEEK_SET);
      Sys_SetStdinForTest(file);
    }
    std::thread writer([&input, &bytes, written, piped] {
      if (piped) input.Write(bytes.substr(written));
      input.CloseWriter();
    });
    int frames = 0;
    std::string line;
    // Each frame once the reader holds as much as a frame takes, or the end.
    for (bool answered = false; !answered && frames < 1000; ++frames) {
      if (!Sys_WaitStdinHoldsAFramesShareForTest(60000)) {
        ADD_FAILURE() << "the reader stopped short of a frame's share";
        break;
      }
      while (Sys_PollStdinLine(line)) answered = line == "help";
    }
    Sys_SetStdinForTest(-1);
    close(input.fds[0]);  // a writer still blocked on a reader that gave up fails instead
    input.fds[0] = -1;
    writer.join();
    if (file >= 0) close(file);
    EXPECT_NEAR(frames, (int)(kLongLine.size() / kSysConsoleBytesPerFrame) + 1, 1) << "a megabyte a frame, or a piece more";
  }
}

// A child forked while the reading thread waits (here: holding all it reads
// ahead) has no reading thread: it must look at its input afresh, with a lock
// and a condition of its own, and read the rest of the pipe itself.
TEST(Console, AChildForkedWhileTheReaderWaitsReadsTheRestOfItsInput) {
  cMessageCapture boxes;
  cPipedInput input;
  const std::string bytes = kLongLine.substr(0, 2 * kSysConsoleBytesPerFrame) + "\nhelp\n";
  std::thread writer([&input, &bytes] {
    input.Write(bytes);
    input.CloseWriter();
  });
  ASSERT_TRUE(Sys_WaitStdinHoldsAFramesShareForTest(60000));
  EXPECT_EXIT(_exit(RunBodyInChild([] {
                const std::vector<std::string> lines = PollFrames(2, 2000, 10);  // the line's rest, and "help"
                EXPECT_TRUE(!lines.empty() && lines.back() == "help") << "the child did not read the rest";
              })),
              ::testing::ExitedWithCode(0), "");
  Sys_SetStdinForTest(-1);
  close(input.fds[0]);  // the writer, if the child left bytes, fails instead of waiting
  input.fds[0] = -1;
  writer.join();
}

// Fault mended: a flood of short commands ran ~200,000 of them in one frame
// (the bound counted bytes), and the game stopped answering for seconds. A
// frame takes a bounded number of lines, dropped ones included; the rest wait,
// unread, for the next frames, and none is lost. Mended: a file read to its
// end was not marked so, and its last line without a line end never ran.
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
      {"the file's last line without its line end", repeat("mode\n", limit) + "help", (size_t)limit, limit + 1u, 0},
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
    EXPECT_EQ(lines.back(), row.input.substr(row.input.rfind('\n', row.input.size() - 2) + 1, 4));
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
// Each row runs in a forked child, which has one thread as the game has when
// it opens its streams: another thread here (a sanitizer's start of a thread
// opens and closes a pipe) could take a closed descriptor in between.
TEST(Console, ClosedStandardStreamsAreOpenedOnDevNullAndNothingForeignIsRead) {
  struct stat null {};
  ASSERT_EQ(stat("/dev/null", &null), 0);
  const std::vector<int> rows[] = {{0}, {1}, {2}, {0, 1, 2}};
  for (const std::vector<int>& closed : rows) {
    SCOPED_TRACE(::testing::PrintToString(closed));
    EXPECT_EXIT(_exit(RunBodyInChild([&] {
                  for (int fd : closed) close(fd);
                  signal(SIGPIPE, SIG_DFL);
                  Sys_OpenStandardStreams();
                  EXPECT_EQ(signal(SIGPIPE, SIG_IGN), SIG_IGN);
                  int foreign[2];
                  ASSERT_TRUE(pipe(foreign) == 0 && write(foreign[1], "help\n", 5) == 5);
                  Sys_SetStdinForTest(-1);
                  std::string line;
                  for (int frame = 0; frame < 3; ++frame) EXPECT_FALSE(Sys_PollStdinLine(line));
                  int waiting = 0;
                  ioctl(foreign[0], FIONREAD, &waiting);
                  EXPECT_EQ(waiting, 5);
                  for (int fd : closed) {
                    struct stat stream {};
                    fstat(fd, &stream);
                    if (!S_ISCHR(stream.st_mode) || stream.st_rdev != null.st_rdev) _exit(2);  // its report may go nowhere
                  }
                })),
                ::testing::ExitedWithCode(0), "");
  }
}
