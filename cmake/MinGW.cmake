# The MinGW-w64 cross toolchain (posix thread model) for Windows programs;
# included by the toolchain file of each architecture, which sets
# UW_MINGW_ARCH to x86_64 or i686. Programs of the build run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${UW_MINGW_ARCH})

set(UW_MINGW_TRIPLET ${UW_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${UW_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${UW_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${UW_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${UW_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${UW_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${UW_MINGW_TRIPLET}-strip CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${UW_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${UW_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and build-time programs run through Wine with the project's prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
