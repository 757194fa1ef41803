# GoogleTest built for Windows from the sources Debian ships (libgtest-dev), and the way the
# Windows test programs are registered: one ctest test per TEST, found by reading the
# sources, so nothing runs under Wine at build time.
set(TOWERWATCH_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TOWERWATCH_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Wine's own processes are started once, with no output pipe of ctest's, before the tests,
# and stopped after them; a test started without them takes seconds instead of milliseconds.
add_test(NAME wine_start COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --start)
add_test(NAME wine_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

# tw_windows_tests(<target> [ENVIRONMENT var=value...]): the TESTs of <target>'s sources.
function(tw_windows_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ENVIRONMENT")
  gtest_add_tests(TARGET ${target} TEST_LIST found)
  set_tests_properties(${found} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 60)
  if(arg_ENVIRONMENT)
    set_tests_properties(${found} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
  endif()
endfunction()
