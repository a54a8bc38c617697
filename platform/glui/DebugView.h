// The debug window's on-screen view: a panel window showing the last lines of
// diagnostic text, following the bottom unless the user scrolled up, with a
// one-line command box under it. It reads its model through these functions,
// so the platform never links against game code. Free of ImGui types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class GLUI;

// The longest command line the console takes; longer typing is cut.
constexpr size_t kDebugCommandMaxChars = 255;

// How much of the view's bottom shows its five newest rows (a line wider than
// the view wraps, each of its rows counting) and the command box under them:
// what the start-up layout keeps on the screen and uncovered.
constexpr int kDebugViewNewestRowsHeight = 140;
// How much of the view's bottom the command box takes, with the margin under it.
constexpr int kDebugViewCommandBoxHeight = 32;

struct sGLUIDebugViewSource {
  uint64_t (*linesAdded)() = nullptr;                         // grows whenever a line is added
  void (*copyLines)(std::vector<std::string>& out) = nullptr;  // the stored lines, oldest first
  void (*runCommand)(const std::string& line) = nullptr;       // a line the user finished with Return
};

// Opens the view (at most one; a second call returns the open one). Needs glutInit.
GLUI* GLUI_OpenDebugView(const char* title, const sGLUIDebugViewSource& source);
GLUI* GLUI_GetDebugView();              // null when not open
int GLUI_MoveDebugView(int x, int y, int width = 0, int height = 0);  // 0 keeps that size; returns the view's width, 0 when not open
