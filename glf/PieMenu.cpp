#include "glf/PieMenu.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "glf/Overlay2D.h"
#include "platform/Sys.h"

namespace {
constexpr int kLeftButton = 0, kButtonDown = 0, kButtonUp = 1;
constexpr float kTwoPi = 6.283f, kPi = 3.1415f;
const float kGreen[3] = {0.0f, 1.0f, 0.0f};
const float kBlack[3] = {0.0f, 0.0f, 0.0f};
}  // namespace

cGLFPieMenu::cGLFPieMenu(cIGLFPieMenuSelection* listener, int ringSize, int radius, float outerRingFactor)
    : mRingSize(std::max(ringSize, 1)),  // a ring of no places would divide by zero
      mRadius(radius),
      mOuterRingFactor(outerRingFactor),
      mListener(listener) {}

void cGLFPieMenu::AddItem(std::string label, int id, const float* colour) {
  if (!colour) colour = kGreen;
  auto item = std::make_unique<cGLFDialogButton>();
  item->SetLabel(label);
  item->SetId(id);
  item->SetColours(colour, kBlack, colour, colour, colour);
  AddControl(std::move(item));
  Place(1.0f);
}

void cGLFPieMenu::Place(float scale) {
  const int n = GetControlCount(), R = mRingSize;
  for (int i = 0; i < n; ++i) {
    float angle, distance;
    if (i < R) {
      const int k = std::min(R, n);
      const int places = ((k + 1) / 2) * 2;
      angle = (float)i * (kTwoPi / (float)places);
      distance = (float)mRadius * scale;
    } else {
      const int places = n < 2 * R - 1 ? n - R : R;
      angle = kPi / (float)R + (float)(i - R) * (kTwoPi / (float)places);
      distance = (float)mRadius * mOuterRingFactor * scale;
    }
    const float x0 = mCentreX + std::cos(angle) * distance, y0 = mCentreY + std::sin(angle) * distance;
    GetControl(i)->SetRect(x0, y0, x0 + 30.0f, y0 + 30.0f);
  }
}

void cGLFPieMenu::Layout(float x, float y) {
  mCentreX = x;
  mCentreY = y;
  KeepInsideWindow();
  Place(GetOpeningScale());
  AutoSizeControls();
}

// Items opened near an edge would lie outside the window, where no click
// reaches them: the rings keep their shape and the centre moves inwards.
void cGLFPieMenu::KeepInsideWindow() {
  const int n = GetControlCount();
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  if (n == 0 || width <= 0 || height <= 0) return;  // no window to fit into
  Place(1.0f);
  AutoSizeControls();
  float left = GetControl(0)->X0(), right = GetControl(0)->X1();
  float top = GetControl(0)->Y0(), bottom = GetControl(0)->Y1();
  for (int i = 1; i < n; ++i) {
    const cGLFDialogControl* item = GetControl(i);
    left = std::min(left, item->X0()), right = std::max(right, item->X1());
    top = std::min(top, item->Y0()), bottom = std::max(bottom, item->Y1());
  }
  // Past the far edge it moves back; the near edge wins when both are crossed.
  auto shift = [](float low, float high, float size) {
    float by = high > size ? size - high : 0.0f;
    return low + by < 0.0f ? -low : by;
  };
  // The last pixel row and column are width - 1 and height - 1: an outline
  // drawn at width itself would not show.
  mCentreX += shift(left, right, (float)(width - 1));
  mCentreY += shift(top, bottom, (float)(height - 1));
}

void cGLFPieMenu::GetCentre(float* x, float* y) const {
  *x = mCentreX;
  *y = mCentreY;
}

float cGLFPieMenu::GetOpeningScale() {
  const uint32_t now = Sys_Milliseconds();
  const uint32_t elapsed = mOpeningRunning ? mOpeningAccumulated + (now - mOpeningStart) : mOpeningAccumulated;
  if (elapsed < kOpeningMs) return (float)elapsed / (float)kOpeningMs;
  if (mOpeningRunning) {
    mOpeningAccumulated += now - mOpeningStart;
    mOpeningRunning = false;
  }
  return 1.0f;
}

void cGLFPieMenu::Show() {
  mOpeningStart = Sys_Milliseconds();
  mOpeningAccumulated = 0;
  mOpeningRunning = true;
  mVisible = true;
}

void cGLFPieMenu::Draw() {
  if (mOpeningRunning) Layout(mCentreX, mCentreY);
  for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->Draw();
}

void cGLFPieMenu::OnMouseMove(int x, int y) {
  if (mPressedItem < 0 || mPressedItem >= GetControlCount()) return;
  cGLFDialogControl* item = GetControl(mPressedItem);
  item->SetPressed(item->HitTest((float)x, (float)y));
}

bool cGLFPieMenu::HandleMouse(int button, int state, int x, int y) {
  if (button != kLeftButton) return false;
  const float fx = (float)x, fy = (float)y;
  if (state == kButtonDown) {
    // Long labels overlap; the item drawn last is the one seen, so it takes
    // the press (the first in order could cover a later item completely).
    for (int i = GetControlCount() - 1; i >= 0; --i) {
      if (!GetControl(i)->HitTest(fx, fy)) continue;
      mPressedItem = i;
      mResultId = kGLFNoResult;
      GetControl(i)->SetPressed(true);
      return true;
    }
    return false;
  }
  if (state != kButtonUp) return false;
  if (mPressedItem < 0 || mPressedItem >= GetControlCount()) {
    mPressedItem = -1;
    return false;
  }
  cGLFDialogButton* item = GetItem(mPressedItem);
  item->SetPressed(false);
  mPressedItem = -1;
  if (!item->HitTest(fx, fy)) return true;  // released elsewhere: nothing chosen, the menu stays open

  // The listener may add, remove or delete items, or delete the menu: keep
  // nothing of the item past this point but copies.
  const int id = item->GetId();
  const cGLFDialogButton::tCallback callback = item->GetCallback();
  mResultId = id;
  bool destroyed = false;
  bool* outerFlag = mDestroyed;
  mDestroyed = &destroyed;
  if (callback) callback(id);
  if (!destroyed && mListener) mListener->OnPieMenuSelection(id);
  if (destroyed) {
    if (outerFlag) *outerFlag = true;
    return true;
  }
  mDestroyed = outerFlag;
  mVisible = false;
  return true;
}
