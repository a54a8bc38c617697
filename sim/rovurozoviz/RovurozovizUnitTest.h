// The language's self test, run once at start-up: compiles and runs a fixed
// set of small scripts and checks the variables they leave. Prints its result
// to the debug window so a regression is visible.
#pragma once

bool RovurozovizUnitTest();
