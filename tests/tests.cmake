# One GoogleTest executable per test folder; the folder's name is its CTest label
# (tests/math -> "math", tests/sim/tuning -> "tuning"), so a new test file needs no edit here.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB QV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(qv_test_support STATIC ${QV_TEST_SUPPORT})
target_link_libraries(qv_test_support PUBLIC quorvel_core GTest::gtest)
target_include_directories(qv_test_support PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB_RECURSE QV_TEST_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*.cpp)
set(QV_TEST_DIRS)
foreach(f ${QV_TEST_FILES})
  get_filename_component(d ${f} DIRECTORY)
  if(NOT d MATCHES "/tests/support$")
    list(APPEND QV_TEST_DIRS ${d})
  endif()
endforeach()
list(REMOVE_DUPLICATES QV_TEST_DIRS)

foreach(d ${QV_TEST_DIRS})
  get_filename_component(label ${d} NAME)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${d})
  string(REPLACE "/" "_" name "tests_${rel}")
  file(GLOB files CONFIGURE_DEPENDS ${d}/*.cpp)
  add_executable(${name} ${files})
  target_link_libraries(${name} PRIVATE qv_test_support GTest::gtest_main)
  # Tests run from the source root so that Data/ resolves as it does for the game.
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES LABELS ${label} DISCOVERY_TIMEOUT 60)
endforeach()
