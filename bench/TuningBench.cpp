// Reading tuning files of growing size, beside a plain pass over the same
// text: a file of N keys, and a file whose one attribute is N bytes long. The
// time per key and per byte must stay flat as N grows.
#include <benchmark/benchmark.h>

#include <string>

#include "sim/tuning/TuningData.h"

namespace {

class cBenchTuningSet : public cTuningData {
 public:
  cBenchTuningSet() : cTuningData("/nonexistent/") {}
  void ApplyConstants() override {}
};

std::string ManyKeys(int64_t count) {
  std::string text = "<tuning>\n";
  for (int64_t i = 0; i < count; ++i) text += "<int name=\"key" + std::to_string(i) + "\" data=\"1\"/>\n";
  return text + "</tuning>\n";
}

std::string OneLongAttribute(int64_t bytes) {
  return "<tuning>\n<string name=\"long\" data=\"" + std::string((size_t)bytes, 'x') + "\"/>\n</tuning>\n";
}

void Parse(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    cBenchTuningSet set;
    set.ParseText(text.data(), text.size(), "bench.xml");
    benchmark::DoNotOptimize(set.Constants().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The reference: one pass over the same bytes.
void PlainPass(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    size_t quotes = 0;
    for (char c : text) quotes += c == '"';
    benchmark::DoNotOptimize(quotes);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_TuningManyKeys(benchmark::State& state) { Parse(state, ManyKeys(state.range(0))); }
void BM_PlainPassManyKeys(benchmark::State& state) { PlainPass(state, ManyKeys(state.range(0))); }
void BM_TuningLongAttribute(benchmark::State& state) { Parse(state, OneLongAttribute(state.range(0))); }
void BM_PlainPassLongAttribute(benchmark::State& state) { PlainPass(state, OneLongAttribute(state.range(0))); }

BENCHMARK(BM_TuningManyKeys)->RangeMultiplier(10)->Range(100, 100000);
BENCHMARK(BM_PlainPassManyKeys)->RangeMultiplier(10)->Range(100, 100000);
BENCHMARK(BM_TuningLongAttribute)->RangeMultiplier(10)->Range(1000, 10000000);
BENCHMARK(BM_PlainPassLongAttribute)->RangeMultiplier(10)->Range(1000, 10000000);

}  // namespace
