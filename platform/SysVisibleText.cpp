// Text from outside the game (a line typed or piped, a file's name or what a
// file holds) may hold control characters or bytes that are not UTF-8.
// Written raw, a CR moves a terminal's cursor back over the line and an
// escape sequence is obeyed, C1 controls (U+0080 to U+009F) as well where the
// terminal heeds them, and a stray byte can join with what follows into a
// character of its own. Each is shown in a notation instead.
#include <algorithm>
#include <cstdio>

#include "platform/Sys.h"

namespace {

constexpr size_t kMostShownBytesPerByte = 4;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Line ends and tabs lay text out; every other C0 control, DEL and the C1
// controls are shown.
bool IsShownControl(uint32_t codepoint) {
  return (codepoint < 0x20 && codepoint != '\n' && codepoint != '\t') || (codepoint >= 0x7F && codepoint < 0xA0);
}

}  // namespace

size_t Sys_Utf8Character(const char* text, size_t size, uint32_t* codepoint) {
  if (size == 0) return 0;
  const unsigned char lead = (unsigned char)text[0];
  if (lead < 0x80) {
    *codepoint = lead;
    return 1;
  }
  size_t length = 0;
  uint32_t value = 0, least = 0;  // least: below it the form is overlong
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, value = lead & 0x1Fu, least = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3, value = lead & 0x0Fu, least = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4, value = lead & 0x07u, least = 0x10000;
  else return 0;
  if (size < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation((unsigned char)text[i])) return 0;
    value = value << 6 | ((unsigned char)text[i] & 0x3Fu);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codepoint = value;
  return length;
}

size_t Sys_Utf8CutLength(const char* text, size_t size, size_t maxBytes) {
  if (size <= maxBytes || !IsContinuation((unsigned char)text[maxBytes])) return std::min(size, maxBytes);
  // The character the cut falls in starts at most three bytes before it.
  for (size_t back = 1; back <= 3 && back <= maxBytes; ++back) {
    const size_t start = maxBytes - back;
    if (IsContinuation((unsigned char)text[start])) continue;
    uint32_t codepoint = 0;
    return start + Sys_Utf8Character(text + start, size - start, &codepoint) > maxBytes ? start : maxBytes;
  }
  return maxBytes;
}

bool Sys_IsVisibleText(const char* text, size_t size) {
  for (size_t at = 0; at < size;) {
    const unsigned char byte = (unsigned char)text[at];
    if (byte >= 0x20 && byte < 0x7F) {
      ++at;
      continue;
    }
    uint32_t codepoint = 0;
    const size_t length = Sys_Utf8Character(text + at, size - at, &codepoint);
    if (length == 0 || IsShownControl(codepoint)) return false;
    at += length;
  }
  return true;
}

std::string Sys_VisibleText(const std::string& text, size_t maxBytes) {
  // No byte is shown as more than four ("<9B>", or half of "<U+009B>"): the
  // walk below ends by that bound too, should it ever stop moving along.
  maxBytes = std::min(maxBytes, kMostShownBytesPerByte * text.size());
  std::string shown;
  shown.reserve(std::min(text.size(), maxBytes));
  char notation[16];
  for (size_t at = 0; at < text.size();) {
    uint32_t codepoint = 0;
    const size_t length = Sys_Utf8Character(text.data() + at, text.size() - at, &codepoint);
    size_t written;  // what this character is shown as, in `notation`, or as it is (length bytes at `at`)
    const char* form = notation;
    if (length == 0) {  // a byte that is not part of a character
      written = (size_t)snprintf(notation, sizeof notation, "<%02X>", (unsigned char)text[at]);
    } else if (codepoint < 0x80 && IsShownControl(codepoint)) {
      notation[0] = '^', notation[1] = (char)(codepoint ^ 0x40), written = 2;  // ^@ to ^_, DEL ^?
    } else if (IsShownControl(codepoint)) {
      written = (size_t)snprintf(notation, sizeof notation, "<U+%04X>", codepoint);
    } else {
      form = text.data() + at, written = length;
    }
    if (shown.size() + written > maxBytes) break;  // cut before a character or a notation, never inside one
    shown.append(form, written);
    at += length ? length : 1;
  }
  return shown;
}
