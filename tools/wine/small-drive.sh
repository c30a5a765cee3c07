#!/usr/bin/env bash
# A small drive for the tests that fill one: a tmpfs mounted beside the
# harness's Wine prefix and mapped as drive Y: in it.
#
#   small-drive.sh mount     mount it (32 MiB) and map Y:; where that cannot
#                            be done (not root, no tmpfs, Y: taken) say so and
#                            map nothing: the tests that need it skip
#   small-drive.sh unmount   unmap Y: and unmount what mount mounted
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$("$here/harness.sh" env | sed -n 's/^WINEPREFIX=//p')
[ -n "$prefix" ] || { echo "small-drive: no Wine prefix" >&2; exit 0; }
point=$(dirname "$prefix")/small-drive
link=$prefix/dosdevices/y:

case "${1:-}" in
  mount)
    if [ -e "$link" ] || [ -L "$link" ]; then
      [ "$(readlink "$link")" = "$point" ] && exit 0
      echo "small-drive: Y: is mapped to something else; the small-drive tests skip" >&2
      exit 0
    fi
    mkdir -p "$point" "$prefix/dosdevices"
    if ! mountpoint -q "$point" && ! mount -t tmpfs -o size=32m,mode=0777 velt-small-drive "$point" 2>/dev/null; then
      echo "small-drive: cannot mount a tmpfs (not root?); the small-drive tests skip" >&2
      exit 0
    fi
    ln -s "$point" "$link"
    ;;
  unmount)
    [ "$(readlink "$link" 2>/dev/null)" = "$point" ] && rm -f "$link"
    mountpoint -q "$point" && umount "$point"
    exit 0
    ;;
  *) sed -n '2,9p' "${BASH_SOURCE[0]}" >&2; exit 2 ;;
esac
