// The per-frame loop (GLUT's idle callback), drawing, and the mouse callbacks.
#pragma once

#include "app/GameClock.h"
#include "glf/Overlay2D.h"
#include "glf/TextList.h"
#include "glf/TextPlacement.h"
#include "input/KeyBindings.h"

void OnIdle();  // AdvanceFrame, then PresentFrame unless the frame was skipped
// The frame's step on the real clock: input, camera, the mode's update (false:
// skipped, the game window not active under the automatic pause).
bool AdvanceFrame();
void PresentFrame();  // draws the frame when it needs drawing, then carries out a pending mode switch
void OnDisplay();    // RenderFrame, then shows it
void RenderFrame();  // draws the whole frame into the back buffer
void SetupProjection();
// The main window size the last frame was drawn at (its viewport); false before the first frame.
bool GetFrameWindowSize(int& width, int& height);
void DrawDebugOverlay();  // "Show Debug Info", inside Begin2D/End2D
// Where "Show Debug Info"'s lines stand in a window of that size, shadow
// included, for lines that wide: the helper windows standing over the game
// window end above it.
sRect2D DebugOverlayBox(int windowWidth, int windowHeight, int textWidth = 0);
void OnMotion(int x, int y);
void OnPassiveMotion(int x, int y);
void OnMouse(int button, int state, int x, int y);
void OnSpecialKey(int key, int x, int y);
void OnSpecialKeyUp(int key, int x, int y);
void OnKeyboardUp(unsigned char key, int x, int y);
void OnMainWindowEntry(int state);  // the pointer entered (1) or left (0) the main window
void OnMainWindowReshape(int width, int height);  // the size every frame, pick and overlay uses
void OnMainWindowPosition(int x, int y);          // the window moved: the helpers follow (see WindowLayout.h)
void OnMainWindowStatus(int status);  // GLUT's window status: a hidden or covered window draws nothing
uint32_t GetFramesDrawn();            // frames drawn since start-up (a paused game at rest draws none)
uint32_t GetFramesPlayed();           // frames the game played since start-up (none held or paused)
// What held the last frame, bits of GetLastFrameHolds:
constexpr uint32_t kHeldByAnotherWindow = 1;  // automatic pause: another window is active (the frame skipped)
constexpr uint32_t kHeldByPointer = 2;        // automatic pause: the pointer is off the game window
constexpr uint32_t kPausedByPlayer = 4;       // the Pause box (Ctrl+P, F12)
uint32_t GetLastFrameHolds();
void RegisterFramesDebugCommand();    // the console's "frames" command

extern cKeyBindings gAppKeyBindings;
extern cGameStopwatch gCivFocusStopwatch;
extern cStopwatch gFrameRateStopwatch;
extern uint32_t gFrameCount;
extern float gFramesPerSecond;
extern cGLFTextList gDebugOverlayText;
