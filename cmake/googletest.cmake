# GoogleTest for the Windows test programs, built from the
# sources the distribution ships (Debian's googletest package), since no
# MinGW build of it is packaged. Defines the targets gtest and gtest_main.
set(RAMULET_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's source tree")
if(NOT EXISTS ${RAMULET_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are not at ${RAMULET_GOOGLETEST_SOURCE_DIR}: the Windows tests "
    "need them (install the googletest package, scripts/install-deps.sh, or set RAMULET_GOOGLETEST_SOURCE_DIR)")
endif()
if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  # MinGW's gtest has no pthread support; its threads come from Win32.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  # SYSTEM: our -Werror does not apply to warnings inside its headers.
  add_subdirectory(${RAMULET_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its customization header for MinGW's win32 thread model, before the
  # distribution's empty one.
  target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/googletest_mingw)
  target_include_directories(gtest_main BEFORE PRIVATE ${CMAKE_CURRENT_LIST_DIR}/googletest_mingw)
endif()
