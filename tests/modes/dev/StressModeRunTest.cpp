// Ten minutes of the stress mode (50 ms frames, a click every 50 s, the
// automatic camera on) on the generated terrain: every position stays finite
// and two runs from one seed go exactly alike.
#include <cmath>

#include "camera/Camera.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "tests/modes/dev/StressModeSupport.h"
#include "tests/support/RunDigest.h"

class StressModeRunTest : public cStressWorldTest {
 protected:
  uint64_t TenMinutes() {
    Sys_SeedRandom(2026);
    const float anchor[3] = {0.0f, 0.0f, 510.0f}, frame[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    SetCameraAnchorFrame(anchor, frame);
    SetCameraTargetAngles(0.0f, 20.0f, 750.0f);
    StartStressVisit();
    cPelsGameMode mode;
    sRunDigest digest;
    for (int frameNumber = 1; frameNumber <= 10 * 60 * 20; ++frameNumber) {
      if (frameNumber % 1000 == 0) mode.OnLeftButtonDown(0, 0);
      mode.Update(50);
      UpdateCameraFrame();
      if (frameNumber % 100) continue;
      for (const cStressWalker& walker : GetStressWalkers()) {
        const Ru::Math::Vector3& p = walker.object->GetPosition();
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << "frame " << frameNumber;
        for (float value : {p.x, p.y, p.z}) digest.Mix(value);
      }
      for (int i = 0; i < 3; ++i) digest.Mix(GetCameraAnchor()[i]);
      if (HasFailure()) break;
    }
    DeleteStressWalkers();
    return digest.value;
  }
};

TEST_F(StressModeRunTest, TenMinutesStayFiniteAndRepeatWithTheSameSeed) {
  UseGeneratedTerrain();
  const uint64_t first = TenMinutes();
  EXPECT_EQ(TenMinutes(), first);
  EXPECT_TRUE(GetStressWalkers().empty());
}
