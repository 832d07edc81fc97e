# GoogleTest is built from Debian's sources with the host compiler: its own
# platform checks take Winelib for Windows and break. Test programs include it
# through tests/support/GTest.h, which hides the Windows macros while the
# GoogleTest headers are read.
include(ExternalProject)

set(UW_GTEST_BINARY_DIR ${CMAKE_BINARY_DIR}/googletest-host)
ExternalProject_Add(googletest_host
  SOURCE_DIR /usr/src/googletest
  BINARY_DIR ${UW_GTEST_BINARY_DIR}
  CMAKE_ARGS
    -DCMAKE_CXX_COMPILER=g++
    -DCMAKE_C_COMPILER=gcc
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON
    -DBUILD_GMOCK=OFF
    -DINSTALL_GTEST=OFF
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${UW_GTEST_BINARY_DIR}/lib/libgtest.a)

add_library(gtest_host STATIC IMPORTED GLOBAL)
set_target_properties(gtest_host PROPERTIES
  IMPORTED_LOCATION ${UW_GTEST_BINARY_DIR}/lib/libgtest.a
  INTERFACE_INCLUDE_DIRECTORIES /usr/src/googletest/googletest/include)
add_dependencies(gtest_host googletest_host)

# uw_test(name SOURCES ... LIBS ...): a Winelib test program run by CTest under Wine.
function(uw_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE test_support ${T_LIBS} gtest_host -lpthread)
  target_link_options(${name} PRIVATE -mconsole)
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-test $<TARGET_FILE:${name}>.so
           WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
