#include "glf/ProgressBar.h"

#include <algorithm>

#include "glf/Overlay2D.h"
#include "math/Scalar.h"

void cGLFProgressBar::Init(const char* label, float range) {
  mLabel = label ? label : "";
  mRange = range;
  SetValue(0.0f);
}

void cGLFProgressBar::SetValue(float value) {
  mValue = std::min(value, mRange);
  mFraction = mRange != 0.0f ? mValue / mRange : 0.0f;
}

void cGLFProgressBar::SetRect(float x0, float y0, float x1, float y1) {
  mX0 = x0, mY0 = y0, mX1 = x1, mY1 = y1;
}

void cGLFProgressBar::SetColours(const float outline[3], const float fill[3], const float background[3]) {
  std::copy(outline, outline + 3, mOutline);
  std::copy(fill, fill + 3, mFill);
  std::copy(background, background + 3, mBackground);
}

void cGLFProgressBar::Draw() {
  Begin2D();
  // A fraction past either end would paint outside the bar, over its neighbours.
  const float w = (mX1 - mX0) * std::clamp(mFraction, -1.0f, 1.0f);
  const int y0 = SaturatedInt(mY0), y1 = SaturatedInt(mY1);
  SetColour2D(mBackground);
  DrawFilledRect(SaturatedInt(mX0 + w), y0, SaturatedInt(mX1), y1);
  SetColour2D(mFill);
  DrawFilledRect(SaturatedInt(mX0), y0, SaturatedInt(mX0 + w), y1);
  SetColour2D(mOutline);
  DrawRectOutline(SaturatedInt(mX0), y0, SaturatedInt(mX1), y1);
  End2D();
}

// Each segment paints from its start to the end of the bar; the next one
// covers the rest. Shares adding up past 1 stop at the bar's end.
void cGLFPowerBar::Draw() {
  Begin2D();
  const float width = mX1 - mX0;
  float offset = 0.0f;
  for (const cGLFBarSegment& segment : mSegments) {
    SetColour2D(segment.r, segment.g, segment.b);
    DrawFilledRect(SaturatedInt(mX0 + offset), SaturatedInt(mY0), SaturatedInt(mX1), SaturatedInt(mY1));
    offset = std::clamp(offset + width * segment.fraction, 0.0f, width);
  }
  SetColour2D(mOutline);
  DrawRectOutline(SaturatedInt(mX0), SaturatedInt(mY0), SaturatedInt(mX1), SaturatedInt(mY1));
  End2D();
}
