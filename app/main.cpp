#include "app/Startup.h"
#include "platform/Sys.h"

int main(int argc, char** argv) {
  Sys_OpenStandardStreams();  // before anything opens a file or a connection
  const int failure = AppStartup(argc, argv);
  if (!failure) AppRunMainLoop();
  // Before the statics' destructors and the libraries' exit handlers, which may write.
  Sys_RunExitSequence();
  return failure;
}
