#!/bin/sh
# Compiler and linker launcher of the test targets: runs the build's command
# with the MinGW-w64 compiler of the posix thread model in place of the
# win32 one that the toolchain names. The command may begin with another
# launcher (ccache), which then sees the compiler that really runs.
swapped=
for arg; do
  shift
  if [ -z "$swapped" ]; then
    case $arg in
      *-w64-mingw32-gcc-win32 | *-w64-mingw32-g++-win32)
        arg=${arg%-win32}-posix
        swapped=1
        ;;
    esac
  fi
  set -- "$@" "$arg"
done
if [ -z "$swapped" ]; then
  echo "posix-threads.sh: no MinGW-w64 win32 compiler in the command: $*" >&2
  exit 2
fi
exec "$@"
