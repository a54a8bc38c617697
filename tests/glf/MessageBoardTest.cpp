// Plain message boxes in the game window: stacked, readable, inside the window, gone after a while.
#include <gtest/gtest.h>

#include "glf/MessageBoard.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/TestSupport.h"

namespace {
struct cBox {
  int x0, y0, x1, y1;
};
std::vector<cBox> Panels(const cOverlayRecorder& recorder) {
  std::vector<cBox> panels;
  for (const cDrawCall& fill : recorder.Of(cDrawCall::kFill)) panels.push_back({fill.x0, fill.y0, fill.x1, fill.y1});
  return panels;
}
}  // namespace

class MessageBoardTest : public ::testing::Test {
 protected:
  void Draw() {
    recorder.calls.clear();
    board.Draw();
  }
  cFakeClock clock;
  cOverlayRecorder recorder;
  cGLFMessageBoard board;
};

TEST_F(MessageBoardTest, MessagesStackOnDarkPanelsAndLeaveAfterTheirTime) {
  board.Add("Hunt Results", "Your hunters caught 3 food.");
  clock.Advance(2000);
  board.Add("Raid Results", "2 killed");
  Draw();
  const std::vector<cBox> panels = Panels(recorder);
  ASSERT_EQ(panels.size(), 2u);
  EXPECT_LT(panels[0].y1, panels[1].y0);  // the older above, not overlapping
  const cDrawCall* caption = recorder.FindText("Hunt Results");
  const cDrawCall* text = recorder.FindText("Your hunters caught 3 food.");
  ASSERT_TRUE(caption && text && recorder.FindText("Raid Results") && recorder.FindText("2 killed"));
  EXPECT_LT(caption->y0, text->y0);
  EXPECT_TRUE(SameColour(text->colour, 1, 1, 1));
  EXPECT_TRUE(SameColour(recorder.Of(cDrawCall::kFill)[0].colour, 0, 0, 0));  // white on black reads over any ground
  for (const cBox& panel : panels) EXPECT_NEAR(panel.x0 + panel.x1, recorder.width, 1);  // centred

  clock.Advance(cGLFMessageBoard::kShowMs - 2000);
  Draw();
  EXPECT_EQ(recorder.FindText("Hunt Results"), nullptr);
  EXPECT_NE(recorder.FindText("Raid Results"), nullptr);
  clock.Advance(2000);
  Draw();
  EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(MessageBoardTest, RepeatsCollapseAndABurstKeepsTheNewest) {
  for (int i = 0; i < 3; ++i) board.Add("Tribe Member Dies", "One of your tribe has starved to death.");
  Draw();
  EXPECT_NE(recorder.FindText("Tribe Member Dies (x3)"), nullptr);
  for (size_t i = 0; i < cGLFMessageBoard::kMaxShown; ++i) board.Add("Load Error", std::to_string(i));
  EXPECT_EQ(board.GetCount(), cGLFMessageBoard::kMaxShown);
  Draw();
  EXPECT_EQ(recorder.FindText("Tribe Member Dies (x3)"), nullptr);
}

TEST_F(MessageBoardTest, LongTextWrapsInsideANarrowWindow) {
  recorder.width = 200;
  board.Add("Script Error", "Failed to load avatar_motives.txt because the file ends inside a comment\nsecond");
  board.Add("X", std::string(100, 'w'));  // one word wider than the window
  Draw();
  int lines = 0;
  for (const cDrawCall& text : recorder.Of(cDrawCall::kText)) {
    ++lines;
    EXPECT_GE(text.x0, 0);
    EXPECT_LE(text.x0 + cOverlayRecorder::kCharWidth * (int)text.text.size(), recorder.width) << text.text;
  }
  EXPECT_GT(lines, 6);
  EXPECT_NE(recorder.FindText("second"), nullptr);  // the text's own line break stays
}
