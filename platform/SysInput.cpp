#include "platform/Sys.h"

#include <array>

// Key state that stands for GetAsyncKeyState: the GLUT key callbacks write it,
// the key bindings poll it each frame.
static std::array<bool, 512> gKeyDown{};

void Sys_SetKeyState(int key, bool down) {
  if (key >= 0 && key < (int)gKeyDown.size()) gKeyDown[key] = down;
}
bool Sys_IsKeyDown(int key) { return key >= 0 && key < (int)gKeyDown.size() && gKeyDown[key]; }
void Sys_ClearKeyStates() { gKeyDown.fill(false); }
