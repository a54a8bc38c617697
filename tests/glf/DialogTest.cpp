// Dialog controls: hit tests, automatic size, the control list, and how a
// button draws itself pressed and released.
#include <gtest/gtest.h>

#include <memory>

#include "glf/Dialog.h"
#include "tests/glf/OverlayRecorder.h"

namespace {

class cTestDialog : public cGLFDialog {
 public:
  bool HandleMouse(int, int, int, int) override { return false; }
  void Draw() override {}
  cGLFDialogButton* Add(int id, const char* label = "") {
    auto button = std::make_unique<cGLFDialogButton>();
    button->SetId(id);
    button->SetLabel(label);
    cGLFDialogButton* raw = button.get();
    AddControl(std::move(button));
    return raw;
  }
};

std::vector<int> Ids(const cGLFDialog& dialog) {
  std::vector<int> ids;
  for (int i = 0; i < dialog.GetControlCount(); ++i) ids.push_back(dialog.GetControl(i)->GetId());
  return ids;
}

}  // namespace

TEST(DialogControl, HitTestIsStrictlyInside) {
  cGLFDialogButton button;
  button.SetRect(10, 10, 40, 30);
  EXPECT_FALSE(button.HitTest(10, 20));
  EXPECT_FALSE(button.HitTest(40, 20));
  EXPECT_FALSE(button.HitTest(20, 10));
  EXPECT_FALSE(button.HitTest(20, 30));
  EXPECT_TRUE(button.HitTest(11, 20));
  EXPECT_TRUE(button.HitTest(39.5f, 29.5f));
}

TEST(DialogControl, AutoSizeFitsTheLabelAndKeepsTheCorner) {
  cOverlayRecorder recorder;
  cGLFDialogButton button;
  button.SetRect(5, 6, 100, 100);
  button.AutoSize();
  EXPECT_EQ(button.X0(), 5.0f);
  EXPECT_EQ(button.X1(), 9.0f);  // an empty label: 4 wide, 20 high
  EXPECT_EQ(button.Y1(), 26.0f);
  button.SetLabel("Buy");
  button.AutoSize();
  EXPECT_EQ(button.X1(), 5.0f + 3 * cOverlayRecorder::kCharWidth + 4.0f);
}

TEST(Dialog, ControlListOperations) {
  cOverlayRecorder recorder;
  cTestDialog dialog;
  EXPECT_FALSE(dialog.IsVisible());
  EXPECT_EQ(dialog.GetResultId(), kGLFNoResult);
  EXPECT_EQ(dialog.GetSingleControlId(), -1);
  dialog.Add(7);
  EXPECT_EQ(dialog.GetSingleControlId(), 7);
  dialog.Add(3, "three");
  dialog.Add(7);
  dialog.Add(9);
  EXPECT_EQ(dialog.GetSingleControlId(), -1);
  dialog.RemoveControl(7);  // both controls with the id go, the others keep their order
  EXPECT_EQ(Ids(dialog), (std::vector<int>{3, 9}));
  dialog.RemoveControl(42);
  EXPECT_EQ(Ids(dialog), (std::vector<int>{3, 9}));
  dialog.AutoSizeControls();
  EXPECT_EQ(dialog.GetControl(0)->X1(), 5 * cOverlayRecorder::kCharWidth + 4.0f);
  dialog.Show();
  EXPECT_TRUE(dialog.IsVisible());
  dialog.Hide();
  EXPECT_FALSE(dialog.IsVisible());
}

TEST(DialogButton, PressedButtonUsesItsPressedColours) {
  cOverlayRecorder recorder;
  const float outline[3] = {0, 1, 0}, fill[3] = {0, 0, 0}, pressedFill[3] = {0, 0.5f, 0};
  const float text[3] = {1, 1, 1}, pressedText[3] = {0, 0, 1};
  cGLFDialogButton button;
  button.SetRect(10.7f, 20.2f, 60.9f, 40.0f);
  button.SetLabel("OK");
  button.SetColours(outline, fill, pressedFill, text, pressedText);
  button.Draw();
  button.SetPressed(true);
  button.Draw();
  const auto fills = recorder.Of(cDrawCall::kFill), texts = recorder.Of(cDrawCall::kText);
  const auto outlines = recorder.Of(cDrawCall::kOutline);
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_TRUE(SameColour(fills[0].colour, 0, 0, 0));
  EXPECT_TRUE(SameColour(fills[1].colour, 0, 0.5f, 0));
  EXPECT_TRUE(SameColour(texts[0].colour, 1, 1, 1));
  EXPECT_TRUE(SameColour(texts[1].colour, 0, 0, 1));
  EXPECT_TRUE(SameColour(outlines[1].colour, 0, 1, 0));
  EXPECT_EQ(fills[0].x0, 10);  // corners truncated
  EXPECT_EQ(fills[0].y0, 20);
  EXPECT_EQ(fills[0].x1, 60);
  EXPECT_EQ(texts[0].x0, 12);  // label at (x0 + 2, y0 + 14)
  EXPECT_EQ(texts[0].y0, 34);
}

TEST(DialogButton, CopyTakesEveryFieldAndTheCallback) {
  int clicked = 0;
  const float red[3] = {1, 0, 0};
  cGLFDialogButton a, b;
  a.SetRect(1, 2, 3, 4);
  a.SetId(5);
  a.SetLabel("Raid");
  a.SetPressed(true);
  a.SetPressedTextColour(red);
  a.SetCallback([&](int id) { clicked = id; });
  b = a;
  EXPECT_EQ(b.X1(), 3.0f);
  EXPECT_EQ(b.GetLabel(), "Raid");
  EXPECT_TRUE(b.IsPressed());
  EXPECT_TRUE(SameColour(b.GetPressedTextColour(), 1, 0, 0));
  b.Click();
  EXPECT_EQ(clicked, 5);
}
