// Test hooks: input goes through the same queue the GLUT callbacks fill, so tests
// exercise the real path from a click to a live variable and a callback.
#include <GL/freeglut.h>

#include "platform/glui/GLUIFrame.h"
#include "platform/glui/GLUITest.h"

namespace {

constexpr int kMaxPumpFrames = 500;  // a click or a typed line settles in far fewer frames

bool Usable(GLUI* panel) { return panel && !panel->is_closed(); }

}  // namespace

bool GLUI_TestControlRect(GLUI* panel, const char* label, int* x, int* y, int* width, int* height) {
  if (!Usable(panel) || !label) return false;
  const auto& rects = GLUI_Layer::FrameOf(panel).itemRects;
  auto found = rects.find(label);
  if (found == rects.end()) return false;
  *x = (int)found->second.x;
  *y = (int)found->second.y;
  *width = (int)found->second.w;
  *height = (int)found->second.h;
  return true;
}

void GLUI_TestMouseMove(GLUI* panel, int x, int y) {
  if (Usable(panel)) GLUI_Layer::Queue(panel, {GLUI_InputEvent::Move, 0, 0, x, y, 0});
}

void GLUI_TestMouseButton(GLUI* panel, int button, int state, int x, int y) {
  if (Usable(panel)) GLUI_Layer::Queue(panel, {GLUI_InputEvent::Button, button, state, x, y, 0});
}

void GLUI_TestMouseWheel(GLUI* panel, int direction, int x, int y) {
  if (Usable(panel)) GLUI_Layer::Queue(panel, {GLUI_InputEvent::Wheel, direction, 0, x, y, 0});
}

void GLUI_TestKey(GLUI* panel, unsigned char key, bool down, int glutModifiers) {
  if (Usable(panel))
    GLUI_Layer::Queue(panel,
                      {down ? GLUI_InputEvent::KeyDown : GLUI_InputEvent::KeyUp, key, 0, 0, 0, glutModifiers});
}

void GLUI_TestTypeText(GLUI* panel, const char* text) {
  for (const char* c = text; c && *c; ++c) {
    GLUI_TestKey(panel, (unsigned char)*c, true);
    GLUI_TestKey(panel, (unsigned char)*c, false);
  }
}

size_t GLUI_TestPendingEvents(GLUI* panel) {
  return Usable(panel) ? GLUI_Layer::FrameOf(panel).events.size() : 0;
}

void GLUI_TestPumpUntilIdle(int extraFrames) {
  for (int frame = 0; frame < kMaxPumpFrames && GLUI_Layer::AnyInputWaiting(); ++frame) GLUI_PumpFrame();
  for (int frame = 0; frame < extraFrames; ++frame) GLUI_PumpFrame();
}

bool GLUI_TestClick(GLUI* panel, const char* label) {
  if (!Usable(panel)) return false;
  int x, y, width, height;
  if (!GLUI_TestControlRect(panel, label, &x, &y, &width, &height)) {
    GLUI_PumpFrame();  // a panel not drawn yet has no rectangles: draw it once
    GLUI_PumpFrame();
    if (!GLUI_TestControlRect(panel, label, &x, &y, &width, &height)) return false;
  }
  int cx = x + width / 2, cy = y + height / 2;
  GLUI_TestMouseMove(panel, cx, cy);
  GLUI_PumpFrame();  // hover first, as a real pointer would
  GLUI_TestMouseButton(panel, GLUT_LEFT_BUTTON, GLUT_DOWN, cx, cy);
  GLUI_TestMouseButton(panel, GLUT_LEFT_BUTTON, GLUT_UP, cx, cy);
  GLUI_TestPumpUntilIdle(2);
  return true;
}

size_t GLUI_TestPresentedFrames(GLUI* panel) { return GLUI_Layer::FrameOf(panel).presentedFrames; }
