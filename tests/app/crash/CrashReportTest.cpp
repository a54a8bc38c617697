#include <gtest/gtest.h>

#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/CrashGuard.h"
#include "app/CrashReportFormat.h"
#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::string> Rows(uint64_t start, uint64_t length, uint64_t marked, bool align, const char* prefix) {
  std::vector<std::string> rows;
  DumpMemory(start, length, marked, align, prefix,
             [](const char* row, void* out) { static_cast<std::vector<std::string>*>(out)->push_back(row); }, &rows);
  return rows;
}

std::string Hex(uint64_t v) {
  char text[32];
  snprintf(text, sizeof text, "%08llx", (unsigned long long)v);
  return text;
}

TEST(CrashReport, MemoryDumpRows) {
  long page = sysconf(_SC_PAGESIZE);
  uint8_t* pages = (uint8_t*)mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(pages, MAP_FAILED);
  uint8_t* edge = pages + page;
  const char text[] = "ABCDEFGH";
  memcpy(edge - 8, text, 8);
  edge[-9] = 0x07;
  ASSERT_EQ(mprotect(edge, page, PROT_NONE), 0);

  // From 9 bytes before the unreadable page, 20 bytes, aligned, marking 'B'.
  uint64_t start = (uint64_t)(edge - 9);
  std::vector<std::string> rows = Rows(start, 20, start + 2, true, "EAX ");
  ASSERT_EQ(rows.size(), 2u);
  uint64_t row0 = (uint64_t)(edge - 16);
  EXPECT_EQ(rows[0], "EAX " + Hex(row0) + " |                      07 41<42>43 44 45 46 47 48 |        .ABCDEFGH |");
  EXPECT_EQ(rows[1], "    " + Hex(row0 + 16) + " | ?? ?? ?? ?? ?? ?? ?? ?? ?? ?? ??                | ???????????      |");

  // Unaligned: rows start at the first byte, and there is no prefix.
  rows = Rows((uint64_t)(edge - 8), 3, (uint64_t)(edge - 6), false, nullptr);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], Hex((uint64_t)(edge - 8)) + " | 41 42<43                                        | ABC              |");
  munmap(pages, 2 * page);
}

std::string Name(const SysCrash& crash, const char* system) {
  char out[128];
  FormatExceptionName(out, sizeof out, crash, system);
  return out;
}

// A fault: its exception code and, for an access violation, whether it wrote and where.
std::string Name(uint32_t code, uint64_t write = 0, uint64_t address = 0, const char* system = nullptr) {
  SysCrash crash;
  crash.code = code;
  crash.parameters[0] = write;
  crash.parameters[1] = address;
  crash.parameterCount = 2;
  return Name(crash, system);
}

// A signal another process sent (pid 0: its kind names no sender), with the
// code and the parameters a fault would have, read from the signal's fields
// (where the sender's pid and uid lie in place of a fault address).
std::string Sent(uint32_t code, int signal, int pid, uint32_t uid, const char* system) {
  SysCrash crash;
  crash.code = code;
  crash.signal = signal;
  crash.signalCode = SI_USER;
  crash.parameters[1] = (uint64_t)uid << 32 | (uint32_t)pid;
  crash.parameterCount = 2;
  crash.sent = true;
  crash.senderPid = pid;
  crash.senderUid = uid;
  return Name(crash, system);
}

TEST(CrashReport, ExceptionNames) {
  EXPECT_EQ(Name(0xC0000005, 0, 0), "ACCESS_VIOLATION reading address 0x00000000");
  EXPECT_EQ(Name(0xC0000005, 1, 0x1234), "ACCESS_VIOLATION writing address 0x00001234");
  EXPECT_EQ(Name(0xC0000005, 0, 0x7ffd12345678), "ACCESS_VIOLATION reading address 0x7ffd12345678");
  EXPECT_EQ(Name(0xC0000094), "INT_DIVIDE_BY_ZERO");
  EXPECT_EQ(Name(0x80000003), "BREAKPOINT");
  EXPECT_EQ(Name(0xC00000FD), "STACK_OVERFLOW");
  EXPECT_EQ(Name(0x80000001), "GUARD_PAGE");
  EXPECT_EQ(Name(0x40000015, 0, 0, "Aborted"), "Aborted");
  EXPECT_EQ(Name(0x12345678), "Unknown exception 0x12345678");
  EXPECT_EQ(Sent(0xC0000005, SIGSEGV, 4321, 1000, "Segmentation fault"),
            "Signal 11 (Segmentation fault) sent by process 4321 (uid 1000)");
  EXPECT_EQ(Sent(0xC0000090, SIGFPE, 77, 0, "Floating point exception"),
            "Signal 8 (Floating point exception) sent by process 77 (uid 0)");
  EXPECT_EQ(Sent(0x80000003, SIGTRAP, 99, 0, nullptr), "Signal 5 sent by process 99 (uid 0)");
  EXPECT_EQ(Sent(0xC0000005, SIGSEGV, 0, 0, "Segmentation fault"), "Signal 11 (Segmentation fault) sent");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> FilesLike(const std::string& dir, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().filename().string().rfind(prefix, 0) == 0) found.push_back(e.path().string());
  std::sort(found.begin(), found.end());
  return found;
}

// The sanitizers would stop at the null pointer before it faults.
__attribute__((noinline, no_sanitize("undefined"))) int ReadNothing() {
  static volatile int* volatile nowhere = nullptr;
  return *nowhere;
}

// Not under a sanitizer's own fault handler: the reporter must see the fault itself.
TEST(CrashReportDeathTest, ANullReadIsReportedAndEndsTheProgram) {
  cScratchDir scratch;
  EXPECT_EXIT(
      {
        if (chdir(scratch.Path().c_str()) != 0) _exit(1);
        cCrashGuard guard;
        guard.Enable(true);
        ReadNothing();
        _exit(0);
      },
      ::testing::ExitedWithCode(255), "");
  std::vector<std::string> reports = FilesLike(scratch.Path(), "exception_");
  ASSERT_EQ(reports.size(), 1u);
  std::string name = std::filesystem::path(reports[0]).filename().string();
  EXPECT_EQ(name.size(), strlen("exception_YYYYMMDD_hhmmss.txt")) << name;
  EXPECT_EQ(name.substr(name.size() - 4), ".txt");
  std::string report = ReadFile(reports[0]);
  EXPECT_EQ(report.rfind("[header]\nException time: ", 0), 0u) << report.substr(0, 200);
  EXPECT_NE(report.find("\nException code: ACCESS_VIOLATION reading address 0x00000000\n"), std::string::npos);
  EXPECT_NE(report.find("ReadNothing()+0x"), std::string::npos) << "the faulting function is named in the stack";
  for (const char* section : {"[stack]", "[registers]", "[modules]", "[memory]", "[extra]"})
    EXPECT_NE(report.find(std::string("\n") + section + "\n"), std::string::npos) << section;
  EXPECT_EQ(report.find('\r'), std::string::npos);
  EXPECT_EQ(FilesLike(scratch.Path(), "minidump_").size(), 1u);
}

void FixedCrashTime(int& y, int& mo, int& d, int& h, int& mi, int& s) { y = 2024, mo = 5, d = 6, h = 7, mi = 8, s = 9; }

uint32_t Le32(const std::string& b, size_t at) {
  return (uint8_t)b[at] | (uint8_t)b[at + 1] << 8 | (uint8_t)b[at + 2] << 16 | (uint32_t)(uint8_t)b[at + 3] << 24;
}

// Another process that sends SIGSEGV, as `kill -SEGV` would, to the protected
// call: it starts the child, lets it send once it knows the child's pid, and
// waits; the handler jumps out of the wait.
struct cSegvSender {
  pid_t pid = -1;
  int go[2] = {-1, -1};  // a pipe: a byte written tells the child to send
};
void SegvFromAChild(void* p) {
  cSegvSender* sender = static_cast<cSegvSender*>(p);
  const pid_t parent = getpid();
  sender->pid = fork();
  if (sender->pid == 0) {
    close(sender->go[1]);
    char go;
    if (read(sender->go[0], &go, 1) == 1) kill(parent, SIGSEGV);
    _exit(0);
  }
  if (sender->pid < 0 || write(sender->go[1], "!", 1) != 1) return;
  while (poll(nullptr, 0, 60000) < 0 && errno == EINTR) {
  }
}

// Six crashes in one second: two faults, a signal the process sent itself and
// one another process sent, which the report puts down to their senders, not
// to an address, and the game's own breakpoint (an assert's Abort) and abort,
// raised too but named as before.
TEST(CrashReport, CrashesInOneSecondKeepEveryReport) {
  cScratchDir scratch;
  cSegvSender child;
  ASSERT_EQ(pipe(child.go), 0);
  std::string home = Sys_CurrentDirectory();
  ASSERT_EQ(chdir(scratch.Path().c_str()), 0);
  cCrashHandler::SetCrashTimeForTest(FixedCrashTime);
  {
    cCrashGuard guard;
    guard.Enable(true);
    guard.SetTerminate(false);
    auto crash = [](void*) { ReadNothing(); };
    EXPECT_TRUE(guard.RunProtected(crash, nullptr));
    EXPECT_TRUE(guard.RunProtected(crash, nullptr));
    EXPECT_TRUE(guard.RunProtected([](void*) { raise(SIGSEGV); }, nullptr));
    EXPECT_TRUE(guard.RunProtected([](void*) { Sys_DebugBreak(); }, nullptr));
    EXPECT_TRUE(guard.RunProtected([](void*) { abort(); }, nullptr));
    EXPECT_TRUE(guard.RunProtected(SegvFromAChild, &child)) << "no SIGSEGV from the child within 60 s";
    EXPECT_FALSE(guard.RunProtected([](void*) {}, nullptr));
  }
  close(child.go[0]);
  close(child.go[1]);
  if (child.pid > 0) waitpid(child.pid, nullptr, 0);
  cCrashHandler::SetCrashTimeForTest(nullptr);
  ASSERT_EQ(chdir(home.c_str()), 0);

  std::vector<std::string> reports = FilesLike(scratch.Path(), "exception_");
  std::vector<std::string> dumps = FilesLike(scratch.Path(), "minidump_");
  ASSERT_GT(child.pid, 0) << "fork failed";
  ASSERT_EQ(reports.size(), 6u);
  EXPECT_EQ(reports[0], scratch.File("exception_20240506_070809.txt"));
  EXPECT_EQ(reports[1], scratch.File("exception_20240506_070809_1.txt"));
  EXPECT_EQ(reports[2], scratch.File("exception_20240506_070809_2.txt"));
  ASSERT_EQ(dumps.size(), 6u);
  EXPECT_EQ(dumps[1], scratch.File("minidump_20240506_070809_1.mdmp"));
  EXPECT_NE(ReadFile(reports[1]).find("\nException code: ACCESS_VIOLATION reading address 0x00000000\n"),
            std::string::npos);
  auto sentBy = [](pid_t sender) {
    return std::string("\nException code: Signal 11 (") + Sys_SignalDescription(SIGSEGV) + ") sent by process " +
           std::to_string(sender) + " (uid " + std::to_string(getuid()) + ")\n";
  };
  const std::string sent = ReadFile(reports[2]);
  EXPECT_NE(sent.find(sentBy(getpid())), std::string::npos) << sent.substr(0, 200);
  EXPECT_NE(ReadFile(reports[3]).find("\nException code: BREAKPOINT\n"), std::string::npos);
  const std::string aborted = ReadFile(reports[4]);
  EXPECT_NE(aborted.find(std::string("\nException code: ") + Sys_SignalDescription(SIGABRT) + "\n"), std::string::npos)
      << aborted.substr(0, 200);
  const std::string killed = ReadFile(reports[5]);
  EXPECT_NE(killed.find(sentBy(child.pid)), std::string::npos) << killed.substr(0, 200);

  // The minidump: signature, a stream directory whose streams lie inside the file, and
  // the thread list, module list, exception and system information among them.
  std::string dump = ReadFile(dumps[0]);
  ASSERT_GT(dump.size(), 32u);
  EXPECT_EQ(dump.substr(0, 4), "MDMP");
  uint32_t streams = Le32(dump, 8), directory = Le32(dump, 12);
  ASSERT_LE(directory + 12ull * streams, dump.size());
  std::set<uint32_t> types;
  for (uint32_t i = 0; i < streams; ++i) {
    uint32_t type = Le32(dump, directory + 12 * i), size = Le32(dump, directory + 12 * i + 4),
             at = Le32(dump, directory + 12 * i + 8);
    EXPECT_LE((uint64_t)at + size, dump.size()) << "stream " << type;
    types.insert(type);
  }
  for (uint32_t wanted : {3u, 4u, 5u, 6u, 7u}) EXPECT_TRUE(types.count(wanted)) << "stream type " << wanted;
}

}  // namespace
