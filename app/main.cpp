#include "app/Startup.h"

int main(int argc, char** argv) {
  int failure = AppStartup(argc, argv);
  if (failure) return failure;
  AppRunMainLoop();
  return 0;
}
