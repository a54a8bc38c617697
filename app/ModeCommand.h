#pragma once

const char* CurrentGameModeName();  // "creature", "tribe", ... or "none"
void RegisterModeDebugCommand();    // the console's "mode" command
