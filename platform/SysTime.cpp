#include "platform/Sys.h"

#include <atomic>
#include <chrono>
#include <thread>

static uint32_t RealClock() {
  using namespace std::chrono;
  return (uint32_t)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

static uint32_t (*gSysClock)() = RealClock;

uint32_t Sys_Milliseconds() { return gSysClock(); }
void Sys_SetClockForTest(uint32_t (*clock)()) { gSysClock = clock ? clock : RealClock; }
void Sys_SleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

static uint32_t RealCalendar() {
  using namespace std::chrono;
  return (uint32_t)duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

static uint32_t (*gSysCalendar)() = RealCalendar;

uint32_t Sys_CalendarSeconds() { return gSysCalendar(); }
void Sys_SetCalendarForTest(uint32_t (*calendar)()) { gSysCalendar = calendar ? calendar : RealCalendar; }

// Any layer may ask; the frame loop takes the request once per frame.
static std::atomic<bool> gRedrawRequested{true};
void Sys_RequestRedraw() { gRedrawRequested.store(true, std::memory_order_relaxed); }
bool Sys_TakeRedrawRequest() { return gRedrawRequested.exchange(false, std::memory_order_relaxed); }
