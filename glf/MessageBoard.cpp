#include "glf/MessageBoard.h"

#include <algorithm>

#include "glf/Overlay2D.h"
#include "glf/TextList.h"
#include "platform/Sys.h"

namespace {
const float kCaptionColour[3] = {1.0f, 0.85f, 0.35f};
}  // namespace

void cGLFMessageBoard::Add(const std::string& caption, const std::string& text) {
  const uint32_t now = Sys_Milliseconds();
  DropExpired();
  ++mVersion;
  for (cMessage& message : mMessages)
    if (message.caption == caption && message.text == text) {
      ++message.repeats;
      message.shownAt = now;
      return;
    }
  mMessages.push_back({caption, text, now, 1});
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
    std::string caption = message.caption;
    if (message.repeats > 1) caption += " (x" + std::to_string(message.repeats) + ")";
    std::vector<std::string> lines = WrapText2D(font, caption, textLimit);
    const size_t captionLines = lines.size();
    if (!message.text.empty())
      for (const std::string& line : WrapText2D(font, message.text, textLimit)) lines.push_back(line);
    if (lines.size() > kMaxLines) {
      lines.resize(kMaxLines);
      lines.back() = "...";
    }
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
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string paragraph = text.substr(start, end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    std::string line;
    size_t i = 0;
    while (i < paragraph.size()) {
      size_t wordEnd = paragraph.find(' ', i);
      if (wordEnd == std::string::npos) wordEnd = paragraph.size();
      std::string word = paragraph.substr(i, wordEnd - i);
      i = wordEnd + 1;
      std::string joined = line.empty() ? word : line + " " + word;
      if (MeasureTextWidth(font, joined.c_str()) <= maxWidth) {
        line = joined;
        continue;
      }
      if (!line.empty()) lines.push_back(line);
      line.clear();
      // A word too wide on its own is cut where it must be.
      while (!word.empty() && MeasureTextWidth(font, word.c_str()) > maxWidth) {
        size_t fit = 1;
        while (fit < word.size() && MeasureTextWidth(font, word.substr(0, fit + 1).c_str()) <= maxWidth) ++fit;
        lines.push_back(word.substr(0, fit));
        word.erase(0, fit);
      }
      line = word;
    }
    lines.push_back(line);
    start = end + 1;
  }
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
