// An overlay target that records what the widgets draw instead of drawing it,
// with a fixed window size and 7-pixel characters (it is handed the fonts'
// glyphs, a byte each), so layouts are checked without a display. Installed
// for the object's lifetime.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "glf/Overlay2D.h"

struct cDrawCall {
  enum eKind { kLine, kOutline, kFill, kText } kind;
  int x0, y0, x1, y1;  // for text: x0, y0 the baseline start
  std::string text;
  float colour[4];
};

class cOverlayRecorder : public cIGLFOverlayTarget {
 public:
  static constexpr int kCharWidth = 7;
  cOverlayRecorder() { SetGLFOverlayTarget(this); }
  ~cOverlayRecorder() override { SetGLFOverlayTarget(nullptr); }

  void GetWindowSize(int* w, int* h) override { *w = width, *h = height; }
  int TextWidth(void*, const char* text) override {
    const size_t length = std::strlen(text);
    measured += length;
    return kCharWidth * (int)length;
  }
  void Enter2D() override { ++enters; }
  void Leave2D() override { ++leaves; }
  void SetColour(float r, float g, float b, float a) override { colour[0] = r, colour[1] = g, colour[2] = b, colour[3] = a; }
  void SetBlending(bool on) override { blending = on; }
  void Line(int x0, int y0, int x1, int y1) override { Add(cDrawCall::kLine, x0, y0, x1, y1, ""); }
  void RectOutline(int x0, int y0, int x1, int y1) override { Add(cDrawCall::kOutline, x0, y0, x1, y1, ""); }
  void FilledRect(int x0, int y0, int x1, int y1) override { Add(cDrawCall::kFill, x0, y0, x1, y1, ""); }
  void Text(int x, int y, void*, const char* text) override { Add(cDrawCall::kText, x, y, x, y, text); }

  // The calls of one kind, in order.
  std::vector<cDrawCall> Of(cDrawCall::eKind kind) const {
    std::vector<cDrawCall> found;
    for (const cDrawCall& call : calls)
      if (call.kind == kind) found.push_back(call);
    return found;
  }
  const cDrawCall* FindText(const std::string& text) const {
    for (const cDrawCall& call : calls)
      if (call.kind == cDrawCall::kText && call.text == text) return &call;
    return nullptr;
  }

  int width = 640, height = 480;
  int enters = 0, leaves = 0;
  size_t measured = 0;  // the characters of every text measured
  bool blending = false;
  float colour[4] = {1, 1, 1, 1};
  std::vector<cDrawCall> calls;

 private:
  void Add(cDrawCall::eKind kind, int x0, int y0, int x1, int y1, const char* text) {
    calls.push_back({kind, x0, y0, x1, y1, text, {colour[0], colour[1], colour[2], colour[3]}});
  }
};

inline bool SameColour(const float* a, float r, float g, float b) { return a[0] == r && a[1] == g && a[2] == b; }
