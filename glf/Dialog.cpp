#include "glf/Dialog.h"

#include <algorithm>

#include "glf/Overlay2D.h"
#include "math/Scalar.h"

void cGLFDialogControl::SetRect(float x0, float y0, float x1, float y1) {
  mX0 = x0, mY0 = y0, mX1 = x1, mY1 = y1;
}

void cGLFDialogControl::AutoSize() {
  mX1 = mX0 + (float)MeasureTextWidth(GLFDefaultFont(), mLabel.c_str()) + 4.0f;
  mY1 = mY0 + 20.0f;
}

bool cGLFDialogControl::HitTest(float x, float y) { return mX0 < x && x < mX1 && mY0 < y && y < mY1; }

void cGLFDialogButton::SetColours(const float outline[3], const float fill[3], const float pressedFill[3],
                                  const float text[3], const float pressedText[3]) {
  Copy3(mOutline, outline);
  Copy3(mFill, fill);
  Copy3(mPressedFill, pressedFill);
  Copy3(mText, text);
  Copy3(mPressedText, pressedText);
}

void cGLFDialogButton::Draw() {
  const int x0 = SaturatedInt(mX0), y0 = SaturatedInt(mY0), x1 = SaturatedInt(mX1), y1 = SaturatedInt(mY1);
  SetColour2D(IsPressed() ? mPressedFill : mFill);
  DrawFilledRect(x0, y0, x1, y1);
  SetColour2D(mOutline);
  DrawRectOutline(x0, y0, x1, y1);
  SetColour2D(IsPressed() ? mPressedText : mText);
  DrawText2D(SaturatedInt(mX0 + 2.0f), SaturatedInt(mY0 + 14.0f), GLFDefaultFont(), mLabel.c_str());
}

void cGLFDialogButton::Click() {
  if (mCallback) mCallback(mId);
}

cGLFDialog::~cGLFDialog() {
  if (mDestroyed) *mDestroyed = true;
}

void cGLFDialog::AddControl(std::unique_ptr<cGLFDialogControl> control) { mControls.push_back(std::move(control)); }

int cGLFDialog::GetSingleControlId() const { return mControls.size() == 1 ? mControls[0]->GetId() : -1; }

void cGLFDialog::AutoSizeControls() {
  for (auto& control : mControls) control->AutoSize();
}

void cGLFDialog::RemoveControl(int id) {
  std::erase_if(mControls, [id](const auto& control) { return control->GetId() == id; });
}
