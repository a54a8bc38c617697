// The debug window: the last 1000 lines of diagnostic text and the console
// commands typed into it. The model lives here; the on-screen view (a GLUI
// panel) and the standard-output mirror only read it.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

class tDebugCommand {
 public:
  tDebugCommand(const std::string& name, const std::string& usage) : mName(name), mUsage(usage) {}
  virtual ~tDebugCommand() = default;
  virtual void Execute(const std::string& line) = 0;  // the whole typed line, command word included
  const std::string& GetName() const { return mName; }
  const std::string& GetUsage() const { return mUsage; }

 private:
  std::string mName;
  std::string mUsage;
};

class cGLFDebugWindow {
 public:
  static constexpr int kMaxLines = 1000;
  static constexpr size_t kMaxLineBytes = 2047;  // of a line as shown (control characters in their notation), after its prefix

  cGLFDebugWindow();
  bool Create(const char* title);                   // false when already created
  void AddLine(const char* text);                   // prefixes "%08X: " with the printing thread's id; each line cut to kMaxLineBytes
  void RunTypedCommand(const std::string& text);    // a line the user finished with Return
  void Help(const std::string& line);
  void RegisterCommand(tDebugCommand* command);
  void UnregisterCommand(tDebugCommand* command);
  bool SaveLines(const std::string& path);
  void Show(bool visible);

  // Read access for views. The lock is re-entrant: commands print while it is held.
  std::recursive_mutex& Lock() { return mLock; }
  const std::deque<std::string>& Lines() const { return mLines; }
  uint64_t LinesAdded() const { return mLinesAdded; }
  const std::string& Title() const { return mTitle; }  // grows forever; views use it to notice new text

  // Standard-output mirror of every line (on by default; tests may turn it off).
  void SetMirrorToStdout(bool on) { mMirror = on; }

 private:
  std::deque<std::string> mLines;
  std::vector<tDebugCommand*> mCommands;
  int mMaxLines = kMaxLines;
  std::recursive_mutex mLock;
  std::string mTitle;
  bool mCreated = false;
  bool mVisible = true;
  bool mMirror = true;
  uint64_t mLinesAdded = 0;
};

cGLFDebugWindow* GetDebugWindow();                  // null until CreateDebugWindow
void CreateDebugWindow();
void DestroyDebugWindowForTest();                   // tests start each case from no window
void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void RegisterDebugCommand(tDebugCommand* command);
void UnregisterDebugCommand(tDebugCommand* command);
int SplitDebugCommandLine(std::string line, std::vector<std::string>* words);
void PollDebugConsoleInput();                       // runs command lines typed on standard input

// The on-screen view of the window (a panel window of its own). Call right after
// glutInit; lines printed before it opens are shown, since the model keeps them.
void OpenDebugWindowView();
int MoveDebugWindowView(int x, int y, int width = 0, int height = 0);  // 0 keeps that size; returns the view's width, 0 when it is not open
