# Cross-compiling for 64-bit Windows with MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(RAMULET_MINGW_TRIPLE x86_64-w64-mingw32)
set(RAMULET_WIDL_LIBRARY_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
