// Console input of growing size: one line of N bytes, then "help", polled
// frame by frame until "help" comes, beside a plain pass that reads the same
// bytes and finds their line ends. The bytes per second must stay flat as N
// grows, from a short line to lines of many megabytes.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/Startup.h"
#include "bench/frame/FrameBenchChild.h"
#include "platform/Sys.h"

namespace {

// The cut line is said once per read-through: kept from standard error.
struct cSilentMessages : cISysMessageSink {
  cSilentMessages() { Sys_SetMessageSink(this); }
  ~cSilentMessages() override { Sys_SetMessageSink(nullptr); }
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};

// The line, its end and "help".
std::string InputText(int64_t lineBytes) { return std::string((size_t)lineBytes, 'a') + "\nhelp\n"; }

// A file in memory holding them.
int InputFile(int64_t lineBytes) {
  const int fd = memfd_create("console-bench", 0);
  const std::string input = InputText(lineBytes);
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

// ---- input at the frames' rate ----------------------------------------------------
// `cat big.txt | quorvel`: one line of N bytes and "help" from a pipe a writer
// keeps full, taken by frames 60 a second, beside the same bytes in a file
// (read directly: the reference). A frame takes up to a megabyte of either, so
// both come near 60 MB/s only if the pipe's reading thread keeps a frame's
// share ready. `frames` is how many frames "help" took to come.
// On a busy machine (six threads spinning for each core, a load of about six
// a core) the pipe's reading thread and its writer wait their turns, and a
// frame finds less than its share: `frames` says how many it took then.
enum class eConsoleSource { File, Pipe, PipeOnABusyMachine };

// Threads that spin while it lives.
class cBusyMachine {
 public:
  explicit cBusyMachine(bool busy) {
    const unsigned threads = busy ? 6 * std::max(1u, std::thread::hardware_concurrency()) : 0;
    for (unsigned i = 0; i < threads; ++i)
      mSpinners.emplace_back([this] {
        while (!mStop.load(std::memory_order_relaxed)) {}
      });
  }
  ~cBusyMachine() {
    mStop = true;
    for (std::thread& spinner : mSpinners) spinner.join();
  }

 private:
  std::atomic<bool> mStop{false};
  std::vector<std::thread> mSpinners;
};

void BM_ConsoleInputAtSixtyFrames(benchmark::State& state, eConsoleSource source) {
  cSilentMessages silent;
  const cBusyMachine busy(source == eConsoleSource::PipeOnABusyMachine);
  const std::string input = InputText(state.range(0));
  const int file = source == eConsoleSource::File ? InputFile(state.range(0)) : -1;
  if (source == eConsoleSource::File && file < 0) return state.SkipWithError("no input file");
  std::string line;
  int64_t frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    int ends[2] = {-1, -1};
    if (file >= 0) {
      lseek(file, 0, SEEK_SET);
      Sys_SetStdinForTest(file);
    } else if (pipe(ends) == 0) {
      Sys_SetStdinForTest(ends[0]);
    } else {
      state.SkipWithError("no pipe");
      break;
    }
    state.ResumeTiming();
    std::thread writer;
    if (file < 0)
      writer = std::thread([&input, to = ends[1]] {
        for (size_t done = 0; done < input.size();) {
          const ssize_t wrote = write(to, input.data() + done, input.size() - done);
          if (wrote <= 0) break;
          done += (size_t)wrote;
        }
      });
    for (bool answered = false; !answered; ++frames) {
      Sys_PaceFrames(60);
      while (!answered && Sys_PollStdinLine(line)) answered = line == "help";
    }
    state.PauseTiming();
    Sys_SetStdinForTest(-1);
    if (writer.joinable()) writer.join();
    for (int fd : ends)
      if (fd >= 0) close(fd);
    state.ResumeTiming();
  }
  if (file >= 0) close(file);
  state.SetBytesProcessed(state.iterations() * (int64_t)input.size());
  state.counters["frames"] = benchmark::Counter((double)frames, benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_ConsoleInputAtSixtyFrames, file_reference, eConsoleSource::File)
    ->Arg(16 << 20)->Arg(32 << 20)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConsoleInputAtSixtyFrames, pipe, eConsoleSource::Pipe)
    ->Arg(16 << 20)->Arg(32 << 20)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConsoleInputAtSixtyFrames, pipe_on_a_busy_machine, eConsoleSource::PipeOnABusyMachine)
    ->Arg(32 << 20)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// ---- a flood of short commands, frame by frame --------------------------------
// `yes help | quorvel -civmode > out.txt`: the civ game started in a child of
// its own (start-up runs once per process), its standard input a file of
// 2 MiB of one command, its standard output a file. Each frame is the game's
// own (events, console, update, drawing); the figures are the longest frame
// and the mean over the frames, and how many commands a frame ran, beside the
// quiet game's frames (no input). Needs a display, and a process that has not
// opened it yet:
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_bench --benchmark_filter=ConsoleFlood
constexpr int kFloodFrames = 6;

struct cFloodFigures {
  double longestMs = 0, meanMs = 0, commandsPerFrame = 0;
  void Report(benchmark::State& state) const {
    state.SetIterationTime(longestMs * 1e-3);
    state.counters["longest_ms"] = longestMs;
    state.counters["mean_ms"] = meanMs;
    state.counters["commands_per_frame"] = commandsPerFrame;
  }
};

// How many times `>word` was echoed into the output file.
double EchoesIn(int fd, const char* word) {
  const std::string echo = std::string(": >") + word + "\n";
  FILE* file = fdopen(dup(fd), "r");
  if (!file) return 0;
  rewind(file);
  double count = 0;
  char* text = nullptr;
  size_t size = 0;
  for (ssize_t length; (length = getline(&text, &size, file)) > 0;)
    count += (size_t)length >= echo.size() && std::strcmp(text + length - echo.size(), echo.c_str()) == 0;
  free(text);
  fclose(file);
  return count;
}

// The civ game started with `out` as its standard output, then its standard
// input `bytes` of `word` lines (none without a word).
bool StartFloodedGame(int out, const char* word, size_t bytes, int settleFrames) {
  if (out < 0 || dup2(out, STDOUT_FILENO) < 0) return false;
  Sys_OpenStandardStreams();  // as main does first: the output looks at the new standard output
  std::vector<char*> argv = {(char*)"quorvel", (char*)"-noautopause", (char*)"-civmode", nullptr};
  if (AppStartup(3, argv.data()) != 0) return false;
  for (int i = 0; i < settleFrames; ++i) AppPumpFrame();
  const int in = memfd_create("console-flood-in", 0);
  if (in < 0) return false;
  if (word) {
    std::string lines;
    while (lines.size() < bytes) lines += std::string(word) + "\n";
    if (write(in, lines.data(), lines.size()) != (ssize_t)lines.size()) return false;
    lseek(in, 0, SEEK_SET);
  }
  Sys_SetStdinForTest(in);
  return true;
}

// The game in a child of its own, once: `run(figures)` there, reported here.
template <class Figures, class Run>
void MeasureOnce(benchmark::State& state, Run run) {
  for (auto _ : state) {
    Figures f;
    if (!MeasureGameInChild(run, f)) {
      state.SkipWithError("the game did not run (no display, or this process opened it already)");
      return;
    }
    f.Report(state);
  }
}

bool RunFlood(const char* word, cFloodFigures& figures) {
  const int out = open("/tmp", O_TMPFILE | O_RDWR, 0600);  // a file on disk, as out.txt is
  if (!StartFloodedGame(out, word, 2u << 20, 10)) return false;
  double total = 0;
  for (int i = 0; i < kFloodFrames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    AppPumpFrame();
    glFinish();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    figures.longestMs = std::max(figures.longestMs, ms);
    total += ms;
  }
  figures.meanMs = total / kFloodFrames;
  fflush(stdout);
  figures.commandsPerFrame = word ? EchoesIn(out, word) / kFloodFrames : 0;
  return true;
}

void BM_ConsoleFloodFrame(benchmark::State& state, const char* word) {
  MeasureOnce<cFloodFigures>(state, [word](cFloodFigures& mine) { return RunFlood(word, mine); });
}
BENCHMARK_CAPTURE(BM_ConsoleFloodFrame, quiet_reference, nullptr)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConsoleFloodFrame, help, "help")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConsoleFloodFrame, mode, "mode")->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- the same flood for 30 s, its output a pipe nobody reads -------------------
// `yes help | quorvel -civmode | sleep 50`: once the pipe is full, the game
// must keep drawing. The figures are the longest gap between two frames and
// the frames drawn in the 30 s, beside the same flood written to a file; the
// flood comes from a file, or from a pipe a writer keeps full.
//   xvfb-run -a -s "-screen 0 1280x1024x24" ./build/quorvel_bench --benchmark_filter=ConsoleFloodFor30s
constexpr double kFloodSeconds = 30;

struct cGapFigures {
  double longestGapMs = 0, frames = 0;
  void Report(benchmark::State& state) const {
    state.SetIterationTime(longestGapMs * 1e-3);
    state.counters["longest_gap_ms"] = longestGapMs;
    state.counters["frames"] = frames;
  }
};

// `yes help |`: a writer that never stops, into a pipe the game reads (by its
// reading thread, where a file is read directly).
bool PipeEndlessHelpIn() {
  int ends[2];
  if (pipe(ends) != 0) return false;
  std::thread([writer = ends[1]] {
    std::string lines;
    while (lines.size() < 64 * 1024) lines += "help\n";
    while (write(writer, lines.data(), lines.size()) > 0) {}
  }).detach();  // ends with the child the game runs in
  Sys_SetStdinForTest(ends[0]);
  return true;
}

enum class eFlood { ToAFile, ToAnUnreadPipe, PipedToAnUnreadPipe };

bool RunFloodFor30s(eFlood flood, cGapFigures& figures) {
  int pipeEnds[2];
  const bool unreadPipe = flood != eFlood::ToAFile;
  const int out = unreadPipe ? (pipe(pipeEnds) == 0 ? pipeEnds[1] : -1) : open("/tmp", O_TMPFILE | O_RDWR, 0600);
  if (!StartFloodedGame(out, "help", 8u << 20, 0)) return false;
  if (flood == eFlood::PipedToAnUnreadPipe && !PipeEndlessHelpIn()) return false;
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto last = start;
  while (std::chrono::duration<double>(last - start).count() < kFloodSeconds) {
    AppPumpFrame();
    glFinish();
    const auto now = Clock::now();
    const double gapMs = std::chrono::duration<double, std::milli>(now - last).count();
    figures.longestGapMs = std::max(figures.longestGapMs, gapMs);
    last = now;
    ++figures.frames;
  }
  return true;
}

void BM_ConsoleFloodFor30s(benchmark::State& state, eFlood flood) {
  MeasureOnce<cGapFigures>(state, [flood](cGapFigures& mine) { return RunFloodFor30s(flood, mine); });
}
BENCHMARK_CAPTURE(BM_ConsoleFloodFor30s, to_a_file_reference, eFlood::ToAFile)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConsoleFloodFor30s, to_an_unread_pipe, eFlood::ToAnUnreadPipe)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConsoleFloodFor30s, piped_in_to_an_unread_pipe, eFlood::PipedToAnUnreadPipe)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
