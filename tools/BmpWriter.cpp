#include "tools/BmpWriter.h"

#include <cstdio>

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

bool WriteBmp24Image(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height) {
  if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3) return false;
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + pixelBytes);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));  // positive: rows stored bottom-up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB: uncompressed
  Put32(out, pixelBytes);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    const uint8_t* row = &rgb[static_cast<size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x) {  // stored blue, green, red
      out.push_back(row[x * 3 + 2]);
      out.push_back(row[x * 3 + 1]);
      out.push_back(row[x * 3 + 0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}
