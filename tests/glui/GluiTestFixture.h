// One GLUT session per test process (glutInit may run only once) with a main
// window standing in for the game's, under the private X server.
#pragma once

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "platform/glui/GLUITest.h"
#include "platform/glui/glui.h"
#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

inline int TestMainWindow() {
  static int window = [] {
    if (!EnsureTestDisplay()) return 0;
    int argc = 1;
    char name[] = "tests_glui";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(320, 240);
    int id = Sys_CreateGlutWindow("QuorvelGL");  // as the game makes its window
    glutDisplayFunc([] {});
    Sys_KeepGLDriverLoaded();
    return id;
  }();
  return window;
}

class GluiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    callbackCalls = 0;  // each case counts its own controls' callbacks, however often it runs
    mainWindow = TestMainWindow();
    ASSERT_GT(mainWindow, 0) << "no X server for the panel tests";
  }
  void TearDown() override {
    Sys_SetKeyboardProbeForTest(nullptr);
    GLUI_Master.keep_panels_above(0);
    for (GLUI* panel : opened) panel->close();
    glutMainLoopEvent();  // lets freeglut finish destroying the windows
  }
  GLUI* Open(const char* name) {
    glutSetWindow(mainWindow);
    GLUI* panel = GLUI_Master.create_glui(name, 0, 400, 10);
    panel->set_main_gfx_window(mainWindow);
    opened.push_back(panel);
    return panel;
  }
  int mainWindow = 0;
  std::vector<GLUI*> opened;
  static inline int callbackCalls = 0;  // for a control's callback, which takes no object
};
