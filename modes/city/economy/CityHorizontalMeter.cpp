#include "modes/city/economy/CityHorizontalMeter.h"

#include "glf/Overlay2D.h"
#include "modes/city/cursors/CityInputView.h"

void cHorizontalMeter::Draw(float x, float y, float z) {
  int wx = 0, wy = 0;
  if (!GetCityInputView().ProjectToWindow(Ru::Math::Vector3{x, y, z}, wx, wy)) return;
  const float value = mValue < 0.0f ? 0.0f : mValue > 1.0f ? 1.0f : mValue;
  const int left = wx + (int)mScreenOffset.x - (int)(mLength * 0.5f);
  const int top = wy + (int)mScreenOffset.y;
  const int filled = left + (int)(mLength * value);
  const int right = left + (int)mLength, bottom = top + (int)mHeight;
  Begin2D();
  SetColour2D(mFill.x, mFill.y, mFill.z);
  if (filled > left) DrawFilledRect(left, top, filled, bottom);
  SetColour2D(0.0f, 0.0f, 0.0f);
  if (right > filled) DrawFilledRect(filled, top, right, bottom);
  SetColour2D(mOutline.x, mOutline.y, mOutline.z);
  DrawRectOutline(left, top, right, bottom);
  End2D();
}
