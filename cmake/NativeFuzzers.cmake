# One libFuzzer harness per input kind (tests/fuzz/<Name>Fuzz.cpp) over the
# portable core, and a replay of its corpus (tests/fuzz/corpus/<name>/) as a
# test: every corpus entry runs once under the sanitizers. bench/fuzz.sh runs
# the harnesses for a given time.
set(UW_FUZZ_HARNESSES
  layout_document skin_document style_document string_color_documents notation position slicing pe_header md5
  component_list csv hash_line import_file entry_search pe_version)

foreach(harness ${UW_FUZZ_HARNESSES})
  string(REPLACE "_" ";" words ${harness})
  set(stem "")
  foreach(word ${words})
    string(SUBSTRING ${word} 0 1 first)
    string(TOUPPER ${first} first)
    string(SUBSTRING ${word} 1 -1 rest)
    string(APPEND stem ${first}${rest})
  endforeach()
  add_executable(fuzz_${harness} tests/fuzz/${stem}Fuzz.cpp tests/fuzz/FuzzSupport.cpp)
  target_compile_options(fuzz_${harness} PRIVATE ${UW_WARNINGS})
  target_link_libraries(fuzz_${harness} PRIVATE portable_core)
  target_link_options(fuzz_${harness} PRIVATE -fsanitize=fuzzer)
  if(harness STREQUAL "md5")
    target_sources(fuzz_md5 PRIVATE tests/support/ReferenceMd5Plain.cpp)
  elseif(harness STREQUAL "pe_version")
    target_sources(fuzz_pe_version PRIVATE tests/support/PeVersionImage.cpp)
  endif()
  set(corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${harness})
  add_test(NAME fuzz_${harness}_corpus COMMAND fuzz_${harness} -runs=0 ${corpus})
  set_tests_properties(fuzz_${harness}_corpus PROPERTIES LABELS fuzz TIMEOUT 120)
endforeach()
