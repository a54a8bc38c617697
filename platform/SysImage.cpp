// Bitmap loading for textures and colour ramps: the file is read through the
// path resolver and decoded by stb_image into packed 8-bit RGB rows. Only
// uncompressed BMP files are accepted: the data tree holds nothing else.
#include <climits>
#include <cstdint>

#include "platform/Sys.h"

// The decoder is compiled here, private to this file, rather than taken from
// the system library (which ImGui still links for its fonts): so the
// sanitizers and the fuzzer see inside it.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#pragma GCC diagnostic pop

static constexpr int kMaxImageSide = 8192;
static constexpr long long kMaxImagePixels = 16ll * 1024 * 1024;

namespace {

uint32_t Word(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

// True when the file holds every pixel row its header promises. The decoder
// reads a cut-off file as black pixels without complaint.
bool HoldsAllPixelRows(const std::vector<uint8_t>& b) {
  if (b.size() < 26) return false;
  uint32_t dataAt = Word(b, 10), headerSize = Word(b, 14);
  long long width, height, bitsPerPixel;
  if (headerSize == 12) {  // the old OS/2 header: 16-bit sizes
    width = b[18] | b[19] << 8;
    height = b[20] | b[21] << 8;
    bitsPerPixel = b[24] | b[25] << 8;
  } else {
    if (b.size() < 34) return false;
    width = (int32_t)Word(b, 18);
    height = (int32_t)Word(b, 22);
    bitsPerPixel = b[28] | b[29] << 8;
    if (Word(b, 30) == 1 || Word(b, 30) == 2) return true;  // run-length data has no fixed size; the decoder refuses it
  }
  if (height < 0) height = -height;
  if (width > kMaxImageSide || height > kMaxImageSide) return false;
  long long rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
  return width > 0 && rowBytes > 0 && (long long)dataAt + rowBytes * height <= (long long)b.size();
}

}  // namespace

bool Sys_LoadImageRGB(const std::string& spelled, int& width, int& height, std::vector<uint8_t>& rgb,
                      std::string& refusal) {
  width = height = 0;
  rgb.clear();
  std::vector<uint8_t> bytes;
  if (!Sys_ReadWholeFile(spelled, SysFileKind::Image, bytes, refusal)) return false;
  return Sys_DecodeImageRGB(bytes, width, height, rgb);
}

bool Sys_DecodeImageRGB(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint8_t>& rgb) {
  width = height = 0;
  rgb.clear();
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return false;
  if (!HoldsAllPixelRows(bytes)) return false;
  int w = 0, h = 0, components = 0;
  // A header may claim any size; refuse what no texture of ours needs before
  // the decoder allocates for it.
  if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &components)) return false;
  if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide ||
      static_cast<long long>(w) * h > kMaxImagePixels)
    return false;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &components, 3);
  if (!pixels) return false;
  if (w <= 0 || h <= 0) {
    stbi_image_free(pixels);
    return false;
  }
  rgb.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
  stbi_image_free(pixels);
  width = w;
  height = h;
  return true;
}
