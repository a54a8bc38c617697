// Named actions bound to keys by "BIND" lines in key files, polled once per frame.
// Not built yet: registration is kept, but key files are not read and Poll
// fires nothing until the key-binding work lands.
#pragma once

#include <string>
#include <vector>

#include "input/InputEventHandler.h"

class cKeyBindings {
 public:
  void RegisterAction(const char* action, cIInputEventHandler* handler);
  bool LoadKeyFile(const char* path);
  void Poll();

 private:
  struct Action {
    std::string name;
    cIInputEventHandler* handler;
  };
  std::vector<Action> mActions;
};
