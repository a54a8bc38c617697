#include "glf/TextPlacement.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "glf/Overlay2D.h"

namespace {
constexpr int kEdgeMargin = 4, kAvoidGap = 4;

sRect2D gCoveredArea;

bool Covers(const sRect2D& box, int x, int y, const sRect2D& area) {
  return !area.IsEmpty() && x + box.x0 < area.x1 && x + box.x1 > area.x0 && y + box.y0 < area.y1 &&
         y + box.y1 > area.y0;
}

// The box's sides from the point, moved inside the window and clear of the
// covered area (a margin at the sides).
void KeepInside(const sRect2D& box, int windowWidth, int windowHeight, int* x, int* y) {
  *y = std::max(std::min(*y, windowHeight - box.y1), -box.y0);
  int left = 0, right = windowWidth;
  EdgesFor2D({*x + box.x0, *y + box.y0, *x + box.x1, *y + box.y1}, windowWidth, &left, &right);
  *x = std::max(std::min(*x, right - kEdgeMargin - box.x1), left + kEdgeMargin - box.x0);
}
}  // namespace

void SetCoveredArea2D(const sRect2D& area) { gCoveredArea = area; }

void EdgesFor2D(const sRect2D& box, int windowWidth, int* left, int* right) {
  *left = 0, *right = windowWidth;
  const sRect2D& area = gCoveredArea;
  if (!Covers(box, 0, 0, area)) return;
  const bool onTheRight = area.x1 >= windowWidth ? true : area.x0 <= 0 ? false : box.x0 + box.x1 < area.x0 + area.x1;
  if (onTheRight) *right = area.x0;
  else *left = area.x1;
}

void PlaceTextBox2D(const sRect2D& box, int windowWidth, int windowHeight, const sRect2D& avoid, int* x, int* y) {
  KeepInside(box, windowWidth, windowHeight, x, y);
  if (!Covers(box, *x, *y, avoid)) return;
  const int below = avoid.y1 + kAvoidGap - box.y0;
  if (below + box.y1 <= windowHeight) *y = below;
  else *y = avoid.y0 - kAvoidGap - box.y1;
  KeepInside(box, windowWidth, windowHeight, x, y);
}

void PlaceTextLine2D(int textWidth, int windowWidth, int windowHeight, const sRect2D& avoid, int* x, int* y) {
  PlaceTextBox2D({0, -kTextAscent2D, textWidth, kTextDescent2D}, windowWidth, windowHeight, avoid, x, y);
}

void DrawTextLines2D(int x, int y, void* font, const std::vector<sTextLine2D>& lines) {
  if (lines.empty()) return;
  // How far the glyphs reach above and below the baseline: the labels' two sizes.
  const bool large = font == GLUT_BITMAP_HELVETICA_18;
  const int ascent = large ? 14 : kTextAscent2D, descent = large ? 5 : kTextDescent2D;
  sRect2D box = {lines[0].dx, lines[0].dy - ascent, lines[0].dx, lines[0].dy + descent};
  for (const sTextLine2D& line : lines) {
    box.x0 = std::min(box.x0, line.dx);
    box.x1 = std::max(box.x1, line.dx + MeasureTextWidth(font, line.text.c_str()));
    box.y0 = std::min(box.y0, line.dy - ascent);
    box.y1 = std::max(box.y1, line.dy + descent);
  }
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  PlaceTextBox2D(box, width, height, sRect2D{}, &x, &y);
  for (const sTextLine2D& line : lines) DrawText2D(x + line.dx, y + line.dy, font, line.text.c_str());
}
