// The compiled-vertex-array pair (glLockArraysEXT / glUnlockArraysEXT). Loaded
// only when the driver names the extension in its extension string: Mesa hands
// out non-null entry points for any name. Without it the calls do nothing and
// arrays are drawn unlocked.
#pragma once

// Needs a current GL context. Returns true when the pair was found.
bool LoadCompiledVertexArrays();
bool HasCompiledVertexArrays();
void LockArrays(int first, int count);
void UnlockArrays();
