#include <gtest/gtest.h>

#include "app/FrameLoop.h"
#include "tests/glf/OverlayRecorder.h"

// Fault mended: "Show Debug Info" wrote its lines at the top left, over the
// tribe HUD's Population/Food panel (and every mode's panel there). It keeps
// to the bottom right corner, inside the window.
TEST(DebugOverlay, KeepsToTheBottomRightCornerInsideTheWindow) {
  cOverlayRecorder recorder;  // 640 x 480
  DrawDebugOverlay();
  ASSERT_EQ(recorder.Of(cDrawCall::kText).size(), 15u);  // three lines, four shadows and the text
  for (const cDrawCall& text : recorder.Of(cDrawCall::kText)) {
    EXPECT_TRUE(text.x0 > 320 && text.x0 + cOverlayRecorder::kCharWidth * (int)text.text.size() <= 640) << text.text;
    EXPECT_TRUE(text.y0 > 400 && text.y0 <= 480) << text.text;
  }
}
