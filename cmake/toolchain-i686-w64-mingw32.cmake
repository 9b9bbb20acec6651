# Cross-compiling for 32-bit Windows with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(RAMULET_MINGW_TRIPLE i686-w64-mingw32)
set(RAMULET_WIDL_LIBRARY_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
