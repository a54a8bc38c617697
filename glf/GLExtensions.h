// OpenGL extension entry points, loaded once the main window's context exists.
// An entry point is trusted only when the driver's extension string names its
// extension: Mesa hands out non-null pointers for any name. Every entry point
// has a forwarding function of the same name in nGLExt (Mesa's libGL exports
// the same names itself); a forwarder whose entry point is missing does
// nothing, and the two with a result return false.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>

#include "platform/Sys.h"

// Prints the driver description, loads every entry point, builds the
// square-root table; returns the table's InitSqrtTables result.
int LoadGLExtensions();

// Fills the entry-point table from an extension list (blank-separated names);
// returns how many entry points were loaded. An empty list empties the table.
int LoadGLEntryPoints(const char* extensionList);
bool IsGLEntryPointLoaded(const char* name);

// GL objects (textures, buffers) belong to the context they were made in. The
// count goes up whenever a new context takes over (loading the entry points
// counts as that; so does a test window made anew): an object made under an
// older count is made again rather than drawn from a name the new context
// does not know, or knows as something else.
uint32_t GetGLContextGeneration();
void NoteNewGLContext();
inline bool IsExtensionListed(const char* list, const char* name) { return Sys_GLIsExtensionListed(list, name); }

// The names GLUT reports unsupported, each followed by one blank, in order.
std::string FindMissingGLExtensions(const std::string& names);

namespace nGLExt {
#define QV_GL_ENTRY(extension, result, name, parameters, arguments) result name parameters;
#include "glf/GLEntryPoints.inc"
#undef QV_GL_ENTRY
}  // namespace nGLExt
