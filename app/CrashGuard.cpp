#include "app/CrashGuard.h"

#include <cstdio>

#include "platform/Sys.h"

namespace {

cCrashHandler* gLiveHandler = nullptr;  // the one the signal callback reports through
void (*gCrashClock)(int&, int&, int&, int&, int&, int&) = nullptr;

bool OnCrash(const SysCrash& crash) { return gLiveHandler && gLiveHandler->HandleException(crash); }

// Two crashes in one second must not share a name: the report takes the first
// free name ("_1", "_2"... after the time) and the minidump follows it.
int CreateReportFile(const int t[6], char* report, char* minidump, size_t size) {
  for (int n = 0; n < 1000; ++n) {
    char suffix[16] = "";
    if (n) snprintf(suffix, sizeof suffix, "_%d", n);
    snprintf(report, size, "exception_%04d%02d%02d_%02d%02d%02d%s.txt", t[0], t[1], t[2], t[3], t[4], t[5], suffix);
    snprintf(minidump, size, "minidump_%04d%02d%02d_%02d%02d%02d%s.mdmp", t[0], t[1], t[2], t[3], t[4], t[5], suffix);
    int fd = Sys_CreateNewFile(report);
    if (fd >= 0) return fd;
  }
  return -1;
}

}  // namespace

void cCrashHandler::SetCrashTimeForTest(void (*clock)(int&, int&, int&, int&, int&, int&)) { gCrashClock = clock; }

cCrashHandler::cCrashHandler(cCrashGuard* guard) : mGuard(guard) {
  gLiveHandler = this;
  Install(true);
}

cCrashHandler::~cCrashHandler() {
  if (gLiveHandler == this) gLiveHandler = nullptr;
  Install(false);
}

void cCrashHandler::Install(bool on) {
  if (on && !mInstalled) mInstalled = Sys_InstallCrashHandler(OnCrash);
  if (!on && mInstalled) {
    Sys_RemoveCrashHandler();
    mInstalled = false;
  }
}

bool cCrashHandler::HandleException(const SysCrash& crash) {
  int* t = mTime;
  (gCrashClock ? gCrashClock : Sys_CrashLocalTime)(t[0], t[1], t[2], t[3], t[4], t[5]);
  mGuard->Notify(kCrashHandling);

  char report[96], minidump[96];
  int fd = CreateReportFile(mTime, report, minidump, sizeof report);
  if (fd >= 0) {
    if (mSections) WriteReport(crash, fd);
    Sys_CloseFd(fd);
  }
  WriteMinidump(crash, minidump);
  mGuard->Notify(kCrashReported);

  if (mTerminate) Sys_ExitImmediately(-1);  // the process ends here, as the report says it did: status 255
  return !Sys_IsDebuggerAttached();         // a debugger gets the fault itself
}

void cCrashHandler::WriteMinidump(const SysCrash& crash, const char* path) {
  int fd = Sys_CreateOrTruncateFile(path);
  if (fd < 0) return;
  Sys_WriteMinidump(fd, crash);
  Sys_CloseFd(fd);
}

cCrashGuard::cCrashGuard() {
  if (!Sys_CrashGuardDisabledByEnvironment()) Enable(true);
}

cCrashGuard::~cCrashGuard() {
  if (!mBusy && mHandler) {
    Notify(kCrashRemoving);
    delete mHandler;
    mHandler = nullptr;
  }
  mClients.clear();
}

void cCrashGuard::Enable(bool on) {
  if (on && !mHandler) {
    mHandler = new cCrashHandler(this);
    Notify(kCrashInstalled);
  } else if (!on && mHandler && !mBusy) {
    Notify(kCrashRemoving);
    delete mHandler;
    mHandler = nullptr;
  }
}

bool cCrashGuard::RunProtected(void (*function)(void*), void* argument) {
  if (!mHandler) {
    function(argument);
    return false;
  }
  mBusy = true;
  bool crashed = Sys_RunCrashProtected(function, argument);
  mBusy = false;
  return crashed;
}

bool cCrashGuard::WriteLine(const char* text) {
  if (!mHandler || mHandler->ReportHandle() < 0) return false;
  char line[1024];
  int n = snprintf(line, sizeof line, "%s\n", text ? text : "");
  return Sys_WriteFd(mHandler->ReportHandle(), line, (size_t)(n < (int)sizeof line ? n : (int)sizeof line - 1));
}

void cCrashGuard::Notify(int event) {
  for (cICrashReportClient* client : mClients) client->OnCrashEvent(this, event);
}
