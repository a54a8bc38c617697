// Fuzzes the bitmap decoder: any bytes give an image of the size it claims or
// a refusal, never a crash or a read outside the input.
#include <cstddef>
#include <cstdint>

#include "platform/Sys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  if (Sys_DecodeImageRGB(bytes, width, height, rgb) && rgb.size() != (size_t)width * (size_t)height * 3) __builtin_trap();
  return 0;
}
