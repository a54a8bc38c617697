// The debug window view: lines in a scrolling text area, a command box below.
#include <GL/freeglut.h>
#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cfloat>

#include "platform/Sys.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/DebugViewRows.h"
#include "platform/glui/GLUIFrame.h"
#include "platform/glui/GLUIInternal.h"
#include "platform/glui/GLUITest.h"

namespace {

constexpr size_t kCommandCapacity = kDebugCommandMaxChars + 1;

struct cDebugViewState {
  GLUI* panel = nullptr;
  sGLUIDebugViewSource source;
  std::vector<std::string> lines;
  std::vector<sDebugViewRow> rows;  // the lines wrapped to the text area's width
  float wrappedWidth = -1.0f;       // the width the rows were made for
  uint64_t linesSeen = UINT64_MAX;
  char command[kCommandCapacity] = {};
  bool focusCommand = true;  // typing goes to the command box from the start
  float scroll = 0.0f, scrollMax = 0.0f;
  float newestRowBottom = 0.0f, areaBottom = 0.0f;  // screen y, for tests: is the newest row whole?
  size_t wholeRows = 0;                             // for tests: rows shown whole
};

float GlyphWidth(uint32_t codepoint) {
  return ImGui::GetFont()->GetCharAdvance(codepoint <= IM_UNICODE_CODEPOINT_MAX ? (ImWchar)codepoint : 0xFFFD) *
         ImGui::GetFontSize() / ImGui::GetFont()->FontSize;
}

cDebugViewState& View() {
  static cDebugViewState* view = new cDebugViewState();  // lives until exit, like the window
  return *view;
}

void DrawDebugView(GLUI* panel) {
  cDebugViewState& view = View();
  uint64_t added = view.source.linesAdded ? view.source.linesAdded() : 0;
  bool newText = added != view.linesSeen;
  if (newText && view.source.copyLines) {
    view.lines.clear();
    view.source.copyLines(view.lines);
  }
  view.linesSeen = added;

  float footer = ImGui::GetStyle().ItemSpacing.y + ImGui::GetFrameHeightWithSpacing();
  // The bar is always there, so showing it never narrows the rows it would need.
  ImGui::BeginChild("##lines", ImVec2(0, -footer), true, ImGuiWindowFlags_AlwaysVerticalScrollbar);
  // Where the user (wheel, bar) or the last frame's follow left the view: at
  // the bottom it follows new lines; scrolled up, it stays where the user put it.
  const bool atBottom = ImGui::GetScrollY() >= ImGui::GetScrollMaxY() - 0.5f;
  const float width = ImGui::GetContentRegionAvail().x;
  if (newText || width != view.wrappedWidth) {
    view.rows = WrapDebugViewLines(view.lines, width, GlyphWidth);
    view.wrappedWidth = width;
  }
  // Few rows stand at the bottom, the newest right above the command box, where
  // the start-up layout keeps the modes' panels off them.
  const float spacing = ImGui::GetStyle().ItemSpacing.y;
  const float rowsHeight = (float)view.rows.size() * ImGui::GetTextLineHeightWithSpacing() - spacing;
  const float above = ImGui::GetContentRegionAvail().y - rowsHeight - spacing;
  if (!view.rows.empty() && above > 0.0f) ImGui::Dummy(ImVec2(0.0f, above));
  const ImRect area = ImGui::GetCurrentWindow()->InnerClipRect;
  view.wholeRows = 0;
  ImGuiListClipper clipper;
  clipper.Begin((int)view.rows.size());
  while (clipper.Step())
    for (int i = clipper.DisplayStart; i < clipper.DisplayEnd; ++i) {
      const sDebugViewRow& row = view.rows[(size_t)i];
      const std::string& line = view.lines[row.line];
      ImGui::TextUnformatted(line.data() + row.begin, line.data() + row.end);
      if ((size_t)i + 1 == view.rows.size()) view.newestRowBottom = ImGui::GetItemRectMax().y;
      view.wholeRows += ImGui::GetItemRectMin().y >= area.Min.y && ImGui::GetItemRectMax().y <= area.Max.y;
    }
  clipper.End();
  // Where the rows end; applied at the next frame's start, clamped to the bottom then.
  // A frame the toolkit skips (the first at a new size) lays out nothing: its
  // cursor says nothing of where the rows end, and would scroll to the top.
  if (atBottom && !ImGui::GetCurrentWindow()->SkipItems) ImGui::SetScrollY(ImGui::GetCursorPosY());
  view.scroll = ImGui::GetScrollY();
  view.scrollMax = ImGui::GetScrollMaxY();
  view.areaBottom = ImGui::GetCurrentWindow()->InnerClipRect.Max.y;  // above any bar at the bottom
  ImGui::EndChild();
  GLUI_RecordItemRect(panel, "text area");

  ImGui::SetNextItemWidth(-FLT_MIN);
  const bool focusAsked = view.focusCommand;  // the box has the keyboard from the next frame
  if (view.focusCommand) {
    ImGui::SetKeyboardFocusHere();
    view.focusCommand = false;
  }
  if (ImGui::InputText("##command", view.command, sizeof view.command, ImGuiInputTextFlags_EnterReturnsTrue)) {
    std::string line = view.command;
    view.command[0] = '\0';
    view.focusCommand = true;  // Return would otherwise leave the box
    // Commands may do anything (open panels, switch modes): run them after the frame.
    GLUI_RunAfterFrame(panel, [line] {
      if (View().source.runCommand) View().source.runCommand(line);
    });
  }
  // Typing always goes to the box: a press anywhere else in the window (its
  // lines, its scroll bar) gives it back once the button is up, so a drag of
  // the bar still scrolls. Where the button comes up does not count: X hands
  // the release to the window that had the press, over the box or outside.
  const ImRect box(ImGui::GetItemRectMin(), ImGui::GetItemRectMax());
  if (ImGui::IsMouseReleased(ImGuiMouseButton_Left) && !box.Contains(ImGui::GetIO().MouseClickedPos[0]))
    view.focusCommand = true;
  // Keys typed meanwhile (right behind the click or the Return, on a busy
  // machine) wait in the queue for the box rather than reach nothing.
  GLUI_Layer::FrameOf(panel).keysWait = view.focusCommand || focusAsked;
  GLUI_RecordItemRect(panel, "command box");
}

}  // namespace

GLUI* GLUI_OpenDebugView(const char* title, const sGLUIDebugViewSource& source) {
  cDebugViewState& view = View();
  if (view.panel && !view.panel->is_closed()) return view.panel;
  view.source = source;
  view.linesSeen = UINT64_MAX;
  view.lines.clear();
  int screenWidth = glutGet(GLUT_SCREEN_WIDTH), screenHeight = glutGet(GLUT_SCREEN_HEIGHT);
  // Beside the game window (the current window when the view opens), below
  // where the control panel goes, so that neither hides the game; where the
  // screen has no room beside it, near the top left as a last resort.
  int gameRight = glutGetWindow() > 0 ? glutGet(GLUT_WINDOW_X) + glutGet(GLUT_WINDOW_WIDTH) : 0;
  int x = 5, y = 5;
  int width = std::clamp(2 * screenWidth / 3, 320, 800);
  int height = std::clamp(screenHeight - 100, 200, 600);
  if (gameRight > 0 && screenWidth - gameRight - 10 >= 320) {
    x = gameRight + 5;
    y = 260;
    width = std::min(800, screenWidth - x - 5);
    height = std::clamp(screenHeight - y - 40, 200, 600);
  }
  view.panel = GLUI_CreateCustomPanel(title, x, y, width, height, DrawDebugView);
  return view.panel;
}

GLUI* GLUI_GetDebugView() {
  GLUI* panel = View().panel;
  return panel && !panel->is_closed() ? panel : nullptr;
}

int GLUI_MoveDebugView(int x, int y, int width, int height) {
  GLUI* panel = GLUI_GetDebugView();
  if (!panel) return 0;
  int previous = glutGetWindow();
  glutSetWindow(panel->get_glut_window_id());
  int oldWidth = 0, oldHeight = 0;
  GLUI_GetWindowSize(panel, &oldWidth, &oldHeight);
  if (width > 0 || height > 0) {
    GLUI::Frame& frame = GLUI_Layer::FrameOf(panel);
    frame.width = width > 0 ? width : oldWidth;
    frame.height = height > 0 ? height : oldHeight;
    frame.mustShow = true;
    // The next frame is drawn at that size already; moved at it too.
    Sys_MoveAndResizeWindow(panel->get_glut_window_id(), x, y, frame.width, frame.height);
  } else {
    glutPositionWindow(x, y);
  }
  if (previous > 0) glutSetWindow(previous);
  return width > 0 ? width : oldWidth;
}

bool GLUI_TestDebugViewScroll(float* scroll, float* scrollMax) {
  if (!GLUI_GetDebugView()) return false;
  *scroll = View().scroll;
  *scrollMax = View().scrollMax;
  return true;
}

bool GLUI_TestDebugViewNewestRow(float* rowBottom, float* areaBottom, size_t* rows) {
  if (!GLUI_GetDebugView()) return false;
  *rowBottom = View().newestRowBottom;
  *areaBottom = View().areaBottom;
  *rows = View().rows.size();
  return true;
}

size_t GLUI_TestDebugViewWholeRows() { return View().wholeRows; }
