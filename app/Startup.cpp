#include "app/Startup.h"

#include <GL/freeglut.h>

#include "glf/DebugWindow.h"

int AppStartup(int argc, char** argv) {
  CreateDebugWindow();
  return 0;
}

void AppRunMainLoop() { glutMainLoop(); }
