#include "modes/civ/CivEventNotice.h"

#include "app/GameClock.h"

namespace {
constexpr uint32_t kShownMs = 5000;

struct sNotice {
  Ru::Math::Vector3 point{0, 0, 0};
  bool shown = false;
  cGameStopwatch stopwatch;
};
sNotice& Notice() {
  static sNotice* notice = new sNotice();
  return *notice;
}
}  // namespace

void CivShowEventNotice(const Ru::Math::Vector3& point) {
  Notice().point = point;
  Notice().shown = true;
  Notice().stopwatch.Restart();
}

bool IsCivEventNoticeShown() {
  sNotice& notice = Notice();
  if (notice.shown && notice.stopwatch.GetElapsed() > kShownMs) notice.shown = false;
  return notice.shown;
}

const Ru::Math::Vector3& GetCivEventNoticePoint() { return Notice().point; }
void HideCivEventNotice() { Notice().shown = false; }
