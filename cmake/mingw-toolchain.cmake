# Cross toolchain for the MinGW-w64 "-posix" compilers.
# VELT_MINGW_ARCH selects the target: i686 (the shipped programs) or x86_64.
if(NOT DEFINED VELT_MINGW_ARCH)
  set(VELT_MINGW_ARCH i686)
endif()
set(VELT_MINGW_ARCH "${VELT_MINGW_ARCH}" CACHE STRING "MinGW-w64 target architecture (i686 or x86_64)")
set(_triple ${VELT_MINGW_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELT_MINGW_ARCH})
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
