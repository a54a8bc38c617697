// The helper windows placed at start-up and whenever the game window's box
// changes: what the window system says is gathered, app/HelperPlacement.h's
// rules say where each goes, and the helpers are moved there and kept above
// the game window where they stand over it.
#pragma once

#include <cstdint>

#include "app/HelperPlacement.h"

// Moves the control panel and the debug window where the rules put them, once
// the panel is built, and has the modes' panels open in their column; then
// makes the game window full-screen when asked.
void PlaceStartupWindows(bool twoMonitors, bool fullScreen = false);

// Whenever the game window's box changes (maximized, restored, resized,
// moved, put in or out of full screen), once it has kept still for
// kHelpersSettleMs the helpers are placed again by the same rules for a game
// window of that box. A helper the player moved or resized meanwhile keeps
// its place (and, from then on, at every change), moved back onto the screen
// where it runs off it.
constexpr uint32_t kHelpersSettleMs = 250;
void NoteGameWindowBoxChanged();  // the game window's reshape and position callbacks
void FollowGameWindowBox();       // each frame, paused or not: places the helpers once a change settled
uint32_t GetHelperPlacements();   // how often the helpers were placed, start-up's included
bool HelperPlacementSettled();    // no change heard of waits, and the helpers were placed for the game window's box
