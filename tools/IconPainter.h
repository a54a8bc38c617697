// Paints the small marker textures (need icons, population badges, mood and
// relationship markers, pole markers). Pure white is the transparent colour,
// so the painted shapes never use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sRgb {
  uint8_t r, g, b;
};

class cIconCanvas {
 public:
  cIconCanvas(int width, int height);  // all transparent white
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  const std::vector<uint8_t>& Pixels() const { return mRgb; }  // top row first

  void Set(int x, int y, sRgb c);  // outside the canvas: nothing
  void FillRect(int x0, int y0, int x1, int y1, sRgb c);  // inclusive corners
  void FillCircle(double cx, double cy, double r, sRgb c);
  void Ring(double cx, double cy, double r, double thickness, sRgb c);
  void ThickLine(double x0, double y0, double x1, double y1, double width, sRgb c);
  // Text in a 3 x 5 pixel font (digits, '+', '-', 'N', 'S', 'Z'), each pixel a
  // scale x scale block, centred on (cx, cy).
  void Text(const std::string& text, double cx, double cy, int scale, sRgb c);
  // Paints an outline of colour c around every painted pixel that touches transparency.
  void Outline(sRgb c);

 private:
  int mWidth, mHeight;
  std::vector<uint8_t> mRgb;
};

struct sIcon {
  std::string fileName;  // under Data/Textures/
  cIconCanvas canvas;
};

std::vector<sIcon> PaintTribeIcons();
std::vector<sIcon> PaintCivIcons();
std::vector<sIcon> PaintCityIcons();  // the hall's money warnings
