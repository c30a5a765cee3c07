#!/usr/bin/env bash
# The install benchmark (make bench-install): how fast _setupx puts a
# product on the machine, against an NSIS installer of the same files.
#
#   tools/bench/bench-install.sh BUILD_DIR      e.g. build/i686
#
# For each payload ("big": 200 files, 64 MiB, in 12 folders; "many": 2,000
# files of 1-16 KiB in 100 folders; "one": a single file, for what each
# installer costs besides its files) it builds our CD kit with mkkit and an
# NSIS installer of the same files (zlib, not solid), then in one warm Wine
# prefix of its own runs them in turn, a warm-up of each and then
# BENCH_RUNS (default 5) of each alternating: `_setupx /B`, `_setupx /S`
# (silent: no splash), `_setupx /S /L:<file>` (silent with the verbose log)
# and the silent NSIS installer (`/S /D=...`). The destination is emptied
# (moved aside) before every run and compared with the payload after it. It
# prints medians, minimum and maximum, our batch time less the 3 s splash,
# the ratio of our silent run to NSIS's, what the verbose log costs, the peak
# working set of _setupx on 64 MiB and on 16 MiB (a "medium" payload of the
# same shape), and what the copy page's progress display costs
# (progress_bench).
#
# The NSIS compiler comes from Debian's nsis package, installed here when
# missing. On a machine that runs no 32-bit code the NSIS installer cannot
# run: BENCH_NO_NSIS=1 then times our three runs alone (with a 64-bit
# build directory). Everything lands in build/bench-install (BENCH_DIR), the Wine
# prefix in its wine folder: the test suite's prefix is not touched.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: bench-install.sh BUILD_DIR" >&2; exit 2; }
bin=$(cd "$1/bin" && pwd)
runs=${BENCH_RUNS:-5}
work=${BENCH_DIR:-$root/build/bench-install}
splash=3.0
for exe in _setupx.exe mkkit.exe bench_payload.exe measured_run.exe progress_bench.exe; do
  [ -f "$bin/$exe" ] || { echo "bench-install: $bin/$exe is missing (make tests builds it)" >&2; exit 2; }
done

no_nsis=${BENCH_NO_NSIS:-0}
if [ "$no_nsis" != 1 ] && ! command -v makensis >/dev/null; then
  echo "bench-install: installing the NSIS compiler (Debian package nsis)" >&2
  sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y -qq nsis >/dev/null 2>&1 ||
    { $sudo apt-get update -qq && $sudo apt-get install -y -qq nsis >/dev/null; }
fi

mkdir -p "$work"
export VELT_WINE_DIR=$work/wine
harness=$root/tools/wine/harness.sh
WINEPREFIX=$("$harness" env | sed -n 's/^WINEPREFIX=//p')
"$harness" start 2>/dev/null
# Installed trees are moved aside before a run and deleted only at the end:
# ext4 passes over the inodes freed in the last seconds when it makes new
# ones, so that 2,000 files made right after 2,000 were deleted cost about
# twice as much, whichever installer makes them.
trash=$WINEPREFIX/drive_c/bench-trash
rm -rf "$trash"; mkdir -p "$trash"
trap '"$harness" stop; rm -rf "$trash"' EXIT
retire() { [ ! -e "$1" ] || mv "$1" "$trash/$(date +%s%N)"; }
wine() { "$harness" run "$@" </dev/null; }
# A Unix path as Wine's Z: drive names it.
dos() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# The User Information page of a batch run needs a registered owner.
for key in 'Windows' 'Windows NT'; do
  wine reg add "HKLM\\Software\\Microsoft\\$key\\CurrentVersion" /v RegisteredOwner /d 'Bench User' /f >/dev/null 2>&1
done
drive_c=$WINEPREFIX/drive_c
ours_dest="$drive_c/Program Files/VeltBench"     # _setupx's default: Program Files + destination 0's name
nsis_dest="$drive_c/Program Files/VeltNsis"
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\veltapp.exe'

# Payload, kit description, kit, NSIS script and installer of one profile.
prepare() {
  local profile=$1 dir=$work/$1
  rm -rf "$dir"; mkdir -p "$dir"
  wine "$bin/bench_payload.exe" "$profile" "$(dos "$dir/payload")" >/dev/null
  declare -A ids
  local id=1 rel parent
  {
    printf '[kit]\r\nmedia=cd\r\ncapacity=681574400\r\nmethod=auto\r\nsetup=%s\r\npmgroup=Veltrane Bench\r\n' \
      "$(dos "$bin/_setupx.exe")"
    printf '[destinations]\r\n0=VeltBench||C:\\Program Files\\VeltBench\r\n'
    # Folders nest through their parents' ids.
    while read -r rel; do
      parent=${rel%/*}
      if [ "$parent" = "$rel" ]; then parent=0; else parent=${ids[$parent]}; fi
      printf '%d=%s|%d|\r\n' "$id" "${rel##*/}" "$parent"
      ids[$rel]=$id; id=$((id + 1))
    done < <(cd "$dir/payload" && find . -mindepth 1 -type d | sed 's|^\./||' | sort)
    printf '[groups]\r\nData=Data files|The benchmark payload|1|1|1\r\n[diskettes]\r\n1=Bench CD|\r\n[files.Data]\r\n'
    while read -r rel; do
      printf '%s=payload\\%s|%d|data.ar1\r\n' "${rel##*/}" "${rel//\//\\}" "${ids[${rel%/*}]}"
    done < <(cd "$dir/payload" && find . -type f | sed 's|^\./||' | sort)
  } > "$dir/kit.ini"
  wine "$bin/mkkit.exe" --quiet "$(dos "$dir/kit.ini")" "$(dos "$dir/kit")" ||
    { echo "bench-install: mkkit failed for $profile" >&2; exit 1; }

  [ "$no_nsis" = 1 ] && return
  {
    printf 'Name "Veltrane Bench"\nOutFile "%s"\nSetCompressor zlib\n' "$dir/nsis-setup.exe"
    printf 'InstallDir "$PROGRAMFILES\\VeltNsis"\nRequestExecutionLevel user\nSilentInstall silent\nSection\n'
    while read -r rel; do
      printf 'SetOutPath "$INSTDIR\\%s"\n' "${rel//\//\\}"
      find "$dir/payload/$rel" -maxdepth 1 -type f | sort | sed 's/^/File "/; s/$/"/'
    done < <(cd "$dir/payload" && find . -mindepth 1 -type d | sed 's|^\./||' | sort)
    printf 'SectionEnd\n'
  } > "$dir/nsis.nsi"
  makensis -V1 "$dir/nsis.nsi" >/dev/null || { echo "bench-install: makensis failed for $profile" >&2; exit 1; }
}

# One run of either installer on a clean destination; prints "seconds peak".
# run_ours PROFILE MODE: batch (/B), silent (/S) or logged (/S /L:file).
run_ours() {
  local dir=$work/$1 mode=$2 switches
  retire "$ours_dest"
  rm -f "$drive_c/windows/veltapp.log" "$drive_c/bench-verbose.log"
  wine reg delete "$app_paths" /f >/dev/null 2>&1 || true
  case $mode in
    # Batch mode asks before it creates a directory: it is made beforehand.
    batch) mkdir -p "$ours_dest"; switches=(/B) ;;
    silent) switches=(/S) ;;
    logged) switches=(/S '/L:C:\bench-verbose.log') ;;
  esac
  local line; line=$(wine "$bin/measured_run.exe" "$(dos "$dir/kit/DISK01/_setupx.exe")" "${switches[@]}" | tr -d '\r')
  check "$1" "$ours_dest" "_setupx $mode" "$line" --exclude=_setupx.exe
}
run_nsis() {
  local dir=$work/$1
  retire "$nsis_dest"
  local line; line=$(wine "$bin/measured_run.exe" "$(dos "$dir/nsis-setup.exe")" /S '/D=C:\Program Files\VeltNsis' | tr -d '\r')
  check "$1" "$nsis_dest" "NSIS" "$line"
}
# The installed tree must equal the payload (ours also holds its own setup
# program, which the kit installs for the product's removal).
check() {
  local profile=$1 dest=$2 who=$3 line=$4; shift 4
  [ -n "$line" ] || { echo "bench-install: $who did not run" >&2; exit 1; }
  if ! diff -r -q "$@" "$work/$profile/payload" "$dest" >/dev/null; then
    echo "bench-install: $who's installation of $profile differs from the payload:" >&2
    diff -r -q "$@" "$work/$profile/payload" "$dest" | head -5 >&2
    exit 1
  fi
  set -- $line
  [ "$3" = 0 ] || echo "bench-install: note: $who ended with exit code $3" >&2
  echo "$1 $2"
}

# "median min max" of numbers.
stats() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {printf "%.3f %.3f %.3f", v[int((NR+1)/2)], v[1], v[NR]}'; }
mib() { awk -v b="$1" 'BEGIN {printf "%.1f", b / 1048576}'; }

declare -A peak_ours peak_nsis
results=()
bench() {
  local profile=$1 count=$2 ours=() silent=() logged=() nsis=() peaks=() npeaks=() r
  echo "bench-install: $profile: warm-up and $count runs of each" >&2
  run_ours "$profile" batch >/dev/null; run_ours "$profile" silent >/dev/null; run_ours "$profile" logged >/dev/null
  [ "$no_nsis" = 1 ] || run_nsis "$profile" >/dev/null
  for ((n = 0; n < count; n++)); do
    r=($(run_ours "$profile" batch)); ours+=("${r[0]}"); peaks+=("${r[1]}")
    r=($(run_ours "$profile" silent)); silent+=("${r[0]}")
    r=($(run_ours "$profile" logged)); logged+=("${r[0]}")
    if [ "$no_nsis" = 1 ]; then
      nsis+=(0); npeaks+=(0)
    else
      r=($(run_nsis "$profile")); nsis+=("${r[0]}"); npeaks+=("${r[1]}")
    fi
  done
  peak_ours[$profile]=$(stats "${peaks[@]}" | cut -d' ' -f1)
  peak_nsis[$profile]=$(stats "${npeaks[@]}" | cut -d' ' -f1)
  results+=("$profile $(stats "${ours[@]}") $(stats "${nsis[@]}") $(stats "${silent[@]}") $(stats "${logged[@]}")")
}

for profile in big many medium one; do
  echo "bench-install: preparing $profile (payload, kit, NSIS installer)" >&2
  prepare "$profile"
done
bench big "$runs"
bench many "$runs"
bench medium 3
bench one "$runs"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else printf "-"}'; }
echo
echo "Silent runs: _setupx /S (no splash) against NSIS /S, and _setupx /S with the verbose log /L, seconds"
echo "(log cost: /S /L over /S; target at most 1.05 on \"many\")"
printf '%-7s %-26s %-26s %-26s %-9s %s\n' payload '_setupx /S median (min-max)' '/S /L median (min-max)' 'NSIS median (min-max)' '/S: NSIS' 'log cost'
for line in "${results[@]}"; do
  set -- $line
  printf '%-7s %-26s %-26s %-26s %-9s %s\n' "$1" "${8} (${9}-${10})" "${11} (${12}-${13})" "$5 ($6-$7)" \
    "$(ratio "$8" "$5")" "$(ratio "${11}" "$8")"
done
echo
echo "Install benchmark: _setupx /B against NSIS (zlib, not solid, /S), $runs runs each after a warm-up, seconds"
echo "(ours less splash: the median less the fixed ${splash} s splash; target ratio at most 0.70)"
printf '%-7s %-26s %-14s %-26s %-7s %s\n' payload '_setupx /B median (min-max)' 'less splash' 'NSIS median (min-max)' ratio
status=0
declare -A median_ours median_nsis
for line in "${results[@]}"; do
  set -- $line
  median_ours[$1]=$2; median_nsis[$1]=$5
  case $1 in medium | one) continue ;; esac
  less=$(awk -v a="$2" -v s="$splash" 'BEGIN {printf "%.3f", a - s}')
  ratio=$(ratio "$less" "$5")
  if [ "$ratio" = - ]; then
    verdict="no NSIS"
  else
    verdict=$(awk -v r="$ratio" 'BEGIN {print (r <= 0.70 ? "ok" : "OVER")}')
    [ "$verdict" = ok ] || status=1
  fi
  printf '%-7s %-26s %-14s %-26s %-7s %s\n' "$1" "$2 ($3-$4)" "$less" "$5 ($6-$7)" "$ratio" "$verdict"
done
echo
# What each installer spends besides the files (a kit of one file), and
# what the files themselves take beyond that.
fixed_ours=$(awk -v a="${median_ours[one]}" -v s="$splash" 'BEGIN {printf "%.3f", a - s}')
echo "one file (start, pages, end): _setupx /B less splash $fixed_ours s, NSIS ${median_nsis[one]} s;" \
  "the payload beyond that:"
for profile in big many; do
  awk -v p="$profile" -v a="${median_ours[$profile]}" -v b="${median_nsis[$profile]}" -v fa="${median_ours[one]}" \
    -v fb="${median_nsis[one]}" 'BEGIN {printf "  %-5s _setupx %.3f s, NSIS %.3f s, ratio %.2f\n", p, a - fa, b - fb, (b - fb > 0 ? (a - fa) / (b - fb) : 0)}'
done
echo
wsratio=$(awk -v a="${peak_ours[big]}" -v b="${peak_ours[medium]}" 'BEGIN {printf "%.2f", a / b}')
echo "peak working set of _setupx /B: 64 MiB payload $(mib "${peak_ours[big]}") MiB, 16 MiB payload $(mib "${peak_ours[medium]}") MiB:" \
  "ratio $wsratio (target within 10 %) $(awk -v r="$wsratio" 'BEGIN {print (r <= 1.10 && r >= 0.90 ? "ok" : "OVER")}')"
echo "  (2,000 small files $(mib "${peak_ours[many]}") MiB; NSIS: $(mib "${peak_nsis[big]}"), $(mib "${peak_nsis[medium]}"), $(mib "${peak_nsis[many]}") MiB)"
echo
rm -rf "$drive_c/bench-progress"
wine "$bin/progress_bench.exe" "$(dos "$work/big/kit/DISK01")" 'C:\bench-progress' | tr -d '\r' || status=1
rm -rf "$drive_c/bench-progress" "$drive_c/bench-progress.log"
exit $status
