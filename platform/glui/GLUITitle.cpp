// A panel's title in a window manager's title bar. The manager cuts a title
// too long for its bar in the middle ("Q... el" for "Quorvel Control Panel"
// on a panel 144 pixels wide), which leaves nothing to know the panel by. A
// titled panel is made wide enough for its whole title where its bound lets
// it; where it does not, the title the manager shows (_NET_WM_NAME) is cut
// here at its end, keeping its start ("Quorvel Control P…"), so the manager
// has nothing left to cut. The panel's name (WM_NAME, get_name) stays whole.
#include <imgui.h>

#include <algorithm>

#include "platform/Sys.h"
#include "platform/glui/GLUIFrame.h"

namespace {
constexpr const char* kEllipsis = "\xE2\x80\xA6";  // U+2026, one glyph where three dots take three

float TextWidth(const std::string& text, size_t bytes) {
  return ImGui::CalcTextSize(text.data(), text.data() + bytes).x;
}

// The title's start, cut between characters, with the ellipsis after it, as
// much as fits `room`; never less than its first character.
std::string CutTitle(const std::string& title, float room) {
  if (TextWidth(title, title.size()) <= room) return title;
  const float ellipsis = ImGui::CalcTextSize(kEllipsis).x;
  size_t keep = 0;
  for (size_t at = 0; at < title.size();) {
    uint32_t codepoint = 0;
    const size_t next = at + std::max<size_t>(Sys_Utf8Character(title.data() + at, title.size() - at, &codepoint), 1);
    if (keep > 0 && TextWidth(title, next) + ellipsis > room) break;
    keep = at = next;
  }
  while (keep > 1 && title[keep - 1] == ' ') --keep;
  return title.substr(0, keep) + kEllipsis;
}
}  // namespace

void GLUI_Layer::MeasureTitle(GLUI* panel) {
  GLUI::Frame& frame = FrameOf(panel);
  if (frame.titleWidth == 0) frame.titleWidth = (int)ImGui::CalcTextSize(panel->get_name()).x;
}

int GLUI_Layer::TitleWidthWithin(GLUI* panel, int maxWidth) {
  const GLUI::Frame& frame = FrameOf(panel);
  if (!frame.titled || frame.titleWidth == 0) return 0;
  const int wanted = frame.titleWidth + kGLUITitleBarRoom;
  return maxWidth > 0 ? std::min(wanted, maxWidth) : wanted;
}

void GLUI_Layer::ShowTitle(GLUI* panel) {
  GLUI::Frame& frame = FrameOf(panel);
  if (!frame.titled) return;
  const std::string shown = CutTitle(panel->get_name(), (float)(frame.width - kGLUITitleBarRoom));
  if (shown == frame.shownTitle) return;
  frame.shownTitle = shown;
  Sys_SetWindowShownTitle(panel->get_glut_window_id(), shown.c_str());
}

// A panel too wide for its new bound is narrowed at once, before a move
// asked for with it is sent: metacity fits a window moved on the screen at
// the width it has then, and pushed a panel moved into a narrower room back
// over the game window.
void GLUI::show_title_within(int maxWidth) {
  if (mClosed) return;
  GLUI::Frame& frame = GLUI_Layer::FrameOf(this);
  frame.titled = true;
  frame.maxWidth = std::max(maxWidth, 0);
  if (frame.maxWidth > 0 && frame.width > frame.maxWidth) {
    frame.width = frame.maxWidth;
    Sys_ResizeWindow(mWindowId, frame.width, frame.height);
  }
}
