// Reports a crash of the program: on a fatal signal the handler writes a text
// report "exception_YYYYMMDD_hhmmss.txt" and a minidump "minidump_....mdmp"
// into the current folder, then ends the process with status 255 (-1).
// Start-up keeps one guard for the whole run; QUORVEL_NO_CRASH_GUARD=1 leaves
// the signals to a sanitizer or a debugger instead.
#pragma once

#include <cstdint>
#include <vector>

struct SysCrash;
class cCrashGuard;

enum eCrashEvent {
  kCrashHandling = 0,    // before any file is written
  kCrashReported = 1,    // the report and the minidump are done
  kCrashInstalled = 2,
  kCrashRemoving = 3,
  kCrashExtraBegin = 4,  // 4 and 5: the extra section is open for cCrashGuard::WriteLine
  kCrashExtraEnd = 5,
};

enum : uint32_t {
  kCrashSectionHeader = 1,
  kCrashSectionStack = 2,
  kCrashSectionRegisters = 4,
  kCrashSectionModules = 8,
  kCrashSectionExtra = 16,
  kCrashSectionMemory = 32,
  kCrashSectionsAll = 0xFFFFFFFFu,
};

class cICrashReportClient {
 public:
  virtual ~cICrashReportClient() = default;
  virtual void OnCrashEvent(cCrashGuard* guard, int event) = 0;
};

class cCrashHandler {
 public:
  explicit cCrashHandler(cCrashGuard* guard);
  ~cCrashHandler();
  void Install(bool on);
  bool IsInstalled() const { return mInstalled; }
  void SetTerminate(bool on) { mTerminate = on; }
  bool GetTerminate() const { return mTerminate; }
  void SetSections(uint32_t sections) { mSections = sections; }
  int ReportHandle() const { return mReport; }  // valid only while the extra section is open

  bool HandleException(const SysCrash& crash);  // true: resume in the protected call that faulted

  // The local time a crash is stamped with; nullptr restores the clock.
  static void SetCrashTimeForTest(void (*clock)(int& year, int& month, int& day, int& hour, int& minute, int& second));

 private:
  void WriteReport(const SysCrash& crash, int fd);
  void WriteMinidump(const SysCrash& crash, const char* path);

  cCrashGuard* mGuard;
  bool mInstalled = false;
  bool mTerminate = true;
  uint32_t mSections = kCrashSectionsAll;
  int mReport = -1;
  int mTime[6] = {};  // year, month, day, hour, minute, second
};

class cCrashGuard {
 public:
  cCrashGuard();
  ~cCrashGuard();
  cCrashGuard(const cCrashGuard&) = delete;
  cCrashGuard& operator=(const cCrashGuard&) = delete;

  void Enable(bool on);
  bool IsEnabled() const { return mHandler != nullptr; }
  bool IsInstalled() const { return mHandler && mHandler->IsInstalled(); }
  void SetTerminate(bool on) { if (mHandler) mHandler->SetTerminate(on); }
  bool GetTerminate() const { return mHandler && mHandler->GetTerminate(); }
  void SetSections(uint32_t sections) { if (mHandler) mHandler->SetSections(sections); }

  bool RunProtected(void (*function)(void*), void* argument);  // true when a crash in it was reported
  bool WriteLine(const char* text);                           // only while the extra section is open

  void AddClient(cICrashReportClient* client) { mClients.push_back(client); }
  void Notify(int event);

 private:
  cCrashHandler* mHandler = nullptr;
  bool mBusy = false;
  std::vector<cICrashReportClient*> mClients;
};
