#include "modes/tribe/HerdPerception.h"

cHerdPerception& cHerdPerception::Get() {
  static cHerdPerception perception;
  return perception;
}

cHerdPerception::cHerdPerception() {}

void cHerdPerception::Perceive(cTribeHerd*, float) {}

float cHerdPerception::GetLoudness(float) { return 0.0f; }
