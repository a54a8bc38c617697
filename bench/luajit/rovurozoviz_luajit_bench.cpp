// Rovurozoviz beside LuaJIT on the same formulas as rovurozoviz_bench.cpp.
extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "bench/rovurozoviz_formulas.h"

ROVUROZOVIZ_LUA_BENCHMARKS(LuaJIT)
