#include "app/GameCommands.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include <cstring>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "app/GameMode.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "camera/CameraRecord.h"
#include "glf/FileDialogs.h"
#include "platform/Sys.h"
#include "platform/glui/glui.h"
#include "sim/gamedata/DataManager.h"

void ShowAboutBox() {
  Sys_MessageBox("Quorvel",
                 "Quorvel - a game prototype on one small planet.\n"
                 "Built with freeglut, OpenGL, Dear ImGui (standing in for GLUI), expat and OpenAL Soft.",
                 SysBox::Ok);
}

bool LoadGameFile(const std::string& name) {
  GetDataManager()->CommitPending();
  bool loaded = GetDataManager()->Load(name);
  GetDataManager()->CommitPending();
  return loaded;
}

bool LoadGameIntoCurrentMode(const std::string& name) {
  // The mode is left only once the file has passed the whole-file check: a
  // refused file leaves the running game exactly as it was.
  bool loaded = GetDataManager()->Load(name, [] { gCurrentGameMode->Leave(); });
  GetDataManager()->CommitPending();
  if (!loaded) return false;
  // The saved view wins over the mode's own camera set-up (a mode's Enter
  // installs its script, which resets the distance and pitch).
  cCameraRecord camera = CaptureCameraRecord();
  gCurrentGameMode->Enter();  // whichever mode the file made current
  ApplyCameraRecord(camera);
  return true;
}

bool SaveGameFile(const std::string& name) {
  GetDataManager()->CommitPending();
  bool saved = GetDataManager()->Save(name);
  GetDataManager()->CommitPending();
  return saved;
}

void SaveOrLoadGame(int id) {
  // The dialog may change the working directory; data files are relative to it.
  std::string directory = Sys_CurrentDirectory();
  if (id == 1) {
    std::string name = SaveFileDialog();
    if (!name.empty()) SaveGameFile(name);
  } else {
    std::string name = OpenFileDialog();
    if (!name.empty()) LoadGameIntoCurrentMode(name);
  }
  GLUI_Master.sync_live_all();
  if (chdir(directory.c_str()) != 0) { /* the directory was never left */ }
}

void OnReloadCameraButton(int) { ReloadCameraScript(); }

void SetUserPause(int32_t paused) {
  gUserPause = paused ? 1 : 0;
  if (gPauseCheckbox) gPauseCheckbox->set_int_val(gUserPause);
  OnPauseCheckbox(0);
}

void OnKeyboard(unsigned char key, int x, int y) {
  Sys_RequestRedraw();
  Sys_NoteGlutKey(key, true, glutGetModifiers());  // the key state the bindings poll
  switch (key) {
    case 12: SaveOrLoadGame(2); break;  // Ctrl+L
    case 19: SaveOrLoadGame(1); break;  // Ctrl+S
    case 16: SetUserPause(!gUserPause); break;  // Ctrl+P
    default:
      if (gCurrentGameMode) gCurrentGameMode->OnKeyPress(key, x, y);
  }
}

void cQuorvelInputEventHandler::HandleInputEvent(const char* action, float value, unsigned int framesHeld) {
  if (strcmp(action, "ROTATE_CAMERA") == 0) {
    float yaw, pitch, distance;
    GetCameraAngles(&yaw, &pitch, &distance);
    float speed = 1.0f + 0.1f * (float)framesHeld;
    if (speed > 4.0f) speed = 4.0f;
    SetCameraTargetAngles(yaw + speed * gFrameSeconds * value * 180.0f, pitch, distance);
  } else if (strcmp(action, "PAUSE") == 0 && framesHeld == 1) {
    // Once per press: a key held over several frames must not flip the pause back and forth.
    gUserPause = !gUserPause;
    if (gControlPanel) gControlPanel->sync_live();
    OnPauseCheckbox(0);
  }
}
