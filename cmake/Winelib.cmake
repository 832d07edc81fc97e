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
