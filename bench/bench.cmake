# All benchmarks in one executable; each file compares its subject with a reference in the same run.
find_package(benchmark QUIET)
file(GLOB QV_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND QV_BENCH_SOURCES)
  add_executable(quorvel_bench ${QV_BENCH_SOURCES})
  target_link_libraries(quorvel_bench PRIVATE quorvel_core benchmark::benchmark benchmark::benchmark_main)
endif()

# Rovurozoviz beside Lua 5.4 (in quorvel_bench) and beside LuaJIT (its own
# binary: both Luas define the same C symbols).
pkg_check_modules(LUA54 QUIET lua5.4)
pkg_check_modules(LUAJIT QUIET luajit)
if(TARGET quorvel_bench AND LUA54_FOUND)
  target_include_directories(quorvel_bench PRIVATE ${LUA54_INCLUDE_DIRS})
  target_link_libraries(quorvel_bench PRIVATE ${LUA54_LINK_LIBRARIES})
elseif(TARGET quorvel_bench)
  list(REMOVE_ITEM QV_BENCH_SOURCES ${CMAKE_SOURCE_DIR}/bench/rovurozoviz_bench.cpp)
  set_property(TARGET quorvel_bench PROPERTY SOURCES ${QV_BENCH_SOURCES})
endif()
# Our A* beside Boost Graph's (headers only; used nowhere but here).
find_path(QV_BOOST_GRAPH_INCLUDE boost/graph/astar_search.hpp)
if(TARGET quorvel_bench AND QV_BOOST_GRAPH_INCLUDE)
  target_include_directories(quorvel_bench SYSTEM PRIVATE ${QV_BOOST_GRAPH_INCLUDE})
elseif(TARGET quorvel_bench)
  get_property(QV_BENCH_KEPT TARGET quorvel_bench PROPERTY SOURCES)
  list(REMOVE_ITEM QV_BENCH_KEPT ${CMAKE_SOURCE_DIR}/bench/nav_bench.cpp)
  set_property(TARGET quorvel_bench PROPERTY SOURCES ${QV_BENCH_KEPT})
endif()
if(benchmark_FOUND AND LUAJIT_FOUND)
  add_executable(rovurozoviz_luajit_bench ${CMAKE_SOURCE_DIR}/bench/luajit/rovurozoviz_luajit_bench.cpp)
  target_include_directories(rovurozoviz_luajit_bench PRIVATE ${LUAJIT_INCLUDE_DIRS})
  target_link_libraries(rovurozoviz_luajit_bench PRIVATE qv_sim_rovurozoviz ${LUAJIT_LINK_LIBRARIES}
    benchmark::benchmark benchmark::benchmark_main)
endif()

# The game's frames and start-up under a display: a binary of its own, since
# start-up runs once per process and opens the game's windows.
file(GLOB QV_FRAME_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/frame/*.cpp)
if(benchmark_FOUND AND QV_FRAME_BENCH_SOURCES)
  add_executable(quorvel_frame_bench ${QV_FRAME_BENCH_SOURCES})
  target_link_libraries(quorvel_frame_bench PRIVATE quorvel_core benchmark::benchmark benchmark::benchmark_main)
endif()
