#include "glf/MessageBoard.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "glf/Overlay2D.h"
#include "glf/TextList.h"
#include "platform/Sys.h"

namespace {
const float kCaptionColour[3] = {1.0f, 0.85f, 0.35f};

size_t CountCharacters(const std::string& text, size_t from) {
  size_t count = 0;
  for (size_t i = from; i < text.size(); ++i) count += ((unsigned char)text[i] & 0xC0) != 0x80;
  return count;
}

// What is kept of a text: at most maxBytes, cut between characters; *dropped counts the characters left out.
std::string Kept(const std::string& text, size_t maxBytes, size_t* dropped) {
  const size_t kept = Sys_Utf8CutLength(text.data(), text.size(), maxBytes);
  *dropped = CountCharacters(text, kept);
  return text.substr(0, kept);
}

// The widths of a font's glyphs, each measured when first asked for.
class cGlyphWidths {
 public:
  explicit cGlyphWidths(void* font) : mFont(font) { mWidths.fill(-1); }
  int operator()(unsigned char glyph) {
    int& width = mWidths[glyph];
    if (width < 0) width = MeasureGlyphWidth2D(mFont, glyph);
    return width;
  }

 private:
  void* mFont;
  std::array<int, 256> mWidths;
};

struct sWrappedLine {
  size_t begin, end;  // bytes of the text
};

// WrapText2D's lines as places in the text. A line is a stretch of the text
// whose width is the sum of its glyphs' widths, so each character is looked
// at a few times at most, however long its word.
std::vector<sWrappedLine> WrapLines(void* font, const std::string& text, int maxWidth) {
  cGlyphWidths widthOf(font);
  // Past maxWidth only "too wide" counts: a long word is not summed to its end.
  const auto widthOfStretch = [&](size_t at, size_t end) {
    int width = 0;
    unsigned char glyph = 0;
    for (size_t length; width <= maxWidth && (length = NextGlyph2D(text.data() + at, end - at, &glyph)) > 0; at += length)
      width += widthOf(glyph);
    return width;
  };
  const int blank = widthOf(' ');
  std::vector<sWrappedLine> lines;
  for (size_t start = 0; start <= text.size();) {
    const char* lineBreak = (const char*)std::memchr(text.data() + start, '\n', text.size() - start);
    const size_t end = lineBreak ? (size_t)(lineBreak - text.data()) : text.size();
    const size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    size_t lineBegin = start, lineEnd = start;  // the line so far; empty: nothing on it yet
    int lineWidth = 0;
    for (size_t i = start; i < stop;) {
      const char* blankAt = (const char*)std::memchr(text.data() + i, ' ', stop - i);
      const size_t wordEnd = blankAt ? (size_t)(blankAt - text.data()) : stop;
      const int wordWidth = widthOfStretch(i, wordEnd);
      const bool lineEmpty = lineEnd == lineBegin;
      const int joinedWidth = lineEmpty ? wordWidth : lineWidth + blank + wordWidth;
      if (joinedWidth <= maxWidth) {
        if (lineEmpty) lineBegin = i;
        lineEnd = wordEnd;
        lineWidth = joinedWidth;
      } else {
        if (!lineEmpty) lines.push_back({lineBegin, lineEnd});
        lineBegin = i;
        lineWidth = wordWidth;
        if (wordWidth > maxWidth) {  // a word too wide on its own is cut between its characters
          lineWidth = 0;
          unsigned char glyph = 0;
          for (size_t at = i, length; (length = NextGlyph2D(text.data() + at, wordEnd - at, &glyph)) > 0; at += length) {
            const int width = widthOf(glyph);
            if (at > lineBegin && lineWidth + width > maxWidth) {
              lines.push_back({lineBegin, at});
              lineBegin = at;
              lineWidth = 0;
            }
            lineWidth += width;
          }
        }
        lineEnd = wordEnd;
      }
      i = wordEnd + 1;
    }
    lines.push_back({lineBegin, lineEnd});
    start = end + 1;
  }
  return lines;
}

}  // namespace

void cGLFMessageBoard::Add(const std::string& caption, const std::string& text) {
  const uint32_t now = Sys_Milliseconds();
  DropExpired();
  ++mVersion;
  cMessage added;
  size_t captionCut = 0;  // the program's own: its "..." line says enough
  added.caption = Kept(caption, kMaxBytes, &captionCut);
  added.text = Kept(text, kMaxBytes, &added.textCut);
  added.shownAt = now;
  for (cMessage& message : mMessages)
    if (message.caption == added.caption && message.text == added.text && message.textCut == added.textCut) {
      ++message.repeats;
      message.shownAt = now;
      return;
    }
  mMessages.push_back(std::move(added));
  while (mMessages.size() > kMaxShown) mMessages.pop_front();
}

void cGLFMessageBoard::DropExpired() {
  const uint32_t now = Sys_Milliseconds();
  const size_t before = mMessages.size();
  mMessages.erase(std::remove_if(mMessages.begin(), mMessages.end(),
                                 [now](const cMessage& m) { return now - m.shownAt >= kShowMs; }),
                  mMessages.end());
  if (mMessages.size() != before) ++mVersion;
}

uint32_t cGLFMessageBoard::GetVersion() {
  DropExpired();
  return mVersion;
}

size_t cGLFMessageBoard::GetCount() {
  DropExpired();
  return mMessages.size();
}

// The caption's lines, then the text's; past kMaxLines the last line says
// how much of the text is not shown.
std::vector<std::string> cGLFMessageBoard::LinesOf(const cMessage& message, void* font, int textLimit,
                                                   size_t* captionLines) {
  std::string caption = message.caption;
  if (message.repeats > 1) caption += " (x" + std::to_string(message.repeats) + ")";
  std::vector<std::string> lines = WrapText2D(font, caption, textLimit);
  *captionLines = lines.size();
  if (lines.size() >= kMaxLines) {
    lines.resize(kMaxLines);
    lines.back() = "...";
    *captionLines = kMaxLines;
    return lines;
  }
  const std::string& text = message.text;
  std::vector<sWrappedLine> textLines;
  if (!text.empty()) textLines = WrapLines(font, text, textLimit);
  const size_t room = kMaxLines - lines.size();
  const bool cut = textLines.size() > room || message.textCut > 0;
  const size_t shown = cut ? std::min(textLines.size(), room - 1) : textLines.size();
  for (size_t i = 0; i < shown; ++i) lines.push_back(text.substr(textLines[i].begin, textLines[i].end - textLines[i].begin));
  if (cut) {
    const size_t hidden = message.textCut + CountCharacters(text, shown < textLines.size() ? textLines[shown].begin : text.size());
    lines.push_back("... (" + std::to_string(hidden) + " more characters)");
  }
  return lines;
}

void cGLFMessageBoard::Draw() {
  DropExpired();
  if (mMessages.empty()) return;
  void* font = GLFDefaultFont();
  int windowWidth = 0, windowHeight = 0;
  GetWindowSize2D(&windowWidth, &windowHeight);
  const int boxLimit = std::max(std::min(kMaxWidth, windowWidth - 2 * kMargin), 2 * kPadding + 1);
  const int textLimit = boxLimit - 2 * kPadding;
  const int pitch = cGLFTextList::kLinePitch;
  int top = kTop;
  for (const cMessage& message : mMessages) {
    size_t captionLines = 0;
    const std::vector<std::string> lines = LinesOf(message, font, textLimit, &captionLines);
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, MeasureTextWidth(font, line.c_str()));
    const int boxWidth = widest + 2 * kPadding;
    const int x0 = std::max((windowWidth - boxWidth) / 2, 0);
    const int bottom = top + (int)lines.size() * pitch + 2 * kPadding;

    SetBlending2D(true);
    SetColour2D(0.0f, 0.0f, 0.0f, 0.7f);
    DrawFilledRect(x0, top, x0 + boxWidth, bottom);
    SetBlending2D(false);
    SetColour2D(kCaptionColour);
    DrawRectOutline(x0, top, x0 + boxWidth, bottom);
    int baseline = top + kPadding + pitch - 4;
    for (size_t i = 0; i < lines.size(); ++i, baseline += pitch) {
      if (i < captionLines) SetColour2D(kCaptionColour);
      else SetColour2D(1.0f, 1.0f, 1.0f);
      DrawText2D(x0 + kPadding, baseline, font, lines[i].c_str());
    }
    top = bottom + kGap;
    if (top >= windowHeight) break;  // a tiny window shows what fits
  }
}

std::vector<std::string> WrapText2D(void* font, const std::string& text, int maxWidth) {
  std::vector<std::string> lines;
  for (const sWrappedLine& line : WrapLines(font, text, maxWidth)) lines.push_back(text.substr(line.begin, line.end - line.begin));
  return lines;
}

cGLFMessageBoard& GetGLFMessageBoard() {
  static cGLFMessageBoard* board = new cGLFMessageBoard();  // lives until exit
  return *board;
}

void ShowMessageInGameWindow(const char* caption, const char* text) {
  GetGLFMessageBoard().Add(caption ? caption : "", text ? text : "");
  Sys_RequestRedraw();  // a paused game draws only on request
}
