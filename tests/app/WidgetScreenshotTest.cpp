// The in-game widgets drawn over the real planet in a test window: a pie menu,
// a dialog with buttons, and a bar panel with every row style and its title
// bar. Each must stand on screen where its layout says, on top of the planet.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "camera/Camera.h"
#include "glf/BarPanel.h"
#include "glf/GLExtensions.h"
#include "glf/Overlay2D.h"
#include "glf/PieMenu.h"
#include "tests/support/CameraPicture.h"
#include "tests/support/EveryStyleBarPanel.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WholePlanetView.h"
#include "world/planet/PlanetModel.h"

namespace {

constexpr int kW = 640, kH = 480;

class cTwoButtonDialog : public cGLFDialog {
 public:
  cTwoButtonDialog(float x, float y) {
    const float green[3] = {0, 1, 0}, blue[3] = {0, 0, 1}, black[3] = {0, 0, 0};
    const char* labels[2] = {"OK", "Cancel"};
    for (int i = 0; i < 2; ++i) {
      auto button = std::make_unique<cGLFDialogButton>();
      button->SetRect(x + 10 + 100 * i, y, x + 80 + 100 * i, y + 20);
      button->SetId(i + 1);
      button->SetLabel(labels[i]);
      button->SetColours(green, blue, green, green, black);
      AddControl(std::move(button));
    }
  }
  bool HandleMouse(int, int, int, int) override { return false; }
  void Draw() override {
    for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->Draw();
  }
};

struct cPixels {
  std::vector<unsigned char> rgb;
  // Window coordinates: origin top left, y down.
  bool Is(int x, int y, int r, int g, int b) const {
    const unsigned char* p = &rgb[3 * ((kH - 1 - y) * kW + x)];
    return std::abs(p[0] - r) <= 1 && std::abs(p[1] - g) <= 1 && std::abs(p[2] - b) <= 1;
  }
  bool IsPlanet(int x, int y) const {
    const unsigned char* p = &rgb[3 * ((kH - 1 - y) * kW + x)];
    return p[0] + p[1] + p[2] > 30;
  }
};

void DrawPlanet() {
  LoadCameraProjection(kW, kH, 0.1);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float light[4] = {0.3f, 0.5f, 1.0f, 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  GetPlanetModel().Draw();  // applies the camera view itself
}

}  // namespace

TEST(WidgetScreenshot, MenuDialogAndBarPanelStandWhereTheirLayoutsSay) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(kW, kH));
  cCapturedOutput captured;
  LoadGLExtensions();
  GetPlanetModel().Initialize();
  captured.End();
  ViewWholePlanet();  // the whole planet in the middle of the window
  cFakeClock clock;

  cGLFPieMenu menu(nullptr, 8, 75, 1.5f);
  const float yellow[3] = {1, 1, 0};
  for (int i = 0; i < 10; ++i) menu.AddItem("Item " + std::to_string(i), i, i == 3 ? yellow : nullptr);
  menu.Show();
  clock.Advance(200);
  menu.Layout(320, 240);
  cTwoButtonDialog dialog(200, 420);
  dialog.Show();
  cGLFBarPanel panel;
  AddEveryStyleRow(panel, 2);
  panel.SetValue("Health:", 25.0f);
  panel.SetSegments("Income:", {{0.5f, 1, 0, 0}, {0.5f, 0, 0, 1}});
  panel.SetValue("Wealth:", 123.456f);
  panel.SetValue("Count:", 12.4f);
  panel.SetValue("Mood:", -5.0f);
  panel.SetSecondaryValue("Mood:", 2.0f);
  panel.InitTitleBar("Population Goal:", 20.0f);
  panel.SetTitleValue(10.0f);

  DrawPlanet();
  const cPixels before{ReadBackBuffer(kW, kH)};
  Begin2D();
  menu.Draw();
  dialog.Draw();
  panel.Draw(5.0f, 5.0f);
  End2D();
  const cPixels shot{ReadBackBuffer(kW, kH)};
  // QV_WIDGET_SHOT=file.ppm keeps the picture for a look by eye.
  if (const char* path = std::getenv("QV_WIDGET_SHOT"))
    if (FILE* f = std::fopen(path, "wb")) {
      std::fprintf(f, "P6\n%d %d\n255\n", kW, kH);
      for (int y = kH - 1; y >= 0; --y) std::fwrite(&shot.rgb[3 * y * kW], 1, 3 * kW, f);
      std::fclose(f);
    }

  // The pie menu: every item outlined in its colour and filled black, over the planet.
  int itemsOverPlanet = 0;
  for (int i = 0; i < menu.GetControlCount(); ++i) {
    const cGLFDialogControl* item = menu.GetItem(i);
    const int x0 = (int)item->X0(), y0 = (int)item->Y0(), midY = (y0 + (int)item->Y1()) / 2;
    const int g = 255, r = i == 3 ? 255 : 0;
    EXPECT_TRUE(shot.Is(x0, midY, r, g, 0)) << "item " << i << " outline";
    EXPECT_TRUE(shot.Is(x0 + 1, y0 + 2, 0, 0, 0)) << "item " << i << " fill";
    itemsOverPlanet += before.IsPlanet(x0 + 1, y0 + 2);
  }
  EXPECT_GE(itemsOverPlanet, 8);
  // The dialog's buttons.
  for (int i = 0; i < 2; ++i) {
    const cGLFDialogControl* button = dialog.GetControl(i);
    EXPECT_TRUE(shot.Is((int)button->X0(), 430, 0, 255, 0)) << "button " << i;
    EXPECT_TRUE(shot.Is((int)button->X0() + 1, 422, 0, 0, 255)) << "button " << i;
  }
  // The bar panel: rows 13 pixels apart from y = 9, bars from the label column on.
  const int barX = 5 + (int)panel.GetLabelColumnWidth() + 4, barW = (int)(636 * panel.GetBarWidthRatio());
  const auto rowMid = [](int row) { return 9 + 13 * row + 4; };
  EXPECT_TRUE(shot.Is(barX + 2, rowMid(0), 255, 0, 0));               // 25 % is red
  EXPECT_TRUE(shot.Is(barX + barW / 2, rowMid(0), 0, 0, 0));          // the rest is the black background
  EXPECT_TRUE(shot.Is(barX + 2, rowMid(1), 255, 0, 0));               // first segment
  EXPECT_TRUE(shot.Is(barX + barW - 3, rowMid(1), 0, 0, 255));        // second segment
  int numberInk = 0;
  for (int y = rowMid(2) - 6; y <= rowMid(2) + 4; ++y)
    for (int x = barX; x < barX + 40; ++x) numberInk += shot.Is(x, y, 0, 0, 0);
  EXPECT_GT(numberInk, 20);                                           // "123.46" in black
  const int middle = barX + barW / 2;
  EXPECT_TRUE(shot.Is(middle - 5, rowMid(4), 255, 0, 0));             // negative: red to the left
  EXPECT_TRUE(shot.Is(middle - barW / 4 - 6, rowMid(4), 255, 0, 255)); // the marker, left of the fill's end
  EXPECT_TRUE(shot.Is(middle + 5, rowMid(4), 0, 0, 0));
  // The title bar at the right edge, half full.
  int titleFill = 0;
  for (int x = 300; x < kW; ++x) titleFill += shot.Is(x, 13, 0, 128, 255);
  EXPECT_NEAR(titleFill, barW / 2, 2);
  EXPECT_TRUE(shot.Is(636 - 5 - 3, 13, 0, 0, 0));  // the empty half, ending 5 pixels from the edge
}
