#include "glf/GLExtensions.h"

#include <GL/gl.h>

#include <cstdio>

static const char* GLText(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? (const char*)text : "";
}

// The driver description goes to standard output at start-up. The entry-point
// table of optional extensions is filled by the drawing code that uses it.
bool LoadGLExtensions() {
  printf("OpenGL Driver - \n");
  printf("Vendor: %s\n", GLText(GL_VENDOR));
  printf("Renderer: %s\n", GLText(GL_RENDERER));
  printf("Version: %s\n", GLText(GL_VERSION));
  printf("Supported Extensions: %s\n", GLText(GL_EXTENSIONS));
  fflush(stdout);
  return true;
}
