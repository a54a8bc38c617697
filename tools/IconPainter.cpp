#include "tools/IconPainter.h"

#include <cmath>
#include <cstdio>

namespace {
const sRgb kWhite{255, 255, 255};
const sRgb kInk{20, 20, 20};
const sRgb kRed{220, 20, 20};
const sRgb kYellow{250, 220, 0};
const sRgb kBone{235, 230, 215};
const sRgb kBadge{60, 40, 110};
const sRgb kBadgeRim{250, 250, 235};  // off-white: pure white would vanish

// 3 x 5 glyphs, one string of 15 characters per glyph, row by row.
const char* Glyph(char ch) {
  switch (ch) {
    case '0': return "###" "#.#" "#.#" "#.#" "###";
    case '1': return ".#." "##." ".#." ".#." "###";
    case '2': return "###" "..#" "###" "#.." "###";
    case '3': return "###" "..#" ".##" "..#" "###";
    case '4': return "#.#" "#.#" "###" "..#" "..#";
    case '5': return "###" "#.." "###" "..#" "###";
    case '6': return "###" "#.." "###" "#.#" "###";
    case '7': return "###" "..#" ".#." ".#." ".#.";
    case '8': return "###" "#.#" "###" "#.#" "###";
    case '9': return "###" "#.#" "###" "..#" "###";
    case '+': return "..." ".#." "###" ".#." "...";
    case '-': return "..." "..." "###" "..." "...";
    case 'N': return "##." "#.#" "#.#" "#.#" "#.#";
    case 'S': return "###" "#.." "###" "..#" "###";
    case 'Z': return "###" "..#" ".#." "#.." "###";
    default: return "..............." ;
  }
}
}  // namespace

cIconCanvas::cIconCanvas(int width, int height)
    : mWidth(width), mHeight(height), mRgb(static_cast<size_t>(width) * height * 3, 255) {}

void cIconCanvas::Set(int x, int y, sRgb c) {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
  uint8_t* p = &mRgb[(static_cast<size_t>(y) * mWidth + x) * 3];
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
}

void cIconCanvas::FillRect(int x0, int y0, int x1, int y1, sRgb c) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) Set(x, y, c);
}

void cIconCanvas::FillCircle(double cx, double cy, double r, sRgb c) {
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x)
      if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) Set(x, y, c);
}

void cIconCanvas::Ring(double cx, double cy, double r, double thickness, sRgb c) {
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      if (d <= r && d >= r - thickness) Set(x, y, c);
    }
}

void cIconCanvas::ThickLine(double x0, double y0, double x1, double y1, double width, sRgb c) {
  const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x) {
      double px = x + 0.5 - x0, py = y + 0.5 - y0;
      double t = len2 > 0.0 ? (px * dx + py * dy) / len2 : 0.0;
      t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
      if (std::hypot(px - t * dx, py - t * dy) <= width * 0.5) Set(x, y, c);
    }
}

void cIconCanvas::Text(const std::string& text, double cx, double cy, int scale, sRgb c) {
  const int n = static_cast<int>(text.size());
  const int advance = 4 * scale;  // 3 columns and a gap
  const int totalWidth = n * advance - scale;
  const int left = static_cast<int>(std::lround(cx - totalWidth * 0.5));
  const int top = static_cast<int>(std::lround(cy - 2.5 * scale));
  for (int i = 0; i < n; ++i) {
    const char* g = Glyph(text[static_cast<size_t>(i)]);
    for (int row = 0; row < 5; ++row)
      for (int col = 0; col < 3; ++col)
        if (g[row * 3 + col] == '#')
          FillRect(left + i * advance + col * scale, top + row * scale, left + i * advance + (col + 1) * scale - 1,
                   top + (row + 1) * scale - 1, c);
  }
}

void cIconCanvas::Outline(sRgb c) {
  const std::vector<uint8_t> before = mRgb;
  auto transparent = [&](int x, int y) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return true;
    const uint8_t* p = &before[(static_cast<size_t>(y) * mWidth + x) * 3];
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
  };
  for (int y = 0; y < mHeight; ++y)
    for (int x = 0; x < mWidth; ++x)
      if (!transparent(x, y) && (transparent(x - 1, y) || transparent(x + 1, y) || transparent(x, y - 1) ||
                                 transparent(x, y + 1)))
        Set(x, y, c);
}

namespace {
cIconCanvas HealthIcon(sRgb fill) {  // a first-aid cross
  cIconCanvas c(32, 32);
  c.FillRect(11, 3, 20, 28, fill);
  c.FillRect(3, 11, 28, 20, fill);
  c.Outline(kInk);
  return c;
}

cIconCanvas DrumstickIcon(sRgb fill) {  // meat on a bone, leaning
  cIconCanvas c(32, 32);
  c.ThickLine(14, 18, 26, 6, 4.0, kBone);
  c.FillCircle(26, 4.5, 3.0, kBone);
  c.FillCircle(28.5, 7.5, 3.0, kBone);
  c.FillCircle(12, 20, 10.5, fill);
  c.Outline(kInk);
  return c;
}

cIconCanvas SleepIcon(sRgb fill) {  // a crescent moon and a "Z"
  cIconCanvas c(32, 32);
  c.FillCircle(13, 18, 12, fill);
  c.FillCircle(19, 13, 10, kWhite);
  c.Text("Z", 24, 24, 2, fill);
  c.Outline(kInk);
  return c;
}

cIconCanvas MoneyIcon(sRgb fill) {  // a stack of two coins, the top one marked
  cIconCanvas c(32, 32);
  c.FillCircle(19, 20, 10.5, fill);
  c.Ring(19, 20, 10.5, 1.5, kInk);
  c.FillCircle(13, 13, 10.5, fill);
  c.Ring(13, 13, 10.5, 1.5, kInk);
  c.ThickLine(13, 7, 13, 19, 2.5, kInk);
  c.Outline(kInk);
  return c;
}

cIconCanvas Badge(const std::string& label) {  // a round badge with a number
  cIconCanvas c(32, 32);
  c.FillCircle(16, 16, 15.5, kBadge);
  c.Ring(16, 16, 15.5, 2.0, kBadgeRim);
  c.Text(label, 16, 16, 3, kBadgeRim);
  return c;
}

cIconCanvas Heart(const std::string& marks, sRgb fill) {  // a half-size heart, with + or - marks
  cIconCanvas c(16, 16);
  c.FillCircle(4.8, 5.5, 4.0, fill);
  c.FillCircle(11.2, 5.5, 4.0, fill);
  for (int y = 6; y < 15; ++y) {
    int half = 7 - (y - 6) * 7 / 8;
    c.FillRect(8 - half - 1, y, 8 + half, y, fill);
  }
  c.Outline(kInk);
  if (!marks.empty()) c.Text(marks, 8, 8, 1, kInk);
  return c;
}

// One face: a smile for a positive mood, a frown for a negative one.
void Face(cIconCanvas& c, double cx, double cy, double r, int mood, sRgb fill) {
  c.FillCircle(cx, cy, r, fill);
  c.Ring(cx, cy, r, 1.5, kInk);
  c.FillCircle(cx - r * 0.35, cy - r * 0.3, r * 0.13 + 0.6, kInk);
  c.FillCircle(cx + r * 0.35, cy - r * 0.3, r * 0.13 + 0.6, kInk);
  const double w = r * 0.5;
  for (int i = 0; i <= 20; ++i) {
    double t = -1.0 + i * 0.1;  // mouth from left to right
    double bend = (mood > 0 ? 1 : mood < 0 ? -1 : 0) * 0.22 * r * (1.0 - t * t);  // two faces say "very"
    double x = cx + t * w, y = cy + r * 0.35 + bend + (mood < 0 ? 0.2 * r : 0.0);
    c.FillCircle(x, y, 1.0, kInk);
  }
}

cIconCanvas MoodIcon(int mood, bool twoFaces) {
  static const sRgb kMoodColour[5] = {{230, 60, 40}, {240, 140, 40}, {240, 220, 60}, {120, 200, 70}, {40, 180, 60}};
  const sRgb fill = kMoodColour[mood + 2];
  cIconCanvas c(32, 32);
  if (twoFaces) {
    Face(c, 11, 12, 10, mood, fill);
    Face(c, 21, 20, 10, mood, fill);
  } else {
    Face(c, 16, 16, 14, mood, fill);
  }
  return c;
}

cIconCanvas PoleIcon(const char* letter, sRgb fill) {
  cIconCanvas c(32, 32);
  c.FillCircle(16, 16, 15.5, fill);
  c.Ring(16, 16, 15.5, 2.0, kInk);
  c.Text(letter, 16, 16, 4, kBadgeRim);
  return c;
}
}  // namespace

std::vector<sIcon> PaintTribeIcons() {
  std::vector<sIcon> icons;
  icons.push_back({"health_red.bmp", HealthIcon(kRed)});
  icons.push_back({"drumstick_red.bmp", DrumstickIcon(kRed)});
  icons.push_back({"sleep_red.bmp", SleepIcon(kRed)});
  icons.push_back({"health_yellow.bmp", HealthIcon(kYellow)});
  icons.push_back({"drumstick_yellow.bmp", DrumstickIcon(kYellow)});
  icons.push_back({"sleep_yellow.bmp", SleepIcon(kYellow)});
  icons.push_back({"tribe_+.bmp", Badge("+")});
  for (int n = 1; n <= 19; ++n) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02d", n);
    icons.push_back({std::string("tribe_") + digits + ".bmp", Badge(digits)});
  }
  return icons;
}

std::vector<sIcon> PaintCityIcons() {
  std::vector<sIcon> icons;
  icons.push_back({"money_red.bmp", MoneyIcon(kRed)});
  icons.push_back({"money_yellow.bmp", MoneyIcon(kYellow)});
  return icons;
}

std::vector<sIcon> PaintCivIcons() {
  std::vector<sIcon> icons;
  icons.push_back({"HalfSizeHeartPlusPlus.bmp", Heart("++", {240, 40, 120})});
  icons.push_back({"HalfSizeHeartPlus.bmp", Heart("+", {230, 70, 110})});
  icons.push_back({"HalfSizeHeart.bmp", Heart("", {200, 90, 110})});
  icons.push_back({"HalfSizeHeartMinus.bmp", Heart("-", {150, 100, 120})});
  icons.push_back({"HalfSizeHeartMinusMinus.bmp", Heart("--", {110, 100, 130})});
  icons.push_back({"happyDouble.bmp", MoodIcon(2, true)});
  icons.push_back({"happySingle.bmp", MoodIcon(1, false)});
  icons.push_back({"neutralSingle.bmp", MoodIcon(0, false)});
  icons.push_back({"sadSingle.bmp", MoodIcon(-1, false)});
  icons.push_back({"sadDouble.bmp", MoodIcon(-2, true)});
  icons.push_back({"northicon.bmp", PoleIcon("N", {40, 90, 200})});
  icons.push_back({"southicon.bmp", PoleIcon("S", {200, 60, 40})});
  return icons;
}
