// Extension loading against the test display's driver, the forwarders of
// missing entry points, and the square-root table.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "glf/Float4.h"
#include "glf/GLExtensions.h"
#include "glf/SqrtTable.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/TestSupport.h"

TEST(GLExtensions, LoadsWhatTheDriverListsAndPrintsItsDescription) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(64, 64));
  cCapturedOutput captured;
  EXPECT_EQ(LoadGLExtensions(), 32768);
  const std::string out = captured.End();
  EXPECT_EQ(out.rfind("OpenGL Driver - \nVendor: ", 0), 0u);
  EXPECT_NE(out.find("\nSupported Extensions: GL_"), std::string::npos);
  EXPECT_TRUE(IsGLEntryPointLoaded("glActiveTextureARB"));
  EXPECT_FALSE(IsGLEntryPointLoaded("glIsProgramNV"));  // Mesa has no NV vertex programs
  EXPECT_EQ(nGLExt::glIsProgramNV(1), GL_FALSE);
  nGLExt::glActiveTextureARB(GL_TEXTURE1_ARB);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE1_ARB);
  nGLExt::glActiveTextureARB(GL_TEXTURE0_ARB);
  EXPECT_EQ(FindMissingGLExtensions("GL_ARB_multitexture GL_QUORVEL_none"), "GL_QUORVEL_none ");
  EXPECT_EQ(FindMissingGLExtensions("GL_ARB_multitexture"), "");
}

TEST(GLExtensions, WithoutExtensionsEveryForwarderDoesNothing) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  ASSERT_TRUE(OpenGLTestWindow(64, 64));
  EXPECT_GT(LoadGLEntryPoints(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS))), 0);
  EXPECT_EQ(LoadGLEntryPoints(""), 0);  // a non-null address from the driver is not enough
  EXPECT_FALSE(IsGLEntryPointLoaded("glLockArraysEXT"));
  nGLExt::glLockArraysEXT(0, 4);
  nGLExt::glUnlockArraysEXT();
  nGLExt::glActiveTextureARB(GL_TEXTURE1_ARB);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE0_ARB);
  GLboolean resident = GL_TRUE;
  const GLuint program = 1;
  EXPECT_EQ(nGLExt::glAreProgramsResidentNV(1, &program, &resident), GL_FALSE);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(GLExtensions, ExtensionNamesMatchWholeWords) {
  EXPECT_TRUE(IsExtensionListed("GL_A GL_EXT_x GL_B", "GL_EXT_x"));
  EXPECT_TRUE(IsExtensionListed("GL_EXT_x", "GL_EXT_x"));
  EXPECT_FALSE(IsExtensionListed("GL_EXT_x2 GL_AGL_EXT_x", "GL_EXT_x"));
  EXPECT_FALSE(IsExtensionListed(nullptr, "GL_EXT_x"));
}

TEST(SqrtTable, ExactRootsAndTheIgnoredLowBits) {
  InitSqrtTables();
  EXPECT_EQ(FastSqrt(0.0f), 0.0f);
  EXPECT_EQ(FastSqrt(4.0f), 2.0f);
  EXPECT_EQ(FastSqrt(0.25f), 0.5f);
  EXPECT_EQ(FastSqrt(2.0f), (float)std::sqrt(2.0));
  EXPECT_EQ(FastSqrt(1.0f + std::ldexp(1.0f, -23)), 1.0f);
  for (float x = std::ldexp(1.0f, -20); x < std::ldexp(1.0f, 20); x *= 1.37f)
    EXPECT_NEAR(FastSqrt(x) / std::sqrt(x), 1.0f, std::ldexp(1.0f, -15)) << x;
}

TEST(Float4, ThreeComponentDotAndNormalise) {
  using namespace Ru::Math;
  const Vector4 v{3, 0, 4, 10};
  EXPECT_EQ(Vector4Dot3(v, Vector4{1, 1, 1, 100}), 7.0f);
  const Vector4 n = Vector4NormalizeScale3(v, 2.0f);  // all four over |xyz| = 5, times 2
  EXPECT_FLOAT_EQ(n.x, 1.2f);
  EXPECT_FLOAT_EQ(n.w, 4.0f);
  EXPECT_FLOAT_EQ(Vector4Divide(v, 2.0f).w, 5.0f);
  Vector4 a{1, 2, 3, 4};
  Vector4AddInPlace(a, Vector4Scale(2.0f, a));
  EXPECT_EQ(a.w, 12.0f);
}
