// Panels opened without a position (the modes' own panels) go near the
// application's control panel instead of wherever the window system puts them,
// which without a window manager is over the game's window. They stack in a
// column: each under those placed so far that are still shown, so the panels
// of the current mode never cover one another, and where the column is too
// small for them they are cut to it and scroll rather than run out of it.
#include <GL/freeglut.h>

#include <algorithm>

#include "platform/Sys.h"
#include "platform/glui/GLUIFrame.h"
#include "platform/glui/GLUITest.h"

namespace {

constexpr int kGapBelow = 8;
constexpr int kMinCutHeight = 60;  // a panel cut shorter shows too little to scroll through

struct cDefaultPlacement {
  bool known = false;
  GLUI_PanelColumn column;
  GLUI* above = nullptr;
};

cDefaultPlacement& Placement() {
  static cDefaultPlacement placement;
  return placement;
}

}  // namespace

void GLUI_Layer::FitWithin(int& width, int& height, int maxWidth, int maxHeight) {
  if (maxWidth > 0 && width > maxWidth) {
    width = maxWidth;
    height += kGLUIScrollbarSize;
  }
  if (maxHeight > 0 && height > maxHeight) {
    height = maxHeight;
    width += kGLUIScrollbarSize;
    if (maxWidth > 0) width = std::min(width, maxWidth);
  }
}

std::vector<GLUI_PanelBox> GLUI_StackPanels(const GLUI_PanelColumn& column,
                                            const std::vector<GLUI_PanelBox>& contents) {
  const int maxWidth = column.width > 0 ? std::max(column.width - column.frameWidth, 1) : 0;
  std::vector<GLUI_PanelBox> boxes;
  int wanted = 0;
  for (const GLUI_PanelBox& content : contents) {
    GLUI_PanelBox box = content;
    GLUI_Layer::FitWithin(box.width, box.height, maxWidth, 0);
    wanted += box.height;
    boxes.push_back(box);
  }
  // Too tall together: the tallest are cut to one height, as little as makes them fit.
  const int count = (int)boxes.size();
  const int total = column.bottom - column.y - count * column.frameHeight - (count - 1) * kGapBelow;
  int room = total;
  if (column.bottom > 0 && count > 0 && wanted > room) {
    std::vector<int> heights;
    for (const GLUI_PanelBox& box : boxes) heights.push_back(box.height);
    std::sort(heights.begin(), heights.end());
    int cut = 0;
    for (int i = 0; i < count; ++i) {
      cut = room / (count - i);
      if (heights[(size_t)i] > cut) break;
      room -= heights[(size_t)i];
    }
    // No shorter than can be scrolled through, unless the column is too short
    // for that: they are then cut shorter rather than stand over each other.
    cut = std::max(cut, std::min(kMinCutHeight, std::max(total / count, 1)));
    for (size_t i = 0; i < boxes.size(); ++i) {
      boxes[i] = contents[i];
      GLUI_Layer::FitWithin(boxes[i].width, boxes[i].height, maxWidth, cut);
    }
  }
  int y = column.y;
  for (GLUI_PanelBox& box : boxes) {
    box.x = column.x;
    // Where even the cut panels overflow (a tiny screen), the last ones stand
    // over those above rather than past the column's bottom.
    box.y = column.bottom > 0 ? std::max(std::min(y, column.bottom - column.frameHeight - box.height), column.y) : y;
    y = box.y + box.height + column.frameHeight + kGapBelow;
  }
  return boxes;
}

int GLUI_LeastColumnHeight(int count, int frameHeight) {
  return count > 0 ? count * (kMinCutHeight + frameHeight) + (count - 1) * kGapBelow : 0;
}

void GLUI_Master_Object::set_default_position(const GLUI_PanelColumn& column, GLUI* above) {
  cDefaultPlacement& placement = Placement();
  placement.known = true;
  placement.column = column;
  placement.above = above;
  const int previous = glutGetWindow();
  GLUI_Layer::StackPlacedPanels(nullptr);
  if (previous > 0) glutSetWindow(previous);
}

void GLUI_Layer::TakeDefaultPlacement(GLUI* panel) {
  cDefaultPlacement& placement = Placement();
  if (!placement.known) return;
  FrameOf(panel).awaitsDefaultPlacement = true;
}

// The panels above have had their first frames by now (panels draw in
// creation order), so their contents' sizes are the ones they grew to.
void GLUI_Layer::PlaceAfterFirstFrame(GLUI* panel) {
  GLUI::Frame& frame = FrameOf(panel);
  if (!frame.awaitsDefaultPlacement) return;
  frame.awaitsDefaultPlacement = false;
  StackPlacedPanels(panel);
  glutSetWindow(panel->get_glut_window_id());
}

// A column whose frames have a height has title bars over its panels: each
// takes the width its title needs there, within the column.
void GLUI_Layer::StackPlacedPanels(GLUI* joining) {
  const cDefaultPlacement& placement = Placement();
  GLUI_PanelColumn column = placement.column;
  if (placement.above && placement.above != joining && !placement.above->is_closed())
    column.y += FrameOf(placement.above).height + column.frameHeight + kGapBelow;
  const int maxWidth = column.width > 0 ? std::max(column.width - column.frameWidth, 1) : 0;
  std::vector<GLUI*> stack;
  std::vector<GLUI_PanelBox> contents;
  for (GLUI* other : Panels()) {
    GLUI::Frame& placed = FrameOf(other);
    if (placed.leftColumn) continue;
    if (other == joining || (placed.placedX >= 0 && !other->is_closed() && other->is_visible())) {
      placed.titled = column.frameHeight > 0;
      stack.push_back(other);
      const int width = std::max(placed.contentWidth, TitleWidthWithin(other, maxWidth));
      contents.push_back({0, 0, width, placed.contentHeight});
    }
  }
  const std::vector<GLUI_PanelBox> boxes = GLUI_StackPanels(column, contents);
  for (size_t i = 0; i < stack.size(); ++i) {
    GLUI::Frame& placed = FrameOf(stack[i]);
    const GLUI_PanelBox& box = boxes[i];
    placed.placedX = box.x;
    placed.placedY = box.y;
    placed.maxWidth = box.width;
    placed.maxHeight = box.height;
    glutSetWindow(stack[i]->get_glut_window_id());
    if (box.width != placed.width || box.height != placed.height) {
      // One request: a window manager fits it on the screen at its new size.
      Sys_MoveAndResizeWindow(stack[i]->get_glut_window_id(), box.x, box.y, box.width, box.height);
      placed.width = box.width;
      placed.height = box.height;
    } else {
      glutPositionWindow(box.x, box.y);
    }
  }
}

bool GLUI::column_place(int* x, int* y) const {
  const GLUI::Frame& frame = *mFrame;
  if (frame.placedX < 0 || frame.leftColumn) return false;
  *x = frame.placedX;
  *y = frame.placedY;
  return true;
}

void GLUI::leave_column() {
  if (!mClosed) GLUI_Layer::FrameOf(this).leftColumn = true;
}

bool GLUI_TestPlacedAt(GLUI* panel, int* x, int* y) { return panel->column_place(x, y); }
