# GoogleTest from Debian's sources (package googletest), compiled with the
# same MinGW toolchain as the code it tests.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Warnings of GoogleTest's own sources are not ours to mend.
target_compile_options(gtest PRIVATE -w)

# uw_test(name SOURCES ... LIBS ...): a test program that CTest runs under
# Wine (the toolchain's emulator).
function(uw_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/InvariantFatal.cpp)
  target_link_libraries(${name} PRIVATE test_support ${T_LIBS} gtest)
  target_link_options(${name} PRIVATE -mconsole)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
