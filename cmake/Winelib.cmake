# Helpers for Winelib programs: every program links its module libraries and
# is started through `wine name.exe.so` (scripts/wine-test for the tests).

# uw_console_program(name SOURCES ... LIBS ...)
function(uw_console_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_link_options(${name} PRIVATE -mconsole -municode)
endfunction()

# uw_gui_program(name SOURCES ... LIBS ...)
function(uw_gui_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_link_options(${name} PRIVATE -mwindows -municode)
endfunction()

# uw_winelib_dll(name DEF file SOURCES ... LIBS ...): name.dll.so and its PE
# stub name.dll, both in the programs' folder.
function(uw_winelib_dll name)
  cmake_parse_arguments(D "" "DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${D_SOURCES} ${D_DEF})
  target_link_libraries(${name} PRIVATE ${D_LIBS})
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".dll.so"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  target_link_options(${name} PRIVATE -shared ${D_DEF})
  set(stub ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name}.dll)
  add_custom_command(OUTPUT ${stub}
    COMMAND winebuild --dll --fake-module -E ${D_DEF} -F ${name}.dll -o ${stub}
    DEPENDS ${D_DEF}
    COMMENT "PE stub ${name}.dll")
  add_custom_target(${name}_stub ALL DEPENDS ${stub})
  add_dependencies(${name} ${name}_stub)
endfunction()
