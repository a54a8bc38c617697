#include <gtest/gtest.h>

#include "app/FrameLoop.h"
#include "tests/glf/OverlayRecorder.h"

// Fault mended: "Show Debug Info" wrote its lines at the top left, over the
// tribe HUD's Population/Food panel (and every mode's panel there). It keeps
// to the bottom right corner, inside the window, at any window size.
TEST(DebugOverlay, KeepsToTheBottomRightCornerInsideTheWindow) {
  cOverlayRecorder recorder;
  for (auto [width, height] : {std::pair{1024, 768}, std::pair{320, 200}}) {
    recorder.width = width, recorder.height = height;
    recorder.calls.clear();
    DrawDebugOverlay();
    ASSERT_EQ(recorder.Of(cDrawCall::kText).size(), 15u);  // three lines, four shadows and the text
    for (const cDrawCall& text : recorder.Of(cDrawCall::kText)) {
      EXPECT_TRUE(text.x0 > width / 3 && text.x0 + cOverlayRecorder::kCharWidth * (int)text.text.size() <= width);
      EXPECT_TRUE(text.y0 > height / 2 && text.y0 <= height) << text.text << " " << width;
    }
  }
}
