// The driver's own prototypes, to check each forwarder's signature against.
#define GL_GLEXT_PROTOTYPES 1
#include "glf/GLExtensions.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <type_traits>

#include "glf/SqrtTable.h"
#include "platform/Sys.h"

namespace {

enum eEntry {
#define QV_GL_ENTRY(extension, result, name, parameters, arguments) kEntry_##name,
#include "glf/GLEntryPoints.inc"
#undef QV_GL_ENTRY
  kEntryCount
};

struct cEntryPoint {
  const char* name;
  const char* extension;
  void* address;
};

cEntryPoint gEntryPoints[] = {
#define QV_GL_ENTRY(extension, result, name, parameters, arguments) {#name, #extension, nullptr},
#include "glf/GLEntryPoints.inc"
#undef QV_GL_ENTRY
};
static_assert(kEntryCount == 104);

const char* GLText(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

static uint32_t gGLContextGeneration = 1;
uint32_t GetGLContextGeneration() { return gGLContextGeneration; }
void NoteNewGLContext() { ++gGLContextGeneration; }

int LoadGLEntryPoints(const char* extensionList) {
  NoteNewGLContext();
  int loaded = 0;
  for (cEntryPoint& entry : gEntryPoints) {
    entry.address = IsExtensionListed(extensionList, entry.extension) ? Sys_GLGetProcAddress(entry.name) : nullptr;
    if (entry.address) ++loaded;
  }
  return loaded;
}

bool IsGLEntryPointLoaded(const char* name) {
  for (const cEntryPoint& entry : gEntryPoints)
    if (std::strcmp(entry.name, name) == 0) return entry.address != nullptr;
  return false;
}

int LoadGLExtensions() {
  std::string driver = std::string("OpenGL Driver - \nVendor: ") + GLText(GL_VENDOR) + "\nRenderer: " +
                       GLText(GL_RENDERER) + "\nVersion: " + GLText(GL_VERSION) +
                       "\nSupported Extensions: " + GLText(GL_EXTENSIONS) + "\n";
  const std::string windowSystem = Sys_GLWindowSystemExtensions();
  if (!windowSystem.empty()) driver += "\nSupported Windows Extensions: " + windowSystem + "\n\n";
  Sys_Write(SysStream::Out, driver.data(), driver.size());
  LoadGLEntryPoints(GLText(GL_EXTENSIONS));
  return InitSqrtTables();
}

std::string FindMissingGLExtensions(const std::string& names) {
  std::istringstream words(names);
  std::string missing, name;
  while (words >> name)
    if (!glutExtensionSupported(name.c_str())) missing += name + " ";
  return missing;
}

namespace nGLExt {
// Each forwarder must keep the public header's signature exactly.
#define QV_GL_ENTRY(extension, result, name, parameters, arguments)                                  \
  result name parameters {                                                                         \
    using tFunction = result(APIENTRYP) parameters;                                                \
    if (void* entryPoint_ = gEntryPoints[kEntry_##name].address)                                   \
      return reinterpret_cast<tFunction>(entryPoint_) arguments;                                   \
    return result();                                                                               \
  }
#include "glf/GLEntryPoints.inc"
#undef QV_GL_ENTRY

#define QV_GL_ENTRY(extension, result, name, parameters, arguments) \
  static_assert(std::is_same_v<decltype(&nGLExt::name), decltype(&::name)>);
#include "glf/GLEntryPoints.inc"
#undef QV_GL_ENTRY
}  // namespace nGLExt
