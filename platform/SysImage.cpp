// Bitmap loading for textures and colour ramps: the file is read through the
// path resolver and decoded by stb_image into packed 8-bit RGB rows. Only
// uncompressed or RLE BMP files are accepted: the data tree holds nothing else.
#include <climits>

#include "platform/Sys.h"

#include <stb_image.h>  // the implementation comes from the system's libstb

static constexpr int kMaxImageSide = 8192;
static constexpr long long kMaxImagePixels = 16ll * 1024 * 1024;

bool Sys_LoadImageRGB(const std::string& spelled, int& width, int& height, std::vector<uint8_t>& rgb) {
  width = height = 0;
  rgb.clear();
  std::vector<uint8_t> bytes;
  if (!Sys_ReadWholeFile(spelled, bytes)) return false;
  return Sys_DecodeImageRGB(bytes, width, height, rgb);
}

bool Sys_DecodeImageRGB(const std::vector<uint8_t>& bytes, int& width, int& height, std::vector<uint8_t>& rgb) {
  width = height = 0;
  rgb.clear();
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return false;
  if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M') return false;
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
