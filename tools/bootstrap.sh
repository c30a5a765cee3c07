#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine, only what is
# missing. Quick when everything is present; needs root (or sudo) otherwise.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
want() { for p in "$@"; do have_pkg "$p" || need+=("$p"); done; }

# The programs are built with the compilers of the win32 thread model, the
# tests with those of the posix one (cmake/mingw-toolchain.cmake).
want cmake make mingw-w64 libz-mingw-w64-dev wine wine64 googletest xvfb xauth python3
# The signed-kit test (mkkit --sign) signs with osslsigncode and a throw-away
# certificate that openssl makes.
want osslsigncode openssl
reinstall=()
for arch in i686 x86-64; do
  for model in win32 posix; do
    for tool in gcc g++; do
      pkg=$tool-mingw-w64-$arch-$model
      if ! have_pkg "$pkg"; then
        need+=("$pkg")
      elif [ ! -x "/usr/bin/${arch/-/_}-w64-mingw32-$tool-$model" ]; then
        reinstall+=("$pkg")  # installed, but its compiler program is gone
      fi
    done
  done
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

apt_updated=0
# A mirror in the middle of a sync can fail one index (seen: the security
# suite's i386 list "has unexpected size"); apt keeps the old list then.
# The update is tried three times; after that the install goes on with the
# lists apt has, and fails by itself if a package cannot be had.
apt_update() {
  if [ $apt_updated -eq 0 ]; then
    local try
    for try in 1 2 3; do
      if "${sudo_cmd[@]}" apt-get update -qq; then break; fi
      if [ $try -eq 3 ]; then
        echo "bootstrap: apt-get update failed three times; going on with the package lists apt has" >&2
      else
        sleep $((try * 10))
      fi
    done
    apt_updated=1
  fi
}
apt_install() {
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# 32-bit Wine runs only where the kernel runs 32-bit code. The loader of the
# i386 C library tells: where it cannot start, the suite uses wine64 instead.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "bootstrap: adding the i386 architecture"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  apt_updated=0
  apt_update
fi
if ! have_pkg libc6:i386; then need+=(libc6:i386); fi

if [ ${#need[@]} -gt 0 ]; then
  echo "bootstrap: installing ${need[*]}"
  apt_update
  apt_install "${need[@]}"
fi

if [ ${#reinstall[@]} -gt 0 ]; then
  echo "bootstrap: reinstalling ${reinstall[*]}"
  apt_update
  apt_install --reinstall "${reinstall[@]}"
fi

if /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
  if ! have_pkg wine32:i386; then
    echo "bootstrap: installing wine32:i386"
    apt_update
    # Its i386 libraries must match the amd64 ones version for version; a
    # mirror whose i386 lists lag behind cannot give them. The suite then
    # runs the x86_64 builds under wine64, as where no 32-bit code runs.
    apt_install wine32:i386 ||
      echo "bootstrap: wine32:i386 cannot be installed now; testing the x86_64 builds under wine64" >&2
  fi
fi
