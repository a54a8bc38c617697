// Where a line of overlay text goes so that it can be read: inside the window,
// clear of the windows standing over it, and off an area that something else
// draws (an open pie menu).
#pragma once

#include <string>
#include <vector>

struct sRect2D {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // window pixels, y down; x1 <= x0 is no area
  bool IsEmpty() const { return x1 <= x0 || y1 <= y0; }
};

// The text's box reaches this far above and below its baseline (Helvetica 12).
constexpr int kTextAscent2D = 12, kTextDescent2D = 4;

// The part of the window other windows stand over (the helpers' strip over a
// game window filling the screen), in window pixels; empty: none. What is
// placed in 2D (labels, pie menus) and meets it moves in from its edge, as
// from the window's: the edge it stands on, the side away from the window's
// edge it touches.
void SetCoveredArea2D(const sRect2D& area);
// The left and right edges (the first column inside and the first past) a
// box of window pixels keeps within: 0 and the window's width, the covered
// area's edge standing in for one where the box meets the area.
void EdgesFor2D(const sRect2D& box, int windowWidth, int* left, int* right);

// (*x, *y) is the wanted start of the baseline; it moves left and up as far as
// the window's edges (and the covered area's) need, then below the area to avoid (above it when the
// window has no room below) when the text would cover it.
void PlaceTextLine2D(int textWidth, int windowWidth, int windowHeight, const sRect2D& avoid, int* x, int* y);
// The same for any box of text, given from (*x, *y): the box moves as one.
void PlaceTextBox2D(const sRect2D& box, int windowWidth, int windowHeight, const sRect2D& avoid, int* x, int* y);

// A label of several lines, each starting (dx, dy) from the label's point (dy
// to its baseline). Drawn in the current 2D pass, all moved together just as
// far as keeps every line inside the window, as a pie menu's items are.
struct sTextLine2D {
  int dx = 0, dy = 0;
  std::string text;
};
void DrawTextLines2D(int x, int y, void* font, const std::vector<sTextLine2D>& lines);
