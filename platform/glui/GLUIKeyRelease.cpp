// A key pressed in the game's window and let go over a panel sends its release
// to the panel; the game's key state would keep it down and its binding would
// fire on while the panel has the keyboard. A panel's key releases therefore
// release the key for the game too (never press it: the game sees nothing
// typed into a panel).
#include <GL/freeglut.h>

#include "platform/Sys.h"
#include "platform/glui/GLUIFrame.h"

void GLUI_Layer::ReleaseGameKey(const GLUI_InputEvent& event) {
  // No modifiers: any held Shift, Ctrl or Alt is let go as well, never set.
  if (event.type == GLUI_InputEvent::KeyUp) Sys_NoteGlutKey((unsigned char)event.code, false, 0);
  if (event.type == GLUI_InputEvent::SpecialUp) Sys_NoteGlutSpecialKey(event.code, false, 0);
}
