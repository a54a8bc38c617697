// Plain message boxes in the game window: stacked, readable, inside the window, gone after a while.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "glf/MessageBoard.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/TestSupport.h"

// What this thread was handed by operator new, to tell what a message costs.
// The nothrow form too: the GL driver's, in this binary's GL tests, is freed
// by the plain delete below (the array forms pair among themselves).
static thread_local size_t tAllocated = 0;
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  tAllocated += size;
  return std::malloc(size ? size : 1);
}
void* operator new(std::size_t size) {
  if (void* memory = operator new(size, std::nothrow)) return memory;
  throw std::bad_alloc();
}
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"  // the news above are malloc's
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

struct MessageBoardTest : ::testing::Test {
  void Draw() { recorder.calls.clear(), board.Draw(); }
  cFakeClock clock;
  cOverlayRecorder recorder;
  cGLFMessageBoard board;
};

TEST_F(MessageBoardTest, MessagesStackOnDarkPanelsWrapCollapseRepeatsAndLeaveAfterTheirTime) {
  board.Add("Hunt Results", "Your hunters caught 3 food.");
  clock.Advance(2000);
  for (int i = 0; i < 2; ++i) board.Add("Raid Results", "2 killed");
  Draw();
  const std::vector<cDrawCall> panels = recorder.Of(cDrawCall::kFill);
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_LT(panels[0].y1, panels[1].y0);  // the older above, not overlapping
  EXPECT_NEAR(panels[0].x0 + panels[0].x1, recorder.width, 1);  // centred
  EXPECT_TRUE(SameColour(panels[0].colour, 0, 0, 0));
  const cDrawCall* text = recorder.FindText("Your hunters caught 3 food.");
  ASSERT_TRUE(text && recorder.FindText("Hunt Results") && recorder.FindText("Raid Results (x2)"));
  EXPECT_TRUE(SameColour(text->colour, 1, 1, 1));  // white on black reads over any ground

  clock.Advance(cGLFMessageBoard::kShowMs - 2000);
  Draw();
  EXPECT_EQ(recorder.FindText("Hunt Results"), nullptr);
  EXPECT_NE(recorder.FindText("Raid Results (x2)"), nullptr);
  clock.Advance(1000);  // a repeat 5 s after the first showing renews the time: still there 7 s after it
  board.Add("Raid Results", "2 killed");
  clock.Advance(2000);
  Draw();
  EXPECT_NE(recorder.FindText("Raid Results (x3)"), nullptr);
  for (size_t i = 0; i < cGLFMessageBoard::kMaxShown; ++i) board.Add("Load Error", std::to_string(i));
  EXPECT_EQ(board.GetCount(), cGLFMessageBoard::kMaxShown);  // a burst keeps the newest

  board.Clear();  // long text wraps inside a narrow window
  recorder.width = 200;
  board.Add("Script Error", "Failed to load avatar_motives.txt: the file ends in a comment\n" + std::string(60, 'w'));
  Draw();
  for (const cDrawCall& text : recorder.Of(cDrawCall::kText))
    EXPECT_LE(text.x0 + cOverlayRecorder::kCharWidth * (int)text.text.size(), recorder.width) << text.text;
  EXPECT_GT(recorder.Of(cDrawCall::kText).size(), 5u);
}

// Fault mended: a word too wide for a line was measured whole again for each
// character it kept, so a script's 1 MiB token froze the game window; and it
// was cut between bytes, inside a character. Each character is now measured
// a bounded number of times, and lines are cut between characters.
TEST_F(MessageBoardTest, WrappedLinesFitBreakAtBlanksAndCutWordsBetweenCharacters) {
  const std::string euro = "\xE2\x82\xAC";  // drawn as one stand-in glyph
  std::string euros, tenEuros;
  for (int i = 0; i < 20; ++i) euros += euro;
  for (int i = 0; i < 10; ++i) tenEuros += euro;
  const std::string hugeWord(64 * 1024, 'w');
  std::vector<std::string> hugeLines(hugeWord.size() / 28, std::string(28, 'w'));
  hugeLines.push_back(std::string(hugeWord.size() % 28, 'w'));
  const struct {
    const char* name;
    std::string text;
    int width;
    std::vector<std::string> lines;
  } rows[] = {
      {"words joined with blanks",
       "Failed to load avatar_motives.txt: the file ends in a comment",
       140,
       {"Failed to load", "avatar_motives.txt:", "the file ends in a", "comment"}},
      {"the text's own line breaks and blanks", "a  b\r\n\nc", 700, {"a  b", "", "c"}},
      {"a word of three-byte characters", euros, 70, {tenEuros, tenEuros}},
      {"a huge word", hugeWord, 200, hugeLines},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    recorder.measured = 0;
    const std::vector<std::string> lines = WrapText2D(GLFDefaultFont(), row.text, row.width);
    EXPECT_LE(recorder.measured, 2 * row.text.size()) << "characters measured";
    EXPECT_EQ(lines, row.lines);
  }
}

// A message's text is kept to a bound (a huge one costs a few kilobytes), and
// a box too long for its lines says how many characters it does not show;
// shown again, however long, it is one box, counted.
TEST_F(MessageBoardTest, AHugeMessageShowsItsFirstLinesAndSaysHowMuchItLeavesOut) {
  const std::string huge = "b " + std::string(1 << 20, 'x');
  const size_t before = tAllocated;
  board.Add(huge, "a huge caption");
  board.Add("Script Error", huge);
  Draw();
  EXPECT_LT(tAllocated - before, 64u * 1024) << "bytes allocated as the board took the texts and drew them";
  board.Clear();
  board.Add("Script Error", huge);
  Draw();
  std::vector<cDrawCall> texts = recorder.Of(cDrawCall::kText);
  ASSERT_EQ(texts.size(), cGLFMessageBoard::kMaxLines);
  const int perLine = (cGLFMessageBoard::kMaxWidth - 2 * cGLFMessageBoard::kPadding) / cOverlayRecorder::kCharWidth;
  EXPECT_EQ(texts[1].text, "b");
  EXPECT_EQ(texts[2].text, std::string(perLine, 'x'));
  EXPECT_EQ(texts.back().text, "... (" + std::to_string((1 << 20) - 9 * perLine) + " more characters)");

  std::string eAcutes;  // 3000 characters, 6000 bytes: past the bound
  for (int i = 0; i < 3000; ++i) eAcutes += "\xC3\xA9";
  board.Clear();
  for (int i = 0; i < 2; ++i) board.Add("Script Error", "b " + eAcutes);
  Draw();
  texts = recorder.Of(cDrawCall::kText);
  EXPECT_EQ(texts.front().text, "Script Error (x2)");
  EXPECT_EQ(texts.back().text, "... (" + std::to_string(3000 - 9 * perLine) + " more characters)");
}
