// A HUD panel of named rows (a label and a number or a bar), created once by
// label and updated by label every frame, plus a title bar of its own at the
// right edge of the window. Bars keep their size relative to the window.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "glf/ProgressBar.h"

enum eGLFBarStyle {
  kGLFBarStyleBar = 0,
  kGLFBarStyleSegmented = 1,
  kGLFBarStyleNumber = 2,
  kGLFBarStyleNumberOfRange = 3,  // "value/range"
  kGLFBarStyleSigned = 4,         // runs both ways from its middle
};

struct cGLFBarRow {
  bool isSigned = false;
  bool isBar = false;
  float range = 0.0f, value = 0.0f;
  int precision = 2;  // digits after the point of a number row
  bool hasOwnColour = false;
  bool showRange = false;
  float ownColour[3] = {0, 0, 0};
  float secondaryValue = 0.0f;
  bool isSegmented = false;
  std::vector<cGLFBarSegment> segments;
};

// The bar and window sizes the ratios come from, in pixels (the shared
// tuning's "defaultuibarwidth", "defaultuibarheight", "windowstartwidth",
// "windowstartheight"); start-up installs the source, tests their own.
struct cGLFBarTuning {
  float barWidth = 120.0f, barHeight = 8.0f, windowWidth = 640.0f, windowHeight = 480.0f;
};
void SetGLFBarTuningSource(cGLFBarTuning (*source)());

// Where the modes' HUDs draw their panels' rows from, at the window's top
// left; each panel's title bar stands level with them at the right edge.
constexpr float kGLFHudPanelX = 5.0f, kGLFHudPanelY = 5.0f;

class cGLFBarPanel {
 public:
  cGLFBarPanel();
  virtual ~cGLFBarPanel() = default;

  void AddBar(const char* label, int style, float range, int precision);
  void SetValue(const char* label, float value);
  float GetValue(const char* label) const;
  void SetRange(const char* label, float range);
  void SetSecondaryValue(const char* label, float value);
  void SetColour(const char* label, const float rgb[3]);
  std::vector<cGLFBarSegment>& GetSegments(const char* label);
  void SetSegments(const char* label, const std::vector<cGLFBarSegment>& segments);
  const cGLFBarRow* FindRow(const char* label) const;

  // The title bar, also reachable as a progress bar (Init, SetValue).
  void InitTitleBar(const char* label, float range) { mTitleBar.Init(label, range); }
  void SetTitleValue(float value) { mTitleBar.SetValue(value); }
  cGLFProgressBar& GetTitleBar() { return mTitleBar; }

  void Draw(float x, float y);  // top-left corner of the rows
  // The bottom of the title bar's box (the last pixel row of its outline) in
  // a window that tall, for rows drawn from y down: what the helper windows
  // standing over the game window keep below.
  float TitleBottom(float y, int windowHeight) const;
  // The same for any panel of that bar height ratio (the tuning's), without one.
  static float TitleBottomFor(float y, int windowHeight, float barHeightRatio);

  float GetLabelColumnWidth() const { return mLabelColumnWidth; }
  float GetBarWidthRatio() const { return mBarWidthRatio; }
  float GetBarHeightRatio() const { return mBarHeightRatio; }

  // Layout helpers, public for the HUDs and their tests.
  static void PercentageColour(float value, float range, float rgb[3]);
  static std::string FormatNumber(float value, int precision);  // rounded to precision digits after the point
  std::string NumberText(const cGLFBarRow& row) const;          // with "/range" for style 3

 private:
  void DrawRow(const cGLFBarRow& row, float x, float y, float labelColumn, float barWidth, float barHeight,
               const std::string& label);
  void DrawTitle(float y, float windowWidth, int windowHeight, float barWidth, float barHeight);
  float RowPitch(int windowHeight) const;

  std::map<std::string, cGLFBarRow> mRows;
  std::vector<std::string> mOrder;
  float mLabelColumnWidth = 0.0f;
  cGLFProgressBar mTitleBar;
  float mBarWidthRatio, mBarHeightRatio;
};
