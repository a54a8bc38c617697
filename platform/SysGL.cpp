#include "platform/Sys.h"

#include <GL/glx.h>

#include <cstring>

void* Sys_GLGetProcAddress(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

std::string Sys_GLWindowSystemExtensions() {
  Display* display = glXGetCurrentDisplay();
  if (!display) return "";
  const char* text = glXQueryExtensionsString(display, DefaultScreen(display));
  return text ? text : "";
}

bool Sys_GLIsExtensionListed(const char* list, const char* name) {
  if (!list || !*name) return false;
  const size_t length = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
    const bool startOk = p == list || p[-1] == ' ';
    const bool endOk = p[length] == ' ' || p[length] == '\0';
    if (startOk && endOk) return true;
  }
  return false;
}
