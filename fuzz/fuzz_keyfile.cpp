// Fuzzes the key-file reader: any text gives bindings or messages, never a
// crash or a read out of bounds, and every binding names a registered action.
#include <cstddef>
#include <cstdint>
#include <string>

#include "input/KeyBindings.h"
#include "platform/Sys.h"

namespace {
struct cQuietBoxes : cISysMessageSink {
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};
struct cNullHandler : cIInputEventHandler {
  void HandleInputEvent(const char*, float, unsigned) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static cQuietBoxes boxes;
  static cNullHandler handler;
  Sys_SetMessageSink(&boxes);
  cKeyBindings bindings;
  bindings.RegisterAction("MOVE", &handler);
  bindings.RegisterAction("ROTATE_CAMERA", &handler);
  bindings.LoadKeyText(std::string((const char*)data, size), "fuzz_keys.txt");
  for (const cKeyBindings::Binding& b : bindings.GetBindings())
    if ((b.action != "MOVE" && b.action != "ROTATE_CAMERA") || b.keys.size() != 1) __builtin_trap();
  Sys_SetKeyState(0x41, true);
  bindings.Poll();
  Sys_ClearKeyStates();
  return 0;
}
