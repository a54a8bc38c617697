#include "app/SniffTest.h"

#include "glf/DebugWindow.h"

void RunSniffTest(int) { DebugPrintf("Sniff test: not available in this build"); }
