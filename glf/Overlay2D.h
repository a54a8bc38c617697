// The 2D overlay: window pixels, origin top left, y down. Begin2D/End2D nest;
// only the outermost pair switches OpenGL into the 2D state and back. Every
// primitive and every text measurement goes through one overlay target: the
// program's draws with OpenGL and measures with GLUT's bitmap fonts, and tests
// put a recorder in its place to lay widgets out without a display.
#pragma once

#include <cstddef>

class cIGLFOverlayTarget {
 public:
  virtual ~cIGLFOverlayTarget() = default;
  virtual void GetWindowSize(int* width, int* height) = 0;
  virtual int TextWidth(void* font, const char* text) = 0;
  virtual void Enter2D() = 0;  // the outermost Begin2D
  virtual void Leave2D() = 0;  // the outermost End2D
  virtual void SetColour(float r, float g, float b, float a) = 0;
  virtual void SetBlending(bool on) = 0;  // source alpha, one minus source alpha
  virtual void Line(int x0, int y0, int x1, int y1) = 0;
  virtual void RectOutline(int x0, int y0, int x1, int y1) = 0;
  virtual void FilledRect(int x0, int y0, int x1, int y1) = 0;
  virtual void Text(int x, int y, void* font, const char* text) = 0;  // y is the baseline
};

cIGLFOverlayTarget* GetGLFOverlayTarget();
void SetGLFOverlayTarget(cIGLFOverlayTarget* target);  // nullptr restores OpenGL
// True while no recorder stands in: shapes the target has no call for (pixel
// images, strips) may then be drawn with OpenGL directly, y up.
bool GLFOverlayDrawsWithOpenGL();

void Begin2D();
void End2D();  // without a matching Begin2D it does nothing
int Get2DNesting();

void DrawLine2D(int x0, int y0, int x1, int y1);
void DrawRectOutline(int x0, int y0, int x1, int y1);
void DrawFilledRect(int x0, int y0, int x1, int y1);
// Text is UTF-8; GLUT's bitmap fonts hold Latin-1 (0x20 to 0x7E, 0xA0 to
// 0xFF). Each character is drawn and measured as its glyph there, and one
// the fonts lack (beyond Latin-1, a control character, a byte not part of a
// character) as kMissingGlyph2D: a target gets the glyphs, a byte each.
void DrawText2D(int x, int y, void* font, const char* text);  // y is the baseline
int MeasureTextWidth(void* font, const char* text);
constexpr unsigned char kMissingGlyph2D = 0xA4;  // the currency sign, drawn as a small box: seldom in text
// The glyph of the character the text starts with; returns the bytes it takes (1 for a stray byte, 0 at the end).
size_t NextGlyph2D(const char* text, size_t size, unsigned char* glyph);
int MeasureGlyphWidth2D(void* font, unsigned char glyph);  // one glyph's width: a text's width is its glyphs' sum
void GetWindowSize2D(int* width, int* height);  // the target's (a recorder's own)
// The current window's size: as its reshape callback last noted it, else asked of GLUT.
void GetGLWindowSize(int* width, int* height);
// For a window's reshape callback (the window is the current one): the size
// GLUT hands it is the one every frame, pick and overlay of the window use.
void NoteWindowSize2D(int width, int height);

// Widgets set their colours here rather than with glColor, so that the target sees them.
void SetColour2D(float r, float g, float b, float a = 1.0f);
inline void SetColour2D(const float rgb[3]) { SetColour2D(rgb[0], rgb[1], rgb[2]); }
void SetBlending2D(bool on);

// The widgets' font: GLUT's 12-point Helvetica bitmap font.
void* GLFDefaultFont();
void* GLFFixedFont();  // GLUT's 8-by-13 bitmap font, for debug text
