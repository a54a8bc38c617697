// The application's own commands: save, load, pause, camera rotation, and the
// keyboard callback that routes every other key to the current mode.
#pragma once

#include <cstdint>
#include <string>

#include "input/InputEventHandler.h"

void SaveOrLoadGame(int id);        // 1 saves, anything else loads
void OnReloadCameraButton(int id);
void OnKeyboard(unsigned char key, int x, int y);
bool LoadGameFile(const std::string& name);   // neither leaves nor enters a mode
// Leave, load, then Enter on the mode current after it; a refused file changes nothing.
bool LoadGameIntoCurrentMode(const std::string& name);
bool SaveGameFile(const std::string& name);
void ShowAboutBox();
// The player's pause: the Pause box shows it at once and the game's pause follows.
void SetUserPause(int32_t paused);

class cQuorvelInputEventHandler : public cIInputEventHandler {
 public:
  void HandleInputEvent(const char* action, float value, unsigned int framesHeld) override;
};
