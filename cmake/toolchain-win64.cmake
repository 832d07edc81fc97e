# 64-bit Windows (x86-64).
set(UW_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
