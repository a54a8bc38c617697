#include "glf/DebugWindow.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/Sys.h"
#include "platform/glui/DebugView.h"

namespace {

cGLFDebugWindow* gDebugWindow = nullptr;

class cHelpCommand : public tDebugCommand {
 public:
  cHelpCommand() : tDebugCommand("help", "help [topic]") {}
  void Execute(const std::string& line) override {
    if (mWindow) mWindow->Help(line);
  }
  cGLFDebugWindow* mWindow = nullptr;
};

cHelpCommand& HelpCommand() {
  static cHelpCommand* command = new cHelpCommand();  // lives until exit, built with the first window
  return *command;
}

void EchoMessageBox(const char* line) { DebugPrintf("%s", line); }

}  // namespace

cGLFDebugWindow::cGLFDebugWindow() {
  HelpCommand().mWindow = this;
  mCommands.push_back(&HelpCommand());
}

bool cGLFDebugWindow::Create(const char* title) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  if (mCreated) return false;
  mTitle = title;
  mCreated = true;
  return true;
}

void cGLFDebugWindow::AddLine(const char* text) {
  // Every line of a text of several lines is a line of its own, prefix and all.
  while (const char* end = std::strchr(text, '\n')) {
    AddLine(std::string(text, end).c_str());
    text = end + 1;
    if (!*text) return;
  }
  char prefix[16];
  snprintf(prefix, sizeof prefix, "%08X: ", Sys_ThreadId());
  std::string line = std::string(prefix) + Sys_VisibleText(text, kMaxLineBytes);
  std::lock_guard<std::recursive_mutex> hold(mLock);
  mLines.push_back(line);
  while ((int)mLines.size() > mMaxLines) mLines.pop_front();
  ++mLinesAdded;
  if (mMirror) Sys_Write(SysStream::Out, (line + '\n').c_str(), line.size() + 1);
}

void cGLFDebugWindow::RunTypedCommand(const std::string& typed) {
  Sys_RequestRedraw();  // a command may change what the game window shows
  std::lock_guard<std::recursive_mutex> hold(mLock);
  std::string text = typed.substr(0, Sys_Utf8CutLength(typed.data(), typed.size(), kDebugCommandMaxChars));
  char echo[260];
  snprintf(echo, sizeof echo, ">%s", text.c_str());
  AddLine(echo);
  std::vector<std::string> words;
  if (SplitDebugCommandLine(text, &words) == 0) return;
  // Copy: a command may register another while it runs.
  std::vector<tDebugCommand*> commands = mCommands;
  for (tDebugCommand* command : commands)
    if (command->GetName() == words[0]) command->Execute(text);
}

void cGLFDebugWindow::Help(const std::string& line) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  std::vector<std::string> words;
  SplitDebugCommandLine(line, &words);
  if (words.size() == 1) {
    DebugPrintf("Current Commands:");
    for (tDebugCommand* command : mCommands) DebugPrintf("%s", command->GetName().c_str());
    DebugPrintf("*****************");
    return;
  }
  if (words.size() < 2) return;
  for (tDebugCommand* command : mCommands)
    if (command->GetName() == words[1]) DebugPrintf("%s - usage: %s", words[1].c_str(), command->GetUsage().c_str());
}

void cGLFDebugWindow::RegisterCommand(tDebugCommand* command) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  mCommands.push_back(command);
}

void cGLFDebugWindow::UnregisterCommand(tDebugCommand* command) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  for (size_t i = 0; i < mCommands.size(); ++i)
    if (mCommands[i] == command) {
      mCommands.erase(mCommands.begin() + i);
      return;
    }
}

bool cGLFDebugWindow::SaveLines(const std::string& path) {
  std::lock_guard<std::recursive_mutex> hold(mLock);
  std::ofstream out(Sys_ResolvePath(path));
  if (!out) return false;
  for (const std::string& line : mLines) out << line << '\n';
  return (bool)out;
}

void cGLFDebugWindow::Show(bool visible) { mVisible = visible; }

cGLFDebugWindow* GetDebugWindow() { return gDebugWindow; }

void CreateDebugWindow() {
  if (gDebugWindow) return;
  gDebugWindow = new cGLFDebugWindow();
  gDebugWindow->Create("Debug Window");
  Sys_SetMessageEcho(EchoMessageBox);
}

void DestroyDebugWindowForTest() {
  Sys_SetMessageEcho(nullptr);
  delete gDebugWindow;
  gDebugWindow = nullptr;
}

void DebugPrintf(const char* format, ...) {
  if (!gDebugWindow) return;
  // As much as a line shows: each byte is shown as itself or more.
  constexpr size_t kMaxChars = cGLFDebugWindow::kMaxLineBytes;
  char buffer[kMaxChars + 4];  // and the rest of a character the cut would split
  va_list args;
  va_start(args, format);
  const int length = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  buffer[length < 0 ? 0 : Sys_Utf8CutLength(buffer, std::min((size_t)length, sizeof buffer - 1), kMaxChars)] = '\0';
  gDebugWindow->AddLine(buffer);
}

void RegisterDebugCommand(tDebugCommand* command) {
  if (gDebugWindow) gDebugWindow->RegisterCommand(command);
}

void UnregisterDebugCommand(tDebugCommand* command) {
  if (gDebugWindow) gDebugWindow->UnregisterCommand(command);
}

int SplitDebugCommandLine(std::string line, std::vector<std::string>* words) {
  int added = 0;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) {
      words->push_back(line.substr(start, i - start));
      ++added;
    }
  }
  return added;
}

void PollDebugConsoleInput() {
  std::string line;
  while (Sys_PollStdinLine(line))
    if (gDebugWindow) gDebugWindow->RunTypedCommand(line);
}

// ---- the on-screen view: the platform draws it, reading the model through these


void OpenDebugWindowView() {
  CreateDebugWindow();  // the view needs its model; nothing happens when it exists
  sGLUIDebugViewSource source;
  source.linesAdded = []() -> uint64_t {
    if (!gDebugWindow) return 0;  // tests may destroy the model under an open view
    std::lock_guard<std::recursive_mutex> hold(gDebugWindow->Lock());
    return gDebugWindow->LinesAdded();
  };
  source.copyLines = [](std::vector<std::string>& out) {
    if (!gDebugWindow) return;
    std::lock_guard<std::recursive_mutex> hold(gDebugWindow->Lock());
    out.assign(gDebugWindow->Lines().begin(), gDebugWindow->Lines().end());
  };
  source.runCommand = [](const std::string& line) {
    if (gDebugWindow) gDebugWindow->RunTypedCommand(line);
  };
  GLUI_OpenDebugView(gDebugWindow->Title().c_str(), source);
}

int MoveDebugWindowView(int x, int y, int width, int height) { return GLUI_MoveDebugView(x, y, width, height); }
