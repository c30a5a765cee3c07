#!/usr/bin/env bash
# Lays out, under ROOT, a Wine that runs 32-bit Windows programs the way
# 64-bit Windows does (WoW64): the machine's wine64 beside the 32-bit loader
# and DLLs of the same Wine version, unpacked from Debian's wine32:i386 and
# libwine:i386, with the 32-bit FreeType and fontconfig that Wine finds and
# draws its fonts with (with FreeType alone, Wine 8's 32-bit side faults
# when it opens the display).
# Nothing is installed: the machine's own Wine stays as it is, and with it
# what every other build tree's harness finds there (and i386 libraries
# installed beside the amd64 ones would have to match their versions, which
# the package lists of a mirror in the middle of a sync do not always
# allow). The harness puts ROOT's libraries on the 32-bit loader's path.
#
#   wine32-root.sh ROOT
#
# Quick when ROOT is already laid out for the installed wine64. The 32-bit
# loader runs natively where the kernel runs 32-bit code, and through the
# user-mode emulator that tools/bootstrap.sh registers elsewhere. It starts
# through Wine's preloader, which reserves the 32-bit address space in a few
# calls before anything else is mapped; without it Wine reserves it by
# trial, in pieces down to 64 KB, which under the emulator (qemu 7.2 takes
# MAP_FIXED_NOREPLACE for a mere hint) costs some 100 seconds of processor
# time at every start of a 32-bit program instead of about one.
set -euo pipefail

root=${1:?usage: wine32-root.sh ROOT}
version=$(dpkg-query -W -f='${Version}' wine64)
layout="wine $version, preloader, freetype, fontconfig"
[ "$(cat "$root/.velt-layout" 2>/dev/null)" = "$layout" ] && exit 0

echo "wine32-root: laying out the 32-bit Wine $version in $root" >&2
new=$root.new
rm -rf "$new"
mkdir -p "$new/debs"
# apt's download user cannot write into the build tree; root downloads itself.
(cd "$new/debs" && apt-get -qq -o APT::Sandbox::User="$(id -un)" download \
  "wine32:i386=$version" "wine32-preloader:i386=$version" "libwine:i386=$version" \
  libfreetype6:i386 libpng16-16:i386 zlib1g:i386 libbrotli1:i386 libfontconfig1:i386 libexpat1:i386)
for deb in "$new"/debs/*.deb; do dpkg-deb -x "$deb" "$new"; done
rm -rf "$new/debs" "$new/usr/share/doc"

lib=$new/usr/lib
# wine64 finds the 32-bit loader beside itself (the name without "64"), so
# it runs from here; its own libraries are the machine's.
cp /usr/lib/wine/wine64 "$lib/wine/wine64"
rm -f "$lib/wine/wineserver" "$lib/wine/wineserver32"
ln -s /usr/lib/wine/wineserver64 "$lib/wine/wineserver"
mkdir -p "$lib/x86_64-linux-gnu"
ln -s /usr/lib/x86_64-linux-gnu/wine "$lib/x86_64-linux-gnu/wine"
# Wine's user32 needs zlib, which Debian keeps in a package of its own; a
# prefix takes a DLL into syswow64 only when it is marked as Wine's own.
dll=$lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
cp /usr/i686-w64-mingw32/lib/zlib1.dll "$dll"
{ printf 'Wine builtin DLL'; head -c 16 /dev/zero; } | dd of="$dll" bs=1 seek=64 conv=notrunc status=none

echo "$layout" > "$new/.velt-layout"
rm -rf "$root"
mv "$new" "$root"
