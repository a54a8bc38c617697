// Fatal signals become crash reports. The handler runs on an alternate stack
// (so a stack overflow can still be reported) and describes the fault in the
// exception codes the report uses. A fault inside the reporter itself lands
// in the innermost fault-tolerant call, or, outside one, goes to whatever
// handled the signal before us.
#include <execinfo.h>
#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Sys.h"

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

struct cCrashState {
  SysCrashCallback callback = nullptr;
  struct sigaction previous[kSignalCount] = {};
  bool installed = false;
  volatile sig_atomic_t handling = 0;
  sigjmp_buf tolerant;
  volatile sig_atomic_t tolerantArmed = 0;
  sigjmp_buf protectedCall;
  volatile sig_atomic_t protectedArmed = 0;
};
cCrashState gCrash;
alignas(16) char gAlternateStack[128 * 1024];

// Exception codes, by the platform's names for them.
constexpr uint32_t kAccessViolation = 0xC0000005, kStackOverflow = 0xC00000FD, kMisaligned = 0x80000002,
                   kInPageError = 0xC0000006, kIllegal = 0xC000001D, kPrivileged = 0xC0000096,
                   kBreakpoint = 0x80000003, kSingleStep = 0x80000004, kIntDivide = 0xC0000094,
                   kIntOverflow = 0xC0000095, kFltDivide = 0xC000008E, kFltOverflow = 0xC0000091,
                   kFltUnderflow = 0xC0000093, kFltInexact = 0xC000008F, kFltInvalid = 0xC0000090,
                   kBounds = 0xC000008C, kFatalAppExit = 0x40000015;

uint32_t CodeOf(int signal, int code, uint64_t faultAddress, uint64_t stackPointer) {
  switch (signal) {
    case SIGSEGV: {
      // A fault just below the stack pointer is the stack running out.
      bool nearStack = faultAddress + 65536 >= stackPointer && faultAddress < stackPointer + 4096;
      return nearStack && !Sys_IsReadable(faultAddress) ? kStackOverflow : kAccessViolation;
    }
    case SIGBUS: return code == BUS_ADRALN ? kMisaligned : kInPageError;
    case SIGILL: return (code == ILL_PRVOPC || code == ILL_PRVREG) ? kPrivileged : kIllegal;
    case SIGTRAP: return code == TRAP_TRACE ? kSingleStep : kBreakpoint;
    case SIGABRT: return kFatalAppExit;
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV: return kIntDivide;
        case FPE_INTOVF: return kIntOverflow;
        case FPE_FLTDIV: return kFltDivide;
        case FPE_FLTOVF: return kFltOverflow;
        case FPE_FLTUND: return kFltUnderflow;
        case FPE_FLTRES: return kFltInexact;
        case FPE_FLTSUB: return kBounds;
        default: return kFltInvalid;
      }
  }
  return 0;
}

SysCrash Describe(int signal, const siginfo_t* info, const void* context) {
  SysCrash crash;
  crash.signal = signal;
  crash.signalCode = info->si_code;
  crash.threadId = (uint32_t)syscall(SYS_gettid);
  crash.context = context;
#if defined(__x86_64__)
  const greg_t* g = static_cast<const ucontext_t*>(context)->uc_mcontext.gregs;
  const int order[SysRegisterCount] = {REG_RAX, REG_RBX, REG_RCX, REG_RDX, REG_RSI, REG_RDI, REG_RBP, REG_RSP, REG_R8,
                                       REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP, REG_EFL};
  for (int i = 0; i < SysRegisterCount; ++i) crash.registers[i] = (uint64_t)g[order[i]];
  bool write = (g[REG_ERR] & 2) != 0;  // the page-fault error code's write bit
#else
  bool write = false;
#endif
  crash.address = crash.registers[SysRIP];
  // A signal another process (or this one) sent carries the sender where a
  // fault carries its address: there was no access to report. The game's own
  // breakpoint and abort (raised, so sent too) keep their names: no address
  // is made up for them.
  const int code = info->si_code;
  if (code == SI_USER || code == SI_TKILL || code == SI_QUEUE || code == SI_MESGQ) {  // the others name no sender
    crash.senderPid = (int)info->si_pid;
    crash.senderUid = (uint32_t)info->si_uid;
  }
  const bool raisedHere = crash.senderPid == getpid() && (signal == SIGTRAP || signal == SIGABRT);
  crash.sent = code <= 0 && !raisedHere;
  uint64_t faultAddress = crash.sent ? 0 : (uint64_t)(uintptr_t)info->si_addr;
  crash.code = CodeOf(signal, code, faultAddress, crash.registers[SysRSP]);
  if (crash.code == kAccessViolation && !crash.sent) {
    crash.parameters[0] = write ? 1 : 0;
    crash.parameters[1] = faultAddress;
    crash.parameterCount = 2;
  }
  return crash;
}

void RestorePrevious(int signal) {
  for (int i = 0; i < kSignalCount; ++i)
    if (kSignals[i] == signal) sigaction(signal, &gCrash.previous[i], nullptr);
}

void OnFatalSignal(int signal, siginfo_t* info, void* context) {
  if (gCrash.tolerantArmed) {
    gCrash.tolerantArmed = 0;
    siglongjmp(gCrash.tolerant, 1);
  }
  if (!gCrash.handling && gCrash.callback) {
    gCrash.handling = 1;
    bool resume = gCrash.callback(Describe(signal, info, context));
    gCrash.handling = 0;
    if (resume && gCrash.protectedArmed) {
      gCrash.protectedArmed = 0;
      siglongjmp(gCrash.protectedCall, 1);
    }
  }
  // Not ours to end: the action in place before us takes the signal. A fault
  // repeats when the instruction runs again; a sent signal is sent once more.
  RestorePrevious(signal);
  if (info->si_code <= 0 || signal == SIGABRT || signal == SIGTRAP) raise(signal);
}

}  // namespace

bool Sys_InstallCrashHandler(SysCrashCallback callback) {
  gCrash.callback = callback;
  if (gCrash.installed) return true;
  void* warm[4];
  backtrace(warm, 4);  // the unwinder loads its library now, not in the middle of a crash
  tzset();
  stack_t stack = {};
  stack.ss_sp = gAlternateStack;
  stack.ss_size = sizeof gAlternateStack;
  if (sigaltstack(&stack, nullptr) != 0) return false;
  struct sigaction action = {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &gCrash.previous[i]);
  gCrash.installed = true;
  return true;
}

void Sys_RemoveCrashHandler() {
  if (!gCrash.installed) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &gCrash.previous[i], nullptr);
  gCrash.installed = false;
  gCrash.callback = nullptr;
}

// Runs call with `landing` armed; true when a fault jumped back to it. An
// outer landing of the same kind is kept and put back afterwards.
static bool CallWithLanding(sigjmp_buf& landing, volatile sig_atomic_t& armed, void (*call)(void*), void* argument) {
  sigjmp_buf outer;
  memcpy(&outer, &landing, sizeof outer);
  sig_atomic_t outerArmed = armed;
  bool faulted = false;
  if (sigsetjmp(landing, 1) == 0) {
    armed = 1;
    call(argument);
  } else {
    faulted = true;
  }
  memcpy(&landing, &outer, sizeof outer);
  armed = outerArmed;
  return faulted;
}

bool Sys_RunCrashProtected(void (*call)(void*), void* argument) {
  return CallWithLanding(gCrash.protectedCall, gCrash.protectedArmed, call, argument);
}

bool Sys_RunFaultTolerant(void (*call)(void*), void* argument) {
  // Only the signals our handler catches are tolerated, so the handler must be in place.
  if (!gCrash.installed) {
    call(argument);
    return true;
  }
  return !CallWithLanding(gCrash.tolerant, gCrash.tolerantArmed, call, argument);
}

bool Sys_CrashGuardDisabledByEnvironment() {
  const char* off = getenv("QUORVEL_NO_CRASH_GUARD");
  return off && *off && strcmp(off, "0") != 0;
}

bool Sys_IsDebuggerAttached() {
  int fd = open("/proc/self/status", O_RDONLY);
  if (fd < 0) return false;
  char text[4096];
  ssize_t got = read(fd, text, sizeof text - 1);
  close(fd);
  if (got <= 0) return false;
  text[got] = '\0';
  const char* tracer = strstr(text, "TracerPid:");
  return tracer && atoi(tracer + 10) != 0;
}

const char* Sys_SignalDescription(int signal) { return strsignal(signal); }

void Sys_ExitImmediately(int status) { _exit(status); }

void Sys_CrashLocalTime(int& year, int& month, int& day, int& hour, int& minute, int& second) {
  time_t now = time(nullptr);
  struct tm local = {};
  localtime_r(&now, &local);
  year = local.tm_year + 1900;
  month = local.tm_mon + 1;
  day = local.tm_mday;
  hour = local.tm_hour;
  minute = local.tm_min;
  second = local.tm_sec;
}

int Sys_CreateNewFile(const char* path) { return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644); }
int Sys_CreateOrTruncateFile(const char* path) { return open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644); }

bool Sys_WriteFd(int fd, const void* bytes, size_t size) {
  const char* p = static_cast<const char*>(bytes);
  while (size > 0) {
    ssize_t put = write(fd, p, size);
    if (put <= 0) return false;
    p += put;
    size -= (size_t)put;
  }
  return true;
}

void Sys_CloseFd(int fd) {
  if (fd >= 0) close(fd);
}

void Sys_DebugBreak() { raise(SIGTRAP); }
