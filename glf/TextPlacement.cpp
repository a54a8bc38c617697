#include "glf/TextPlacement.h"

#include <algorithm>

namespace {
constexpr int kEdgeMargin = 4, kAvoidGap = 4;

void KeepInside(int textWidth, int windowWidth, int windowHeight, int* x, int* y) {
  *x = std::max(std::min(*x, windowWidth - kEdgeMargin - textWidth), kEdgeMargin);
  *y = std::max(std::min(*y, windowHeight - kTextDescent2D), kTextAscent2D);
}

bool Covers(int textWidth, int x, int y, const sRect2D& area) {
  return !area.IsEmpty() && x < area.x1 && x + textWidth > area.x0 && y - kTextAscent2D < area.y1 &&
         y + kTextDescent2D > area.y0;
}
}  // namespace

void PlaceTextLine2D(int textWidth, int windowWidth, int windowHeight, const sRect2D& avoid, int* x, int* y) {
  KeepInside(textWidth, windowWidth, windowHeight, x, y);
  if (!Covers(textWidth, *x, *y, avoid)) return;
  const int below = avoid.y1 + kAvoidGap + kTextAscent2D;
  if (below + kTextDescent2D <= windowHeight) *y = below;
  else *y = avoid.y0 - kAvoidGap - kTextDescent2D;
  KeepInside(textWidth, windowWidth, windowHeight, x, y);
}
