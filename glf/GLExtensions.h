// OpenGL driver description and the optional extension entry points. An
// entry point is loaded only when the driver names its extension in the
// extension string: Mesa hands out non-null pointers for any name. Without it
// the forwarding calls do nothing (arrays are then drawn unlocked).
#pragma once

bool LoadGLExtensions();          // needs a current context; prints the driver description
bool LoadCompiledVertexArrays();  // part of LoadGLExtensions; true when the pair was found
bool HasCompiledVertexArrays();
void LockArrays(int first, int count);  // glLockArraysEXT when loaded
void UnlockArrays();                    // glUnlockArraysEXT when loaded
