#include "platform/Sys.h"

#include <GL/glx.h>

void* Sys_GLGetProcAddress(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

std::string Sys_GLWindowSystemExtensions() {
  Display* display = glXGetCurrentDisplay();
  if (!display) return "";
  const char* text = glXQueryExtensionsString(display, DefaultScreen(display));
  return text ? text : "";
}
