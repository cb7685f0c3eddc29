# Cross-compiling for 32-bit Windows with mingw-w64.
# This build is compiled and linked only: the machine runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
