// Panels opened without a position (the modes' own panels) go near the
// application's control panel instead of wherever the window system puts them,
// which without a window manager is over the game's window. They stack: each
// goes under those placed so that are still shown, so the panels of the
// current mode never cover one another.
#include <GL/freeglut.h>

#include <algorithm>

#include "platform/glui/GLUIFrame.h"
#include "platform/glui/GLUITest.h"

namespace {

constexpr int kGapBelow = 8;

struct cDefaultPlacement {
  bool known = false;
  int x = 0, y = 0;
  GLUI* above = nullptr;
  int frameHeight = 0;  // a window manager's title bar and bottom edge round each panel
};

cDefaultPlacement& Placement() {
  static cDefaultPlacement placement;
  return placement;
}

}  // namespace

void GLUI_Master_Object::set_default_position(int x, int y, GLUI* above, int frameHeight) {
  cDefaultPlacement& placement = Placement();
  placement.known = true;
  placement.x = x;
  placement.y = y;
  placement.above = above;
  placement.frameHeight = frameHeight;
}

void GLUI_Layer::TakeDefaultPlacement(GLUI* panel) {
  cDefaultPlacement& placement = Placement();
  if (!placement.known) return;
  FrameOf(panel).awaitsDefaultPlacement = true;
}

// The panels above have had their first frames by now (panels draw in
// creation order), so their heights are the ones they grew to.
void GLUI_Layer::PlaceAfterFirstFrame(GLUI* panel) {
  GLUI::Frame& frame = FrameOf(panel);
  if (!frame.awaitsDefaultPlacement) return;
  frame.awaitsDefaultPlacement = false;
  const cDefaultPlacement& placement = Placement();
  int y = placement.y;
  if (placement.above && placement.above != panel && !placement.above->is_closed())
    y += FrameOf(placement.above).height + placement.frameHeight + kGapBelow;
  for (GLUI* other : Panels()) {
    const GLUI::Frame& placed = FrameOf(other);
    if (other != panel && placed.placedX >= 0 && !other->is_closed() && other->is_visible())
      y = std::max(y, placed.placedY + placed.height + placement.frameHeight + kGapBelow);
  }
  frame.placedX = placement.x;
  frame.placedY = y;
  glutPositionWindow(frame.placedX, frame.placedY);
}

bool GLUI_TestPlacedAt(GLUI* panel, int* x, int* y) {
  const GLUI::Frame& frame = GLUI_Layer::FrameOf(panel);
  if (frame.placedX < 0) return false;
  *x = frame.placedX;
  *y = frame.placedY;
  return true;
}
