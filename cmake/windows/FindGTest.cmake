# GoogleTest for the Windows cross build: built from Debian's sources
# (package googletest) for the target, since no MinGW build of it exists to
# find. Gives the targets the tests link: GTest::gtest and GTest::gtest_main.

set(SKARN_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
if(NOT TARGET gtest)
  if(NOT EXISTS ${SKARN_GOOGLETEST_SOURCE}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources are not in ${SKARN_GOOGLETEST_SOURCE}: "
                        "install Debian's googletest (scripts/install-deps --windows)")
  endif()
  # GoogleTest alone: no Google Mock, nothing installed.
  add_subdirectory(${SKARN_GOOGLETEST_SOURCE}/googletest ${CMAKE_BINARY_DIR}/googletest
                   EXCLUDE_FROM_ALL SYSTEM)
  # Our warnings are not theirs to clear.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  # Every test program writes LF, as on Linux, so that ctest reads the test
  # names it lists and a test's output reads the same on both systems.
  target_sources(gtest_main INTERFACE ${PROJECT_SOURCE_DIR}/tests/support/windows_test_console.cc)
endif()
set(GTest_FOUND TRUE)
set(GTEST_FOUND TRUE)
