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

# The shipped programs are 32-bit. The suite runs them in a Wine of its own
# (tools/wine/wine32-root.sh), which needs the i386 C library.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "bootstrap: adding the i386 architecture"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  apt_updated=0
  apt_update
fi
want libc6:i386

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

# Where the kernel runs no 32-bit code, the 32-bit programs run under
# user-mode emulation: the kernel hands every i386 program to
# qemu-i386-static (binfmt_misc). A machine whose kernel runs 32-bit code
# is left as it is.
runs_i386() { /lib/ld-linux.so.2 --help >/dev/null 2>&1; }
if ! runs_i386; then
  if ! have_pkg qemu-user-static; then
    echo "bootstrap: installing qemu-user-static (this kernel runs no 32-bit code)"
    apt_update
    apt_install qemu-user-static
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e $binfmt/register ]; then
    "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc $binfmt || true
  fi
  if [ -e $binfmt/register ] && [ ! -e $binfmt/qemu-i386 ]; then
    echo "bootstrap: registering qemu-i386-static for i386 programs"
    # The ELF header of an i386 executable or shared object; F opens the
    # emulator now, so that it also runs in other mount namespaces.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" | "${sudo_cmd[@]}" tee $binfmt/register >/dev/null || true
  fi
  if ! runs_i386; then
    # The rest of the suite does not need them; the entry of the shipped
    # programs reports itself skipped.
    echo "bootstrap: i386 programs do not start, not even under qemu-i386-static;" \
      "the shipped programs' test entry will be skipped" >&2
  fi
fi

# The tests' 32-bit Wine, in the build tree.
build_dir=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}
# A mirror that cannot give its packages leaves the shipped programs' entry
# skipped; the rest of the suite does not need it.
"$(dirname "${BASH_SOURCE[0]}")/wine/wine32-root.sh" "$build_dir/wine32" ||
  echo "bootstrap: the 32-bit Wine could not be laid out in $build_dir/wine32;" \
    "the shipped programs' entry will be skipped" >&2
