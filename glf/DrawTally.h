// What is handed to GL, counted where the arrays are handed over: a software
// renderer pays per triangle and per call, so these are what a frame costs it.
// Whoever draws names the tally (the scene one per shape); with none named the
// counts go nowhere.
#pragma once

#include <cstdint>

struct cDrawTally {
  uint32_t calls = 0;
  uint64_t vertices = 0;   // as many as the draws span (each is transformed and lit)
  uint64_t triangles = 0;  // handed over, before GL culls those turned away
};

void CountGLDraw(uint64_t vertices, uint64_t triangles);
// Counts into `tally` from now on; returns the one counted into before.
cDrawTally* SetGLDrawTally(cDrawTally* tally);
