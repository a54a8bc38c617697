#include "modes/civ/CivEventNotice.h"

sCivEventNotice& GetCivEventNotice() {
  static sCivEventNotice notice;
  return notice;
}

void CivShowEventNotice(const Ru::Math::Vector3& point) {
  sCivEventNotice& notice = GetCivEventNotice();
  notice.point = point;
  notice.shown = true;
  notice.stopwatch.Restart();
}

bool CivEventNoticeShowing() {
  sCivEventNotice& notice = GetCivEventNotice();
  if (notice.shown && notice.stopwatch.GetElapsed() > sCivEventNotice::kShowMs) notice.shown = false;
  return notice.shown;
}
