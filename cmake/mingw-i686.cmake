# Cross-compiling for 32-bit Windows with mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Test programs run under Wine's WoW64, in the same 64-bit prefix as the
# 64-bit build's: the loader hands a 32-bit program to its 32-bit half.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
