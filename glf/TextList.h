// Lines of overlay text built with stream output and drawn as one block, one
// line every 16 pixels. The text still in the stream (an unfinished line) is
// drawn after the finished ones but not counted by GetSize.
#pragma once

#include <list>
#include <sstream>
#include <string>

class cGLFTextList {
 public:
  static constexpr int kLinePitch = 16;

  std::ostringstream& Stream() { return mStream; }
  template <typename T>
  cGLFTextList& operator<<(const T& value) {
    mStream << value;
    return *this;
  }
  void Write(const char* text) { mStream << text; }
  void Write(const std::string& text) { mStream << text; }
  void AddLine(const std::string& line) { mLines.push_back(line); }

  void Clear();
  cGLFTextList& EndLine();
  void Draw(int dx, int dy);
  void GetSize(int* width, int* height);
  const std::list<std::string>& GetLines() const { return mLines; }

 private:
  std::list<std::string> mLines;
  std::ostringstream mStream;
};
