#include "app/Startup.h"
#include "platform/Sys.h"

int main(int argc, char** argv) {
  Sys_OpenStandardStreams();  // before anything opens a file or a connection
  int failure = AppStartup(argc, argv);
  if (failure) return failure;
  AppRunMainLoop();
  return 0;
}
