# Helpers for the Windows programs and DLLs of the build. Every binary is
# self-contained (-static: the C and C++ runtimes and winpthread are linked
# in), so it imports only DLLs that Windows itself ships.

add_link_options(-static)
# 32-bit stdcall functions are exported under their plain names (as Windows'
# own DLLs export them) or the decorated names a .def file gives them: the
# linker matches the .def file's plain names to the decorated symbols.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_link_options(-Wl,--enable-stdcall-fixup)
endif()

# SQLite and TinyXML for this architecture, built from Debian's source
# packages by scripts/deps.
set(UW_DEPS_DIR ${CMAKE_SOURCE_DIR}/.cache/deps/${CMAKE_SYSTEM_PROCESSOR})
foreach(lib sqlite3 tinyxml)
  if(NOT EXISTS ${UW_DEPS_DIR}/lib/lib${lib}.a)
    message(FATAL_ERROR "${UW_DEPS_DIR}/lib/lib${lib}.a is missing: run scripts/setup")
  endif()
  add_library(${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(${lib} PROPERTIES
    IMPORTED_LOCATION ${UW_DEPS_DIR}/lib/lib${lib}.a
    INTERFACE_INCLUDE_DIRECTORIES ${UW_DEPS_DIR}/include)
endforeach()
set_property(TARGET tinyxml PROPERTY INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)

# uw_program(name SUBSYSTEM console|windows SOURCES ... LIBS ...): a program
# with a wide entry point (wmain or wWinMain).
function(uw_program name)
  cmake_parse_arguments(P "" "SUBSYSTEM" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_link_options(${name} PRIVATE -m${P_SUBSYSTEM} -municode)
  # A 32-bit program may use 4 GB of address space on 64-bit Windows, not 2.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    target_link_options(${name} PRIVATE -Wl,--large-address-aware)
  endif()
endfunction()

# uw_console_program(name SOURCES ... LIBS ...): a console program with wmain.
function(uw_console_program name)
  uw_program(${name} SUBSYSTEM console ${ARGN})
endfunction()

# uw_gui_program(name SOURCES ... LIBS ...): a GUI program with wWinMain.
function(uw_gui_program name)
  uw_program(${name} SUBSYSTEM windows ${ARGN})
endfunction()

# uw_exports(target DEF file): the target exports what the .def file names.
function(uw_exports target def)
  target_link_options(${target} PRIVATE ${def})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def})
endfunction()

# uw_dll(name DEF file SOURCES ... LIBS ...): name.dll in the programs' folder
# with the exports of the .def file.
function(uw_dll name)
  cmake_parse_arguments(D "" "DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${D_SOURCES})
  target_link_libraries(${name} PRIVATE ${D_LIBS})
  set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY
                                           ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  uw_exports(${name} ${D_DEF})
endfunction()

# uw_resources(target RC file DEPENDS files...): compiles a resource script
# with windres and links it into the target.
function(uw_resources target)
  cmake_parse_arguments(R "" "RC" "DEPENDS" ${ARGN})
  get_filename_component(rc ${R_RC} ABSOLUTE)
  get_filename_component(rcdir ${rc} DIRECTORY)
  get_filename_component(rcname ${rc} NAME_WE)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rcname}.res.o)
  add_custom_command(OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} --input-format=rc --output-format=coff -c 65001
            -I${rcdir} -i ${rc} -o ${object}
    WORKING_DIRECTORY ${rcdir}
    DEPENDS ${rc} ${R_DEPENDS}
    COMMENT "Resources ${rcname}.rc for ${target}")
  target_sources(${target} PRIVATE ${object})
endfunction()
