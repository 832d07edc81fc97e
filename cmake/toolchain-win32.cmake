# 32-bit Windows (x86).
set(UW_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW.cmake)
