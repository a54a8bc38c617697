// One GLUT window per test process, on the suite's shared display, for the
// tests that need real pixels.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "glf/GLExtensions.h"
#include "tests/support/TestSupport.h"

// gcc says __SANITIZE_ADDRESS__, clang answers __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define QV_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_TEST_UNDER_ASAN 1
#endif
#endif

#if defined(QV_TEST_UNDER_ASAN)
#include <sanitizer/lsan_interface.h>
// The GL driver frees some allocations only when it is unloaded at exit, and
// makes some of its own on the way out, where the leak checker can no longer
// name it for a suppression. Each test runs in a process of its own, so the
// checker stays off from here to the end of a GL test's process.
struct cIgnoreDriverAllocations {
  cIgnoreDriverAllocations() { __lsan_disable(); }
};
#else
struct cIgnoreDriverAllocations {};
#endif

// Every call makes the window anew at the size asked, with a fresh context:
// when a suite's cases run in one process, a case once read back pixels from
// the window an earlier case had opened at another size, in its GL state.
inline bool OpenGLTestWindow(int width, int height, const char* title = "QuorvelGL") {
  static int window = 0;
  if (!window) {
    if (!EnsureTestDisplay()) return false;
    int argc = 1;
    char name[] = "glf_test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    EndTestProcessWithoutDriverTeardown();
  } else {
    glutDestroyWindow(window);
  }
  glutInitWindowSize(width, height);
  window = glutCreateWindow(title);
  NoteNewGLContext();  // what shapes kept in the last window's context is gone
  glViewport(0, 0, width, height);
  return true;
}

// The back buffer's pixels as RGB bytes, rows bottom first (OpenGL's order).
inline std::vector<unsigned char> ReadBackBuffer(int width, int height) {
  std::vector<unsigned char> rgb(3 * width * height);
  glFinish();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}
