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
