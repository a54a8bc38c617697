#include "platform/Sys.h"

#include <GL/glx.h>
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#include <vector>

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

// Mesa loads its driver (swrast_dri.so, iris_dri.so, ...) with the first
// context and unloads it when freeglut closes the display at exit, before the
// leak check runs: what the driver never freed then shows with frames in no
// module, which no suppression can name. Opening the loaded driver once more,
// never to be closed, keeps it mapped to the end of the process.
void Sys_KeepGLDriverLoaded() {
  std::vector<std::string> drivers;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* found) {
        const std::string name = info->dlpi_name ? info->dlpi_name : "";
        const std::string suffix = "_dri.so";
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
          static_cast<std::vector<std::string>*>(found)->push_back(name);
        return 0;
      },
      &drivers);
  // Not from inside the walk, which holds the loader's lock.
  for (const std::string& driver : drivers) dlopen(driver.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}
