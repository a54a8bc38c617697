// In-game dialogs drawn in the 2D overlay. They take their mouse events from
// the current mode (GLUT button and state codes, window pixels) and say
// whether they used each one. A dialog owns its controls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The result id of a dialog in which nothing has been chosen.
constexpr int kGLFNoResult = -999;

class cGLFDialogControl {
 public:
  cGLFDialogControl() = default;
  cGLFDialogControl(const cGLFDialogControl&) = default;
  cGLFDialogControl& operator=(const cGLFDialogControl&) = default;
  virtual ~cGLFDialogControl() = default;
  virtual void Draw() = 0;
  virtual void AutoSize();                 // x1 = x0 + label width + 4, y1 = y0 + 20
  virtual bool HitTest(float x, float y);  // strictly inside: the border is outside

  void SetRect(float x0, float y0, float x1, float y1);
  float X0() const { return mX0; }
  float X1() const { return mX1; }
  float Y0() const { return mY0; }
  float Y1() const { return mY1; }
  void SetPressed(bool pressed) { mPressed = pressed ? 1 : 0; }
  bool IsPressed() const { return mPressed != 0; }
  void SetId(int id) { mId = id; }
  int GetId() const { return mId; }
  void SetLabel(const std::string& label) { mLabel = label; }
  const std::string& GetLabel() const { return mLabel; }

 protected:
  float mX0 = 0.0f, mX1 = 0.0f, mY0 = 0.0f, mY1 = 0.0f;
  int mPressed = 0;
  int mId = 0;
  std::string mLabel;
};

// A push button in five colours; its callback, when set, gets the button's id.
class cGLFDialogButton : public cGLFDialogControl {
 public:
  using tCallback = std::function<void(int id)>;

  cGLFDialogButton() = default;
  cGLFDialogButton(const cGLFDialogButton&) = default;
  cGLFDialogButton& operator=(const cGLFDialogButton&) = default;  // every field, the callback included

  void Draw() override;
  void SetColours(const float outline[3], const float fill[3], const float pressedFill[3], const float text[3],
                  const float pressedText[3]);
  void SetOutlineColour(const float rgb[3]) { Copy3(mOutline, rgb); }
  void SetFillColour(const float rgb[3]) { Copy3(mFill, rgb); }
  void SetPressedFillColour(const float rgb[3]) { Copy3(mPressedFill, rgb); }
  void SetTextColour(const float rgb[3]) { Copy3(mText, rgb); }
  void SetPressedTextColour(const float rgb[3]) { Copy3(mPressedText, rgb); }
  const float* GetOutlineColour() const { return mOutline; }
  const float* GetFillColour() const { return mFill; }
  const float* GetPressedFillColour() const { return mPressedFill; }
  const float* GetTextColour() const { return mText; }
  const float* GetPressedTextColour() const { return mPressedText; }

  void SetCallback(tCallback callback) { mCallback = std::move(callback); }
  const tCallback& GetCallback() const { return mCallback; }
  void Click();  // runs the callback with the id; nothing without one

 private:
  static void Copy3(float* to, const float* from) { to[0] = from[0], to[1] = from[1], to[2] = from[2]; }
  float mOutline[3] = {0, 0, 0}, mFill[3] = {0, 0, 0}, mPressedFill[3] = {0, 0, 0};
  float mText[3] = {0, 0, 0}, mPressedText[3] = {0, 0, 0};
  tCallback mCallback;
};

class cGLFDialog {
 public:
  cGLFDialog() = default;
  cGLFDialog(const cGLFDialog&) = delete;
  cGLFDialog& operator=(const cGLFDialog&) = delete;
  virtual ~cGLFDialog();

  virtual bool HandleMouse(int button, int state, int x, int y) = 0;
  virtual void Draw() = 0;  // inside the 2D overlay
  virtual void Show() { mVisible = true; }
  virtual void OnMouseMove(int x, int y) {}

  // Owners read the flag and clear it to close a dialog themselves.
  bool IsVisible() const { return mVisible; }
  void Hide() { mVisible = false; }
  int GetResultId() const { return mResultId; }

  void AddControl(std::unique_ptr<cGLFDialogControl> control);
  int GetControlCount() const { return (int)mControls.size(); }
  cGLFDialogControl* GetControl(int index) const { return mControls[index].get(); }
  int GetSingleControlId() const;  // -1 unless there is exactly one control
  void AutoSizeControls();
  void RemoveControl(int id);      // every control with that id

 protected:
  int mResultId = kGLFNoResult;
  bool mVisible = false;
  std::vector<std::unique_ptr<cGLFDialogControl>> mControls;
  bool* mDestroyed = nullptr;  // set while a callback runs, so that it may delete the dialog
};
