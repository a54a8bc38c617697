// Key state that stands for GetAsyncKeyState, in Windows virtual-key codes (the
// codes the key files name). The GLUT key callbacks feed it; every code stands
// for the X keysyms of its key, through which GLUT's characters and special
// keys find their codes.
#include <GL/freeglut.h>
#include <X11/XF86keysym.h>
#define XK_3270  // the 3270 terminal keys (ATTN, CRSEL, EXSEL, EREOF, PLAY, PA1)
#include <X11/keysym.h>

#include <array>

#include "platform/Sys.h"
#include "platform/X11Query.h"

namespace {

std::array<bool, 256> gKeyDown{};
std::array<bool, 256> gKeyPressed{};  // went down since the bindings last read it: a tap shorter than a frame still counts

struct cVirtualKey {
  int code;
  KeySym keysyms[2];  // the key's X names; 0 ends the list
};

// Every bindable code that a keyboard key stands behind; the mouse buttons
// (0x01, 0x02, 0x04) come from the mouse callbacks instead. Codes without an X
// key (ACCEPT, PRINT, OEM_8, PROCESSKEY, ZOOM, NONAME, OEM_CLEAR) are absent.
constexpr cVirtualKey kKeys[] = {
    {0x03, {XK_Break}}, {0x08, {XK_BackSpace}}, {0x09, {XK_Tab, XK_ISO_Left_Tab}},
    {0x0C, {XK_Clear, XK_Begin}}, {0x0D, {XK_Return, XK_KP_Enter}},
    {0x10, {XK_Shift_L, XK_Shift_R}}, {0x11, {XK_Control_L, XK_Control_R}}, {0x12, {XK_Alt_L, XK_Alt_R}},
    {0x13, {XK_Pause}}, {0x14, {XK_Caps_Lock}}, {0x15, {XK_Hangul, XK_Kana_Lock}}, {0x17, {XK_Hangul_Jeonja}},
    {0x18, {XK_Hangul_End}}, {0x19, {XK_Hangul_Hanja, XK_Kanji}}, {0x1B, {XK_Escape}}, {0x1C, {XK_Henkan}},
    {0x1D, {XK_Muhenkan}}, {0x1F, {XK_Mode_switch}}, {0x20, {XK_space}}, {0x21, {XK_Prior}}, {0x22, {XK_Next}},
    {0x23, {XK_End}}, {0x24, {XK_Home}}, {0x25, {XK_Left}}, {0x26, {XK_Up}}, {0x27, {XK_Right}}, {0x28, {XK_Down}},
    {0x29, {XK_Select}}, {0x2B, {XK_Execute}}, {0x2C, {XK_Print}}, {0x2D, {XK_Insert}}, {0x2E, {XK_Delete}},
    {0x2F, {XK_Help}},
    {0x30, {XK_0}}, {0x31, {XK_1}}, {0x32, {XK_2}}, {0x33, {XK_3}}, {0x34, {XK_4}},
    {0x35, {XK_5}}, {0x36, {XK_6}}, {0x37, {XK_7}}, {0x38, {XK_8}}, {0x39, {XK_9}},
    {0x41, {XK_a}}, {0x42, {XK_b}}, {0x43, {XK_c}}, {0x44, {XK_d}}, {0x45, {XK_e}}, {0x46, {XK_f}},
    {0x47, {XK_g}}, {0x48, {XK_h}}, {0x49, {XK_i}}, {0x4A, {XK_j}}, {0x4B, {XK_k}}, {0x4C, {XK_l}},
    {0x4D, {XK_m}}, {0x4E, {XK_n}}, {0x4F, {XK_o}}, {0x50, {XK_p}}, {0x51, {XK_q}}, {0x52, {XK_r}},
    {0x53, {XK_s}}, {0x54, {XK_t}}, {0x55, {XK_u}}, {0x56, {XK_v}}, {0x57, {XK_w}}, {0x58, {XK_x}},
    {0x59, {XK_y}}, {0x5A, {XK_z}},
    {0x5B, {XK_Super_L}}, {0x5C, {XK_Super_R}}, {0x5D, {XK_Menu}}, {0x5F, {XF86XK_Sleep}},
    {0x60, {XK_KP_0, XK_KP_Insert}}, {0x61, {XK_KP_1, XK_KP_End}}, {0x62, {XK_KP_2, XK_KP_Down}},
    {0x63, {XK_KP_3, XK_KP_Next}}, {0x64, {XK_KP_4, XK_KP_Left}}, {0x65, {XK_KP_5, XK_KP_Begin}},
    {0x66, {XK_KP_6, XK_KP_Right}}, {0x67, {XK_KP_7, XK_KP_Home}}, {0x68, {XK_KP_8, XK_KP_Up}},
    {0x69, {XK_KP_9, XK_KP_Prior}}, {0x6A, {XK_KP_Multiply}}, {0x6B, {XK_KP_Add}}, {0x6C, {XK_KP_Separator}},
    {0x6D, {XK_KP_Subtract}}, {0x6E, {XK_KP_Decimal, XK_KP_Delete}}, {0x6F, {XK_KP_Divide}},
    {0x70, {XK_F1}}, {0x71, {XK_F2}}, {0x72, {XK_F3}}, {0x73, {XK_F4}}, {0x74, {XK_F5}}, {0x75, {XK_F6}},
    {0x76, {XK_F7}}, {0x77, {XK_F8}}, {0x78, {XK_F9}}, {0x79, {XK_F10}}, {0x7A, {XK_F11}}, {0x7B, {XK_F12}},
    {0x7C, {XK_F13}}, {0x7D, {XK_F14}}, {0x7E, {XK_F15}}, {0x7F, {XK_F16}}, {0x80, {XK_F17}}, {0x81, {XK_F18}},
    {0x82, {XK_F19}}, {0x83, {XK_F20}}, {0x84, {XK_F21}}, {0x85, {XK_F22}}, {0x86, {XK_F23}}, {0x87, {XK_F24}},
    {0x90, {XK_Num_Lock}}, {0x91, {XK_Scroll_Lock}}, {0xA0, {XK_Shift_L}}, {0xA1, {XK_Shift_R}},
    {0xA2, {XK_Control_L}}, {0xA3, {XK_Control_R}}, {0xA4, {XK_Alt_L}}, {0xA5, {XK_Alt_R, XK_ISO_Level3_Shift}},
    {0xBA, {XK_semicolon}}, {0xBB, {XK_equal}}, {0xBC, {XK_comma}}, {0xBD, {XK_minus}}, {0xBE, {XK_period}},
    {0xBF, {XK_slash}}, {0xC0, {XK_grave}}, {0xDB, {XK_bracketleft}}, {0xDC, {XK_backslash}},
    {0xDD, {XK_bracketright}}, {0xDE, {XK_apostrophe}}, {0xE2, {XK_less}},
    {0xF6, {XK_3270_Attn}}, {0xF7, {XK_3270_CursorSelect}}, {0xF8, {XK_3270_ExSelect}},
    {0xF9, {XK_3270_EraseEOF}}, {0xFA, {XK_3270_Play}}, {0xFD, {XK_3270_PA1}},
};

// The specific code of a keysym; the generic Shift, Ctrl and Alt codes follow
// their left and right keys (see SetModifierSide).
int VirtualKeyOfKeysym(KeySym keysym) {
  for (const cVirtualKey& key : kKeys) {
    if (key.code >= 0x10 && key.code <= 0x12) continue;
    for (KeySym name : key.keysyms)
      if (name && name == keysym) return key.code;
  }
  return -1;
}

// GLUT hands over the character a key made, not the key: a shifted symbol is
// traced back to its key as the US layout places it ('!' is the 1 key, '<' the
// comma key), so a key pressed with Shift and released without it is one key.
KeySym UnshiftedKeysym(KeySym keysym) {
  static const char shifted[] = "!@#$%^&*()_+{}|:\"<>?~";
  static const char plain[] = "1234567890-=[]\\;',./`";
  for (int i = 0; shifted[i]; ++i)
    if ((KeySym)(unsigned char)shifted[i] == keysym) return (unsigned char)plain[i];
  if (keysym >= XK_A && keysym <= XK_Z) return keysym - XK_A + XK_a;
  return keysym;
}

KeySym KeysymOfGlutCharacter(unsigned char key) {
  switch (key) {
    case 8: return XK_BackSpace;
    case 9: return XK_Tab;
    case 13: return XK_Return;
    case 27: return XK_Escape;
    case 127: return XK_Delete;
    default: break;
  }
  if (key >= 1 && key <= 26) return XK_a + key - 1;  // Ctrl+letter
  if (key < 32) return NoSymbol;
  return key;  // Latin-1 characters are their own keysyms
}

KeySym KeysymOfGlutSpecialKey(int key) {
  if (key >= GLUT_KEY_F1 && key <= GLUT_KEY_F12) return XK_F1 + (key - GLUT_KEY_F1);
  switch (key) {
    case GLUT_KEY_LEFT: return XK_Left;
    case GLUT_KEY_UP: return XK_Up;
    case GLUT_KEY_RIGHT: return XK_Right;
    case GLUT_KEY_DOWN: return XK_Down;
    case GLUT_KEY_PAGE_UP: return XK_Prior;
    case GLUT_KEY_PAGE_DOWN: return XK_Next;
    case GLUT_KEY_HOME: return XK_Home;
    case GLUT_KEY_END: return XK_End;
    case GLUT_KEY_INSERT: return XK_Insert;
    case GLUT_KEY_NUM_LOCK: return XK_Num_Lock;
    case GLUT_KEY_BEGIN: return XK_Begin;
    case GLUT_KEY_DELETE: return XK_Delete;
    case GLUT_KEY_SHIFT_L: return XK_Shift_L;
    case GLUT_KEY_SHIFT_R: return XK_Shift_R;
    case GLUT_KEY_CTRL_L: return XK_Control_L;
    case GLUT_KEY_CTRL_R: return XK_Control_R;
    case GLUT_KEY_ALT_L: return XK_Alt_L;
    case GLUT_KEY_ALT_R: return XK_Alt_R;
    case GLUT_KEY_SUPER_L: return XK_Super_L;
    case GLUT_KEY_SUPER_R: return XK_Super_R;
    default: return NoSymbol;
  }
}

// Shift, Ctrl and Alt each have a left code, a right code and a generic one that
// is down while either side is.
void SetModifierSide(int code, bool down) {
  Sys_SetKeyState(code, down);
  int left = code & ~1;
  int generic = 0x10 + (code - 0xA0) / 2;
  gKeyDown[generic] = gKeyDown[left] || gKeyDown[left + 1];
}

void SetKeyOfKeysym(KeySym keysym, bool down) {
  int code = VirtualKeyOfKeysym(keysym);
  if (code >= 0xA0 && code <= 0xA5) SetModifierSide(code, down);
  else Sys_SetKeyState(code, down);
}

// GLUT tells which modifiers were held before the event: a modifier released
// while another window had the keyboard is noticed at the next key.
void SyncModifiers(int glutModifiers) {
  const int masks[3] = {GLUT_ACTIVE_SHIFT, GLUT_ACTIVE_CTRL, GLUT_ACTIVE_ALT};
  for (int i = 0; i < 3; ++i) {
    if (glutModifiers & masks[i]) {
      if (!gKeyDown[0x10 + i]) gKeyDown[0x10 + i] = true;
    } else {
      gKeyDown[0x10 + i] = gKeyDown[0xA0 + 2 * i] = gKeyDown[0xA1 + 2 * i] = false;
    }
  }
}

}  // namespace

void Sys_SetKeyState(int key, bool down) {
  if (key < 0 || key >= (int)gKeyDown.size()) return;
  if (down && !gKeyDown[key]) gKeyPressed[key] = true;
  gKeyDown[key] = down;
}
bool Sys_IsKeyDown(int key) { return key >= 0 && key < (int)gKeyDown.size() && gKeyDown[key]; }
bool Sys_WasKeyPressed(int key) { return key >= 0 && key < (int)gKeyPressed.size() && gKeyPressed[key]; }
void Sys_ForgetKeyPress(int key) {
  if (key >= 0 && key < (int)gKeyPressed.size()) gKeyPressed[key] = false;
}
void Sys_ForgetKeyPresses() { gKeyPressed.fill(false); }
bool Sys_AnyKeyDown() {
  for (size_t i = 0; i < gKeyDown.size(); ++i)
    if (gKeyDown[i] || gKeyPressed[i]) return true;
  return false;
}
void Sys_ClearKeyStates() {
  gKeyDown.fill(false);
  gKeyPressed.fill(false);
}

uint32_t Sys_KeysymOfVirtualKey(int key) {
  for (const cVirtualKey& entry : kKeys)
    if (entry.code == key) return (uint32_t)entry.keysyms[0];
  return 0;
}

void Sys_NoteGlutKey(unsigned char key, bool down, int glutModifiers) {
  SyncModifiers(glutModifiers);
  KeySym keysym = KeysymOfGlutCharacter(key);
  if (keysym != NoSymbol) SetKeyOfKeysym(UnshiftedKeysym(keysym), down);
}

void Sys_NoteGlutSpecialKey(int key, bool down, int glutModifiers) {
  SyncModifiers(glutModifiers);
  KeySym keysym = KeysymOfGlutSpecialKey(key);
  if (keysym != NoSymbol) SetKeyOfKeysym(keysym, down);
}

bool Sys_MouseButtonsSwapped() {
  Display* display = X11QueryDisplay();
  if (!display) return false;
  unsigned char map[8] = {};
  int count = XGetPointerMapping(display, map, 8);
  return count >= 3 && map[0] == 3 && map[2] == 1;
}
