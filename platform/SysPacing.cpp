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
  static const Clock::time_point start = Clock::now();
  static int64_t deadline = 0;  // microseconds since start
  const int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  if (now < deadline) std::this_thread::sleep_until(start + std::chrono::microseconds(deadline));
  deadline = Sys_NextFrameDeadline(deadline, now, 1000000 / (framesPerSecond > 0 ? framesPerSecond : 60));
}

// The schedule keeps its own beat: a frame that starts late (a long frame, or
// a sleep that woke late on a busy machine) is made up by the next sleeping
// less, so 60 frames fit in a second whenever the frames themselves fit. Only
// a frame later than a whole period drops the backlog, so frames never rush.
int64_t Sys_NextFrameDeadline(int64_t deadline, int64_t now, int64_t period) {
  const int64_t next = deadline + period;
  return next < now ? now : next;
}
