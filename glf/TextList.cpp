#include "glf/TextList.h"

#include <algorithm>

#include "glf/Overlay2D.h"

void cGLFTextList::Clear() {
  mLines.clear();
  mStream.str("");
  mStream.clear();
}

cGLFTextList& cGLFTextList::EndLine() {
  mLines.push_back(mStream.str());
  mStream.str("");
  mStream.clear();
  return *this;
}

void cGLFTextList::Draw(int dx, int dy) {
  Begin2D();
  int y = dy + kLinePitch;
  for (const std::string& line : mLines) {
    DrawText2D(dx, y, GLFDefaultFont(), line.c_str());
    y += kLinePitch;
  }
  const std::string unfinished = mStream.str();
  if (!unfinished.empty()) DrawText2D(dx, y, GLFDefaultFont(), unfinished.c_str());
  End2D();
}

void cGLFTextList::GetSize(int* width, int* height) {
  int widest = 0;
  for (const std::string& line : mLines) widest = std::max(widest, MeasureTextWidth(GLFDefaultFont(), line.c_str()));
  *width = widest;
  *height = kLinePitch * (int)mLines.size();
}
