# The portable core for this machine: the parsers and the arithmetic that
# compile with the C++ standard library and TinyXML alone, built with clang
# under sanitizers (no Wine). UW_SANITIZE picks them: "address,undefined"
# (the default) builds the core's unit tests, one libFuzzer harness per
# input kind and a replay of each harness's corpus; "thread" builds the
# tests of what threads share. scripts/native configures build/native and
# build/native-tsan this way.
set(UW_SANITIZE "address,undefined" CACHE STRING "the -fsanitize= list of the native build")
set(UW_TINYXML_DIR "${CMAKE_SOURCE_DIR}/.cache/deps/work/tinyxml"
    CACHE PATH "TinyXML's sources, as unpacked by scripts/deps")

set(UW_FUZZ OFF)
if(UW_SANITIZE MATCHES "address")
  set(UW_FUZZ ON)
endif()

set(UW_NATIVE_FLAGS -g -O1 -fno-omit-frame-pointer -fsanitize=${UW_SANITIZE}
    -fno-sanitize-recover=all)
if(UW_FUZZ)
  # Coverage for the fuzzers; the harnesses add libFuzzer's own main.
  list(APPEND UW_NATIVE_FLAGS -fsanitize=fuzzer-no-link)
endif()
add_compile_options(${UW_NATIVE_FLAGS})
add_link_options(-fsanitize=${UW_SANITIZE})
include_directories(${CMAKE_SOURCE_DIR})

# TinyXML from the same sources as the Windows build, its warnings off.
add_library(tinyxml STATIC ${UW_TINYXML_DIR}/tinyxml.cpp ${UW_TINYXML_DIR}/tinyxmlparser.cpp
            ${UW_TINYXML_DIR}/tinyxmlerror.cpp ${UW_TINYXML_DIR}/tinystr.cpp)
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(tinyxml SYSTEM PUBLIC ${UW_TINYXML_DIR})
target_compile_options(tinyxml PRIVATE -w)

set(UW_WARNINGS -Wall -Wextra -Wshadow -Wconversion -Werror)

# The portable pieces of the product's folders.
add_library(portable_core STATIC
  common/PeImage.cpp
  common/PeVersionInfo.cpp
  intake/Digest.cpp
  intake/RemovalPlan.cpp
  store/UserListRecord.cpp
  store/UserListSql.cpp
  store/EntryDetailSql.cpp
  store/EntrySearch.cpp
  ui/core/CTwObject.cpp
  ui/core/TwNotation.cpp
  ui/core/TwXml.cpp
  ui/engine/TwLayoutDocument.cpp
  ui/engine/TwPosition.cpp
  ui/engine/TwStyleRecord.cpp
  ui/engine/TwTableDocuments.cpp
  ui/skin/SkinAttributes.cpp
  ui/skin/SkinDocument.cpp
  ui/skin/SkinSlicing.cpp
  ui/windows/ListRowTable.cpp
  userlistctl/ClamHashLine.cpp
  userlistctl/CsvText.cpp
  userlistctl/ImportParser.cpp
  userlistctl/LineSplitter.cpp
  userlistctl/ListExchange.cpp
  vmrdetect/Md5.cpp
  vmrdetect/SignatureTable.cpp)
target_compile_options(portable_core PRIVATE ${UW_WARNINGS})
target_link_libraries(portable_core PUBLIC tinyxml)

enable_testing()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)

if(UW_FUZZ)
  add_executable(portable_tests
    tests/support/TestMain.cpp
    tests/support/InvariantFatal.cpp
    tests/support/ReferenceMd5Plain.cpp
    tests/support/PeVersionImage.cpp
    tests/common/PeVersionInfoTest.cpp
    tests/ui/NotationTest.cpp
    tests/ui/PositionTest.cpp
    tests/ui/SkinSlicingTest.cpp
    tests/ui/TableDocumentsTest.cpp
    tests/ui/windows/ListRowTableTest.cpp
    tests/ui/windows/ListRowTableThreadsTest.cpp
    tests/intake/OrderedPoolTest.cpp
    tests/intake/RemovalPlanTest.cpp
    tests/store/UserListSqlTest.cpp
    tests/store/EntrySearchTest.cpp
    tests/userlistctl/ImportParserTest.cpp
    tests/userlistctl/ListExchangeTest.cpp
    tests/vmrdetect/Md5Test.cpp
    tests/vmrdetect/PeImageTest.cpp
    tests/vmrdetect/SignatureTableTest.cpp)
  target_compile_options(portable_tests PRIVATE ${UW_WARNINGS})
  target_link_libraries(portable_tests PRIVATE portable_core gtest)
  add_test(NAME portable_tests COMMAND portable_tests)
  include(${CMAKE_SOURCE_DIR}/cmake/NativeFuzzers.cmake)
else()
  # The tests of what threads share: the ordered pool and the list's rows.
  add_executable(portable_threads_tests
    tests/support/TestMain.cpp
    tests/support/InvariantFatal.cpp
    tests/intake/OrderedPoolTest.cpp
    tests/ui/windows/ListRowTableTest.cpp
    tests/ui/windows/ListRowTableThreadsTest.cpp)
  target_compile_options(portable_threads_tests PRIVATE ${UW_WARNINGS})
  target_link_libraries(portable_threads_tests PRIVATE portable_core gtest)
  add_test(NAME portable_threads_tests COMMAND portable_threads_tests)
endif()
