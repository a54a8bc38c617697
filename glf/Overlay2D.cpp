#include "glf/Overlay2D.h"

#include <GL/freeglut.h>

#include <cstring>
#include <string>
#include <vector>

#include "glf/GLExtensions.h"
#include "platform/Sys.h"

namespace {

// Each window's size as its reshape callback last told it. Asking GLUT costs a
// round trip to the X server every time, a dozen a frame; a window whose
// reshape callback does not note its size (or not yet) is asked.
struct cKnownSize {
  int window, width, height;
};
std::vector<cKnownSize>& KnownSizes() {
  static auto* sizes = new std::vector<cKnownSize>();
  return *sizes;
}

// 0 before GLUT has a window (asked then, GLUT would end the program).
int CurrentGLWindow() { return glutGet(GLUT_INIT_STATE) ? glutGetWindow() : 0; }

cKnownSize* KnownSizeOf(int window) {
  for (cKnownSize& known : KnownSizes())
    if (known.window == window) return &known;
  return nullptr;
}

}  // namespace

void GetGLWindowSize(int* width, int* height) {
  const int window = CurrentGLWindow();
  if (window == 0) {  // no window yet: no size
    *width = *height = 0;
    return;
  }
  if (const cKnownSize* known = KnownSizeOf(window)) {
    *width = known->width;
    *height = known->height;
    return;
  }
  *width = glutGet(GLUT_WINDOW_WIDTH);
  *height = glutGet(GLUT_WINDOW_HEIGHT);
}

namespace {

class cGLOverlayTarget : public cIGLFOverlayTarget {
 public:
  static constexpr int kUninitialisedCharWidth = 7;  // Helvetica 12's average
  void GetWindowSize(int* width, int* height) override { GetGLWindowSize(width, height); }
  int TextWidth(void* font, const char* text) override {
    // GLUT ends the program when its fonts are used before glutInit: a layout
    // made then (a mode entered headless) takes an average glyph width.
    if (!glutGet(GLUT_INIT_STATE)) return kUninitialisedCharWidth * (int)std::strlen(text);
    return glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text));
  }
  void Enter2D() override {
    int w, h;
    GetWindowSize(&w, &h);
    mHeightIn2D = h;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, w, 0.0, h, -1.0, 1.0);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    for (GLenum unit : {GL_TEXTURE1_ARB, GL_TEXTURE0_ARB}) {
      nGLExt::glActiveTextureARB(unit);
      glDisable(GL_TEXTURE_1D);
      glDisable(GL_TEXTURE_2D);
      glDisable(GL_TEXTURE_CUBE_MAP);
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    // Flipping y turns every quad's winding round: culling would hide them all.
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
  }
  void Leave2D() override {
    mHeightIn2D = -1;
    glPopAttrib();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
  }
  void SetColour(float r, float g, float b, float a) override { glColor4f(r, g, b, a); }
  void SetBlending(bool on) override {
    if (on) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
      glDisable(GL_BLEND);
    }
  }
  // Lines run through pixel centres so that one-pixel edges come out crisp.
  void Line(int x0, int y0, int x1, int y1) override {
    glBegin(GL_LINES);
    glVertex2f(x0 + 0.5f, FlipY(y0) - 0.5f);
    glVertex2f(x1 + 0.5f, FlipY(y1) - 0.5f);
    glEnd();
  }
  void RectOutline(int x0, int y0, int x1, int y1) override {
    Line(x0, y0, x1, y0);
    Line(x0, y1, x1, y1);
    Line(x0, y0, x0, y1);
    Line(x1, y0, x1, y1);
  }
  void FilledRect(int x0, int y0, int x1, int y1) override {
    glBegin(GL_QUADS);
    glVertex2i(x0, FlipY(y0));
    glVertex2i(x1, FlipY(y0));
    glVertex2i(x1, FlipY(y1));
    glVertex2i(x0, FlipY(y1));
    glEnd();
  }
  void Text(int x, int y, void* font, const char* text) override {
    glRasterPos2i(x, FlipY(y));
    for (const char* c = text; *c; ++c) glutBitmapCharacter(font, (unsigned char)*c);
  }

 private:
  // The height is taken once per 2D pass rather than asked of GLUT for every
  // vertex; outside a pass (a stray call) GLUT is asked.
  int FlipY(int y) {
    if (mHeightIn2D >= 0) return mHeightIn2D - y;
    int width = 0, height = 0;
    GetWindowSize(&width, &height);
    return height - y;
  }
  int mHeightIn2D = -1;
};

cIGLFOverlayTarget* gTarget = nullptr;
int gNesting2D = 0;

cIGLFOverlayTarget& Target() {
  static cGLOverlayTarget openGL;  // built on first use, never before main
  return gTarget ? *gTarget : openGL;
}

}  // namespace

cIGLFOverlayTarget* GetGLFOverlayTarget() { return &Target(); }
void SetGLFOverlayTarget(cIGLFOverlayTarget* target) { gTarget = target; }
bool GLFOverlayDrawsWithOpenGL() { return gTarget == nullptr; }

void Begin2D() {
  if (gNesting2D == 0) Target().Enter2D();
  ++gNesting2D;
}

void End2D() {
  if (gNesting2D <= 0) return;  // unmatched: popping state nobody pushed would underflow the GL stacks
  if (--gNesting2D == 0) Target().Leave2D();
}

int Get2DNesting() { return gNesting2D; }

void DrawLine2D(int x0, int y0, int x1, int y1) { Target().Line(x0, y0, x1, y1); }
void DrawRectOutline(int x0, int y0, int x1, int y1) { Target().RectOutline(x0, y0, x1, y1); }
void DrawFilledRect(int x0, int y0, int x1, int y1) { Target().FilledRect(x0, y0, x1, y1); }
size_t NextGlyph2D(const char* text, size_t size, unsigned char* glyph) {
  if (size == 0) return 0;
  uint32_t codepoint = 0;
  const size_t length = Sys_Utf8Character(text, size, &codepoint);
  const bool inFont = length > 0 && ((codepoint >= 0x20 && codepoint < 0x7F) || (codepoint >= 0xA0 && codepoint <= 0xFF));
  *glyph = inFont ? (unsigned char)codepoint : kMissingGlyph2D;
  return length > 0 ? length : 1;
}

namespace {
// Each character's glyph, as the target is handed them.
std::string GlyphsOf2D(const char* text) {
  std::string glyphs;
  const size_t size = std::strlen(text);
  glyphs.reserve(size);
  unsigned char glyph = 0;
  for (size_t at = 0, length; (length = NextGlyph2D(text + at, size - at, &glyph)) > 0; at += length)
    glyphs += (char)glyph;
  return glyphs;
}

// Printable ASCII is its own glyphs: most text the overlay draws each frame.
bool IsOwnGlyphs(const char* text) {
  for (; *text; ++text)
    if ((unsigned char)*text < 0x20 || (unsigned char)*text >= 0x7F) return false;
  return true;
}
}  // namespace

void DrawText2D(int x, int y, void* font, const char* text) {
  if (IsOwnGlyphs(text)) Target().Text(x, y, font, text);
  else Target().Text(x, y, font, GlyphsOf2D(text).c_str());
}
int MeasureTextWidth(void* font, const char* text) {
  return IsOwnGlyphs(text) ? Target().TextWidth(font, text) : Target().TextWidth(font, GlyphsOf2D(text).c_str());
}
int MeasureGlyphWidth2D(void* font, unsigned char glyph) {
  const char text[2] = {(char)glyph, '\0'};
  return Target().TextWidth(font, text);
}
void GetWindowSize2D(int* width, int* height) { Target().GetWindowSize(width, height); }
void NoteWindowSize2D(int width, int height) {
  const int window = CurrentGLWindow();
  if (window == 0) return;
  if (cKnownSize* known = KnownSizeOf(window)) *known = {window, width, height};
  else KnownSizes().push_back({window, width, height});
}
void SetColour2D(float r, float g, float b, float a) { Target().SetColour(r, g, b, a); }
void SetBlending2D(bool on) { Target().SetBlending(on); }
void* GLFDefaultFont() { return GLUT_BITMAP_HELVETICA_12; }
void* GLFFixedFont() { return GLUT_BITMAP_8_BY_13; }
