// Program start-up, split from main so tests can run it and pump frames themselves.
#pragma once

#include <string>

int  AppStartup(int argc, char** argv);  // every start-up step; 0 when the main loop may start
void AppRunMainLoop();                   // glutMainLoop with the main window current
void AppPumpFrame();                     // one pass of GLUT events and one frame, for tests

void CreateGameModes();           // the nine modes, their data-manager clients and the application state
void ConstructGameModes();        // only the nine mode objects, into their globals
void RegisterAppStateType();      // the application state's type, client and first live object
void DeleteGameModesForTest();
void AppInit();
void InstallSceneServices();     // the game clock and current-mode hooks the scene asks

class cSharedTuningData;

// The start window's side, the shared tuning's `key` ("windowstartwidth" or
// "windowstartheight") held within [1, screen] as well as its own range: a size
// beyond the screen (40000) crashed inside the GL driver at the first frame. A
// cut is named in one line, with the file's value and the size the window
// opens at (one not yet shown for the key's own range gives way to it).
int WindowStartSize(cSharedTuningData& tuning, const char* key, int screen);

// The command-line options that follow GLUT set-up; returns the saved-game name to open.
struct cStartupOptions {
  bool twoMonitors = false;
  bool fullScreen = false;  // made so once the windows are placed
  bool loadGameSeen = false;
};
std::string ApplyCommandLineOptions(int argc, char** argv, std::string savedGameName, cStartupOptions& seen);
