// A small horizontal bar drawn over a world point in window space: how full a
// building is. The filled part is `value` of its length from the left end,
// the rest black, with an outline.
#pragma once

#include "math/Types.h"

class cHorizontalMeter {
 public:
  virtual ~cHorizontalMeter() = default;
  virtual void Draw(float x, float y, float z);
  virtual void SetValue(float value) { mValue = value; }
  virtual void SetFillColour(float r, float g, float b) { mFill = Ru::Math::Vector3{r, g, b}; }
  virtual void SetOutlineColour(float r, float g, float b) { mOutline = Ru::Math::Vector3{r, g, b}; }
  virtual void SetSize(float height, float length) {
    mHeight = height;
    mLength = length;
  }
  virtual void SetScreenOffset(float x, float y, float z) { mScreenOffset = Ru::Math::Vector3{x, y, z}; }
  float GetValue() const { return mValue; }

 private:
  float mValue = 1.0f;
  Ru::Math::Vector3 mFill{0.0f, 0.0f, 0.8f};
  Ru::Math::Vector3 mOutline{0.8f, 0.8f, 0.8f};
  float mHeight = 6.0f, mLength = 40.0f;
  Ru::Math::Vector3 mScreenOffset{0.0f, -15.0f, 0.0f};
};
