// The frame pacing's schedule, run on a simulated clock (no real time): each
// frame sleeps until its deadline, wakes a little late as on a busy machine,
// then works for its time.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Sys.h"

namespace {
constexpr int64_t kPeriod = 1000000 / 60;

// Frames begun within the first `spanUs` microseconds, and the most begun in any 100 ms after the first 300 ms.
struct cPaced {
  int frames = 0, mostIn100ms = 0;
};
cPaced Simulate(const std::vector<int64_t>& work, int64_t wakeLate, int64_t spanUs) {
  int64_t now = 0, deadline = 0;
  std::vector<int64_t> starts;
  for (size_t k = 0; now < spanUs; ++k) {
    const int64_t called = now;
    if (now < deadline) now = deadline + wakeLate;
    deadline = Sys_NextFrameDeadline(deadline, called, kPeriod);
    starts.push_back(now);
    now += work[k % work.size()];
  }
  cPaced paced;
  for (int64_t start : starts) paced.frames += start < spanUs;
  for (size_t i = 0; i < starts.size(); ++i) {
    if (starts[i] < 300000) continue;
    int in = 0;
    for (size_t j = i; j < starts.size() && starts[j] < starts[i] + 100000; ++j) ++in;
    paced.mostIn100ms = std::max(paced.mostIn100ms, in);
  }
  return paced;
}
}  // namespace

TEST(FramePacing, SixtyAFrameWhereverTheFramesFitAndNoRushAfterAStall) {
  struct {
    const char* what;
    std::vector<int64_t> work;
    int64_t wakeLate;
    int fewest, most;
  } cases[] = {
      {"short frames", {4000}, 200, 59, 61},
      // Fault mended: a frame that overran reset the beat, so frames that fit
      // on average (here 15.5 ms with the late wake-ups) fell to about 50 a second.
      {"long and short frames", {20000, 9000}, 1000, 59, 61},
      {"woken 3 ms late each time", {12000}, 3000, 59, 61},
      {"frames longer than the period", {25000}, 1000, 39, 41},
  };
  for (const auto& c : cases) {
    const cPaced paced = Simulate(c.work, c.wakeLate, 1000000);
    EXPECT_GE(paced.frames, c.fewest) << c.what;
    EXPECT_LE(paced.frames, c.most) << c.what;
  }
  // One stall of 200 ms: the frames after it keep the rate (at most 7 in 100 ms), they do not rush to make it up.
  const cPaced stalled = Simulate({4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000,
                                   4000, 4000, 4000, 4000, 4000, 200000},
                                  200, 1000000);
  EXPECT_LE(stalled.mostIn100ms, 7);
}
