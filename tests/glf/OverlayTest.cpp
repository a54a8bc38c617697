// The 2D bracket's nesting, the text list's layout, and real pixels under the
// test display: a filled rectangle lands on exactly the rows and columns asked for.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "glf/Overlay2D.h"
#include "glf/TextList.h"
#include "glf/TextPlacement.h"
#include "tests/support/GLTestWindow.h"
#include "tests/glf/OverlayRecorder.h"

TEST(Overlay, OnlyTheOutermostPairEntersAndLeaves) {
  cOverlayRecorder recorder;
  Begin2D();
  Begin2D();
  End2D();
  EXPECT_EQ(recorder.enters, 1);
  EXPECT_EQ(recorder.leaves, 0);  // still in 2D between the two End2D calls
  End2D();
  EXPECT_EQ(recorder.leaves, 1);
  EXPECT_EQ(Get2DNesting(), 0);
}

// A mode entered without a window (headless tests) lays out its HUD: GLUT's
// font measure would end the program before glutInit.
TEST(Overlay, TextIsMeasuredWithoutEndingTheProgramBeforeGlutInit) {
  EXPECT_GT(MeasureTextWidth(GLFDefaultFont(), "Population:"), MeasureTextWidth(GLFDefaultFont(), "Food:"));
}

// Fault mended: UTF-8 text (a key file's "CAFÉ_ñ") was drawn byte by byte as
// Latin-1 glyphs, "CAFÃ_Ã±". Each character is its glyph in the fonts, or
// one stand-in where they have none; measured as drawn.
TEST(Overlay, TextIsDrawnAsItsCharactersGlyphs) {
  const std::string missing(1, (char)kMissingGlyph2D);
  const struct {
    const char* name;
    const char* text;
    std::string glyphs;
  } rows[] = {
      {"Latin-1 letters", "CAF\xC3\x89_\xC3\xB1", "CAF\xC9_\xF1"},
      {"the first and last of Latin-1", "\xC2\xA0\xC3\xBF", "\xA0\xFF"},
      {"beyond Latin-1", "\xE2\x82\xAC" "5 \xF0\x9F\x99\x82", missing + "5 " + missing},
      {"control characters, C0 and C1", "a\tb\x7F\xC2\x9B", "a" + missing + "b" + missing + missing},
      {"bytes that are not UTF-8", "\xC3(\x80\xC0\xAF", missing + "(" + missing + missing + missing},
  };
  cOverlayRecorder recorder;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    recorder.calls.clear();
    DrawText2D(0, 20, GLFDefaultFont(), row.text);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].text, row.glyphs);
    EXPECT_EQ(MeasureTextWidth(GLFDefaultFont(), row.text), cOverlayRecorder::kCharWidth * (int)row.glyphs.size());
  }
}

TEST(Overlay, EndWithoutBeginDoesNothing) {
  cOverlayRecorder recorder;
  End2D();
  End2D();
  EXPECT_EQ(recorder.leaves, 0);
  EXPECT_EQ(Get2DNesting(), 0);
  Begin2D();  // the next pair still works
  End2D();
  EXPECT_EQ(recorder.enters, 1);
  EXPECT_EQ(recorder.leaves, 1);
}

TEST(TextList, LinesAre16PixelsApartAndTheUnfinishedLineComesLast) {
  cOverlayRecorder recorder;
  cGLFTextList list;
  list << "FPS: " << 12.5f;
  list.EndLine();
  list.Stream() << "two";
  list.EndLine();
  list.EndLine();
  list << "tail";
  list.Draw(3, 100);
  const auto texts = recorder.Of(cDrawCall::kText);
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].text, "FPS: 12.5");
  EXPECT_EQ(texts[0].x0, 3);
  EXPECT_EQ(texts[0].y0, 116);
  EXPECT_EQ(texts[1].y0, 132);
  EXPECT_EQ(texts[2].text, "");  // an empty line still takes its place
  EXPECT_EQ(texts[3].text, "tail");
  EXPECT_EQ(texts[3].y0, 164);
  int width, height;
  list.GetSize(&width, &height);
  EXPECT_EQ(width, 9 * cOverlayRecorder::kCharWidth);
  EXPECT_EQ(height, 48);  // three finished lines; the stream's text is not counted

  list.Clear();
  list << "only unfinished";
  list.GetSize(&width, &height);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  recorder.calls.clear();
  list.Draw(0, 0);
  ASSERT_EQ(recorder.calls.size(), 1u);
  EXPECT_EQ(recorder.calls[0].y0, 16);
}

TEST(OverlayGL, FilledRectCoversExactlyItsPixelsAndNestingRestoresState) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  constexpr int kW = 320, kH = 480;
  ASSERT_TRUE(OpenGLTestWindow(kW, kH));
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);  // the 3D scene culls; the overlay must still show
  GLint projectionDepth = 0, modelviewDepth = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);

  End2D();  // unmatched: must not pop anything
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  Begin2D();
  Begin2D();
  GLint depth = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, projectionDepth + 1);  // pushed once for both
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  SetColour2D(1.0f, 0.0f, 0.0f);
  DrawFilledRect(10, 10, 20, 30);
  End2D();
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));  // the inner End2D leaves the 2D state in force
  End2D();
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, projectionDepth);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, modelviewDepth);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

  // Window rows 10..29 are OpenGL rows 450..469; columns 10..19.
  const std::vector<unsigned char> rgb = ReadBackBuffer(kW, kH);
  int red = 0, wrong = 0;
  for (int row = 0; row < kH; ++row)
    for (int col = 0; col < kW; ++col) {
      const unsigned char* p = &rgb[3 * (row * kW + col)];
      const bool inside = row >= 450 && row < 470 && col >= 10 && col < 20;
      const bool isRed = p[0] == 255 && p[1] == 0 && p[2] == 0;
      const bool isBlack = p[0] == 0 && p[1] == 0 && p[2] == 0;
      red += isRed;
      wrong += inside ? !isRed : !isBlack;
    }
  EXPECT_EQ(red, 200);
  EXPECT_EQ(wrong, 0);
}

TEST(OverlayGL, TextWidthMatchesWhereTheRasterEnds) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(320, 480));
  EXPECT_EQ(MeasureTextWidth(GLFDefaultFont(), ""), 0);
  const char* text = "Camera Distance: 41.5";
  Begin2D();
  DrawText2D(0, 20, GLFDefaultFont(), text);
  GLfloat raster[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
  End2D();
  EXPECT_EQ(MeasureTextWidth(GLFDefaultFont(), text), (int)raster[0]);
  EXPECT_GT(raster[0], 100.0f);
}

// Labels move as one, just as far as keeps each line 4 pixels inside the
// window (a hover label at the right edge ran out of it), or beside the
// helpers standing over its right part (it went under them, or, opened in
// their right half, past the window's edge); one that fits stays.
TEST(Overlay, LabelsKeepInsideTheWindowMovedAsOne) {
  cOverlayRecorder overlay;  // 640 x 480, 7 pixels a character
  const std::vector<sTextLine2D> building = {{0, 0, "Food Generating Building"}, {0, 12, "Food: 12/40"}};
  const std::vector<sTextLine2D> tribe = {{0, -14, "Growing"}, {0, -2, "Tribe"}, {5, 22, "Relationship: 0.50"}};
  const struct {
    int x, y;
    void* font;
    const std::vector<sTextLine2D>* lines;
    int drawnX, drawnY;  // where the first line starts
    sRect2D strip = {};  // what other windows cover of the window's right part
  } cases[] = {
      {300, 200, GLUT_BITMAP_HELVETICA_12, &building, 300, 200},  // fits: stays
      {639, 200, GLUT_BITMAP_HELVETICA_12, &building, 640 - 4 - 7 * 24, 200},
      {639, 479, GLUT_BITMAP_HELVETICA_12, &building, 640 - 4 - 7 * 24, 480 - 4 - 12},
      {0, 0, GLUT_BITMAP_HELVETICA_12, &tribe, 4, 12 + 14 - 14},  // its top line at the top
      {639, 479, GLUT_BITMAP_HELVETICA_12, &tribe, 640 - 4 - 7 * 18 - 5, 480 - 4 - 22 - 14},
      {600, 10, GLUT_BITMAP_HELVETICA_18, &building, 640 - 4 - 7 * 24, 14},
      {400, 200, GLUT_BITMAP_HELVETICA_12, &building, 520 - 4 - 7 * 24, 200, {520, 40, 640, 440}},
      {400, 20, GLUT_BITMAP_HELVETICA_12, &building, 400, 20, {520, 40, 640, 440}},  // above the strip: stays
      // In the strip's right half, the strip at the window's right edge (full
      // screen): moved left of it, not past the window's edge (x=644 of 640).
      {600, 200, GLUT_BITMAP_HELVETICA_12, &building, 520 - 4 - 7 * 24, 200, {520, 40, 640, 440}},
  };
  for (const auto& c : cases) {
    overlay.calls.clear();
    SetCoveredArea2D(c.strip);
    DrawTextLines2D(c.x, c.y, c.font, *c.lines);
    SetCoveredArea2D({});
    const std::vector<cDrawCall> texts = overlay.Of(cDrawCall::kText);
    ASSERT_EQ(texts.size(), c.lines->size());
    EXPECT_EQ(texts[0].x0, c.drawnX) << c.x << "," << c.y;
    EXPECT_EQ(texts[0].y0, c.drawnY) << c.x << "," << c.y;
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].x0 - texts[0].x0, (*c.lines)[i].dx - (*c.lines)[0].dx);
      EXPECT_EQ(texts[i].y0 - texts[0].y0, (*c.lines)[i].dy - (*c.lines)[0].dy);
    }
  }
}

// The window's size is the one its reshape callback noted (no round trip to
// the X server each time it is asked), and it is what the 2D pass spans.
TEST(OverlayGL, TheWindowSizeIsTheOneItsReshapeNoted) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(320, 240));
  int width = 0, height = 0;
  GetWindowSize2D(&width, &height);
  EXPECT_EQ(width, 320) << "never reshaped: GLUT is asked";
  EXPECT_EQ(height, 240);
  NoteWindowSize2D(123, 45);
  for (auto* get : {&GetWindowSize2D, &GetGLWindowSize}) {
    get(&width, &height);
    EXPECT_EQ(width, 123);
    EXPECT_EQ(height, 45);
  }
  Begin2D();
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  End2D();
  EXPECT_NEAR(projection[5], 2.0 / 45.0, 1e-6) << "the 2D pass spans the noted height";
}
