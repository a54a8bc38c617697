// Plain message boxes in the game window: stacked, readable, inside the window, gone after a while.
#include <gtest/gtest.h>

#include "glf/MessageBoard.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/TestSupport.h"

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

// A box too long for its lines shows its first ones and says how many
// characters (not bytes) of the text it leaves out, also those past what is
// kept of a huge text. The same message again while shown, however long, is
// one box, counted. (What the kept bound saves is measured in tests/glf/heap.)
TEST_F(MessageBoardTest, AHugeMessageShowsItsFirstLinesAndSaysHowManyCharactersItLeavesOut) {
  const int perLine = (cGLFMessageBoard::kMaxWidth - 2 * cGLFMessageBoard::kPadding) / cOverlayRecorder::kCharWidth;
  const int wholeLines = (int)cGLFMessageBoard::kMaxLines - 3;  // under the caption and "b", above the count
  std::string eAcutes;  // twice as many bytes, more than the board keeps
  for (int i = 0; i < 3000; ++i) eAcutes += "\xC3\xA9";
  const struct {
    const char* name;
    std::string word;  // after "b "
    int characters;    // in the word
    char glyph;        // each character's, as drawn
    int shown;         // times the message is shown
  } rows[] = {
      {"one-byte characters", std::string(1 << 20, 'x'), 1 << 20, 'x', 1},
      {"two-byte characters, shown twice", eAcutes, 3000, '\xE9', 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    board.Clear();
    for (int i = 0; i < row.shown; ++i) board.Add("Script Error", "b " + row.word);
    Draw();
    std::vector<std::string> lines = {row.shown > 1 ? "Script Error (x2)" : "Script Error", "b"};
    lines.insert(lines.end(), (size_t)wholeLines, std::string((size_t)perLine, row.glyph));
    lines.push_back("... (" + std::to_string(row.characters - wholeLines * perLine) + " more characters)");
    std::vector<std::string> drawn;
    for (const cDrawCall& text : recorder.Of(cDrawCall::kText)) drawn.push_back(text.text);
    EXPECT_EQ(drawn, lines);
  }
}
