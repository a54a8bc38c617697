// Bars drawn in the 2D overlay: a progress bar fills a fraction of its
// rectangle; a power bar paints coloured segments one after another.
#pragma once

#include <string>
#include <vector>

struct cGLFBarSegment {
  float fraction = 0.0f;  // the segment's share of the bar's width
  float r = 0.0f, g = 0.0f, b = 0.0f;
};

class cGLFProgressBar {
 public:
  virtual ~cGLFProgressBar() = default;
  virtual void Draw();  // brackets itself with Begin2D/End2D

  // A progress bar may also carry a label and a value against a range: the
  // bar panel's title bar is one, reached by the HUDs under these names.
  void Init(const char* label, float range);  // value 0
  void SetValue(float value);                 // stores min(value, range); the fraction follows
  float GetValue() const { return mValue; }
  float GetRange() const { return mRange; }
  const std::string& GetLabel() const { return mLabel; }

  void SetRect(float x0, float y0, float x1, float y1);
  void SetColours(const float outline[3], const float fill[3], const float background[3]);
  void SetFraction(float fraction) { mFraction = fraction; }  // -1 to 1; below 0 fills leftwards from x0
  float GetFraction() const { return mFraction; }

 protected:
  float mOutline[3] = {0, 0, 0}, mFill[3] = {0, 0, 0}, mBackground[3] = {0, 0, 0};
  float mX0 = 0.0f, mX1 = 0.0f, mY0 = 0.0f, mY1 = 0.0f;
  float mFraction = 0.0f;
  std::string mLabel;
  float mRange = 0.0f, mValue = 0.0f;
};

class cGLFPowerBar : public cGLFProgressBar {
 public:
  void Draw() override;
  void AddSegment(float fraction, float r, float g, float b) { mSegments.push_back({fraction, r, g, b}); }

 private:
  std::vector<cGLFBarSegment> mSegments;
};
