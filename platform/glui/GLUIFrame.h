// The per-window state behind a GLUI panel and the layer's own entry points.
// Private to platform/glui.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/glui/glui.h"

struct ImGuiContext;

// One GLUT input callback, kept until the panel's next frame hands it to ImGui.
struct GLUI_InputEvent {
  enum Type { Move, Button, Wheel, KeyDown, KeyUp, SpecialDown, SpecialUp, Leave };
  Type type;
  int code;  // button, key or wheel direction
  int state; // GLUT_DOWN / GLUT_UP for buttons
  int x, y;
  int modifiers;
};

struct GLUI_Rect {
  float x, y, w, h;
};

struct GLUI::Frame {
  ImGuiContext* context = nullptr;
  std::deque<GLUI_InputEvent> events;
  int width = 0, height = 0;         // the window size we last asked for (or were told of)
  bool autoSize = true;              // control panels fit their contents; custom panels keep their size
  bool pendingClose = false;         // close() was called; the window goes after the frame
  std::function<void(GLUI*)> customDraw;
  std::map<std::string, GLUI_Rect> itemRects;  // label -> last frame's rectangle (tests click these)
  std::vector<std::function<void()>> afterFrame;
  // Opened without a position: placed near the application's panels after its first frame.
  bool awaitsDefaultPlacement = false;
  int placedX = -1, placedY = -1;      // where the layer put it (-1: never placed by the layer)
  bool leftColumn = false;             // the player moved it out of the column
  int keptAbove = 0;                   // the window it is a tool window of now (0: none)
  int maxWidth = 0, maxHeight = 0;     // its bound in the column (0: none); bigger contents scroll
  int contentWidth = 0, contentHeight = 0;  // what its controls took, last frame
  // The window is drawn only when ImGui's output differs from what it shows,
  // or when it was exposed or resized: panels at rest cost no GL work.
  uint64_t shownDrawData = 0;        // hash of the draw data on screen
  bool mustShow = true;              // exposed, resized or new: draw whatever the hash says
  size_t presentedFrames = 0;        // frames actually drawn and swapped
  bool editHadKeyboard = false;      // a field is mid-edit and the window had the keyboard last frame
  bool keysWait = false;             // keys stay queued: the panel's box is taking the keyboard back
  // A window manager shows the panel's title in a title bar over it: the
  // panel is as wide as the title needs there, within maxWidth, and where that
  // is too narrow the title shown is cut at its end.
  bool titled = false;
  int titleWidth = 0;                // the whole title in the panel's font (0: not measured yet)
  std::string shownTitle;            // the title last given the window manager
};

// Panels set their scroll bars this wide, so the layer can make room for one.
constexpr int kGLUIScrollbarSize = 14;
// What a window manager's title bar takes beside a centred title: openbox's
// (its default theme, with its window icon left and three buttons right)
// shows a title whole once the bar is this much wider than the title's text.
// The text is measured in the panel's own font, 7 pixels a character, a
// little wider than the managers' usual bold 8-point sans.
constexpr int kGLUITitleBarRoom = 112;

struct GLUI_Layer {
  // GLUIDraw.cpp: the controls, inside the panel's ImGui window.
  static void DrawControls(GLUI* panel);
  static void DrawContainer(GLUI* panel, const std::vector<GLUI_Control*>& children);
  static void DrawControl(GLUI* panel, GLUI_Control* control);
  static void Fire(GLUI* panel, GLUI_Control* control);

  // Access for the layer's free functions (the fields are private to game code).
  static GLUI::Frame& FrameOf(GLUI* panel) { return *panel->mFrame; }
  static bool& Visible(GLUI* panel) { return panel->mVisible; }
  static bool& Closed(GLUI* panel) { return panel->mClosed; }
  static int& WindowId(GLUI* panel) { return panel->mWindowId; }

  // GLUIWindows.cpp
  static GLUI* NewPanel(const char* name, int windowId);
  static std::vector<GLUI*>& Panels();
  static bool AnyInputWaiting();  // some open panel has queued input
  static void DrawFrame(GLUI* panel);
  static void Queue(GLUI* panel, const GLUI_InputEvent& event);
  static void Destroy(GLUI* panel, bool byWindowManager);
  static GLUI* CreateWindowed(const char* name, int x, int y, int width, int height, bool autoSize);

  // GLUIPlacement.cpp
  static void TakeDefaultPlacement(GLUI* panel);  // when a default position is known
  static void PlaceAfterFirstFrame(GLUI* panel);  // with the panel's window current
  // Restacks the placed panels still shown in the column, with `joining` (may be null) among them.
  static void StackPlacedPanels(GLUI* joining);
  // A window's size for contents of this size within a bound (0: none): where
  // one side is cut, the other grows by its scroll bar.
  static void FitWithin(int& width, int& height, int maxWidth, int maxHeight);

  // GLUITitle.cpp, with the panel's ImGui context current
  static void MeasureTitle(GLUI* panel);  // once, inside its first frame
  // The width a titled panel takes to show its title, at most maxWidth (0: no bound); 0 untitled.
  static int TitleWidthWithin(GLUI* panel, int maxWidth);
  static void ShowTitle(GLUI* panel);  // the title, cut to the panel's width where it must be, to the manager

  // GLUIKeyRelease.cpp
  static void ReleaseGameKey(const GLUI_InputEvent& event);
};
