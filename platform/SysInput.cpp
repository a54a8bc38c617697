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

// The file dialog stands in with a typed name on a terminal; tests queue answers.
static std::vector<std::string>* gDialogAnswers = nullptr;
std::vector<std::string>* Sys_FileDialogAnswers() { return gDialogAnswers; }
void Sys_SetFileDialogAnswersForTest(std::vector<std::string>* answers) { gDialogAnswers = answers; }
