# Cross-compiling for 32-bit Windows with MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(RAMULET_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${RAMULET_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${RAMULET_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${RAMULET_MINGW_TRIPLE}-windres)
set(RAMULET_WIDL ${RAMULET_MINGW_TRIPLE}-widl)
set(RAMULET_OBJDUMP ${RAMULET_MINGW_TRIPLE}-objdump)
# widl: the system IDL files, and where stdole2.tlb for importlib() lies.
set(RAMULET_WIDL_INCLUDE_DIR /usr/include/wine/wine/windows CACHE PATH "Folder of the system IDL files")
set(RAMULET_WIDL_LIBRARY_DIR /usr/lib/i386-linux-gnu/wine/i386-windows CACHE PATH "Folder holding stdole2.tlb")

set(CMAKE_FIND_ROOT_PATH /usr/${RAMULET_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
