#include "input/KeyState.h"

#include <GL/freeglut.h>

#include "platform/Sys.h"

int VirtualKeyFromGlutKey(unsigned char key) {
  if (key >= 1 && key <= 26 && key != 8 && key != 9 && key != 13) return 'A' + key - 1;  // Ctrl+letter
  if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return key;
  switch (key) {
    case 8: return 0x08;     // backspace
    case 9: return 0x09;     // tab
    case 13: return 0x0D;    // return
    case 27: return 0x1B;    // escape
    case ' ': return 0x20;
    case 127: return 0x2E;   // delete
    case '+': case '=': return 0xBB;
    case '-': case '_': return 0xBD;
    case ',': case '<': return 0xBC;
    case '.': case '>': return 0xBE;
    default: return -1;
  }
}

int VirtualKeyFromGlutSpecialKey(int key) {
  if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F12) return 0x70 + key - GLUT_KEY_F1;
  switch (key) {
    case GLUT_KEY_LEFT: return 0x25;
    case GLUT_KEY_UP: return 0x26;
    case GLUT_KEY_RIGHT: return 0x27;
    case GLUT_KEY_DOWN: return 0x28;
    case GLUT_KEY_PAGE_UP: return 0x21;
    case GLUT_KEY_PAGE_DOWN: return 0x22;
    case GLUT_KEY_HOME: return 0x24;
    case GLUT_KEY_END: return 0x23;
    case GLUT_KEY_INSERT: return 0x2D;
    case GLUT_KEY_SHIFT_L: case GLUT_KEY_SHIFT_R: return 0x10;
    case GLUT_KEY_CTRL_L: case GLUT_KEY_CTRL_R: return 0x11;
    case GLUT_KEY_ALT_L: case GLUT_KEY_ALT_R: return 0x12;
    default: return -1;
  }
}

void NoteGlutKey(unsigned char key, bool down) { Sys_SetKeyState(VirtualKeyFromGlutKey(key), down); }
void NoteGlutSpecialKey(int key, bool down) { Sys_SetKeyState(VirtualKeyFromGlutSpecialKey(key), down); }

void NoteGlutModifiers(int modifiers) {
  Sys_SetKeyState(0x10, (modifiers & GLUT_ACTIVE_SHIFT) != 0);
  Sys_SetKeyState(0x11, (modifiers & GLUT_ACTIVE_CTRL) != 0);
  Sys_SetKeyState(0x12, (modifiers & GLUT_ACTIVE_ALT) != 0);
}
