#!/usr/bin/env bash
# Hermetic Wine harness for the test suite and the demos.
#
#   harness.sh arch            print the architecture Windows programs are tested as
#   harness.sh start [--xvfb|--display]
#                              make the prefix if needed, start a persistent wineserver
#                              (stdio detached) and Wine's services; --xvfb runs the
#                              programs on a virtual X display instead of the null driver,
#                              --display on the X display named by $DISPLAY
#   harness.sh stop            stop the wineserver (and the virtual display)
#   harness.sh run EXE ARGS    run a Windows program in the harness prefix
#   harness.sh clone DIR       copy the prefix to DIR (a clean machine for one test)
#   harness.sh env             print the environment a program runs with
#
# The prefix lives under the build tree (build/wine-ARCH by default, or
# $VELT_WINE_DIR); HOME points there too, so nothing touches the user's
# ~/.wine or home folders. VELT_TEST_ARCH=wow64 works on a prefix of its own
# (build/wine-wow64): 64-bit, with the 32-bit support that 64-bit Windows
# has, for the shipped 32-bit programs.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)

# The 32-bit Wine of the harness's own (tools/wine/wine32-root.sh): the
# machine's wine64 with the 32-bit loader and DLLs beside it.
wine32_root=${VELT_WINE32_ROOT:-$root/build/wine32}

detect_arch() {
  # The suite runs where it runs fastest: the 64-bit builds of the same
  # sources under wine64, also where the kernel runs no 32-bit code. The
  # shipped 32-bit programs have an entry of their own (wow64: a 64-bit
  # prefix with 32-bit support, as 64-bit Windows runs them); VELT_TEST_ARCH
  # picks a kind for the whole run (i686: everything 32-bit in a 32-bit
  # prefix).
  if [ -n "${VELT_TEST_ARCH:-}" ]; then echo "$VELT_TEST_ARCH"; return; fi
  if [ -x /usr/lib/wine/wine64 ] && /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
    echo x86_64
  else
    echo i686
  fi
}

# The 32-bit libraries of that Wine (FreeType, fontconfig); 64-bit programs
# pass them over.
wine32_libs() {
  export LD_LIBRARY_PATH=$wine32_root/usr/lib/i386-linux-gnu:$wine32_root/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
}

arch=$(detect_arch)
case "$arch" in
  i686)
    loader=$wine32_root/usr/lib/wine/wine; winearch=win32
    if [ -x "$loader" ]; then wine32_libs; else loader=/usr/lib/wine/wine; fi
    ;;
  wow64)
    loader=$wine32_root/usr/lib/wine/wine64; winearch=win64
    if [ ! -x "$loader" ]; then
      # The bootstrap could not lay it out (a mirror without the packages):
      # the entries that need it are reported skipped, and there is nothing
      # to stop.
      echo "harness: no 32-bit Wine in $wine32_root (tools/bootstrap.sh lays it out)" >&2
      case "${1:-}" in stop) exit 0 ;; *) exit 77 ;; esac
    fi
    # The 64-bit side finds the 32-bit DLLs there when it fills syswow64.
    export WINEDLLPATH=$wine32_root/usr/lib/i386-linux-gnu/wine
    wine32_libs
    # Where the kernel hands i386 programs to the emulator (tools/bootstrap.sh),
    # they start and run a few times slower: the tests' waits stretch.
    if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
      export VELT_TIMEOUT_SCALE=${VELT_TIMEOUT_SCALE:-5}
    fi
    ;;
  *) loader=/usr/lib/wine/wine64; winearch=win64 ;;
esac
wineserver_bin=/usr/lib/wine/wineserver
[ -x "$wineserver_bin" ] || wineserver_bin=$(command -v wineserver || echo wineserver)

wine_dir=${VELT_WINE_DIR:-$root/build/wine-$arch}
export WINEPREFIX=${WINEPREFIX_OVERRIDE:-$wine_dir/prefix}
export WINEARCH=$winearch
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko downloads, and no desktop entries in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export HOME=$wine_dir/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
display_file=$wine_dir/display
xvfb_file=$wine_dir/display.xvfb  # present when the display is the harness's own Xvfb

# Sets the graphics driver (null: no X server needed; x11: a display) when it
# is not the one the prefix already has.
set_driver() {
  [ "$(cat "$wine_dir/driver" 2>/dev/null)" = "$1" ] && return 0
  "$loader" reg.exe add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f >/dev/null 2>&1
  "$wineserver_bin" -w >/dev/null 2>&1 || true
  echo "$1" > "$wine_dir/driver"
}

# Without a window manager on the virtual display, Wine draws the window
# frames and captions itself, so that pictures of windows show them.
set_decorated() {
  [ "$(cat "$wine_dir/decorated" 2>/dev/null)" = "$1" ] && return 0
  "$loader" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d "$1" /f >/dev/null 2>&1
  # Wine places and maximises the windows itself when no window manager
  # would: on the virtual display a maximised window then fills the screen.
  "$loader" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1
  "$wineserver_bin" -w >/dev/null 2>&1 || true
  echo "$1" > "$wine_dir/decorated"
}

make_prefix() {
  if [ -f "$WINEPREFIX/.velt-ready" ]; then return; fi
  echo "harness: creating Wine prefix $WINEPREFIX ($winearch)" >&2
  rm -rf "$WINEPREFIX"
  mkdir -p "$HOME" "$(dirname "$WINEPREFIX")"
  "$loader" wineboot.exe --init </dev/null >/dev/null 2>&1 || true
  rm -f "$wine_dir/driver" "$wine_dir/decorated"
  set_driver null
  # Dialog and message-box tests want no surprise windows from Wine itself.
  "$loader" reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$wineserver_bin" -w
  touch "$WINEPREFIX/.velt-ready"
}

start_xvfb() {
  command -v Xvfb >/dev/null || { echo "harness: Xvfb is not installed" >&2; exit 1; }
  local n
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  setsid -f Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1
  for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  echo ":$n" > "$display_file"
  touch "$xvfb_file"
}

stop_xvfb() {
  if [ -f "$display_file" ]; then
    local d; d=$(cat "$display_file"); rm -f "$display_file"
    if [ -f "$xvfb_file" ]; then
      rm -f "$xvfb_file"
      pkill -f "Xvfb $d " 2>/dev/null || true
    fi
  fi
}

display_env() {
  if [ -f "$display_file" ]; then export DISPLAY; DISPLAY=$(cat "$display_file"); else unset DISPLAY; fi
}

# Starts the persistent server when none runs for this prefix; returns 0 when
# it started one. Wine's services are brought up here, with stdio detached, so
# that no test process is their parent (they would hold CTest's pipes open).
ensure_server() {
  local rc=0
  "$wineserver_bin" -p </dev/null >/dev/null 2>&1 || rc=$?
  if [ $rc -eq 0 ]; then
    display_env
    "$loader" wineboot.exe </dev/null >/dev/null 2>&1 || true
    # The desktop process (and the COM service it starts) would otherwise be
    # launched by the first test that makes a window, inherit that test's
    # output pipe and keep CTest waiting on it until every other Wine
    # program has ended.
    setsid -f "$loader" explorer.exe /desktop </dev/null >/dev/null 2>&1 || true
    for _ in $(seq 50); do
      pgrep -f 'explorer.exe /desktop' >/dev/null && break
      sleep 0.1
    done
    return 0
  fi
  return 1
}

cmd=${1:-}
shift || true
case "$cmd" in
  arch) echo "$arch" ;;
  start)
    mkdir -p "$wine_dir"
    make_prefix
    "$wineserver_bin" -k >/dev/null 2>&1 || true
    "$wineserver_bin" -w >/dev/null 2>&1 || true
    stop_xvfb
    case "${1:-}" in
      --xvfb) start_xvfb; display_env; set_driver x11; set_decorated N ;;
      --display)
        [ -n "${DISPLAY:-}" ] || { echo "harness: no DISPLAY to show the programs on" >&2; exit 1; }
        echo "$DISPLAY" > "$display_file"; set_driver x11; set_decorated Y ;;
      *) set_driver null ;;
    esac
    ensure_server || true
    echo "harness: wineserver running for $WINEPREFIX ($arch$( [ -f "$display_file" ] && echo ", display $(cat "$display_file")"))" >&2
    ;;
  stop)
    "$wineserver_bin" -k >/dev/null 2>&1 || true
    stop_xvfb
    ;;
  run)
    [ $# -ge 1 ] || { echo "usage: harness.sh run EXE [ARGS...]" >&2; exit 2; }
    mkdir -p "$wine_dir"
    make_prefix
    ensure_server || true
    display_env
    exe=$1; shift
    if [ "$arch" = wow64 ] && ! /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
      # Exit code 77: CTest reports the entry as skipped (SKIP_RETURN_CODE).
      echo "harness: this machine starts no i386 program, natively or emulated (tools/bootstrap.sh)" >&2
      exit 77
    fi
    exec "$loader" "$exe" "$@"
    ;;
  clone)
    [ $# -eq 1 ] || { echo "usage: harness.sh clone DIR" >&2; exit 2; }
    make_prefix
    rm -rf "$1"; cp -a "$WINEPREFIX" "$1"
    ;;
  env)
    echo "WINEPREFIX=$WINEPREFIX"; echo "WINEARCH=$WINEARCH"; echo "WINE=$loader"
    echo "WINESERVER=$wineserver_bin"; echo "HOME=$HOME"; echo "ARCH=$arch"
    ;;
  *) sed -n '2,20p' "${BASH_SOURCE[0]}" >&2; exit 2 ;;
esac
