// Program start-up, split from main so tests can run it and pump frames themselves.
#pragma once

int  AppStartup(int argc, char** argv);  // every start-up step; 0 when the main loop may start
void AppRunMainLoop();                   // glutMainLoop with the main window current
