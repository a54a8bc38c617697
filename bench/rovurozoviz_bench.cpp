// Rovurozoviz beside Lua 5.4 on the same formulas: a camera-like script with
// its host round trip by name, and a 20-step arithmetic loop with branches.
// The LuaJIT comparison is a separate binary (bench/luajit/), since both Luas
// define the same C symbols.
extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "bench/rovurozoviz_formulas.h"

ROVUROZOVIZ_LUA_BENCHMARKS(Lua54)
