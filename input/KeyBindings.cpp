#include "input/KeyBindings.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "input/KeyNames.h"
#include "platform/Sys.h"

namespace {
constexpr size_t kMaxLineChars = 1023;

void ShowKeyFileError(const std::string& text) { Sys_MessageBox("Error", text, SysBox::Ok); }

// Splits a line into its white-space separated words, whatever their length.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace((unsigned char)line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !std::isspace((unsigned char)line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// Splits text into lines; a line longer than the limit is dropped whole rather
// than read as a line and a tail.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end - start <= kMaxLineChars) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}
}  // namespace

void cKeyBindings::RegisterAction(const char* action, cIInputEventHandler* handler) {
  mActions.emplace(action, handler);
}

bool cKeyBindings::LoadKeyFile(const char* fileName) {
  std::vector<uint8_t> bytes;
  std::string refusal;
  if (!Sys_ReadWholeFile(fileName, SysFileKind::KeyFile, bytes, refusal)) {
    ShowKeyFileError(std::string("Error - could not load key file ") + fileName + (refusal.empty() ? "" : ": " + refusal));
    mBindings.clear();
    return false;
  }
  LoadKeyText(std::string(bytes.begin(), bytes.end()), fileName);
  return true;
}

void cKeyBindings::LoadKeyText(const std::string& text, const char* fileName) {
  mBindings.clear();
  for (const std::string& line : Lines(text)) ParseLine(line, fileName);
}

void cKeyBindings::ParseLine(const std::string& line, const char* fileName) {
  if (line.compare(0, 4, "BIND") != 0) return;  // comments and anything else
  if (line.size() > 4 && !std::isspace((unsigned char)line[4])) return;
  std::vector<std::string> words = Words(line.substr(4));
  if (words.size() < 2) return;
  const std::string& key = words[0];
  const std::string& action = words[1];

  float value = 0.0f;
  if (words.size() >= 3) {
    const char* start = words[2].c_str();
    char* end = nullptr;
    float parsed = std::strtof(start, &end);
    if (end != start) value = parsed;  // a word that is no number leaves the value at 0
    if (!std::isfinite(value)) {
      ShowKeyFileError("Invalid value " + words[2] + " in key file " + fileName);
      return;
    }
  }

  int code = 0;
  if (!LookupKeyName(key, code)) {
    ShowKeyFileError("Unrecognized key " + key + " in key file " + fileName);
    return;
  }
  auto registered = mActions.find(action);
  if (registered == mActions.end()) return;
  Binding binding;
  binding.action = action;
  binding.handler = registered->second;
  binding.keys = {code};
  binding.value = value;
  mBindings.push_back(binding);
}

// A handler may load another key file while it runs, so the bindings are
// walked by index and the action is copied before the call. A key pressed
// since the last poll counts as down even when it is up again, as
// GetAsyncKeyState reports it; the press is forgotten once every binding of
// this table has seen it.
void cKeyBindings::Poll() {
  std::vector<int> keysRead;
  for (size_t i = 0; i < mBindings.size(); ++i) {
    Binding& binding = mBindings[i];
    bool allDown = !binding.keys.empty();
    for (int key : binding.keys) {
      allDown = allDown && (Sys_IsKeyDown(key) || Sys_WasKeyPressed(key));
      keysRead.push_back(key);
    }
    if (!allDown) {
      binding.framesHeld = 0;
      continue;
    }
    if (!binding.handler) continue;
    uint32_t framesHeld = ++binding.framesHeld;
    std::string action = binding.action;
    binding.handler->HandleInputEvent(action.c_str(), binding.value, framesHeld);
  }
  for (int key : keysRead) Sys_ForgetKeyPress(key);
}
