#include "glf/BarPanel.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "glf/Overlay2D.h"
#include "math/Scalar.h"

namespace {

const float kRed[3] = {1, 0, 0}, kYellow[3] = {1, 1, 0}, kGreen[3] = {0, 1, 0}, kBlack[3] = {0, 0, 0};
const float kBarOutline[3] = {0.0f, 0.5f, 0.0f};

cGLFBarTuning DefaultTuning() { return {}; }
cGLFBarTuning (*gTuningSource)() = DefaultTuning;

// A window size of 0 (or less) in the tuning would make the ratio infinite.
float Ratio(float bar, float window, float fallbackBar, float fallbackWindow) {
  return window > 0.0f ? bar / window : fallbackBar / fallbackWindow;
}

// The translucent grey box behind the rows and behind the title.
void DrawBackground(float x0, float y0, float x1, float y1) {
  SetBlending2D(true);
  SetColour2D(0.75f, 0.75f, 0.75f, 0.6f);
  DrawFilledRect(SaturatedInt(x0), SaturatedInt(y0), SaturatedInt(x1), SaturatedInt(y1));
  SetColour2D(0.55f, 0.55f, 0.55f);
  DrawRectOutline(SaturatedInt(x0), SaturatedInt(y0), SaturatedInt(x1), SaturatedInt(y1));
  SetBlending2D(false);
}

}  // namespace

void SetGLFBarTuningSource(cGLFBarTuning (*source)()) { gTuningSource = source ? source : DefaultTuning; }

cGLFBarPanel::cGLFBarPanel() {
  const cGLFBarTuning tuning = gTuningSource(), defaults;
  mBarWidthRatio = Ratio(tuning.barWidth, tuning.windowWidth, defaults.barWidth, defaults.windowWidth);
  mBarHeightRatio = Ratio(tuning.barHeight, tuning.windowHeight, defaults.barHeight, defaults.windowHeight);
}

void cGLFBarPanel::AddBar(const char* label, int style, float range, int precision) {
  if (mRows.count(label)) return;
  cGLFBarRow row;
  row.range = range;
  row.precision = precision;
  row.isBar = style == kGLFBarStyleBar || style == kGLFBarStyleSegmented || style == kGLFBarStyleSigned;
  row.isSegmented = style == kGLFBarStyleSegmented;
  row.isSigned = style == kGLFBarStyleSigned;
  row.showRange = style == kGLFBarStyleNumberOfRange;
  mRows.emplace(label, row);
  mOrder.push_back(label);
  mLabelColumnWidth = std::max(mLabelColumnWidth, (float)MeasureTextWidth(GLFDefaultFont(), label));
}

void cGLFBarPanel::SetValue(const char* label, float value) {
  auto it = mRows.find(label);
  if (it == mRows.end()) return;
  cGLFBarRow& row = it->second;
  row.value = row.isBar ? std::min(value, row.range) : value;
}

float cGLFBarPanel::GetValue(const char* label) const {
  const cGLFBarRow* row = FindRow(label);
  return row ? row->value : 0.0f;
}

void cGLFBarPanel::SetRange(const char* label, float range) {
  if (auto it = mRows.find(label); it != mRows.end()) it->second.range = range;
}

void cGLFBarPanel::SetSecondaryValue(const char* label, float value) {
  if (auto it = mRows.find(label); it != mRows.end()) it->second.secondaryValue = value;
}

void cGLFBarPanel::SetColour(const char* label, const float rgb[3]) {
  auto it = mRows.find(label);
  if (it == mRows.end()) return;
  std::copy(rgb, rgb + 3, it->second.ownColour);
  it->second.hasOwnColour = true;
}

// An unknown label gets a row of its own that is never drawn.
std::vector<cGLFBarSegment>& cGLFBarPanel::GetSegments(const char* label) { return mRows[label].segments; }

void cGLFBarPanel::SetSegments(const char* label, const std::vector<cGLFBarSegment>& segments) {
  if (auto it = mRows.find(label); it != mRows.end()) it->second.segments = segments;
}

const cGLFBarRow* cGLFBarPanel::FindRow(const char* label) const {
  auto it = mRows.find(label);
  return it == mRows.end() ? nullptr : &it->second;
}

void cGLFBarPanel::PercentageColour(float value, float range, float rgb[3]) {
  const float percent = range != 0.0f ? value / range * 100.0f : 0.0f;
  const float* colour = percent < 30.0f ? kRed : percent < 60.0f ? kYellow : kGreen;
  std::copy(colour, colour + 3, rgb);
}

// Rounded half up in double: a negative value rounds correctly and a large
// one cannot overflow an integer on the way.
std::string cGLFBarPanel::FormatNumber(float value, int precision) {
  const double scale = std::pow(10.0, std::clamp(precision, 0, 9));
  std::ostringstream text;
  text << (float)(std::floor((double)value * scale + 0.5) / scale);
  return text.str();
}

std::string cGLFBarPanel::NumberText(const cGLFBarRow& row) const {
  std::string text = FormatNumber(row.value, row.precision);
  if (row.showRange) text += "/" + FormatNumber(row.range, row.precision);
  return text;
}

void cGLFBarPanel::Draw(float x, float y) {
  Begin2D();
  int windowWidth, windowHeight;
  GetWindowSize2D(&windowWidth, &windowHeight);
  const float W = (float)windowWidth - 4.0f, H = (float)windowHeight;
  const float labelColumn = mLabelColumnWidth + 4.0f;
  const float barWidth = W * mBarWidthRatio, barHeight = H * mBarHeightRatio;
  const float rowPitch = RowPitch(windowHeight);

  // Rows that were only looked up (GetSegments) are not drawn and take no room.
  int drawnRows = 0;
  for (const std::string& label : mOrder) drawnRows += mRows.count(label) ? 1 : 0;
  DrawBackground(x - 5.0f, y - 5.0f, x + labelColumn + barWidth + 5.0f, y + drawnRows * rowPitch + 5.0f);

  float rowOffset = 4.0f;
  for (const std::string& label : mOrder) {
    auto it = mRows.find(label);
    if (it == mRows.end()) continue;
    DrawRow(it->second, x, y + rowOffset, labelColumn, barWidth, barHeight, label);
    rowOffset += rowPitch;
  }
  DrawTitle(y, W, windowHeight, barWidth, barHeight);
  End2D();
}

void cGLFBarPanel::DrawRow(const cGLFBarRow& row, float x, float top, float labelColumn, float barWidth,
                           float barHeight, const std::string& label) {
  const float x0 = x + labelColumn, x1 = x0 + barWidth, y0 = top, y1 = top + barHeight;
  SetColour2D(kBlack);
  DrawText2D(SaturatedInt(x), SaturatedInt(y1), GLFDefaultFont(), label.c_str());

  if (!row.isBar) {
    DrawText2D(SaturatedInt(x0), SaturatedInt(y1), GLFDefaultFont(), NumberText(row).c_str());
  } else if (row.isSegmented) {
    cGLFPowerBar bar;
    bar.SetRect(x0, y0, x1, y1);
    bar.SetColours(kBarOutline, kBlack, kBlack);
    for (const cGLFBarSegment& s : row.segments) bar.AddSegment(s.fraction, s.r, s.g, s.b);
    bar.Draw();
  } else if (!row.isSigned) {
    float fill[3];
    if (row.hasOwnColour) std::copy(row.ownColour, row.ownColour + 3, fill);
    else PercentageColour(row.value, row.range, fill);
    cGLFProgressBar bar;
    bar.SetRect(x0, y0, x1, y1);
    bar.SetColours(kBarOutline, fill, kBlack);
    bar.SetFraction(row.range != 0.0f ? std::clamp(row.value / row.range, 0.0f, 1.0f) : 0.0f);
    bar.Draw();
  } else {
    cGLFProgressBar whole;
    whole.SetRect(x0, y0, x1, y1);
    whole.SetColours(kBarOutline, kBlack, kBlack);
    whole.Draw();
    const float middle = x0 + barWidth * 0.5f, half = barWidth * 0.5f;
    const float f = row.range != 0.0f ? std::clamp(row.value / row.range, -1.0f, 1.0f) : -1.0f;
    const float* fill = row.hasOwnColour ? row.ownColour : f > 0.0f ? kGreen : kRed;
    cGLFProgressBar bar;
    bar.SetRect(middle, y0, x1, y1);
    bar.SetColours(kBarOutline, fill, kBlack);
    bar.SetFraction(f);
    bar.Draw();
    // The marker is a share of the range: without a range there is nothing to mark.
    if (row.secondaryValue != 0.0f && row.range != 0.0f) {
      const float end = middle + half * f, width = half * row.secondaryValue / row.range;
      SetColour2D(1.0f, 0.0f, 1.0f);
      DrawFilledRect(SaturatedInt(end - width), SaturatedInt(y0), SaturatedInt(end), SaturatedInt(y1));
      SetColour2D(kBarOutline);
      DrawRectOutline(SaturatedInt(end - width), SaturatedInt(y0), SaturatedInt(end), SaturatedInt(y1));
    }
  }
}

static float RowPitchFor(int windowHeight, float barHeightRatio) { return (float)windowHeight * barHeightRatio + 5.0f; }

float cGLFBarPanel::RowPitch(int windowHeight) const { return RowPitchFor(windowHeight, mBarHeightRatio); }

// A row tall, with the background's margin.
float cGLFBarPanel::TitleBottomFor(float y, int windowHeight, float barHeightRatio) {
  return y + RowPitchFor(windowHeight, barHeightRatio) + 5.0f;
}

float cGLFBarPanel::TitleBottom(float y, int windowHeight) const {
  return TitleBottomFor(y, windowHeight, mBarHeightRatio);
}

void cGLFBarPanel::DrawTitle(float y, float W, int windowHeight, float barWidth, float barHeight) {
  const float titleColumn = (float)MeasureTextWidth(GLFDefaultFont(), mTitleBar.GetLabel().c_str()) + 4.0f;
  const float tx = W - barWidth - titleColumn - 5.0f;
  DrawBackground(tx - 5.0f, y - 5.0f, W, TitleBottom(y, windowHeight));
  SetColour2D(0.0f, 1.0f, 1.0f);
  DrawText2D(SaturatedInt(tx), SaturatedInt(y + barHeight + 4.0f), GLFDefaultFont(), mTitleBar.GetLabel().c_str());
  const float outline[3] = {0.0f, 0.25f, 0.5f}, fill[3] = {0.0f, 0.5f, 1.0f};
  mTitleBar.SetRect(tx + titleColumn, y + 4.0f, tx + titleColumn + barWidth, y + barHeight + 4.0f);
  mTitleBar.SetColours(outline, fill, kBlack);
  const float range = mTitleBar.GetRange();
  mTitleBar.SetFraction(range != 0.0f ? std::clamp(mTitleBar.GetValue() / range, 0.0f, 1.0f) : 0.0f);
  mTitleBar.Draw();
}
