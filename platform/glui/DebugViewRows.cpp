#include "platform/glui/DebugViewRows.h"

namespace {

// Length of the UTF-8 sequence starting at text[at] and its code point; a
// malformed or cut sequence counts as one byte standing for U+FFFD.
size_t DecodeAt(const std::string& text, size_t at, uint32_t* codepoint) {
  const unsigned char lead = (unsigned char)text[at];
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || at + length > text.size()) {
    *codepoint = 0xFFFD;
    return 1;
  }
  uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = (unsigned char)text[at + i];
    if ((next & 0xC0) != 0x80) {
      *codepoint = 0xFFFD;
      return 1;
    }
    value = (value << 6) | (next & 0x3F);
  }
  *codepoint = value;
  return length;
}

void WrapLine(const std::string& text, size_t index, float width, DebugViewGlyphWidth glyphWidth,
              std::vector<sDebugViewRow>& rows) {
  size_t at = 0;
  do {
    const size_t begin = at;
    size_t end = at, afterSpace = 0;  // afterSpace: the row's end at its last space, 0 when none yet
    float used = 0.0f;
    while (end < text.size()) {
      uint32_t codepoint = 0;
      const size_t length = DecodeAt(text, end, &codepoint);
      used += glyphWidth(codepoint);
      if (used > width && end > begin) break;
      end += length;
      if (codepoint == ' ') afterSpace = end;
    }
    // A line that goes on breaks at its last space, unless that would leave the row empty.
    if (end < text.size() && text[end] != ' ' && afterSpace > begin) end = afterSpace;
    size_t shown = end;
    while (shown > begin && text[shown - 1] == ' ' && end < text.size()) --shown;
    rows.push_back({index, begin, shown > begin ? shown : end});
    at = end;
    while (at < text.size() && text[at] == ' ' && at > begin) ++at;  // the next row starts at a word
  } while (at < text.size());
}

}  // namespace

std::vector<sDebugViewRow> WrapDebugViewLines(const std::vector<std::string>& lines, float width,
                                              DebugViewGlyphWidth glyphWidth) {
  std::vector<sDebugViewRow> rows;
  rows.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) WrapLine(lines[i], i, width, glyphWidth, rows);
  return rows;
}
