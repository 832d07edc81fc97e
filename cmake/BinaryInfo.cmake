# What Windows reads from a binary without running it, made from the one
# version number of project(): the version resource of every binary and the
# application manifest of every program, both from templates in res/; and
# BuildVersion.h, the same version for code (target build_version).

# Four numbers, as Windows versions are written: x.y.z.0.
set(UW_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
set(UW_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)

# The manifest names the architecture of the program it is in.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(UW_MANIFEST_ARCH amd64)
else()
  set(UW_MANIFEST_ARCH x86)
endif()

# #include "BuildVersion.h" for targets that link build_version.
set(UW_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/generated/include)
configure_file(${PROJECT_SOURCE_DIR}/res/BuildVersion.h.in ${UW_GENERATED_INCLUDE}/BuildVersion.h
               @ONLY)
add_library(build_version INTERFACE)
target_include_directories(build_version INTERFACE ${UW_GENERATED_INCLUDE})

# uw_binary_info(target DESCRIPTION text [LEVEL asInvoker|requireAdministrator]):
# links the target's version resource (res/version.rc.in) and, for a program
# given its execution level, its manifest (res/program.manifest.in) as
# resource 1 of type 24 (RT_MANIFEST).
function(uw_binary_info target)
  cmake_parse_arguments(I "" "DESCRIPTION;LEVEL" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(UW_RC_FILETYPE VFT_APP)
    set(UW_RC_FILENAME ${target}.exe)
  else()
    set(UW_RC_FILETYPE VFT_DLL)
    set(UW_RC_FILENAME ${target}.dll)
  endif()
  set(UW_RC_INTERNAL_NAME ${target})
  set(UW_RC_DESCRIPTION ${I_DESCRIPTION})
  set(UW_RC_MANIFEST "")
  set(depends)
  if(I_LEVEL)
    if(NOT type STREQUAL "EXECUTABLE")
      message(FATAL_ERROR "uw_binary_info(${target}): only a program has an execution level")
    endif()
    set(UW_MANIFEST_PROGRAM ${target})
    set(UW_MANIFEST_LEVEL ${I_LEVEL})
    configure_file(${PROJECT_SOURCE_DIR}/res/program.manifest.in
                   ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest @ONLY)
    set(UW_RC_MANIFEST "1 24 \"${target}.manifest\"")
    list(APPEND depends ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_info.rc @ONLY)
  uw_resources(${target} RC ${CMAKE_CURRENT_BINARY_DIR}/${target}_info.rc DEPENDS ${depends})
endfunction()
