#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include "input/KeyState.h"
#include "platform/Sys.h"

TEST(KeyState, LettersKeepOneCodeWhateverTheModifiers) {
  Sys_ClearKeyStates();
  NoteGlutKey('w', true);
  EXPECT_TRUE(Sys_IsKeyDown('W'));
  NoteGlutKey(23, false);  // released while Ctrl was held: GLUT reports Ctrl+W
  EXPECT_FALSE(Sys_IsKeyDown('W'));
  NoteGlutKey('Q', true);
  NoteGlutKey('q', false);
  EXPECT_FALSE(Sys_IsKeyDown('Q'));
}

TEST(KeyState, SpecialKeysAndModifiersUseVirtualKeyCodes) {
  Sys_ClearKeyStates();
  NoteGlutSpecialKey(GLUT_KEY_LEFT, true);
  NoteGlutSpecialKey(GLUT_KEY_F3, true);
  EXPECT_TRUE(Sys_IsKeyDown(0x25));
  EXPECT_TRUE(Sys_IsKeyDown(0x72));
  NoteGlutModifiers(GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_ALT);
  EXPECT_TRUE(Sys_IsKeyDown(0x10));
  EXPECT_FALSE(Sys_IsKeyDown(0x11));
  EXPECT_TRUE(Sys_IsKeyDown(0x12));
  EXPECT_EQ(VirtualKeyFromGlutKey(13), 0x0D);  // Return is not Ctrl+M
  EXPECT_EQ(VirtualKeyFromGlutKey('~'), -1);
  NoteGlutKey('~', true);  // unmapped keys are ignored, not stored out of range
  Sys_ClearKeyStates();
}
