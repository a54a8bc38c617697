#include "glf/GLExtensions.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

static const char* GLText(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? (const char*)text : "";
}

// The driver description goes to standard output at start-up.
bool LoadGLExtensions() {
  printf("OpenGL Driver - \n");
  printf("Vendor: %s\n", GLText(GL_VENDOR));
  printf("Renderer: %s\n", GLText(GL_RENDERER));
  printf("Version: %s\n", GLText(GL_VERSION));
  printf("Supported Extensions: %s\n", GLText(GL_EXTENSIONS));
  fflush(stdout);
  LoadCompiledVertexArrays();
  return true;
}

namespace {
using LockArraysFn = void (*)(GLint, GLsizei);
using UnlockArraysFn = void (*)();
LockArraysFn gLockArrays = nullptr;
UnlockArraysFn gUnlockArrays = nullptr;

// Whole-word match: one extension name can be the prefix of another.
bool ExtensionListed(const char* list, const char* name) {
  if (!list) return false;
  const size_t length = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
    const bool startOk = p == list || p[-1] == ' ';
    const bool endOk = p[length] == ' ' || p[length] == '\0';
    if (startOk && endOk) return true;
  }
  return false;
}
}  // namespace

bool LoadCompiledVertexArrays() {
  gLockArrays = nullptr;
  gUnlockArrays = nullptr;
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!ExtensionListed(extensions, "GL_EXT_compiled_vertex_array")) return false;
  gLockArrays = reinterpret_cast<LockArraysFn>(glutGetProcAddress("glLockArraysEXT"));
  gUnlockArrays = reinterpret_cast<UnlockArraysFn>(glutGetProcAddress("glUnlockArraysEXT"));
  if (!gLockArrays || !gUnlockArrays) gLockArrays = nullptr, gUnlockArrays = nullptr;
  return gLockArrays != nullptr;
}

bool HasCompiledVertexArrays() { return gLockArrays != nullptr; }

void LockArrays(int first, int count) {
  if (gLockArrays) gLockArrays(first, count);
}

void UnlockArrays() {
  if (gUnlockArrays) gUnlockArrays();
}
