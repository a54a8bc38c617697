// Console input of growing size: one line of N bytes, then "help", polled
// frame by frame until "help" comes, beside a plain pass that reads the same
// bytes and finds their line ends. The bytes per second must stay flat as N
// grows, from a short line to lines of many megabytes.
#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/Sys.h"

namespace {

// The cut line is said once per read-through: kept from standard error.
struct cSilentMessages : cISysMessageSink {
  cSilentMessages() { Sys_SetMessageSink(this); }
  ~cSilentMessages() override { Sys_SetMessageSink(nullptr); }
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};

// A file in memory holding the line, its end and "help".
int InputFile(int64_t lineBytes) {
  const int fd = memfd_create("console-bench", 0);
  const std::string input = std::string((size_t)lineBytes, 'a') + "\nhelp\n";
  if (fd < 0 || write(fd, input.data(), input.size()) != (ssize_t)input.size()) return -1;
  return fd;
}

void BM_ConsolePollLongLine(benchmark::State& state) {
  cSilentMessages silent;
  const int fd = InputFile(state.range(0));
  if (fd < 0) return state.SkipWithError("no input file");
  std::string line;
  int64_t frames = 0;
  for (auto _ : state) {
    lseek(fd, 0, SEEK_SET);
    Sys_SetStdinForTest(fd);
    for (bool answered = false; !answered; ++frames)
      while (!answered && Sys_PollStdinLine(line)) answered = line == "help";
  }
  Sys_SetStdinForTest(-1);
  close(fd);
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.counters["frames"] = benchmark::Counter((double)frames, benchmark::Counter::kAvgIterations);
}

// The reference: the same bytes read in the same chunks, their line ends counted.
void BM_PlainReadLongLine(benchmark::State& state) {
  const int fd = InputFile(state.range(0));
  if (fd < 0) return state.SkipWithError("no input file");
  static char chunk[64 * 1024];
  for (auto _ : state) {
    lseek(fd, 0, SEEK_SET);
    size_t ends = 0;
    for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;)
      for (const char* at = chunk; (at = (const char*)memchr(at, '\n', chunk + got - at)); ++at) ++ends;
    benchmark::DoNotOptimize(ends);
  }
  close(fd);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ConsolePollLongLine)->Arg(16)->Arg(1 << 20)->Arg(4 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainReadLongLine)->Arg(16)->Arg(1 << 20)->Arg(4 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
