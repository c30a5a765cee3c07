# Cross toolchain for the MinGW-w64 compilers.
# VELT_MINGW_ARCH selects the target: i686 (the shipped programs) or x86_64.
#
# Everything is built with the compilers of the win32 thread model: their C++
# run-time needs no thread library, while the "-posix" ones link in
# libwinpthread, which imports functions that Windows 95 and NT 4.0 lack.
# GCC 12's win32 model has no std::thread and std::mutex, which GoogleTest
# and the tests use, so the targets of the tests and of the tools are compiled
# and linked with the "-posix" compilers (see VeltTesting.cmake); the code
# under test is the very same objects.
if(NOT DEFINED VELT_MINGW_ARCH)
  set(VELT_MINGW_ARCH i686)
endif()
set(VELT_MINGW_ARCH "${VELT_MINGW_ARCH}" CACHE STRING "MinGW-w64 target architecture (i686 or x86_64)")
set(_triple ${VELT_MINGW_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELT_MINGW_ARCH})
set(CMAKE_C_COMPILER ${_triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${_triple}-g++-win32)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
