// The game window's wrap of a message: one word of N bytes (a script's long
// token) beside ordinary text of the same length, words and blanks, in the
// game's font (its average width, without a display). Per byte the word must
// cost about what the text costs, and both must stay flat as N grows.
#include <benchmark/benchmark.h>

#include <string>

#include "glf/MessageBoard.h"
#include "glf/Overlay2D.h"

namespace {

constexpr int kTextWidth = cGLFMessageBoard::kMaxWidth - 2 * cGLFMessageBoard::kPadding;

std::string OneWord(int64_t bytes) { return std::string((size_t)bytes, 'x'); }

std::string OrdinaryText(int64_t bytes) {
  const std::string sentence = "Failed to load avatar_motives.txt: the file ends in a comment. ";
  std::string text;
  while ((int64_t)text.size() < bytes) text += sentence;
  text.resize((size_t)bytes);
  return text;
}

void Wrap(benchmark::State& state, const std::string& text) {
  size_t lines = 0;
  for (auto _ : state) {
    lines = WrapText2D(GLFDefaultFont(), text, kTextWidth).size();
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.counters["lines"] = (double)lines;
}

void BM_WrapOneWord(benchmark::State& state) { Wrap(state, OneWord(state.range(0))); }
void BM_WrapOrdinaryText(benchmark::State& state) { Wrap(state, OrdinaryText(state.range(0))); }

}  // namespace

BENCHMARK(BM_WrapOneWord)->RangeMultiplier(16)->Range(4 << 10, 1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapOrdinaryText)->RangeMultiplier(16)->Range(4 << 10, 1 << 20)->Unit(benchmark::kMillisecond);
