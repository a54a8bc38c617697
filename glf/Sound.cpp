#include "glf/Sound.h"

// Placeholder: the OpenAL-backed device comes with the sound work.
void InitSoundDevice() {}
