// Frame pacing: the software renderer would otherwise draw as fast as it can
// and keep several cores busy, paused or not.
#include <GL/glx.h>

#include <chrono>
#include <thread>

#include "platform/Sys.h"

namespace {
using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned);
using SwapIntervalSgi = int (*)(int);

template <class F>
F Entry(const char* name) {
  return reinterpret_cast<F>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}
}  // namespace

// Waits for the display's refresh at each buffer swap of the current window.
bool Sys_SetSwapInterval(int interval) {
  Display* display = glXGetCurrentDisplay();
  GLXDrawable drawable = glXGetCurrentDrawable();
  if (!display || !drawable) return false;
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
  if (Sys_GLIsExtensionListed(extensions, "GLX_EXT_swap_control")) {
    if (auto set = Entry<SwapIntervalExt>("glXSwapIntervalEXT")) {
      set(display, drawable, interval);
      return true;
    }
  }
  if (Sys_GLIsExtensionListed(extensions, "GLX_MESA_swap_control")) {
    if (auto set = Entry<SwapIntervalMesa>("glXSwapIntervalMESA")) return set((unsigned)interval) == 0;
  }
  if (Sys_GLIsExtensionListed(extensions, "GLX_SGI_swap_control") && interval > 0) {
    if (auto set = Entry<SwapIntervalSgi>("glXSwapIntervalSGI")) return set(interval) == 0;
  }
  return false;
}

// A display without a refresh to wait for (a virtual one, or a driver that
// ignores the swap interval) still gets no more frames than this.
void Sys_PaceFrames(int framesPerSecond) {
  using Clock = std::chrono::steady_clock;
  static Clock::time_point next = Clock::now();
  Clock::time_point now = Clock::now();
  if (now < next) std::this_thread::sleep_until(next);
  Clock::duration period = std::chrono::microseconds(1000000 / (framesPerSecond > 0 ? framesPerSecond : 60));
  next = (now < next ? next : now) + period;
}
