// Shared helpers for the test suite: a message-box recorder, a hand-driven
// clock, a fixed calendar, a scratch folder, and a private X server for tests
// that need GL.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Sys.h"

// Records every message box and answers questions from a queue (default Ok/Yes).
class cMessageCapture : public cISysMessageSink {
 public:
  struct Box {
    std::string caption, text;
    SysBox kind;
  };
  cMessageCapture() { Sys_SetMessageSink(this); }
  ~cMessageCapture() override { Sys_SetMessageSink(nullptr); }
  SysAnswer OnMessageBox(const std::string& caption, const std::string& text, SysBox kind) override;
  std::vector<Box> boxes;
  std::vector<SysAnswer> answers;  // consumed front first
  int Count(const std::string& caption) const;
};

// Captures standard output or error for the object's lifetime. The capture
// ends however the block is left (a fatal assertion returns early), and what
// it took is printed again when an assertion failed meanwhile: the failure's
// own message went into it.
class cCapturedOutput {
 public:
  enum class Stream { Stdout, Stderr };
  explicit cCapturedOutput(Stream stream = Stream::Stdout);
  ~cCapturedOutput() { End(); }
  cCapturedOutput(const cCapturedOutput&) = delete;
  cCapturedOutput& operator=(const cCapturedOutput&) = delete;
  const std::string& End();  // ends the capture (at the first call) and gives what was printed

 private:
  void LookAtTheStreamAfresh() const;
  Stream mStream;
  bool mEnded = false;
  int mFailuresBefore;
  std::string mText;
};

// A clock the test moves by hand; installed for the object's lifetime.
class cFakeClock {
 public:
  explicit cFakeClock(uint32_t start = 1000);
  ~cFakeClock();
  void Advance(uint32_t ms) { sNow += ms; }
  void Set(uint32_t ms) { sNow = ms; }
  uint32_t Now() const { return sNow; }

 private:
  static uint32_t Read() { return sNow; }
  static uint32_t sNow;
};

// The calendar every case starts with (the test main installs it): a fixed
// second, so whatever seeds from the time does the same on every run.
constexpr uint32_t kTestCalendarSecond = 1700000000u;
inline uint32_t TestCalendar() { return kTestCalendarSecond; }

// A piece of text `times` times over, for rows at a byte bound.
inline std::string RepeatedText(const std::string& piece, size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  while (times--) text += piece;
  return text;
}

// A whole file as the test reads it, not through the game's bounded readers
// (a save, a report, anything the game wrote); "" when it cannot be read.
std::string FileContents(const std::string& path);

// A fresh folder under /tmp, removed with its contents at the end of the test.
class cScratchDir {
 public:
  cScratchDir();
  ~cScratchDir();
  const std::string& Path() const { return mPath; }
  std::string File(const std::string& name) const { return mPath + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string mPath;
};

// Makes `path` the working folder for the object's lifetime (the game resolves
// Data/ against it), so a test never writes into the repository's Data/.
class cScopedWorkingDir {
 public:
  explicit cScopedWorkingDir(const std::string& path);
  ~cScopedWorkingDir();
  bool Entered() const { return mEntered; }

 private:
  std::string mPrevious;
  bool mEntered = false;
};

// Uses the display the suite runs under, or starts an Xvfb of its own (24-bit
// screen) and points DISPLAY at it. False when no X server could be had.
bool EnsureTestDisplay();
// An X server of the case's own while it lives, DISPLAY pointing at it, for a
// case that changes what every client of its display sees (the root window's
// properties), or one of a screen size of its own. Connections opened on it
// must not be used once it is gone.
class cPrivateTestDisplay {
 public:
  explicit cPrivateTestDisplay(int width = 1280, int height = 1024);
  ~cPrivateTestDisplay();
  cPrivateTestDisplay(const cPrivateTestDisplay&) = delete;
  cPrivateTestDisplay& operator=(const cPrivateTestDisplay&) = delete;
  bool Started() const { return mPid != 0; }
  void Kill();  // the server ends at once, as one that crashed: its clients lose their connections

 private:
  int mPid = 0;
  std::string mPreviousDisplay;
};
// A window manager on the display DISPLAY names while it lives, for a case on
// a server of its own: started once its check is on the root window. openbox,
// or xfwm4 or metacity, each in a D-Bus session of its own as a desktop starts
// them; whatever they start goes with them.
class cTestWindowManager {
 public:
  explicit cTestWindowManager(const char* name = "openbox");
  ~cTestWindowManager();
  cTestWindowManager(const cTestWindowManager&) = delete;
  cTestWindowManager& operator=(const cTestWindowManager&) = delete;
  bool Started() const { return mStarted; }

 private:
  int mPid = 0;
  bool mStarted = false;
};
// Ends the test process once every case ran, with gtest's result and without
// the exit handlers: the software GL driver, torn down after its own
// libraries by GLUT's exit handler, crashed or hung the exit of a suite whose
// GL cases ran in one process. Armed by the first GL window.
void EndTestProcessWithoutDriverTeardown();

// Runs `body` in a child that starts the test binary anew and runs only the
// calling case, for cases that need what a fresh process has (statics not yet
// built, no window, start-up not yet run): the child shares nothing with the
// cases that ran before in this process, whatever their order. The case fails
// when the body fails in the child.
void RunInFreshProcess(const std::function<void()>& body);
// While it lives, death tests start the binary anew for the one case (as
// RunInFreshProcess does) instead of forking this process: a fork of a
// process whose earlier cases left threads behind (the GL driver's, the
// sound's) may hang in the child.
class cDeathTestsInFreshProcesses {
 public:
  cDeathTestsInFreshProcesses();
  ~cDeathTestsInFreshProcesses();

 private:
  std::string mStyle;
};
// Runs `body` in the child and gives its exit code: 1 when the body added a
// failure to those the case had before it (a body run in a loop reports only
// its own).
int RunBodyInChild(const std::function<void()>& body);
// Drops the boxes shown while no sink, echo or game window took them, which
// are otherwise handed to the next echo or window set, in whichever case.
void DropEarlyMessages();
