// Pie menus: ring layout, the opening growth on a hand-driven clock, and the
// press-drag-release protocol, including listeners that change the menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "glf/PieMenu.h"
#include "glf/TextPlacement.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/PieMenuCheck.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kLeft = 0, kRight = 2, kDown = 0, kUp = 1;
constexpr double kPi = 3.14159265358979;

struct cRecordingListener : cIGLFPieMenuSelection {
  void OnPieMenuSelection(int itemId) override {
    ids.push_back(itemId);
    visibleDuringCall.push_back(menu && menu->IsVisible());
    if (edit) edit(itemId);
  }
  cGLFPieMenu* menu = nullptr;
  std::vector<int> ids;
  std::vector<bool> visibleDuringCall;
  std::function<void(int)> edit;
};

// A menu of n items, fully open around (cx, cy).
struct cOpenMenu {
  cOpenMenu(int n, cIGLFPieMenuSelection* listener = nullptr, int ringSize = 8) : menu(listener, ringSize, 75, 1.5f) {
    for (int i = 0; i < n; ++i) menu.AddItem("item", 100 + i);
    menu.Show();
    clock.Advance(cGLFPieMenu::kOpeningMs);
    menu.Layout(cx, cy);
  }
  // The ring point lies on the side of the box that faces the centre: the
  // near edge, or its middle where the point is straight ahead.
  void ExpectAt(int index, double angle, double distance) {
    const cGLFDialogControl* item = menu.GetItem(index);
    auto nearSide = [](double direction, float low, float high) {
      return direction > 0.01 ? low : direction < -0.01 ? high : (low + high) / 2;
    };
    const double c = std::cos(angle), s = std::sin(angle);
    EXPECT_NEAR(nearSide(c, item->X0(), item->X1()), cx + c * distance, 0.1) << "item " << index;
    EXPECT_NEAR(nearSide(s, item->Y0(), item->Y1()), cy + s * distance, 0.1) << "item " << index;
  }
  void CentreOf(int index, int* x, int* y) {
    cGLFDialogControl* item = menu.GetItem(index);
    *x = (int)((item->X0() + item->X1()) / 2), *y = (int)((item->Y0() + item->Y1()) / 2);
  }
  cOverlayRecorder recorder;
  cFakeClock clock;
  float cx = 320.0f, cy = 240.0f;
  cGLFPieMenu menu;
};

}  // namespace

// Each box runs away from the centre: the right item starts at its ring
// point, the left one ends there, the one below hangs centred from it.
TEST(PieMenuLayout, ThreeItemsTakeFourPlacesNoneAbove) {
  cOpenMenu open(3);
  const float width = 4 * cOverlayRecorder::kCharWidth + 4.0f;
  const struct {
    float x0, y0;
  } boxes[] = {{320 + 75, 240 - 10}, {320 - width / 2, 240 + 75}, {320 - 75 - width, 240 - 10}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(open.menu.GetItem(i)->X0(), boxes[i].x0, 0.1) << i;  // 6.283 is not quite a full turn
    EXPECT_NEAR(open.menu.GetItem(i)->Y0(), boxes[i].y0, 0.1) << i;
    EXPECT_EQ(open.menu.GetItem(i)->X1() - open.menu.GetItem(i)->X0(), width);
    EXPECT_EQ(open.menu.GetItem(i)->Y1() - open.menu.GetItem(i)->Y0(), 20.0f);
  }
}

TEST(PieMenuLayout, TenItemsPutTwoOnTheTurnedOuterRing) {
  cOpenMenu open(10);
  for (int i = 0; i < 8; ++i) open.ExpectAt(i, i * kPi / 4, 75.0);
  open.ExpectAt(8, kPi / 8, 112.5);
  open.ExpectAt(9, kPi / 8 + kPi, 112.5);
}

TEST(PieMenuLayout, SixteenItemsFillBothRings) {
  cOpenMenu open(16);
  for (int k = 0; k < 8; ++k) {
    open.ExpectAt(k, k * kPi / 4, 75.0);
    open.ExpectAt(8 + k, kPi / 8 + k * kPi / 4, 112.5);
  }
}

TEST(PieMenuLayout, RingSizeBelowOneCountsAsOne) {
  cOpenMenu open(3, nullptr, 0);
  open.ExpectAt(0, 0.0, 75.0);
  open.ExpectAt(1, kPi, 112.5);
  // The third shares the second's place; rather than hide under it, it moves
  // on outwards, one pixel past it.
  EXPECT_EQ(open.menu.GetItem(2)->X1(), open.menu.GetItem(1)->X0() - 1.0f);
  EXPECT_NEAR(open.menu.GetItem(2)->Y0(), open.menu.GetItem(1)->Y0(), 0.1);
}

// Fault mended: every box grew rightwards from its ring point, so the labels
// of items left of the centre ran over the items right of it, and a long
// label hid most of its neighbour. Each row is opened at the centre of a
// 1024 x 768 window with every label as long as the row says.
TEST(PieMenuLayout, LongLabelsLieApartInsideTheWindowAndAreChosenAtTheirFarEnds) {
  const struct {
    const char* name;
    int items, ringSize, radius;
    float outerFactor;
    int labelChars;
  } rows[] = {
      {"eight long labels on one ring", 8, 8, 75, 1.5f, 30},
      {"both rings full of long labels", 16, 8, 125, 1.5f, 24},
      {"more items than places", 19, 8, 160, 1.5f, 12},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cOverlayRecorder recorder;
    recorder.width = 1024, recorder.height = 768;
    cFakeClock clock;
    cRecordingListener listener;
    cGLFPieMenu menu(&listener, row.ringSize, row.radius, row.outerFactor);
    for (int i = 0; i < row.items; ++i) menu.AddItem(std::string(row.labelChars - 1, 'w') + (char)('a' + i), 100 + i);
    ExpectPieMenuItemsApartInsideAndChosen(menu, 512, 384, clock);
    ASSERT_EQ(listener.ids.size(), (size_t)row.items);
    for (int i = 0; i < row.items; ++i) EXPECT_EQ(listener.ids[i], 100 + i);
  }
}

// An outer item whose label would meet an inner neighbour's keeps its ring
// point's column and moves the shorter way just past it: below the hall's
// military building, above a wide ring's trade route.
TEST(PieMenuLayout, AnOuterItemMeetingAnInnerOneMovesTheShorterWayJustPastIt) {
  const struct {
    int radius;
    float outerFactor;
    bool below;
  } rows[] = {{75, 2.5f, true}, {125, 1.5f, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.radius);
    cOverlayRecorder recorder;
    recorder.width = 1024, recorder.height = 768;
    cFakeClock clock;
    cGLFPieMenu menu(nullptr, 8, row.radius, row.outerFactor);
    for (int i = 0; i < 9; ++i) menu.AddItem(i == 1 ? std::string(20, 'm') : "item", i);
    menu.Show();
    clock.Advance(cGLFPieMenu::kOpeningMs);
    menu.Layout(512, 384);
    const double distance = row.radius * row.outerFactor;
    const double ringX = 512 + distance * std::cos(kPi / 8), ringY = 384 + distance * std::sin(kPi / 8);
    const cGLFDialogControl *inner = menu.GetItem(1), *outer = menu.GetItem(8);
    EXPECT_NEAR(outer->X0(), ringX, 0.01);
    EXPECT_TRUE(inner->Y0() < ringY + 20 && ringY < inner->Y1());  // where it would have met it
    if (row.below) {
      EXPECT_EQ(outer->Y0(), inner->Y1() + 1.0f);
    } else {
      EXPECT_EQ(outer->Y1(), inner->Y0() - 1.0f);
    }
  }
}

// Faults mended: a menu opened near an edge put items outside the window,
// where no click reaches them; one opened beside the helpers standing over
// the game window's right part put items under them, and one opened in the
// right half of such a strip at the window's edge past that edge. The same
// menu at the centre, each edge, each corner, beside and in such a strip keeps its rings'
// shape and moves only as far as it must, the strip's edge standing for the
// window's.
TEST(PieMenuLayout, NearAnEdgeTheCentreMovesJustEnoughForEveryItemToFitTheWindow) {
  const char* labels[] = {"Buy Small Party $50", "Buy House $100", "Buy Farm $100", "Buy Silo $150",
                          "Buy Factory $200", "Upgrade City Hall $500", "Recruit", "Gift"};
  const struct {
    const char* name;
    float x, y;
    int items;
    sRect2D strip = {};  // what other windows cover of the window's right part
  } places[] = {
      {"centre", 320, 240, 6},      {"left", 5, 240, 6},      {"right", 635, 240, 6},      {"top", 320, 3, 6},
      {"bottom", 320, 470, 6},      {"top left", 0, 0, 6},    {"top right", 640, 0, 6},    {"bottom left", 0, 480, 6},
      {"bottom right", 640, 480, 6}, {"centre, ten", 320, 240, 8}, {"right edge, ten", 600, 100, 8},
      {"beside the strip", 480, 300, 6, {520, 40, 640, 440}},
      {"in the strip's right half", 600, 300, 6, {520, 40, 640, 440}},
  };
  for (const auto& place : places) {
    SCOPED_TRACE(place.name);
    cOverlayRecorder recorder;
    const float rightEdge = place.strip.IsEmpty() ? 639.0f : place.strip.x0 - 1.0f;
    cFakeClock clock;
    cGLFPieMenu menu(nullptr, 8, 75, 1.5f);
    for (int i = 0; i < place.items; ++i) menu.AddItem(labels[i], i);
    menu.Show();
    clock.Advance(cGLFPieMenu::kOpeningMs);
    menu.Layout(320, 240);
    std::vector<float> x0s, y0s, widths;  // the menu where it fits
    for (int i = 0; i < place.items; ++i) {
      x0s.push_back(menu.GetItem(i)->X0() - 320), y0s.push_back(menu.GetItem(i)->Y0() - 240);
      widths.push_back(menu.GetItem(i)->X1() - menu.GetItem(i)->X0());
    }
    SetCoveredArea2D(place.strip);
    menu.Layout(place.x, place.y);
    float cx, cy;
    menu.GetCentre(&cx, &cy);
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
    for (int i = 0; i < place.items; ++i) {
      const cGLFDialogControl* item = menu.GetItem(i);
      EXPECT_NEAR(item->X0() - cx, x0s[i], 0.01f);  // the rings keep their shape
      EXPECT_NEAR(item->Y0() - cy, y0s[i], 0.01f);
      EXPECT_FLOAT_EQ(item->X1() - item->X0(), widths[i]);
      left = std::min(left, item->X0()), right = std::max(right, item->X1());
      top = std::min(top, item->Y0()), bottom = std::max(bottom, item->Y1());
    }
    SetCoveredArea2D({});
    EXPECT_GE(left, 0.0f);
    EXPECT_LE(right, rightEdge);  // the last column, where the outline still shows
    EXPECT_GE(top, 0.0f);
    EXPECT_LE(bottom, 479.0f);
    // No farther than needed: a moved centre brings the menu just to the edge.
    EXPECT_TRUE(cx == place.x || left == 0.0f || right == rightEdge) << cx;
    EXPECT_TRUE(cy == place.y || top == 0.0f || bottom == 479.0f) << cy;
    if (std::string(place.name).rfind("centre", 0) == 0) {
      EXPECT_TRUE(cx == place.x && cy == place.y);
    }
    if (std::string(place.name) != "centre" && std::string(place.name) != "centre, ten") {
      EXPECT_FALSE(cx == place.x && cy == place.y);
    }
  }
}

TEST(PieMenuOpening, GrowsOver150MillisecondsThenStops) {
  cOverlayRecorder recorder;
  cFakeClock clock(5000);
  cGLFPieMenu menu(nullptr, 8, 100, 1.5f);
  menu.AddItem("a", 1);
  EXPECT_NEAR(menu.GetItem(0)->X0(), 100.0f, 1e-4);  // added items are placed fully open
  menu.Show();
  menu.Layout(200, 200);
  EXPECT_NEAR(menu.GetItem(0)->X0(), 200.0f, 1e-4);  // just shown: at the centre
  clock.Advance(75);
  menu.Draw();  // drawing re-lays the menu while it opens
  EXPECT_NEAR(menu.GetItem(0)->X0(), 250.0f, 1e-3);
  clock.Advance(75);
  menu.Draw();
  EXPECT_NEAR(menu.GetItem(0)->X0(), 300.0f, 1e-3);
  clock.Set(5010);  // a stopped timer no longer reads the clock
  EXPECT_EQ(menu.GetOpeningScale(), 1.0f);
  menu.Show();  // showing again opens it again
  EXPECT_EQ(menu.GetOpeningScale(), 0.0f);
}

TEST(PieMenuMouse, PressDragAwayAndBackThenReleaseChoosesOnceWhileVisible) {
  cRecordingListener listener;
  cOpenMenu open(4, &listener);
  listener.menu = &open.menu;
  int x, y;
  open.CentreOf(1, &x, &y);
  ASSERT_TRUE(open.menu.HandleMouse(kLeft, kDown, x, y));
  EXPECT_TRUE(open.menu.GetItem(1)->IsPressed());
  open.menu.OnMouseMove(5, 5);
  EXPECT_FALSE(open.menu.GetItem(1)->IsPressed());
  open.menu.OnMouseMove(x, y);
  EXPECT_TRUE(open.menu.GetItem(1)->IsPressed());
  EXPECT_TRUE(open.menu.HandleMouse(kLeft, kUp, x, y));
  EXPECT_EQ(listener.ids, std::vector<int>{101});
  EXPECT_EQ(listener.visibleDuringCall, std::vector<bool>{true});
  EXPECT_FALSE(open.menu.IsVisible());
  EXPECT_EQ(open.menu.GetResultId(), 101);
  EXPECT_EQ(open.menu.GetPressedItem(), -1);
  EXPECT_FALSE(open.menu.GetItem(1)->IsPressed());
  EXPECT_FALSE(open.menu.HandleMouse(kLeft, kUp, x, y));  // a second release chooses nothing
  EXPECT_EQ(listener.ids.size(), 1u);
}

TEST(PieMenuMouse, ReleaseAwayPressOutsideAndOtherButtonsChooseNothing) {
  cRecordingListener listener;
  cOpenMenu open(4, &listener);
  int x, y;
  open.CentreOf(0, &x, &y);
  EXPECT_FALSE(open.menu.HandleMouse(kLeft, kDown, (int)open.cx, (int)open.cy));  // the mode may take it
  EXPECT_FALSE(open.menu.HandleMouse(kRight, kDown, x, y));
  EXPECT_EQ(open.menu.GetPressedItem(), -1);
  ASSERT_TRUE(open.menu.HandleMouse(kLeft, kDown, x, y));
  EXPECT_TRUE(open.menu.HandleMouse(kLeft, kUp, 1, 1));
  EXPECT_TRUE(listener.ids.empty());
  EXPECT_TRUE(open.menu.IsVisible());
  EXPECT_EQ(open.menu.GetPressedItem(), -1);
  EXPECT_FALSE(open.menu.GetItem(0)->IsPressed());
  EXPECT_EQ(open.menu.GetResultId(), kGLFNoResult);
}

// Fault mended: with the first item in order taking a press, a long label
// laid over a later item made that item impossible to choose.
TEST(PieMenuMouse, WhereLabelsOverlapTheItemDrawnOnTopIsChosen) {
  cGLFPieMenu menu(nullptr, 8, 75, 1.5f);
  cOverlayRecorder recorder;
  menu.AddItem(std::string(60, 'w'), 1);  // wide enough to run under the next one
  menu.AddItem("short", 2);
  menu.GetItem(0)->SetRect(100.0f, 100.0f, 500.0f, 120.0f);
  menu.GetItem(1)->SetRect(200.0f, 100.0f, 260.0f, 120.0f);
  menu.Show();
  ASSERT_TRUE(menu.HandleMouse(kLeft, kDown, 230, 110));
  EXPECT_TRUE(menu.HandleMouse(kLeft, kUp, 230, 110));
  EXPECT_EQ(menu.GetResultId(), 2);
}

TEST(PieMenuMouse, ListenerMayEditOrDeleteTheMenuInsideItsCallback) {
  cRecordingListener listener;
  cOpenMenu open(3, &listener);
  listener.menu = &open.menu;
  listener.edit = [&](int id) {  // the tribe's buy menu: the bought item goes, its next level comes
    open.menu.RemoveControl(id);
    open.menu.AddItem("next level", id + 10);
  };
  int x, y;
  open.CentreOf(0, &x, &y);
  ASSERT_TRUE(open.menu.HandleMouse(kLeft, kDown, x, y));
  ASSERT_TRUE(open.menu.HandleMouse(kLeft, kUp, x, y));
  EXPECT_FALSE(open.menu.IsVisible());
  ASSERT_EQ(open.menu.GetControlCount(), 3);
  EXPECT_EQ(open.menu.GetItem(2)->GetId(), 110);

  auto* doomed = new cGLFPieMenu(&listener, 8, 75, 1.5f);
  doomed->AddItem("close", 1);
  doomed->Show();
  open.clock.Advance(200);
  doomed->Layout(300, 300);
  listener.menu = nullptr;
  listener.edit = [&](int) { delete doomed; };
  cGLFDialogControl* item = doomed->GetItem(0);
  x = (int)item->X0() + 2, y = (int)item->Y0() + 2;
  ASSERT_TRUE(doomed->HandleMouse(kLeft, kDown, x, y));
  EXPECT_TRUE(doomed->HandleMouse(kLeft, kUp, x, y));  // must not touch the deleted menu
  EXPECT_EQ(listener.ids.back(), 1);
}

// Held over a mode's drawing, menus come after everything else drawn, in the
// order first drawn, each once however often the mode drew it; one deleted
// meanwhile is not drawn; drawn, they are let go.
TEST(PieMenuDrawing, HeldMenusComeLastEachOnceAndADeletedOneNotAtAll) {
  cOverlayRecorder recorder;
  cGLFPieMenu first(nullptr, 8, 75, 1.5f), second(nullptr, 8, 75, 1.5f);
  first.AddItem("first", 1);
  second.AddItem("second a", 1);
  second.AddItem("second b", 2);
  auto* deleted = new cGLFPieMenu(nullptr, 8, 75, 1.5f);
  deleted->AddItem("deleted", 1);
  HoldPieMenuDraws();
  second.Draw();
  first.Draw();
  second.Draw();
  deleted->Draw();
  delete deleted;
  DrawText2D(0, 10, GLFDefaultFont(), "panel");
  DrawHeldPieMenus();
  auto texts = [&recorder] {
    std::vector<std::string> all;
    for (const cDrawCall& call : recorder.Of(cDrawCall::kText)) all.push_back(call.text);
    return all;
  };
  EXPECT_EQ(texts(), (std::vector<std::string>{"panel", "second a", "second b", "first"}));
  HoldPieMenuDraws();
  DrawHeldPieMenus();
  EXPECT_EQ(texts().size(), 4u) << "let go once drawn: the next frame's hold draws none";
  first.Draw();
  EXPECT_EQ(texts().back(), "first") << "drawn at once again, no longer held";
  EXPECT_EQ(texts().size(), 5u);
}
