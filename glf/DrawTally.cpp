#include "glf/DrawTally.h"

static cDrawTally* gTally = nullptr;

void CountGLDraw(uint64_t vertices, uint64_t triangles) {
  if (!gTally) return;
  ++gTally->calls;
  gTally->vertices += vertices;
  gTally->triangles += triangles;
}

cDrawTally* SetGLDrawTally(cDrawTally* tally) {
  cDrawTally* before = gTally;
  gTally = tally;
  return before;
}
