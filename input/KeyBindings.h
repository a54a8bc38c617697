// Named actions bound to keys by "BIND" lines in key files. Once per frame the
// owner polls the table; every binding whose keys are all down sends its action,
// its value and the number of frames it has been held to the action's handler.
//
// Key file lines (at most 1023 characters; longer lines are dropped whole):
//   # comment
//   BIND <key name> <action> <value>    value 0.0 when missing
// Anything else is ignored. Key names are those of input/KeyNames.h.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "input/InputEventHandler.h"

class cKeyBindings {
 public:
  struct Binding {
    std::string action;
    cIInputEventHandler* handler = nullptr;
    std::vector<int> keys;  // a chord: all must be down
    uint32_t framesHeld = 0;
    float value = 0.0f;
  };

  // A name registered twice keeps its first handler. Register before loading:
  // a key-file line for an unregistered action is dropped.
  void RegisterAction(const char* action, cIInputEventHandler* handler);
  // Replaces the bindings with the file's; false when it cannot be opened.
  bool LoadKeyFile(const char* fileName);
  // Replaces the bindings with those of key-file text, reporting problems under `fileName`.
  void LoadKeyText(const std::string& text, const char* fileName);
  void Poll();

  const std::vector<Binding>& GetBindings() const { return mBindings; }

 private:
  void ParseLine(const std::string& line, const char* fileName);

  std::map<std::string, cIInputEventHandler*> mActions;
  std::vector<Binding> mBindings;
};
