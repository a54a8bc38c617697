#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

SysAnswer cMessageCapture::OnMessageBox(const std::string& caption, const std::string& text, SysBox kind) {
  boxes.push_back({caption, text, kind});
  if (!answers.empty()) {
    SysAnswer a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  return kind == SysBox::YesNo ? SysAnswer::Yes : SysAnswer::Ok;
}

int cMessageCapture::Count(const std::string& caption) const {
  int n = 0;
  for (const Box& b : boxes) n += b.caption == caption;
  return n;
}

static int FailuresSoFar() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  return test ? test->result()->total_part_count() : 0;
}

cCapturedOutput::cCapturedOutput(Stream stream) : mStream(stream), mFailuresBefore(FailuresSoFar()) {
  if (mStream == Stream::Stdout) testing::internal::CaptureStdout();
  else testing::internal::CaptureStderr();
  LookAtTheStreamAfresh();
}

// The game's output writes a pipe or a terminal through a descriptor of its
// own: it must see that the capture's file now stands at 1 or 2, and later
// that the real stream is back.
void cCapturedOutput::LookAtTheStreamAfresh() const {
  Sys_SetOutputForTest(mStream == Stream::Stdout ? SysStream::Out : SysStream::Err, -1, 0);
}

const std::string& cCapturedOutput::End() {
  if (mEnded) return mText;
  mEnded = true;
  const bool out = mStream == Stream::Stdout;
  mText = out ? testing::internal::GetCapturedStdout() : testing::internal::GetCapturedStderr();
  LookAtTheStreamAfresh();
  if (FailuresSoFar() > mFailuresBefore) {
    fputs(mText.c_str(), out ? stdout : stderr);
    fflush(out ? stdout : stderr);
  }
  return mText;
}

uint32_t cFakeClock::sNow = 0;
cFakeClock::cFakeClock(uint32_t start) {
  sNow = start;
  Sys_SetClockForTest(&cFakeClock::Read);
}
cFakeClock::~cFakeClock() { Sys_SetClockForTest(nullptr); }

std::string FileContents(const std::string& path) {
  std::ifstream in(Sys_ResolvePath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

cScratchDir::cScratchDir() {
  char pattern[] = "/tmp/quorvel-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  mPath = made ? made : "/tmp";
}
cScratchDir::~cScratchDir() {
  std::error_code ignored;
  if (mPath != "/tmp") std::filesystem::remove_all(mPath, ignored);
}
void cScratchDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(File(name), std::ios::binary);
  out << bytes;
}

cScopedWorkingDir::cScopedWorkingDir(const std::string& path) : mPrevious(Sys_CurrentDirectory()) {
  mEntered = chdir(path.c_str()) == 0;
}
cScopedWorkingDir::~cScopedWorkingDir() {
  if (mEntered && chdir(mPrevious.c_str()) != 0) std::perror("cannot return to the test's working folder");
}

static pid_t gXvfbPid = 0;
static void StopXvfb() {
  if (gXvfbPid > 0) {
    kill(gXvfbPid, SIGTERM);
    waitpid(gXvfbPid, nullptr, 0);
  }
}

namespace {
struct cEndWithoutDriverTeardown : ::testing::EmptyTestEventListener {
  void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
    fflush(stdout);
    fflush(stderr);
    StopXvfb();
    _exit(unit.Passed() ? 0 : 1);
  }
};
}  // namespace

void EndTestProcessWithoutDriverTeardown() {
  static bool armed = false;
  if (armed) return;
  armed = true;
  ::testing::UnitTest::GetInstance()->listeners().Append(new cEndWithoutDriverTeardown);
}

// Xvfb picks a free display number itself and writes it to the pipe once it
// accepts connections, so parallel test processes never race for one number.
// The server's pid, or 0 when none started; DISPLAY points at it.
static pid_t StartXvfb(int width = 1280, int height = 1024) {
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  for (int attempt = 0; attempt < 5; ++attempt) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) break;
    const pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) {
      // The server ends with the process that started it, however that ends,
      // and holds none of its pipes: a death test's parent waits for those to close.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) _exit(127);
      close_range(3, (unsigned)pipeFds[1] - 1, 0);
      close_range((unsigned)pipeFds[1] + 1, ~0U, 0);
      std::string fd = std::to_string(pipeFds[1]);
      int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0) { dup2(devnull, 1); dup2(devnull, 2); }
      execlp("Xvfb", "Xvfb", "-screen", "0", screen.c_str(), "-noreset", "-nolisten", "tcp", "-displayfd", fd.c_str(),
             (char*)nullptr);
      _exit(127);
    }
    close(pipeFds[1]);
    // The number and its line end come in two writes: the pipe stays open for
    // the second, or the server dies writing it.
    char buffer[32] = {0};
    size_t got = 0;
    while (got < sizeof buffer - 1 && !strchr(buffer, '\n')) {
      const ssize_t more = read(pipeFds[0], buffer + got, sizeof buffer - 1 - got);
      if (more <= 0) break;
      got += (size_t)more;
    }
    close(pipeFds[0]);
    if (strchr(buffer, '\n')) {
      setenv("DISPLAY", (":" + std::to_string(atoi(buffer))).c_str(), 1);
      return pid;
    }
    if (pid > 0) waitpid(pid, nullptr, 0);
  }
  return 0;
}

bool EnsureTestDisplay() {
  static int state = 0;  // 0 unknown, 1 ready, -1 failed
  if (state) return state > 0;
  // The suite normally runs under one shared server (setup.sh starts it);
  // otherwise each test process gets its own.
  const char* display = getenv("DISPLAY");
  if (display && *display) return (state = 1) > 0;
  gXvfbPid = StartXvfb();
  if (gXvfbPid) atexit(StopXvfb);
  state = gXvfbPid ? 1 : -1;
  return state > 0;
}

cPrivateTestDisplay::cPrivateTestDisplay(int width, int height) {
  const char* display = getenv("DISPLAY");
  mPreviousDisplay = display ? display : "";
  mPid = StartXvfb(width, height);
}
void cPrivateTestDisplay::Kill() {
  if (mPid > 0) kill(mPid, SIGKILL), waitpid(mPid, nullptr, 0);
  mPid = -1;  // started, and gone
}
cPrivateTestDisplay::~cPrivateTestDisplay() {
  if (!mPid) return;
  if (mPid > 0) kill(mPid, SIGTERM), waitpid(mPid, nullptr, 0);
  if (mPreviousDisplay.empty()) unsetenv("DISPLAY");
  else setenv("DISPLAY", mPreviousDisplay.c_str(), 1);
}

cTestWindowManager::cTestWindowManager(const char* name) {
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // A group of its own: the session bus and the settings daemon it starts end with it.
    setpgid(0, 0);
    signal(SIGTERM, [](int) { kill(0, SIGKILL); });  // a program run here starts without it
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // it ends with the process that started it, as the server does
    if (getppid() != parent) _exit(127);
    close_range(3, ~0U, 0);
    int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) { dup2(devnull, 0); dup2(devnull, 1); dup2(devnull, 2); }
    setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus, which would outlive the session
    if (!strcmp(name, "openbox")) execlp("openbox", "openbox", "--sm-disable", (char*)nullptr);
    // dbus-run-session leaves its bus behind when it is ended: this process
    // stays to end the whole group, should the test end without its destructor.
    const pid_t session = fork();
    if (session == 0) {
      if (!strcmp(name, "xfwm4")) execlp("dbus-run-session", "dbus-run-session", "xfwm4", "--compositor=off", (char*)nullptr);
      else execlp("dbus-run-session", "dbus-run-session", name, (char*)nullptr);
      _exit(127);
    }
    int status = 0;
    if (session > 0) waitpid(session, &status, 0);
    _exit(127);
  }
  if (pid < 0) return;
  setpgid(pid, pid);  // as the child does, whichever runs first
  mPid = pid;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!mStarted && std::chrono::steady_clock::now() < deadline) {
    if (waitpid(mPid, nullptr, WNOHANG) == mPid) {  // it ended (not installed, no display)
      mPid = 0;
      break;
    }
    int count = 0;
    Atom* properties = XListProperties(display, DefaultRootWindow(display), &count);
    for (int i = 0; i < count; ++i) mStarted = mStarted || properties[i] == check;
    if (properties) XFree(properties);
    if (!mStarted) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XCloseDisplay(display);
}
cTestWindowManager::~cTestWindowManager() {
  if (!mPid) return;
  // The whole group: xfwm4 and metacity take their time over SIGTERM.
  if (kill(-mPid, SIGKILL) != 0) kill(mPid, SIGKILL);
  waitpid(mPid, nullptr, 0);
}

namespace {
int FailedPartsSoFar() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result->total_part_count(); ++i) failed += result->GetTestPartResult(i).failed();
  return failed;
}
}  // namespace

int RunBodyInChild(const std::function<void()>& body) {
  int inherited = FailedPartsSoFar();
  body();
  fflush(stdout);
  // The parent's report shows only what the child wrote to standard error:
  // the child's own failures go there, or the parent could only say "exit 1".
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int seen = 0;
  for (int i = 0; i < result->total_part_count(); ++i) {
    const ::testing::TestPartResult& part = result->GetTestPartResult(i);
    if (!part.failed() || seen++ < inherited) continue;
    fprintf(stderr, "%s:%d: Failure\n%s\n", part.file_name() ? part.file_name() : "?", part.line_number(),
            part.message());
  }
  fflush(stderr);
  return FailedPartsSoFar() > inherited ? 1 : 0;
}

// "threadsafe" re-executes the binary for the one case instead of forking
// this process with whatever earlier cases left in it (windows, threads,
// statics, a started program).
cDeathTestsInFreshProcesses::cDeathTestsInFreshProcesses() : mStyle(GTEST_FLAG_GET(death_test_style)) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
}
cDeathTestsInFreshProcesses::~cDeathTestsInFreshProcesses() { GTEST_FLAG_SET(death_test_style, mStyle); }

void RunInFreshProcess(const std::function<void()>& body) {
  cDeathTestsInFreshProcesses fresh;
  EXPECT_EXIT(_exit(RunBodyInChild(body)), ::testing::ExitedWithCode(0), "");
}

void DropEarlyMessages() {
  Sys_SetMessageEcho([](const char*) {});
  Sys_SetMessageEcho(nullptr);
  Sys_SetMessageShow([](const char*, const char*) {});
  Sys_SetMessageShow(nullptr);
}
