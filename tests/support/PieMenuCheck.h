// A pie menu as the player meets it: shown at a point and fully grown. No two
// items' boxes may overlap, every box lies inside the window, and a press and
// release just inside each item's corner farthest from the centre (the end a
// neighbour's long label would cover) chooses that item.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "glf/Overlay2D.h"
#include "glf/PieMenu.h"
#include "tests/support/TestSupport.h"

inline std::string PieMenuBoxText(const cGLFDialogControl* item) {
  return "\"" + item->GetLabel() + "\" (" + std::to_string(item->X0()) + ", " + std::to_string(item->Y0()) + ")-(" +
         std::to_string(item->X1()) + ", " + std::to_string(item->Y1()) + ")";
}

// The menu's listener, when it has one, hears every choice.
inline void ExpectPieMenuItemsApartInsideAndChosen(cGLFPieMenu& menu, float x, float y, cFakeClock& clock) {
  constexpr int kLeft = 0, kDown = 0, kUp = 1;
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  auto open = [&] {
    menu.Show();
    clock.Advance(cGLFPieMenu::kOpeningMs);
    menu.Layout(x, y);
  };
  open();
  ASSERT_GT(menu.GetControlCount(), 0);
  for (int i = 0; i < menu.GetControlCount(); ++i) {
    const cGLFDialogControl* a = menu.GetItem(i);
    EXPECT_TRUE(a->X0() >= 0.0f && a->Y0() >= 0.0f && a->X1() <= width - 1 && a->Y1() <= height - 1)
        << PieMenuBoxText(a) << " outside " << width << " x " << height;
    for (int j = 0; j < i; ++j) {
      const cGLFDialogControl* b = menu.GetItem(j);
      EXPECT_FALSE(a->X0() < b->X1() && b->X0() < a->X1() && a->Y0() < b->Y1() && b->Y0() < a->Y1())
          << PieMenuBoxText(a) << " overlaps " << PieMenuBoxText(b);
    }
  }
  // A listener may change the items (a bought tool gives way to its next
  // level): each press goes to the item at that index in the menu as it is now.
  for (int i = 0; i < menu.GetControlCount(); ++i) {
    if (i > 0) open();
    const cGLFDialogControl* item = menu.GetItem(i);
    const int id = item->GetId();
    float cx = 0.0f, cy = 0.0f;
    menu.GetCentre(&cx, &cy);
    const bool right = std::fabs(item->X1() - cx) >= std::fabs(item->X0() - cx);
    const bool below = std::fabs(item->Y1() - cy) >= std::fabs(item->Y0() - cy);
    // One pixel inside the far corner, strictly within the box.
    const int px = right ? (int)std::ceil(item->X1()) - 1 : (int)std::floor(item->X0()) + 1;
    const int py = below ? (int)std::ceil(item->Y1()) - 1 : (int)std::floor(item->Y0()) + 1;
    SCOPED_TRACE(PieMenuBoxText(item) + " pressed at (" + std::to_string(px) + ", " + std::to_string(py) + ")");
    EXPECT_TRUE(menu.HandleMouse(kLeft, kDown, px, py));
    EXPECT_EQ(menu.GetPressedItem(), i);
    EXPECT_TRUE(menu.HandleMouse(kLeft, kUp, px, py));
    EXPECT_EQ(menu.GetResultId(), id);
  }
  menu.Hide();
}
