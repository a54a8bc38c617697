// The formulas the Rovurozoviz benchmarks run, written naturally in each
// language, and the host side of one evaluation in Rovurozoviz and in Lua.
// Included by rovurozoviz_bench.cpp (beside Lua 5.4) and by the LuaJIT
// benchmark (luajit/rovurozoviz_luajit_bench.cpp); the Lua half uses only the
// C API common to Lua 5.1 and 5.4, so include the chosen Lua's headers first.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "sim/rovurozoviz/RovurozovizProgram.h"

// A camera script: ~15 inputs in, 7 outputs read back every evaluation.
inline const char* kCameraRovurozoviz = R"(
# zoom with the wheel, within limits
if (direction > 0) distance = distance * 0.9 endif
if (direction < 0) distance = distance * 1.1 endif
if (distance < 5) distance = 5 endif
if (distance > 400) distance = 400 endif
min_pitch = 10 + in_combat * 5
max_pitch = 60 + distance / 10
if (max_pitch > 85) max_pitch = 85 endif
pitch = pitch + mouse_move_y * 30
anchor_delta_x = 0
anchor_delta_y = 0
if (edge_distance_x < 10) anchor_delta_x = (10 - edge_distance_x) * distance / 100 endif
if (edge_distance_y < 10) anchor_delta_y = (10 - edge_distance_y) * distance / 100 endif
yaw = yaw + mouse_move_x * 90 + avatar_speed * 0.1 + default_distance * 0
)";

inline const char* kCameraLua = R"(
-- zoom with the wheel, within limits
if direction > 0 then distance = distance * 0.9 end
if direction < 0 then distance = distance * 1.1 end
if distance < 5 then distance = 5 end
if distance > 400 then distance = 400 end
min_pitch = 10 + in_combat * 5
max_pitch = 60 + distance / 10
if max_pitch > 85 then max_pitch = 85 end
pitch = pitch + mouse_move_y * 30
anchor_delta_x = 0
anchor_delta_y = 0
if edge_distance_x < 10 then anchor_delta_x = (10 - edge_distance_x) * distance / 100 end
if edge_distance_y < 10 then anchor_delta_y = (10 - edge_distance_y) * distance / 100 end
yaw = yaw + mouse_move_x * 90 + avatar_speed * 0.1 + default_distance * 0
)";

inline const char* const kCameraInputs[15] = {
    "default_distance", "distance",       "pitch",          "yaw",          "direction",
    "min_pitch",        "max_pitch",      "edge_distance_x", "edge_distance_y", "avatar_speed",
    "anchor_delta_x",   "anchor_delta_y", "mouse_move_x",   "mouse_move_y", "in_combat"};
inline const char* const kCameraOutputs[7] = {"distance", "pitch", "yaw", "min_pitch", "max_pitch",
                                              "anchor_delta_x", "anchor_delta_y"};

// The inputs of evaluation n: they vary so no branch is always taken.
inline float CameraInput(int which, unsigned n) {
  static const float kBase[15] = {50, 50, 45, 10, 0, 0, 90, 300, 5, 2, 0, 0, 0.01f, -0.02f, 0};
  float v = kBase[which];
  if (which == 4) v = float(int(n % 3) - 1);            // wheel direction -1, 0, 1
  if (which == 7 || which == 8) v = float((n * 7 + unsigned(which)) % 20);  // edge distances
  return v;
}

// An arithmetic loop with branches: 20 steps.
inline const char* kLoopRovurozoviz = R"(
i = 0
acc = start
loop:
  if (i < 10) acc = acc + i * scale else acc = acc - i / scale endif
  i = i + 1
  if (i < 20) goto loop endif
result = acc
)";

inline const char* kLoopLua = R"(
local acc = start
for i = 0, 19 do
  if i < 10 then acc = acc + i * scale else acc = acc - i / scale end
end
result = acc
)";

// ---- Rovurozoviz host side ----------------------------------------------------

struct cRovurozovizBenchHost {
  cRovurozovizProgram camera, loop;
  cRovurozovizBenchHost() {
    if (!camera.Compile(kCameraRovurozoviz) || !loop.Compile(kLoopRovurozoviz)) {
      fprintf(stderr, "benchmark scripts do not compile\n");
      abort();
    }
  }
  float Camera(unsigned n) {
    for (int i = 0; i < 15; ++i) camera.SetVariable(kCameraInputs[i], CameraInput(i, n));
    camera.Run();
    float sum = 0;
    for (const char* name : kCameraOutputs) sum += camera.GetVariable(name);
    return sum;
  }
  float Loop(unsigned n) {
    loop.SetVariable("start", float(n & 15));
    loop.SetVariable("scale", 1.5f);
    loop.Run();
    return loop.GetVariable("result");
  }
};

// ---- Lua host side (5.1 / LuaJIT or 5.4) -----------------------------------------

struct cLuaBenchHost {
  lua_State* L;
  int cameraRef, loopRef;
  cLuaBenchHost() {
    L = luaL_newstate();
    luaL_openlibs(L);
    cameraRef = Compile(kCameraLua);
    loopRef = Compile(kLoopLua);
  }
  ~cLuaBenchHost() { lua_close(L); }
  int Compile(const char* text) {
    if (luaL_loadstring(L, text) != 0) {
      fprintf(stderr, "lua: %s\n", lua_tostring(L, -1));
      abort();
    }
    return luaL_ref(L, LUA_REGISTRYINDEX);
  }
  void Call(int ref) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, ref);
    if (lua_pcall(L, 0, 0, 0) != 0) {
      fprintf(stderr, "lua: %s\n", lua_tostring(L, -1));
      abort();
    }
  }
  void Set(const char* name, float value) {
    lua_pushnumber(L, value);
    lua_setglobal(L, name);
  }
  float Get(const char* name) {
    lua_getglobal(L, name);
    float value = float(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return value;
  }
  float Camera(unsigned n) {
    for (int i = 0; i < 15; ++i) Set(kCameraInputs[i], CameraInput(i, n));
    Call(cameraRef);
    float sum = 0;
    for (const char* name : kCameraOutputs) sum += Get(name);
    return sum;
  }
  float Loop(unsigned n) {
    Set("start", float(n & 15));
    Set("scale", 1.5f);
    Call(loopRef);
    return Get("result");
  }
};

// Runs both hosts alternately in the same benchmark and reports ns per
// evaluation of each and the ratio, so the comparison never spans two runs.
template <typename Evaluate>
inline void CompareHosts(benchmark::State& state, const char* otherName, Evaluate evaluate) {
  using Clock = std::chrono::steady_clock;
  double oursNs = 0, theirsNs = 0;
  unsigned n = 0;
  const unsigned kBatch = 256;
  float sink = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (unsigned i = 0; i < kBatch; ++i) sink += evaluate(true, n + i);
    auto t1 = Clock::now();
    for (unsigned i = 0; i < kBatch; ++i) sink += evaluate(false, n + i);
    auto t2 = Clock::now();
    oursNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
    theirsNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
    n += kBatch;
  }
  benchmark::DoNotOptimize(sink);
  double evaluations = double(n);
  state.counters["rovurozoviz_ns"] = oursNs / evaluations;
  state.counters[std::string(otherName) + "_ns"] = theirsNs / evaluations;
  state.counters["ratio"] = oursNs / theirsNs;
}

#define ROVUROZOVIZ_LUA_BENCHMARKS(Lang)                                                           \
  static void BM_Rovurozoviz_Camera(benchmark::State& state) {                                     \
    cRovurozovizBenchHost host;                                                                    \
    unsigned n = 0;                                                                                \
    for (auto _ : state) benchmark::DoNotOptimize(host.Camera(n++));                               \
  }                                                                                                \
  static void BM_##Lang##_Camera(benchmark::State& state) {                                        \
    cLuaBenchHost host;                                                                            \
    unsigned n = 0;                                                                                \
    for (auto _ : state) benchmark::DoNotOptimize(host.Camera(n++));                               \
  }                                                                                                \
  static void BM_Rovurozoviz_Loop(benchmark::State& state) {                                       \
    cRovurozovizBenchHost host;                                                                    \
    unsigned n = 0;                                                                                \
    for (auto _ : state) benchmark::DoNotOptimize(host.Loop(n++));                                 \
  }                                                                                                \
  static void BM_##Lang##_Loop(benchmark::State& state) {                                          \
    cLuaBenchHost host;                                                                            \
    unsigned n = 0;                                                                                \
    for (auto _ : state) benchmark::DoNotOptimize(host.Loop(n++));                                 \
  }                                                                                                \
  static void BM_RovurozovizVs##Lang##_Camera(benchmark::State& state) {                           \
    cRovurozovizBenchHost ours;                                                                    \
    cLuaBenchHost theirs;                                                                          \
    CompareHosts(state, #Lang, [&](bool mine, unsigned n) { return mine ? ours.Camera(n) : theirs.Camera(n); }); \
  }                                                                                                \
  static void BM_RovurozovizVs##Lang##_Loop(benchmark::State& state) {                             \
    cRovurozovizBenchHost ours;                                                                    \
    cLuaBenchHost theirs;                                                                          \
    CompareHosts(state, #Lang, [&](bool mine, unsigned n) { return mine ? ours.Loop(n) : theirs.Loop(n); }); \
  }                                                                                                \
  BENCHMARK(BM_Rovurozoviz_Camera);                                                                \
  BENCHMARK(BM_##Lang##_Camera);                                                                   \
  BENCHMARK(BM_Rovurozoviz_Loop);                                                                  \
  BENCHMARK(BM_##Lang##_Loop);                                                                     \
  BENCHMARK(BM_RovurozovizVs##Lang##_Camera);                                                      \
  BENCHMARK(BM_RovurozovizVs##Lang##_Loop);
