#!/usr/bin/env bash
# Builds the sample product's kit with mkkit for diskettes and for a CD
# layout, verifies both against kit.ini, and checks that verify catches a
# kit with one flipped byte in an archive and one in a plain file.
#
#   sample-kit.sh MKKIT.EXE BINDIR OUTDIR [CAPACITY]
#
# BINDIR holds veltapp.exe, veltsh32.dll and, once it is built,
# _setupx.exe. Until then the kits are built and verified as incomplete
# (mkkit's exit code 5), and this script says so. CAPACITY (bytes per
# diskette) defaults to mkkit's own; the sample product is small, so the
# suite uses smaller diskettes to make the kit span several.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
mkkit=$1 bin=$2 out=$3 capacity=${4:-}
run() { "$root/tools/wine/harness.sh" run "$mkkit" "$@"; }

expect=0
extra=()
if [ ! -f "$bin/_setupx.exe" ]; then
  echo "sample-kit: $bin/_setupx.exe is not built yet: building the kits WITHOUT the setup program (incomplete, exit code 5)"
  expect=5
  extra=(--allow-missing-setup)
fi
sizes=()
[ -n "$capacity" ] && sizes=(--capacity="$capacity")

check() {  # check WANTED-CODE WHAT COMMAND...
  local want=$1 what=$2; shift 2
  local rc=0
  "$@" || rc=$?
  if [ "$rc" -ne "$want" ]; then
    echo "sample-kit: $what: exit code $rc, expected $want" >&2
    exit 1
  fi
}

mkdir -p "$out"
for media in diskettes cd; do
  # A kit of an mkkit older than the kit seal cannot be told from a
  # stranger's folder, and --clean refuses it: such a kit goes here.
  if [ -d "$out/$media" ] && [ -z "$(find "$out/$media" -maxdepth 2 -name _kitseal.sha)" ]; then
    rm -rf "${out:?}/$media"
  fi
  check $expect "building the $media kit" \
    run -D bin="$bin" --media=$media "${sizes[@]}" --clean --quiet "${extra[@]}" "$here/kit.ini" "$out/$media"
  check $expect "verifying the $media kit" \
    run --verify --description="$here/kit.ini" -D bin="$bin" --quiet "${extra[@]}" "$out/$media"
done

# One flipped byte in the middle of the largest part of the velt.ar1
# archive must be caught. (The largest, so that the byte lies in member
# data: how much of the archive fits beside the setup program on the first
# diskette depends on the program's size, and a small part is mostly
# header, whose name padding nothing reads.)
rm -rf "$out/flipped"
cp -r "$out/diskettes" "$out/flipped"
part=$(find "$out/flipped" -name 'velt.ar*' -printf '%s %p\n' | sort -n | tail -n 1 | cut -d' ' -f2-)
offset=$(( $(stat -c %s "$part") / 2 ))
byte=$(od -An -tu1 -j "$offset" -N1 "$part" | tr -d ' ')
printf "$(printf '\\%03o' $(( byte ^ 0x55 )))" | dd of="$part" bs=1 seek="$offset" conv=notrunc status=none
message=$(run --verify --quiet "${extra[@]}" "$out/flipped" 2>&1) && rc=0 || rc=$?
echo "$message"
if [ "$rc" -ne 4 ] || ! grep -q "velt.ar1" <<<"$message"; then
  echo "sample-kit: verify did not report the flipped byte in velt.ar1 (exit code $rc)" >&2
  exit 1
fi

# Plain files carry no checksum: the kit's seal catches a flipped byte in one.
rm -rf "$out/flipped"
cp -r "$out/diskettes" "$out/flipped"
plain=$(find "$out/flipped" -name veltapp.txt)
byte=$(od -An -tu1 -j 10 -N1 "$plain" | tr -d ' ')
printf "$(printf '\\%03o' $(( byte ^ 0x55 )))" | dd of="$plain" bs=1 seek=10 conv=notrunc status=none
message=$(run --verify --quiet "${extra[@]}" "$out/flipped" 2>&1) && rc=0 || rc=$?
echo "$message"
if [ "$rc" -ne 4 ] || ! grep -q "veltapp.txt differs from the kit's seal" <<<"$message"; then
  echo "sample-kit: verify did not report the flipped byte in veltapp.txt (exit code $rc)" >&2
  exit 1
fi
echo "sample-kit: diskette and CD kits built and verified in $out; both flipped bytes were caught"
