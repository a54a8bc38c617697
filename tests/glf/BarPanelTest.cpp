// The bar panel: rows by label, values, colours at the percentage thresholds,
// number text, and where each part of the panel is drawn.
#include <gtest/gtest.h>

#include "glf/BarPanel.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/EveryStyleBarPanel.h"

namespace {

// Default ratios in a 640 x 480 window: bars 119.25 wide (8 high), rows 13 apart.
constexpr float kBarWidth = 636.0f * 120.0f / 640.0f;

const cDrawCall* FillStartingAt(const cOverlayRecorder& recorder, int x0, int y0, float r, float g, float b) {
  for (const cDrawCall& call : recorder.calls)
    if (call.kind == cDrawCall::kFill && call.x0 == x0 && call.y0 == y0 && SameColour(call.colour, r, g, b))
      return &call;
  return nullptr;
}

bool AnyFill(const cOverlayRecorder& recorder, float r, float g, float b) {
  for (const cDrawCall& call : recorder.Of(cDrawCall::kFill))
    if (SameColour(call.colour, r, g, b)) return true;
  return false;
}

}  // namespace

TEST(BarPanel, RowsAreMadeOnceAndTheLabelColumnOnlyGrows) {
  cOverlayRecorder recorder;
  cGLFBarPanel panel;
  panel.AddBar("Food:", kGLFBarStyleNumber, 0.0f, 0);
  EXPECT_EQ(panel.GetLabelColumnWidth(), 5.0f * cOverlayRecorder::kCharWidth);
  panel.AddBar("Population:", kGLFBarStyleBar, 100.0f, 2);
  panel.AddBar("X", kGLFBarStyleBar, 1.0f, 2);
  EXPECT_EQ(panel.GetLabelColumnWidth(), 11.0f * cOverlayRecorder::kCharWidth);
  panel.AddBar("Food:", kGLFBarStyleBar, 50.0f, 2);  // the first row and its style stay
  ASSERT_NE(panel.FindRow("Food:"), nullptr);
  EXPECT_FALSE(panel.FindRow("Food:")->isBar);
  EXPECT_EQ(panel.FindRow("Food:")->range, 0.0f);
}

TEST(BarPanel, BarValuesStopAtTheRangeButNumbersDoNot) {
  cOverlayRecorder recorder;
  cGLFBarPanel panel;
  panel.AddBar("Health:", kGLFBarStyleBar, 100.0f, 2);
  panel.AddBar("Wealth:", kGLFBarStyleNumber, 0.0f, 2);
  panel.SetValue("Health:", 150.0f);
  EXPECT_EQ(panel.GetValue("Health:"), 100.0f);
  panel.SetValue("Health:", -20.0f);
  EXPECT_EQ(panel.GetValue("Health:"), -20.0f);
  panel.SetValue("Wealth:", 1e6f);
  EXPECT_EQ(panel.GetValue("Wealth:"), 1e6f);
  panel.SetValue("Nobody:", 3.0f);
  EXPECT_EQ(panel.GetValue("Nobody:"), 0.0f);
  EXPECT_EQ(panel.FindRow("Nobody:"), nullptr);
}

TEST(BarPanel, PercentageColourThresholds) {
  float rgb[3];
  cGLFBarPanel::PercentageColour(29.0f, 100.0f, rgb);
  EXPECT_TRUE(SameColour(rgb, 1, 0, 0));
  cGLFBarPanel::PercentageColour(30.0f, 100.0f, rgb);
  EXPECT_TRUE(SameColour(rgb, 1, 1, 0));
  cGLFBarPanel::PercentageColour(59.9f, 100.0f, rgb);
  EXPECT_TRUE(SameColour(rgb, 1, 1, 0));
  cGLFBarPanel::PercentageColour(60.0f, 100.0f, rgb);
  EXPECT_TRUE(SameColour(rgb, 0, 1, 0));
  cGLFBarPanel::PercentageColour(5.0f, 0.0f, rgb);
  EXPECT_TRUE(SameColour(rgb, 1, 0, 0));
}

TEST(BarPanel, NumberTextRoundsBothWaysAndNeverOverflows) {
  cOverlayRecorder recorder;
  cGLFBarPanel panel;
  panel.AddBar("Count:", kGLFBarStyleNumberOfRange, 40.0f, 0);
  panel.SetValue("Count:", 12.4f);
  EXPECT_EQ(panel.NumberText(*panel.FindRow("Count:")), "12/40");
  panel.AddBar("Fine:", kGLFBarStyleNumberOfRange, 40.0f, 2);
  panel.SetValue("Fine:", 1.235f);
  EXPECT_EQ(panel.NumberText(*panel.FindRow("Fine:")), "1.24/40");
  EXPECT_EQ(cGLFBarPanel::FormatNumber(-0.7f, 0), "-1");
  EXPECT_EQ(cGLFBarPanel::FormatNumber(-1.26f, 1), "-1.3");
  EXPECT_EQ(cGLFBarPanel::FormatNumber(0.7f, 0), "1");
  EXPECT_EQ(cGLFBarPanel::FormatNumber(3e9f, 2), "3e+09");
  EXPECT_EQ(cGLFBarPanel::FormatNumber(-3e9f, 2), "-3e+09");
  EXPECT_EQ(cGLFBarPanel::FormatNumber(2.5f, 99), "2.5");
}

TEST(BarPanel, AWindowSizeOfZeroFallsBackToTheDefaultRatios) {
  SetGLFBarTuningSource([] { return cGLFBarTuning{160.0f, 10.0f, 0.0f, 0.0f}; });
  cGLFBarPanel zero;
  SetGLFBarTuningSource([] { return cGLFBarTuning{160.0f, 10.0f, 1024.0f, 768.0f}; });
  cGLFBarPanel tuned;
  SetGLFBarTuningSource(nullptr);
  EXPECT_EQ(zero.GetBarWidthRatio(), 120.0f / 640.0f);
  EXPECT_EQ(zero.GetBarHeightRatio(), 8.0f / 480.0f);
  EXPECT_EQ(tuned.GetBarWidthRatio(), 160.0f / 1024.0f);
}

TEST(BarPanelDraw, EveryStyleStandsInItsRow) {
  cOverlayRecorder recorder;
  cGLFBarPanel panel;
  AddEveryStyleRow(panel, 1);
  panel.SetValue("Health:", 60.0f);
  panel.SetSegments("Income:", {{0.25f, 1, 0, 0}, {0.75f, 0, 0, 1}});
  panel.SetValue("Wealth:", 12.34f);
  panel.SetValue("Count:", 12.4f);
  panel.SetValue("Mood:", 5.0f);
  panel.SetSecondaryValue("Mood:", 2.0f);
  panel.GetSegments("Unlisted:");  // a looked-up row is neither drawn nor given room
  panel.InitTitleBar("Population Goal:", 20.0f);
  panel.GetTitleBar().SetValue(25.0f);  // the same bar under the HUDs' name
  EXPECT_EQ(panel.GetTitleBar().GetValue(), 20.0f);
  panel.Draw(5.0f, 5.0f);

  const int labelColumn = 7 * cOverlayRecorder::kCharWidth + 4, x0 = 5 + labelColumn;
  const auto rowTop = [](int row) { return 5 + 4 + row * 13; };
  ASSERT_NE(recorder.FindText("Health:"), nullptr);
  EXPECT_EQ(recorder.FindText("Health:")->y0, rowTop(0) + 8);  // label baseline on the bar's bottom edge
  const cDrawCall* health = FillStartingAt(recorder, x0, rowTop(0), 0, 1, 0);  // 60 % is green
  ASSERT_NE(health, nullptr);
  EXPECT_EQ(health->x1, (int)(x0 + kBarWidth * 0.6f));
  ASSERT_NE(FillStartingAt(recorder, x0, rowTop(1), 1, 0, 0), nullptr);  // first segment from the start
  ASSERT_NE(FillStartingAt(recorder, (int)(x0 + kBarWidth * 0.25f), rowTop(1), 0, 0, 1), nullptr);
  ASSERT_NE(recorder.FindText("12.3"), nullptr);
  EXPECT_EQ(recorder.FindText("12.3")->x0, x0);
  EXPECT_EQ(recorder.FindText("12.3")->y0, rowTop(2) + 8);
  ASSERT_NE(recorder.FindText("12/40"), nullptr);
  EXPECT_EQ(recorder.FindText("12/40")->y0, rowTop(3) + 8);
  const float middle = x0 + kBarWidth / 2;
  ASSERT_NE(FillStartingAt(recorder, (int)middle, rowTop(4), 0, 1, 0), nullptr);  // positive: green to the right
  const float end = middle + kBarWidth / 2 * 0.5f;
  const cDrawCall* marker = FillStartingAt(recorder, (int)(end - kBarWidth / 2 * 0.2f), rowTop(4), 1, 0, 1);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->x1, (int)end);

  const cDrawCall background = recorder.Of(cDrawCall::kFill).front();
  EXPECT_EQ(background.y1, 5 + 5 * 13 + 5);  // five drawn rows
  EXPECT_EQ(background.colour[3], 0.6f);
  const float titleColumn = 16 * cOverlayRecorder::kCharWidth + 4, tx = 636.0f - kBarWidth - titleColumn - 5;
  const cDrawCall* title = recorder.FindText("Population Goal:");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->x0, (int)tx);
  EXPECT_TRUE(SameColour(title->colour, 0, 1, 1));
  const cDrawCall* goal = FillStartingAt(recorder, (int)(tx + titleColumn), 5 + 4, 0, 0.5f, 1);
  ASSERT_NE(goal, nullptr);
  EXPECT_EQ(goal->x1, (int)(tx + titleColumn + kBarWidth));  // full: 25 is shown as the range
}

TEST(BarPanelDraw, FillsStayInsideTheirBarsAndNoRangeMeansNoMarker) {
  cOverlayRecorder recorder;
  cGLFBarPanel panel;
  panel.AddBar("Low:", kGLFBarStyleBar, 100.0f, 2);
  panel.AddBar("Deep:", kGLFBarStyleSigned, 10.0f, 2);
  panel.AddBar("None:", kGLFBarStyleSigned, 0.0f, 2);
  panel.SetValue("Low:", -20.0f);
  panel.SetValue("Deep:", -300.0f);
  panel.SetSecondaryValue("None:", 3.0f);
  panel.Draw(5.0f, 5.0f);
  const int x0 = 5 + 5 * cOverlayRecorder::kCharWidth + 4;
  for (const cDrawCall& fill : recorder.Of(cDrawCall::kFill)) {
    if (fill.y0 < 9) continue;  // the panel and title backgrounds
    EXPECT_GE(std::min(fill.x0, fill.x1), x0) << "a fill runs over the label column";
  }
  // No range: the plain bar is empty and the signed bar fills its left half red.
  const float middle = x0 + kBarWidth / 2;
  const int rowNone = 9 + 2 * 13;
  const std::vector<cDrawCall> fills = recorder.Of(cDrawCall::kFill);
  const cDrawCall* none = nullptr;
  for (const cDrawCall& fill : fills)
    if (fill.y0 == rowNone && SameColour(fill.colour, 1, 0, 0)) none = &fill;
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->x1, (int)(middle - kBarWidth / 2));
  EXPECT_EQ(none->x0, (int)middle);
  EXPECT_FALSE(AnyFill(recorder, 1, 0, 1));
}
