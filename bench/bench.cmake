# All benchmarks in one executable; each file compares its subject with a reference in the same run.
find_package(benchmark QUIET)
file(GLOB QV_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND QV_BENCH_SOURCES)
  add_executable(quorvel_bench ${QV_BENCH_SOURCES})
  target_link_libraries(quorvel_bench PRIVATE quorvel_core benchmark::benchmark benchmark::benchmark_main)
endif()
