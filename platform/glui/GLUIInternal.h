// What the panel layer shares between its own files (the debug window view and
// the test hooks). Game code never includes this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/glui/glui.h"

// A panel whose contents are drawn by `draw` (called inside the panel's ImGui
// window, which fills the freeglut window) instead of GLUI controls. The size is
// fixed by the caller and the user may resize the window.
GLUI* GLUI_CreateCustomPanel(const char* title, int x, int y, int width, int height,
                             std::function<void(GLUI*)> draw);

// Remembers the last ImGui item's rectangle under a label, so tests can click it.
void GLUI_RecordItemRect(GLUI* panel, const std::string& label);

// Runs `action` after the current frame, outside ImGui, with the main graphics
// window current: everything that may reach game code goes through here.
void GLUI_RunAfterFrame(GLUI* panel, std::function<void()> action);

// The size the layer last gave the panel's window.
void GLUI_GetWindowSize(GLUI* panel, int* width, int* height);

// Whether the throttled idle hook redraws the panels now: GLUT's elapsed-time
// count (an int, which wraps after 24.8 days) 16 ms or more past the last pump.
bool GLUI_IdlePumpDue(int glutElapsedMs, uint32_t lastPumpMs);
