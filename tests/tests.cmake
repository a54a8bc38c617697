# One GoogleTest executable per test folder; the folder's name is its CTest label
# (tests/math -> "math", tests/sim/tuning -> "tuning"), so a new test file needs no edit here.
find_package(GTest REQUIRED)
include(GoogleTest)

# What each test label links; labels not listed link the whole program.
set(QV_TEST_LIBS_platform qv_platform)
set(QV_TEST_LIBS_fork qv_platform)
set(QV_TEST_LIBS_math qv_math)
set(QV_TEST_LIBS_glf qv_glf)
set(QV_TEST_LIBS_tuning qv_sim_tuning)
set(QV_TEST_LIBS_rovurozoviz qv_sim_rovurozoviz)
set(QV_TEST_LIBS_behavior qv_sim_behavior)
set(QV_TEST_LIBS_sim qv_sim_gamedata)
set(QV_TEST_LIBS_planet qv_world_planet)
set(QV_TEST_LIBS_nav qv_world_planet)
set(QV_TEST_LIBS_scene qv_world_scene)
set(QV_TEST_LIBS_camera qv_camera)
set(QV_TEST_LIBS_glui qv_platform qv_glf)
set(QV_TEST_LIBS_sound qv_glf)
set(QV_TEST_LIBS_data qv_sim_rovurozoviz qv_world_planet)

# What every test runs with, under CTest or the scripts reading the file below; the software
# GL driver renders on the calling thread (its threads ending during the leak check could crash it).
set(QV_TEST_ENVIRONMENT
  "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "LP_NUM_THREADS=0")
set(QV_TEST_EXPORTS "")
foreach(setting ${QV_TEST_ENVIRONMENT})
  string(APPEND QV_TEST_EXPORTS "export \"${setting}\"\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/test-environment.sh "${QV_TEST_EXPORTS}")

file(GLOB QV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(qv_test_support STATIC ${QV_TEST_SUPPORT})
target_link_libraries(qv_test_support PUBLIC qv_platform GTest::gtest Xtst)  # Xtst: the pointer a player moves
target_include_directories(qv_test_support PUBLIC ${CMAKE_SOURCE_DIR})
# Every test file includes GoogleTest: its headers are compiled once, here, for all.
target_precompile_headers(qv_test_support PRIVATE <gtest/gtest.h> <string> <vector>)

file(GLOB_RECURSE QV_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
set(QV_TEST_DIRS)
foreach(f ${QV_TEST_FILES})
  get_filename_component(d ${f} DIRECTORY)
  if(NOT d MATCHES "/tests/support$")
    list(APPEND QV_TEST_DIRS ${d})
  endif()
endforeach()
list(REMOVE_DUPLICATES QV_TEST_DIRS)

set(QV_ENVIRONMENT_SCRIPT "")
foreach(d ${QV_TEST_DIRS})
  get_filename_component(label ${d} NAME)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${d})
  string(REPLACE "/" "_" name "tests_${rel}")
  file(GLOB files CONFIGURE_DEPENDS ${d}/*.cpp)
  add_executable(${name} ${files})
  target_precompile_headers(${name} REUSE_FROM qv_test_support)
  # A folder's tests link only what their subject needs (see the table below).
  set(libs quorvel_core)
  if(DEFINED QV_TEST_LIBS_${label})
    set(libs ${QV_TEST_LIBS_${label}})
  endif()
  # The support's main fixes the calendar for every case.
  target_link_libraries(${name} PRIVATE ${libs} qv_test_support)
  # Tests run from the source root so that Data/ resolves as it does for the game. Listing
  # the cases of a sanitized binary while a busy machine builds others may take minutes.
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES LABELS ${label} DISCOVERY_TIMEOUT 600)
  # A list does not pass through the discovery's PROPERTIES: CTest reads it from a file after them.
  string(APPEND QV_ENVIRONMENT_SCRIPT "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"${QV_TEST_ENVIRONMENT}\")\nendif()\n")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/test-environment.cmake "${QV_ENVIRONMENT_SCRIPT}")
# The dialog tests look at GTK's own X connection.
target_include_directories(tests_platform PRIVATE ${GTK3_INCLUDE_DIRS})
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/test-environment.cmake)

# The end-to-end scripts wait for what the game does, each wait with a deadline of its own
# (the scripts name them); a script's TIMEOUT is above the sum of its deadlines, so a test
# that runs out says which wait it was, and a busy machine only makes a test take longer.
# The whole program, end to end, under the test display: four runs of at most
# 240 + 3 x 60 + 60 s, two of 240 + 60 s and one of 2 x 240 + 60 s; then one on
# an X server of its own with no window manager, of 60 + 240 + 5 x 60 s.
add_test(NAME app_smoke COMMAND ${CMAKE_SOURCE_DIR}/tests/app/smoke.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_smoke PROPERTIES LABELS app TIMEOUT 3900)
# "-exception" end to end: the crash report and minidump, written in a temporary folder (240 s).
add_test(NAME app_exception COMMAND ${CMAKE_SOURCE_DIR}/tests/app/exception.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_exception PROPERTIES LABELS crash TIMEOUT 300)
# "Show Debug Info" clicked in the running game, on an X server of its own (60 + 2 x 240 + 2 x 240 s).
add_test(NAME app_debug_info COMMAND ${CMAKE_SOURCE_DIR}/tests/app/debug_info.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_debug_info PROPERTIES LABELS app TIMEOUT 1200)

# The game closed as a player closes it, then its focus at start and after clicks, then each of
# the desktop's file dialogs in a game of its own, closed again after it, on a private X server
# with a window manager (2 x 60 + 5 x 240 + 56 x 120 + 30 s).
add_test(NAME app_file_dialogs COMMAND ${CMAKE_SOURCE_DIR}/tests/app/file_dialogs.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_file_dialogs PROPERTIES LABELS app TIMEOUT 8100)

# "-tribemode" end to end: the hut, its members and the trees on screen, on an X server of
# its own (60 + 240 + 2 x 240 s).
add_test(NAME app_tribe_world COMMAND ${CMAKE_SOURCE_DIR}/tests/app/tribe_world.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_tribe_world PROPERTIES LABELS app TIMEOUT 900)

# "-civmode" end to end: the human's city in its colour in the middle, on an X server of its
# own (60 + 240 + 240 s).
add_test(NAME app_civ_world COMMAND ${CMAKE_SOURCE_DIR}/tests/app/civ_world.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_civ_world PROPERTIES LABELS app TIMEOUT 600)
# "-citymode" end to end: the hall in its walls and its hover tint, on an X server of its own
# (60 + 240 + 2 x 240 s).
add_test(NAME app_city_world COMMAND ${CMAKE_SOURCE_DIR}/tests/app/city_world.sh $<TARGET_FILE:quorvel>)
set_tests_properties(app_city_world PROPERTIES LABELS app TIMEOUT 900)
# The program run from the source root by the scripts above must not leave a
# crash report there when it faults (exception.sh runs it in a folder of its own).
set_tests_properties(app_smoke app_debug_info app_file_dialogs app_tribe_world app_civ_world app_city_world
  PROPERTIES ENVIRONMENT "QUORVEL_NO_CRASH_GUARD=1")

# The fuzz runner over stand-in targets: side by side, each its seconds, a finding fatal
# (two runs, each stand-in waiting at most 121 s for its partner).
add_test(NAME fuzz_run_all COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run_all.sh)
set_tests_properties(fuzz_run_all PROPERTIES LABELS fuzz TIMEOUT 300)

get_property(QV_SCRIPT_TESTS DIRECTORY PROPERTY TESTS)
set_property(TEST ${QV_SCRIPT_TESTS} APPEND PROPERTY ENVIRONMENT ${QV_TEST_ENVIRONMENT})

# The source check setup.sh runs on the tests, on files made for each case.
add_test(NAME checks_no_comma_after_assertion COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/no-comma-after-assertion-test.sh)
set_tests_properties(checks_no_comma_after_assertion PROPERTIES LABELS checks TIMEOUT 120)
# Every relative link and picture in README.md and docs/ resolves, and the pages' sentences stay
# short; each check first meets a table of made-up pages.
add_test(NAME checks_docs COMMAND ${CMAKE_SOURCE_DIR}/tests/checks/docs-checks-test.sh)
set_tests_properties(checks_docs PROPERTIES LABELS checks TIMEOUT 120)
