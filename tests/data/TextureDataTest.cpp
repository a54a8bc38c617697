// The marker textures of the tribe and civ modes decode at their sizes, and
// each has both a transparent (pure white) background and a visible picture.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/Sys.h"

namespace {
struct sTexture {
  std::string name;
  int size;
};

std::vector<sTexture> MarkerTextures() {
  std::vector<sTexture> list = {{"health_red", 32}, {"drumstick_red", 32}, {"sleep_red", 32}, {"health_yellow", 32},
                                {"drumstick_yellow", 32}, {"sleep_yellow", 32}, {"tribe_+", 32},
                                {"HalfSizeHeartPlusPlus", 16}, {"HalfSizeHeartPlus", 16}, {"HalfSizeHeart", 16},
                                {"HalfSizeHeartMinus", 16}, {"HalfSizeHeartMinusMinus", 16}, {"happyDouble", 32},
                                {"happySingle", 32}, {"neutralSingle", 32}, {"sadSingle", 32}, {"sadDouble", 32},
                                {"northicon", 32}, {"southicon", 32}, {"money_red", 32}, {"money_yellow", 32}};
  for (int n = 1; n <= 19; ++n) list.push_back({std::string("tribe_") + (n < 10 ? "0" : "") + std::to_string(n), 32});
  return list;
}
}  // namespace

TEST(TextureData, MarkerTexturesDecodeWithPictureAndTransparency) {
  std::set<std::vector<uint8_t>> distinct;
  for (const sTexture& t : MarkerTextures()) {
    SCOPED_TRACE(t.name);
    std::vector<uint8_t> bytes, rgb;
    std::string refusal;
    EXPECT_TRUE(Sys_ReadWholeFile(".\\Data\\Textures\\" + t.name + ".bmp", SysFileKind::Image, bytes, refusal));
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[28], 24);  // 24 bits a pixel
    int w = 0, h = 0;
    EXPECT_TRUE(Sys_DecodeImageRGB(bytes, w, h, rgb));
    EXPECT_EQ(w, t.size);
    EXPECT_EQ(h, t.size);
    ASSERT_EQ(rgb.size(), size_t(w) * h * 3);
    size_t white = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) white += rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255;
    const size_t pixels = size_t(w) * h;
    EXPECT_GT(white, pixels / 20);      // a transparent surround
    EXPECT_LT(white, pixels * 3 / 4);   // and something to see
    EXPECT_TRUE(distinct.insert(rgb).second) << "same picture as another texture";
  }
}
