#include "app/HelperPlacement.h"

#include <algorithm>

#include "app/FrameLoop.h"
#include "glf/BarPanel.h"
#include "platform/glui/DebugView.h"

namespace {
constexpr int kMinDebugWidth = 320, kMaxDebugWidth = 1000;
constexpr int kMinDebugHeight = 200, kMaxDebugHeight = 900;
constexpr int kBottomRoom = 60;  // a task bar, where the screen has room to spare
constexpr int kMinNarrowDebugWidth = 240;   // as narrow as the strip leaves it on a screen 1280 pixels wide
constexpr int kMinBesideColumnWidth = 120;  // a panel narrower shows too little of its labels

// A part of the screen by its edges: the first column and row inside, the first past.
struct sArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

sArea AreaOf(const sWindowBox& box) { return {box.x, box.y, box.x + box.width, box.y + box.height}; }

sArea Within(const sArea& a, const sArea& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// Where the strip stands: which free space, and the part of it the strip and
// the debug window may take.
enum class eStripPlace { Right, Left, UnderOrAbove, SideBySide, OverGame, OverGameToBottom, TwoMonitors };
}  // namespace

int FirstMonitorRight(const sScreenArea& screen) {
  return screen.primaryWidth > 0 ? std::min(screen.primaryWidth, screen.width) : screen.width;
}

bool BoxesOverlap(const sWindowBox& a, const sWindowBox& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

sWindowBox Framed(const sWindowBox& box, const sWindowFrame& frame) {
  return {box.x - frame.left, box.y - frame.top, box.width + frame.left + frame.right,
          box.height + frame.top + frame.bottom};
}

sWindowBox FitGameWindow(const sWindowBox& game, const sWindowFrame& frame, const sScreenArea& screen) {
  sWindowBox fitted = game;
  const int right = FirstMonitorRight(screen);
  fitted.width = std::max(std::min(game.width, right - game.x - frame.right), 1);
  fitted.height = std::max(std::min(game.height, screen.height - game.y - frame.bottom), 1);
  return fitted;
}

sHelperPlacement LayOutHelpers(const sHelperPlacementInput& in) {
  sHelperPlacement out;
  const sWindowFrame& frame = in.helperFrame;
  const int sides = frame.left + frame.right, ends = frame.top + frame.bottom;
  const int right = FirstMonitorRight(in.screen), bottom = in.screen.height;
  const sArea monitor = {0, 0, right, bottom};
  // Full screen, the game window fills the first monitor, unframed.
  const bool fullScreen = in.fullScreen || (in.game.x <= 0 && in.game.y <= 0 && in.game.x + in.game.width >= right &&
                                            in.game.y + in.game.height >= bottom);
  const sWindowBox game = fullScreen ? sWindowBox{0, 0, right, bottom} : in.game;
  const sWindowBox outerGame = fullScreen ? game : Framed(game, in.gameFrame);
  const sArea shown = Within(AreaOf(outerGame), monitor);  // what shows of it, frame included

  const int panelWidth = in.controlPanel.box.width + sides, panelHeight = in.controlPanel.box.height + ends;
  const int column = std::max(in.controlPanel.box.width, in.modeColumnWidth) + sides;
  const int newest = kDebugViewNewestRowsHeight;
  const int least = GLUI_LeastColumnHeight(kMostModePanels, ends);
  const int stripHeight = panelHeight + kWindowGap + least;  // the control panel over a column of cut panels
  // A debug window from `top` down to `end`, short of it where there is room to spare.
  auto heightDown = [&](int top, int end) {
    const int room = end - top - ends;
    return std::min(std::clamp(room - kBottomRoom, kMinDebugHeight, kMaxDebugHeight), room);
  };
  // The room a debug window at the bottom of a strip from `top` to `end`,
  // just tall enough for its newest rows and command box, leaves the column
  // between it and the control panel.
  auto columnRoom = [&](int top, int end) {
    return end - newest - ends - kWindowGap - (top + panelHeight + kWindowGap);
  };
  // Where the game's own drawing puts the goal bar and the debug lines, for a
  // window of its size: the band between them is what the helpers may cover.
  const int goalBottom =
      game.y + (int)cGLFBarPanel::TitleBottomFor(kGLFHudPanelY, game.height, in.goalBarHeightRatio) + 1;
  const int debugTop = game.y + DebugOverlayBox(game.width, game.height).y0;
  const sArea band = Within({game.x, goalBottom + kWindowGap / 2, game.x + game.width, debugTop - kWindowGap / 2},
                            monitor);

  // The strip: the control panel at its top, the column under it.
  eStripPlace place = eStripPlace::OverGameToBottom;
  sArea room;        // the free space the strip stands in
  int stripX = 0, stripTop = 0, columnWidth = 0;
  auto fits = [&](const sArea& area) { return area.Width() >= panelWidth && area.Height() >= stripHeight; };
  // Too short for that, a wide free space holds the control panel, the
  // column and the debug window side by side, each as wide as the column.
  auto fitSideBySide = [&](const sArea& area) {
    return area.Height() >= std::max(panelHeight, least) && area.Height() - ends >= newest &&
           area.Width() >= 2 * (column + kWindowGap) + kMinNarrowDebugWidth + sides + kWindowGap / 2;
  };
  const bool secondMonitor = in.twoMonitors && in.screen.width > right;
  const sArea rightOf = shown.IsEmpty() ? monitor : sArea{shown.right + kWindowGap, 0, right, bottom};
  const sArea leftOf = {0, 0, shown.left - kWindowGap, bottom};
  const sArea under = {0, shown.bottom + kWindowGap, right, bottom}, above = {0, 0, right, shown.top - kWindowGap};
  const sArea& taller = under.Height() >= above.Height() ? under : above;
  const sArea& shorter = &taller == &under ? above : under;
  // Level with the game window's top where the strip fits there.
  auto levelTop = [&](const sArea& area) { return std::clamp(shown.top, area.top, area.bottom - stripHeight); };
  if (secondMonitor) {
    place = eStripPlace::TwoMonitors;
  } else if (fits(rightOf)) {
    place = eStripPlace::Right, room = rightOf;
    columnWidth = std::min(column, room.Width());
    stripX = room.left, stripTop = levelTop(room);
  } else if (fits(leftOf)) {
    place = eStripPlace::Left, room = leftOf;
    columnWidth = std::min(column, room.Width());
    stripX = room.right - columnWidth, stripTop = levelTop(room);
  } else if (fits(taller) || fits(shorter)) {
    place = eStripPlace::UnderOrAbove, room = fits(taller) ? taller : shorter;
  } else if (fitSideBySide(taller) || fitSideBySide(shorter)) {
    place = eStripPlace::SideBySide, room = fitSideBySide(taller) ? taller : shorter;
  } else if (fits(band)) {
    place = eStripPlace::OverGame, room = band;
  } else {
    // Too small a screen: over the debug lines (shown only when asked for),
    // then also over the goal bar, then from the screen's top; down to the
    // game window's bottom.
    room = {band.left, band.top, band.right, std::min(shown.bottom, bottom)};
    if (!fits(room)) room.top = std::max(game.y, 0);
    if (!fits(room)) room.top = 0;
    room.left = std::min(room.left, std::max(right - std::max(panelWidth, column), 0));
  }
  if (place == eStripPlace::UnderOrAbove || place == eStripPlace::OverGame || place == eStripPlace::OverGameToBottom) {
    columnWidth = std::min(column, right - room.left);
    stripX = std::max(room.right - columnWidth, 0), stripTop = room.top;
    columnWidth = std::min(column, right - stripX);
  }
  const int stripBottom = room.bottom;
  int stripEnd = 0;  // the strip's bottom, the debug window's where it stands there

  GLUI_PanelColumn& modes = out.modeColumn;
  modes.frameWidth = sides;
  modes.frameHeight = ends;
  sWindowBox& panel = out.controlPanel.box;
  sWindowBox& debug = out.debugWindow.box;
  panel.width = in.controlPanel.box.width, panel.height = in.controlPanel.box.height;
  auto columnUnderPanel = [&](int width, int end) {
    modes.x = panel.x;
    modes.y = panel.y + panelHeight + kWindowGap;
    modes.width = width;
    modes.bottom = end;
  };

  if (place == eStripPlace::SideBySide) {
    // The control panel at the free space's right end, the column left of
    // it, the debug window left of that.
    panel.x = room.right - column, panel.y = room.top;
    modes.x = panel.x - kWindowGap - column, modes.y = room.top, modes.width = column, modes.bottom = room.bottom;
    out.controlPanelTitleRoom = column - sides;
    const int width = std::min(modes.x - kWindowGap - sides - (room.left + kWindowGap / 2), kMaxDebugWidth);
    debug = {modes.x - kWindowGap - sides - width, room.top, width, heightDown(room.top, room.bottom)};
  } else if (place == eStripPlace::TwoMonitors) {
    // The debug window first on the second monitor, then the strip.
    const int secondWidth = in.screen.width - right;
    const int width = std::clamp(secondWidth - column - sides - 3 * kWindowGap, kMinDebugWidth, kMaxDebugWidth);
    debug = {right, 0, width, heightDown(0, bottom)};
    panel.x = right + width + sides + kWindowGap, panel.y = 0;
    columnUnderPanel(std::min(column, in.screen.width - panel.x), bottom);
    out.controlPanelTitleRoom = modes.width - sides;
  } else {
    panel.x = stripX, panel.y = stripTop;
    columnUnderPanel(columnWidth, stripBottom);
    out.controlPanelTitleRoom = columnWidth - sides;
    // Beside the column where the strip's free space has room for it:
    // farther from the game window, or left of the strip on the screen's right...
    const bool besideRight = place == eStripPlace::Right;
    const int besideX = stripX + columnWidth + kWindowGap;
    const int besideWidth = besideRight ? room.right - besideX - sides - kWindowGap / 2
                                        : stripX - kWindowGap - sides - (room.left + kWindowGap / 2);
    // ...under the game window where that shows its newest lines...
    // (left of a strip beside it)...
    const int underWidth = std::min({shown.Width() - sides, kMaxDebugWidth,
                                     besideRight ? stripX - kWindowGap - sides - shown.left : kMaxDebugWidth});
    const bool overGame = place == eStripPlace::OverGame || place == eStripPlace::OverGameToBottom;
    if (!overGame && besideWidth >= kMinDebugWidth && stripBottom - stripTop - ends >= newest) {
      const int width = std::min(besideWidth, kMaxDebugWidth);
      debug = {besideRight ? besideX : stripX - kWindowGap - sides - width, stripTop, width,
               heightDown(stripTop, stripBottom)};
    } else if (place != eStripPlace::UnderOrAbove && under.Height() - ends >= newest && !shown.IsEmpty() &&
               underWidth >= kMinNarrowDebugWidth) {
      debug = {shown.left, under.top, underWidth, heightDown(under.top, bottom)};
    } else if (columnRoom(stripTop, stripBottom) >= least) {
      // ...at the strip's bottom, just tall enough for its newest rows and
      // command box, the column over it keeping room for a mode's panels cut
      // as short as they go...
      const int left = place == eStripPlace::Left ? room.left : stripX;
      debug = {left, stripBottom - newest - ends, std::min(room.right - left - sides, kMaxDebugWidth), newest};
      modes.bottom = debug.y - kWindowGap;
      stripEnd = stripBottom;
    } else if (stripX - kWindowGap - sides - room.left >= kMinNarrowDebugWidth && stripBottom - newest - ends >= 0) {
      // ...else beside the strip's bottom, over the game window (as narrow as
      // it goes, to cover little of it; a screen as short as 640x480)...
      const int width = std::min(stripX - kWindowGap - sides - std::max(room.left, 0), kMinDebugWidth);
      debug = {stripX - kWindowGap - sides - width, stripBottom - newest - ends, width, newest};
    } else {
      // ...else (a tiny screen) under the column, which stands beside the
      // control panel where it has room, as tall as the room left, down to
      // its command box alone; the control panel keeps its own width.
      const int besidePanel = stripX + panelWidth + kWindowGap;
      if (right - besidePanel >= kMinBesideColumnWidth) {
        modes.x = besidePanel;
        modes.y = panel.y;
        modes.width = std::min(column, right - besidePanel);
        out.controlPanelTitleRoom = in.controlPanel.box.width;
      }
      const int top = std::max(modes.y + least + kWindowGap, bottom - newest - ends);
      const int height = std::clamp(bottom - top - ends, kDebugViewCommandBoxHeight, newest);
      debug = {modes.x, std::max(bottom - height - ends, 0), std::min(right - modes.x - sides, kMaxDebugWidth),
               height};
      modes.bottom = debug.y - kWindowGap;
    }
  }

  const sWindowBox stripPanel = panel;
  // Where the player put a helper it stays, moved back just onto the screen.
  auto keptByPlayer = [&](const sHelperInput& helper, sPlacedHelper& placed) {
    sWindowBox box = helper.box;
    box.width = std::clamp(box.width, 1, std::max(in.screen.width - sides, 1));
    box.height = std::clamp(box.height, 1, std::max(in.screen.height - ends, 1));
    box.x = std::max(std::min(box.x, in.screen.width - box.width - sides), 0);
    box.y = std::max(std::min(box.y, in.screen.height - box.height - ends), 0);
    placed.box = box;
  };
  // However small the screen, no size comes out below a pixel.
  debug.width = std::max(debug.width, 1), debug.height = std::max(debug.height, 1);
  modes.width = std::max(modes.width, 1);
  out.controlPanelTitleRoom = std::max(out.controlPanelTitleRoom, 1);
  if (in.controlPanel.placedByPlayer) keptByPlayer(in.controlPanel, out.controlPanel);
  if (in.debugWindow.placedByPlayer) keptByPlayer(in.debugWindow, out.debugWindow);
  for (const sHelperInput& helper : in.modePanels) keptByPlayer(helper, out.modePanels.emplace_back());

  // Kept above the game window each one that stands over it, wherever it stands.
  auto over = [&](const sWindowBox& placed) {
    return BoxesOverlap({placed.x, placed.y, placed.width + sides, placed.height + ends}, outerGame);
  };
  out.controlPanel.keptAbove = over(out.controlPanel.box);
  out.debugWindow.keptAbove = over(out.debugWindow.box);
  for (sPlacedHelper& placed : out.modePanels) placed.keptAbove = over(placed.box);
  out.modeColumnKeptAbove =
      BoxesOverlap({modes.x, modes.y, modes.width, std::max(modes.bottom - modes.y, 1)}, outerGame);

  // The strip's part over the game window, in the game window's own pixels.
  if (out.modeColumnKeptAbove || over(stripPanel)) {
    const int stripRight = std::max(stripPanel.x + panelWidth, modes.x + modes.width);
    const int stripBottom = std::max({modes.bottom, stripEnd, stripPanel.y + panelHeight});
    const sArea strip = Within({std::min(stripPanel.x, modes.x), stripPanel.y, stripRight, stripBottom}, AreaOf(game));
    if (!strip.IsEmpty())
      out.coveredArea = {strip.left - game.x, strip.top - game.y, strip.right - game.x, strip.bottom - game.y};
  }
  return out;
}
