#include <gtest/gtest.h>

#include "app/WindowLayout.h"

namespace {
bool Overlap(const sWindowBox& a, const sWindowBox& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}
}  // namespace

// Fault mended: with a window manager the debug window covered half the
// control panel. The three windows stand side by side on a 1920x1080 screen,
// on the first monitor, or with "-twomonitors" the two helpers on the second.
TEST(WindowLayout, TheThreeWindowsStandSideBySide) {
  const sWindowBox game = {0, 0, 1024, 768}, panelSize = {0, 0, 144, 196};
  const struct {
    const char* what;
    sStartupScreen screen;
    bool twoMonitors;
    int left, right;  // the monitor the helpers must keep to
  } cases[] = {{"one monitor", {1920, 1080, 1920}, false, 1024, 1920},
               {"two monitors", {3840, 1080, 1920}, true, 1920, 3840},
               {"a screen of two monitors, played on the first", {3840, 1080, 1920}, false, 1024, 1920},
               {"a narrow screen: the debug window under the panel", {1400, 1050, 1400}, false, 1024, 1400}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const sStartupWindowLayout layout = LayOutStartupWindows(game, panelSize, c.screen, c.twoMonitors);
    sWindowBox panel = layout.panel;
    panel.width = panelSize.width, panel.height = panelSize.height;
    const sWindowBox& debug = layout.debug;
    EXPECT_GE(debug.width, 320);
    EXPECT_GE(debug.height, 200);
    EXPECT_LE(debug.y + debug.height, c.screen.height);
    for (const sWindowBox* box : {(const sWindowBox*)&panel, &debug}) {
      EXPECT_GE(box->x, c.left + (c.twoMonitors ? 0 : kWindowGap));
      EXPECT_LE(box->x + box->width, c.right);
    }
    // Each pair apart by at least the room a window frame takes.
    auto grown = [](sWindowBox box) { return sWindowBox{box.x - kWindowGap / 2, box.y - kWindowGap / 2, box.width + kWindowGap, box.height + kWindowGap}; };
    EXPECT_FALSE(Overlap(grown(panel), debug));
    EXPECT_FALSE(Overlap(grown(game), debug));
    EXPECT_FALSE(Overlap(grown(game), panel));
  }
}
