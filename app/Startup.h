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

// A tuning window size brought into [1, screen]: a size beyond the screen
// (40000) crashed inside the GL driver at the first frame. A cut names `key`.
int ClampWindowStartSize(const char* key, float wanted, int screen);

// The command-line options that follow GLUT set-up; returns the saved-game name to open.
struct cStartupOptions {
  bool twoMonitors = false;
  bool loadGameSeen = false;
};
std::string ApplyCommandLineOptions(int argc, char** argv, std::string savedGameName, cStartupOptions& seen);
