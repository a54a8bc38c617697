// The debug window's text broken into rows that fit the text area's width, so
// the area never scrolls sideways: a horizontal bar would hide the last row and
// change how far down the bottom is whenever a wide line came into view. Free of
// ImGui types, so the wrapping is tested without a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct sDebugViewRow {
  size_t line = 0;              // index into the stored lines
  size_t begin = 0, end = 0;    // bytes [begin, end) of that line
};

// The width of one character (a Unicode code point) in the text area's font.
using DebugViewGlyphWidth = float (*)(uint32_t codepoint);

// Each line becomes one or more rows no wider than `width`: broken after the
// last space that fits (the spaces at the break are dropped), or inside a word
// longer than a row, never inside a UTF-8 sequence. Every row holds at least one
// character, so a width narrower than one still shows the whole text.
std::vector<sDebugViewRow> WrapDebugViewLines(const std::vector<std::string>& lines, float width,
                                              DebugViewGlyphWidth glyphWidth);
