// The sound device. Not built yet: opening it does nothing until sound lands.
#pragma once

void InitSoundDevice();
