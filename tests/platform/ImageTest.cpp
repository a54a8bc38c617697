#include <gtest/gtest.h>

#include <cstring>

#include "platform/Sys.h"

namespace {
// A minimal 24-bit uncompressed BMP header claiming the given size, with
// `pixelBytes` bytes of pixel data after it.
std::vector<uint8_t> BmpHeader(int32_t width, int32_t height, size_t pixelBytes) {
  std::vector<uint8_t> b(54 + pixelBytes, 0);
  auto put32 = [&](size_t at, uint32_t v) { memcpy(&b[at], &v, 4); };
  auto put16 = [&](size_t at, uint16_t v) { memcpy(&b[at], &v, 2); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, (uint32_t)b.size());
  put32(10, 54);
  put32(14, 40);
  put32(18, (uint32_t)width);
  put32(22, (uint32_t)height);
  put16(26, 1);
  put16(28, 24);
  return b;
}
}  // namespace

TEST(ImageDecoder, DecodesASmallBitmapBottomUpIntoTopFirstRows) {
  std::vector<uint8_t> b = BmpHeader(1, 2, 8);  // rows padded to 4 bytes; stored bottom row first
  b[54] = 0; b[55] = 0; b[56] = 255;  // bottom row: red (stored B, G, R)
  b[58] = 255; b[59] = 0; b[60] = 0;  // top row: blue
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(Sys_DecodeImageRGB(b, w, h, rgb));
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(rgb, (std::vector<uint8_t>{0, 0, 255, 255, 0, 0}));
}

// A header may claim a size the file does not hold; the decoder must refuse it
// instead of allocating gigabytes.
TEST(ImageDecoder, RefusesHeadersClaimingHugeImages) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  EXPECT_FALSE(Sys_DecodeImageRGB(BmpHeader(100000, 100000, 16), w, h, rgb));
  EXPECT_FALSE(Sys_DecodeImageRGB(BmpHeader(8193, 1, 16), w, h, rgb));
  EXPECT_TRUE(rgb.empty());
  EXPECT_EQ(w, 0);
  EXPECT_FALSE(Sys_DecodeImageRGB({'B', 'M', 0}, w, h, rgb));
  EXPECT_FALSE(Sys_DecodeImageRGB({}, w, h, rgb));
}

// Fault mended: a file cut short inside its pixel rows decoded as black pixels
// without complaint, so the planet was drawn black.
TEST(ImageDecoder, RefusesAFileCutShortInsideItsPixelRows) {
  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  std::vector<uint8_t> whole = BmpHeader(256, 1, 768);
  ASSERT_TRUE(Sys_DecodeImageRGB(whole, w, h, rgb));
  whole.resize(whole.size() - 1);
  EXPECT_FALSE(Sys_DecodeImageRGB(whole, w, h, rgb));
  EXPECT_FALSE(Sys_DecodeImageRGB(BmpHeader(2, 2, 12), w, h, rgb));  // two rows of 8 padded bytes need 16
  EXPECT_TRUE(rgb.empty());
}
