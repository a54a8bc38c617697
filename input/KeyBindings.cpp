#include "input/KeyBindings.h"

void cKeyBindings::RegisterAction(const char* action, cIInputEventHandler* handler) {
  mActions.push_back({action, handler});
}

// Placeholder: key files are read by the key-binding work still to come.
bool cKeyBindings::LoadKeyFile(const char*) { return false; }
void cKeyBindings::Poll() {}
