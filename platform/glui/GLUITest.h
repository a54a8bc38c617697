// Test hooks of the panel layer: inject input into a panel exactly as the GLUT
// callbacks would (through the same queue), and find controls on screen by label.
// Window coordinates are the panel window's pixels, origin top left.
#pragma once

#include <cstddef>

#include "platform/glui/glui.h"

// The rectangle a control (or part of one) had in the last frame. Labels are the
// control names; a spinner's arrows are "<name>/-" and "<name>/+"; an open list
// box's items are "<name>/<item text>"; the debug window's command box is "command box".
bool GLUI_TestControlRect(GLUI* panel, const char* label, int* x, int* y, int* width, int* height);

void GLUI_TestMouseMove(GLUI* panel, int x, int y);
void GLUI_TestMouseButton(GLUI* panel, int button, int state, int x, int y);  // GLUT button and state codes
void GLUI_TestMouseWheel(GLUI* panel, int direction, int x, int y);           // +1 away from the user
void GLUI_TestKey(GLUI* panel, unsigned char key, bool down, int glutModifiers = 0);
void GLUI_TestTypeText(GLUI* panel, const char* text);  // a press and a release per byte; '\r' is Return
size_t GLUI_TestPendingEvents(GLUI* panel);
// Where the layer placed a panel opened without a position; false while it has not.
bool GLUI_TestPlacedAt(GLUI* panel, int* x, int* y);

// Pumps frames until no panel has queued input, then `extraFrames` more.
void GLUI_TestPumpUntilIdle(int extraFrames = 2);

// Moves to the control's centre, presses and releases the left button, and pumps
// until the click has been handled. False when the label is not on screen.
bool GLUI_TestClick(GLUI* panel, const char* label);

// The debug window view's text area: scroll position and its largest value.
bool GLUI_TestDebugViewScroll(float* scroll, float* scrollMax);
// Where the newest row ended when last drawn and where the text area's visible
// part ends (screen y), and how many rows the lines were wrapped into.
bool GLUI_TestDebugViewNewestRow(float* rowBottom, float* areaBottom, size_t* rows);
// How many rows the text area showed whole when last drawn.
size_t GLUI_TestDebugViewWholeRows();

// Frames the panel actually drew and swapped (a panel whose picture did not change draws none).
size_t GLUI_TestPresentedFrames(GLUI* panel);
