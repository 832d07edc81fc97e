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

# uw_resources(target RC file DEPENDS files...): compiles a resource script
# with wrc and links it into the target.
function(uw_resources target)
  cmake_parse_arguments(R "" "RC" "DEPENDS" ${ARGN})
  get_filename_component(rc ${R_RC} ABSOLUTE)
  get_filename_component(rcdir ${rc} DIRECTORY)
  get_filename_component(rcname ${rc} NAME_WE)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${rcname}.res)
  add_custom_command(OUTPUT ${res}
    COMMAND wrc --nostdinc -I${rcdir} -o ${res} ${rc}
    WORKING_DIRECTORY ${rcdir}
    DEPENDS ${rc} ${R_DEPENDS}
    COMMENT "Resources ${rcname}.res")
  add_custom_target(${target}_res DEPENDS ${res})
  add_dependencies(${target} ${target}_res)
  target_link_options(${target} PRIVATE ${res})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${res})
endfunction()

# uw_pe_stub(name): replaces the launcher script name.exe of a program by a
# PE stub, which Wine runs (or loads) as the built-in name.exe.so found
# through WINEDLLPATH: other programs can then start it with CreateProcess
# or load it with LoadLibrary.
function(uw_pe_stub name)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND winebuild --exe --fake-module -F ${name}.exe
            -o ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name}.exe
    COMMENT "PE stub ${name}.exe")
endfunction()

# uw_child_program(name SOURCES ... LIBS ...): a console program that other
# programs can start.
function(uw_child_program name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  uw_console_program(${name} SOURCES ${P_SOURCES} LIBS ${P_LIBS})
  uw_pe_stub(${name})
endfunction()
