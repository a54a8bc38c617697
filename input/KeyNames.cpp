#include "input/KeyNames.h"

#include "platform/Sys.h"

namespace {
struct cKeyName {
  const char* name;
  int code;
};

constexpr cKeyName kNamedKeys[] = {
    {"LBUTTON", 0x01}, {"RBUTTON", 0x02}, {"CANCEL", 0x03}, {"MBUTTON", 0x04}, {"BACK", 0x08}, {"TAB", 0x09},
    {"CLEAR", 0x0C}, {"RETURN", 0x0D}, {"SHIFT", 0x10}, {"CONTROL", 0x11}, {"MENU", 0x12}, {"PAUSE", 0x13},
    {"CAPITAL", 0x14}, {"KANA", 0x15}, {"HANGUL", 0x15}, {"JUNJA", 0x17}, {"FINAL", 0x18}, {"HANJA", 0x19},
    {"KANJI", 0x19}, {"ESCAPE", 0x1B}, {"CONVERT", 0x1C}, {"NONCONVERT", 0x1D}, {"ACCEPT", 0x1E},
    {"MODECHANGE", 0x1F}, {"SPACE", 0x20}, {"PRIOR", 0x21}, {"NEXT", 0x22}, {"END", 0x23}, {"HOME", 0x24},
    {"LEFT", 0x25}, {"UP", 0x26}, {"RIGHT", 0x27}, {"DOWN", 0x28}, {"SELECT", 0x29}, {"PRINT", 0x2A},
    {"EXECUTE", 0x2B}, {"SNAPSHOT", 0x2C}, {"INSERT", 0x2D}, {"DELETE", 0x2E}, {"HELP", 0x2F},
    {"LWIN", 0x5B}, {"RWIN", 0x5C}, {"APPS", 0x5D}, {"SLEEP", 0x5F},
    {"MULTIPLY", 0x6A}, {"ADD", 0x6B}, {"SEPARATOR", 0x6C}, {"SUBTRACT", 0x6D}, {"DECIMAL", 0x6E},
    {"DIVIDE", 0x6F}, {"NUMLOCK", 0x90}, {"SCROLL", 0x91}, {"LSHIFT", 0xA0}, {"RSHIFT", 0xA1},
    {"LCONTROL", 0xA2}, {"RCONTROL", 0xA3}, {"LMENU", 0xA4}, {"RMENU", 0xA5}, {"OEM_1", 0xBA},
    {"OEM_PLUS", 0xBB}, {"OEM_COMMA", 0xBC}, {"OEM_MINUS", 0xBD}, {"OEM_PERIOD", 0xBE}, {"OEM_2", 0xBF},
    {"OEM_3", 0xC0}, {"OEM_4", 0xDB}, {"OEM_5", 0xDC}, {"OEM_6", 0xDD}, {"OEM_7", 0xDE}, {"OEM_8", 0xDF},
    {"OEM_102", 0xE2}, {"PROCESSKEY", 0xE5}, {"ATTN", 0xF6}, {"CRSEL", 0xF7}, {"EXSEL", 0xF8},
    {"EREOF", 0xF9}, {"PLAY", 0xFA}, {"ZOOM", 0xFB}, {"NONAME", 0xFC}, {"PA1", 0xFD}, {"OEM_CLEAR", 0xFE},
};

std::map<std::string, int> BuildKeyNameTable() {
  std::map<std::string, int> table;
  for (const cKeyName& key : kNamedKeys) table[key.name] = key.code;
  for (int i = 0; i < 10; ++i) table[std::string(1, (char)('0' + i))] = 0x30 + i;
  for (int i = 0; i < 26; ++i) table[std::string(1, (char)('A' + i))] = 0x41 + i;
  for (int i = 0; i < 10; ++i) table["NUMPAD" + std::to_string(i)] = 0x60 + i;
  for (int i = 1; i <= 24; ++i) table["F" + std::to_string(i)] = 0x70 + i - 1;
  if (Sys_MouseButtonsSwapped()) {
    table["LBUTTON"] = 0x02;
    table["RBUTTON"] = 0x01;
  }
  return table;
}
}  // namespace

const std::map<std::string, int>& KeyNameTable() {
  static const std::map<std::string, int> table = BuildKeyNameTable();
  return table;
}

bool LookupKeyName(const std::string& name, int& code) {
  const std::map<std::string, int>& table = KeyNameTable();
  auto found = table.find(name);
  if (found == table.end()) return false;
  code = found->second;
  return true;
}
