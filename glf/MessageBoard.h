// Plain message boxes shown in the game window for a few seconds: a designer
// sees hunt results, raids and file errors where he plays, not only in the
// debug window. Boxes stack under each other at the top centre, below the
// strip where the modes' HUD panels sit and narrow enough to pass between
// them in a window of 1024 pixels, each a caption
// line and its text on a dark panel that stays readable over any terrain;
// nothing waits for an answer. Time is the platform clock (real time: a paused
// game still lets its messages go).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class cGLFMessageBoard {
 public:
  static constexpr uint32_t kShowMs = 6000;
  static constexpr size_t kMaxShown = 5;  // a burst keeps the newest
  static constexpr size_t kMaxLines = 12;  // of one message, the caption included
  // Of a message's caption and of its text, what is kept (more than its lines
  // hold): a text from a file can be of any length, and its box is laid out
  // each frame.
  static constexpr size_t kMaxBytes = 4096;
  static constexpr int kMaxWidth = 500, kTop = 48, kMargin = 8, kPadding = 6, kGap = 4;

  void Add(const std::string& caption, const std::string& text);
  void Draw();  // between Begin2D and End2D; drops what has expired
  size_t GetCount();  // the messages still shown
  // Changes whenever what the board shows changes (a message added, repeated
  // or gone), so a paused game redraws for that and not on every frame.
  uint32_t GetVersion();
  void Clear() { mMessages.clear(); }

 private:
  struct cMessage {
    std::string caption, text;
    size_t textCut = 0;  // characters of the text not kept
    uint32_t shownAt = 0;
    int repeats = 1;  // the same box again while shown restarts its time instead of stacking
  };
  static std::vector<std::string> LinesOf(const cMessage& message, void* font, int textLimit, size_t* captionLines);
  void DropExpired();
  std::deque<cMessage> mMessages;
  uint32_t mVersion = 0;
};

cGLFMessageBoard& GetGLFMessageBoard();
void ShowMessageInGameWindow(const char* caption, const char* text);  // the platform's show hook

// Text cut into lines no wider than maxWidth pixels in the font: at blanks
// where it can, inside a word (between its characters) only when one word is
// too wide; the text's own line breaks stay. Each glyph is measured once.
std::vector<std::string> WrapText2D(void* font, const std::string& text, int maxWidth);
