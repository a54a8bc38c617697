// Turns GLUT key events into the key state that key bindings poll, using the
// virtual-key numbering the key files name (letters and digits as upper-case
// ASCII, arrows 0x25-0x28, F1 0x70, Shift 0x10, Ctrl 0x11, Alt 0x12).
#pragma once

int VirtualKeyFromGlutKey(unsigned char key);
int VirtualKeyFromGlutSpecialKey(int key);
void NoteGlutKey(unsigned char key, bool down);
void NoteGlutSpecialKey(int key, bool down);
void NoteGlutModifiers(int glutModifiers);
