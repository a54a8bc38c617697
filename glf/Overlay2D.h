// The 2D overlay in window pixels (origin top left, y down) and its text list.
// Not built yet beyond entering and leaving the 2D state: text is not drawn.
#pragma once

#include <sstream>
#include <string>

void Begin2D();
void End2D();

class cGLFTextList {
 public:
  void Clear();
  cGLFTextList& EndLine();
  std::ostringstream& Stream() { return mStream; }
  void Draw(float x, float y, float r, float g, float b);

 private:
  std::ostringstream mStream;
};
