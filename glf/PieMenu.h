// A pie menu: labelled buttons on one or two rings around the point where it
// opened. It grows out of its centre over the first 150 ms (real time, so it
// also opens while the game is paused); a left press on an item and a release
// over the same item choose it, tell the listener while the menu is still
// visible, and close the menu.
#pragma once

#include <cstdint>
#include <string>

#include "glf/Dialog.h"

class cIGLFPieMenuSelection {
 public:
  virtual ~cIGLFPieMenuSelection() = default;
  virtual void OnPieMenuSelection(int itemId) = 0;
};

class cGLFPieMenu : public cGLFDialog {
 public:
  static constexpr uint32_t kOpeningMs = 150;

  // Without a listener the owner reads the chosen id with GetResultId.
  cGLFPieMenu(cIGLFPieMenuSelection* listener, int ringSize, int radius, float outerRingFactor);
  ~cGLFPieMenu() override;

  // colour: three floats (outline, pressed fill and text), null for green.
  void AddItem(std::string label, int id, const float* colour = nullptr);
  // Centres the rings at (x, y), moved just enough that every item, fully
  // open and sized to its label, lies inside the window, beside the area
  // other windows cover where it meets it (SetCoveredArea2D); a menu larger
  // than the room keeps its left and top inside. A menu that fits stays at (x, y).
  // Each label runs from its ring point away from the centre, clear of the others.
  void Layout(float x, float y);
  void GetCentre(float* x, float* y) const;
  float GetOpeningScale();  // 0 at Show, 1 from 150 ms on
  int GetPressedItem() const { return mPressedItem; }
  cGLFDialogButton* GetItem(int index) const { return static_cast<cGLFDialogButton*>(GetControl(index)); }

  bool HandleMouse(int button, int state, int x, int y) override;
  void Draw() override;
  void Show() override;
  void OnMouseMove(int x, int y) override;

 private:
  struct sBounds {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 0.0;
  };
  // Every item's box at its ring point, each 30 x 30 or sized to its label;
  // returns the box around them all, unrounded.
  sBounds Place(float scale, bool sizedToLabels);
  void KeepInsideWindow();  // moves the centre so the fully open items fit the window
  void PlaceAroundCentre();  // Layout at the current centre

  void DrawItems();  // what Draw draws when not held

  double mCentreX = 0.0, mCentreY = 0.0;  // double: see KeepInsideWindow
  int mRingSize;
  int mRadius;
  float mOuterRingFactor;
  int mPressedItem = -1;
  cIGLFPieMenuSelection* mListener;
  uint32_t mOpeningAccumulated = 0, mOpeningStart = 0;
  bool mOpeningRunning = false;
};

// An open menu goes over everything else a mode draws, its HUD panels and
// texts included, whatever order the mode draws them in: from
// HoldPieMenuDraws on, a menu's Draw only notes the menu, and
// DrawHeldPieMenus draws the noted ones (in the order noted, each once) and
// ends the holding. The game holds them over each frame's mode drawing.
void HoldPieMenuDraws();
void DrawHeldPieMenus();  // in a 2D pass of its own
