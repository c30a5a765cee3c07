#!/usr/bin/env bash
# The install benchmark (make bench-install): how fast _setupx puts a
# product on the machine and takes it off again, against an NSIS installer
# of the same files and against the machine's floor.
#
#   tools/bench/bench-install.sh BUILD_DIR      e.g. build/i686
#
# For each payload (see tools/bench/BenchPayload.h: "big": 200 files,
# 64 MiB, in 12 folders; "many": 2,000 files of 1-16 KiB in 100 folders;
# "manyplain": the tree of "many" as 2,000 plain files of the kit instead
# of one archive; "one": a single file, for what each installer costs
# besides its files; with BENCH_SCALE=1 also "hugefiles", 20,000 files of
# 1-16 KiB in 1,000 folders, "hugeplain", the same as plain files, and
# "hugedata", 512 MiB in 100 files: minutes more) it builds our CD kit with
# mkkit and an NSIS installer of the same files (zlib, not
# solid) with an uninstaller that deletes them file by file, then in one
# warm Wine prefix of its own runs, a warm-up of each and then BENCH_RUNS
# (default 5) of each alternating: `_setupx /B` and its removal `/U /B`,
# `_setupx /S` (silent: no splash) and `/U /S`, `_setupx /S /L:<file>`
# (silent with the verbose log; not on the huge payloads), the silent NSIS
# installer (`/S /D=...`) and its uninstaller (`/S _?=...`), and the floor
# (bench_floor: the same tree made with CreateFileA, WriteFile and
# CloseHandle alone, the bytes already in memory; for "big" and "hugedata"
# a second time with zlib's inflate of every member first). The destination
# is emptied (moved aside) before every run and compared with the payload
# after it. It prints medians, minimum and maximum, our batch time less the
# 3 s splash, the ratios against NSIS and the floor, what the verbose log
# costs, the removal against NSIS's, how time and working set grow from
# "many" and "big" to the huge payloads, the peak working set of _setupx on
# 64 MiB and on 16 MiB (a "medium" payload of the same shape), and what the
# copy page's progress display costs (progress_bench).
#
# BENCH_AGAINST=OTHER_BUILD_DIR measures one thing instead: silent
# installations over an existing one, every file replaced, by this build's
# _setupx and by OTHER's (an earlier commit's), in turns, on "big" and
# "many"; it prints each one's median and the median of the rounds' ratios
# (this build over the other; target at most 1.05), and nothing else.
#
# The NSIS compiler comes from Debian's nsis package, installed here when
# missing. With a 64-bit build directory the NSIS installer is made for
# 64-bit Windows too (Debian's package ships its amd64-unicode stubs), so
# that both installers run under wine64, also on a machine that runs no
# 32-bit code. BENCH_NO_NSIS=1 times ours and the floor alone and prints
# "n/a" for NSIS. Everything lands in
# build/bench-install (BENCH_DIR), the Wine prefix in its wine folder: the
# test suite's prefix is not touched.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: bench-install.sh BUILD_DIR" >&2; exit 2; }
bin=$(cd "$1/bin" && pwd)
runs=${BENCH_RUNS:-5}
work=${BENCH_DIR:-$root/build/bench-install}
splash=3.0
scale=${BENCH_SCALE:-0}
for exe in _setupx.exe mkkit.exe bench_payload.exe bench_floor.exe measured_run.exe progress_bench.exe; do
  [ -f "$bin/$exe" ] || { echo "bench-install: $bin/$exe is missing (make tests builds it)" >&2; exit 2; }
done

against=${BENCH_AGAINST:-}
if [ -n "$against" ]; then
  against=$(cd "$against/bin" && pwd)
  [ -f "$against/_setupx.exe" ] || { echo "bench-install: $against/_setupx.exe is missing" >&2; exit 2; }
fi
no_nsis=${BENCH_NO_NSIS:-0}
# Whether the programs under test are 64-bit: PE32+ ("PE\0\0", then the
# optional header's magic 0x20b).
pe64=0
pe_offset=$(od -An -t u4 -j 60 -N 4 "$bin/_setupx.exe" | tr -d ' ')
[ "$(od -An -t x2 -j $((pe_offset + 24)) -N 2 "$bin/_setupx.exe" | tr -d ' ')" = 020b ] && pe64=1
[ -z "$against" ] || no_nsis=1
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
floor_dest="$drive_c/bench-floor"
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\veltapp.exe'

# "manyplain" and "hugeplain" are the trees of "many" and "hugefiles" as
# plain files of the kit, each copied as it is, instead of one archive.
is_plain() { [ "$1" = manyplain ] || [ "$1" = hugeplain ]; }
payload_of() { case $1 in manyplain) echo many ;; hugeplain) echo hugefiles ;; *) echo "$1" ;; esac; }

# Payload, kit description, kit, NSIS script and installer of one profile.
prepare() {
  local profile=$1 dir=$work/$1 archive='|data.ar1'
  is_plain "$profile" && archive=
  rm -rf "$dir"; mkdir -p "$dir"
  wine "$bin/bench_payload.exe" "$(payload_of "$profile")" "$(dos "$dir/payload")" >/dev/null
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
      printf '%s=payload\\%s|%d%s\r\n' "${rel##*/}" "${rel//\//\\}" "${ids[${rel%/*}]}" "$archive"
    done < <(cd "$dir/payload" && find . -type f | sed 's|^\./||' | sort)
  } > "$dir/kit.ini"
  wine "$bin/mkkit.exe" --quiet "$(dos "$dir/kit.ini")" "$(dos "$dir/kit")" ||
    { echo "bench-install: mkkit failed for $profile" >&2; exit 1; }
  # The same kit with the other build's setup program.
  if [ -n "$against" ]; then
    sed "s|^setup=.*|setup=$(dos "$against/_setupx.exe" | sed 's/[\\&|]/\\&/g')\r|" "$dir/kit.ini" > "$dir/kit-against.ini"
    wine "$bin/mkkit.exe" --quiet "$(dos "$dir/kit-against.ini")" "$(dos "$dir/kit-against")" ||
      { echo "bench-install: mkkit failed for $profile (the other build's kit)" >&2; exit 1; }
  fi

  # NSIS installs the same tree either way: its figures are those of the
  # archive's payload.
  [ "$no_nsis" = 1 ] && return
  is_plain "$profile" && return
  {
    # The installer of the same kind as our programs under test.
    if [ "$pe64" = 1 ]; then printf 'Target amd64-unicode\n'; fi
    printf 'Name "Veltrane Bench"\nOutFile "%s"\nSetCompressor zlib\n' "$dir/nsis-setup.exe"
    printf 'InstallDir "$PROGRAMFILES\\VeltNsis"\nRequestExecutionLevel user\nSilentInstall silent\nSilentUnInstall silent\nSection\n'
    while read -r rel; do
      printf 'SetOutPath "$INSTDIR\\%s"\n' "${rel//\//\\}"
      find "$dir/payload/$rel" -maxdepth 1 -type f | sort | sed 's/^/File "/; s/$/"/'
    done < <(cd "$dir/payload" && find . -mindepth 1 -type d | sed 's|^\./||' | sort)
    printf 'WriteUninstaller "$INSTDIR\\uninst.exe"\nSectionEnd\n'
    # The uninstaller deletes what was installed file by file, as ours does,
    # then the folders, the deepest first.
    printf 'Section "Uninstall"\n'
    (cd "$dir/payload" && find . -type f | sed 's|^\./||' | sort) |
      sed 's|/|\\|g; s|^|Delete "$INSTDIR\\|; s|$|"|'
    (cd "$dir/payload" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) |
      sed 's|/|\\|g; s|^|RMDir "$INSTDIR\\|; s|$|"|'
    printf 'Delete "$INSTDIR\\uninst.exe"\nRMDir "$INSTDIR"\nSectionEnd\n'
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
  check "$1" "$nsis_dest" "NSIS" "$line" --exclude=uninst.exe
}
# The removal of the installation the last run made: ours with /U and
# MODE's switch from the installed setup program (the uninstall command),
# NSIS's uninstaller in place (`_?=` keeps it from copying itself away and
# returning at once). Prints "seconds peak"; no file of the payload may stay.
remove_ours() {
  local switch=/B; [ "$2" = silent ] && switch=/S
  local line; line=$(wine "$bin/measured_run.exe" "$(dos "$ours_dest/_setupx.exe")" /U "$switch" | tr -d '\r')
  removed "$ours_dest" "_setupx /U $switch" "$line" ! -name _setupx.exe
  [ ! -e "$drive_c/windows/veltapp.log" ] || { echo "bench-install: _setupx /U $switch left its log" >&2; exit 1; }
}
remove_nsis() {
  local line; line=$(wine "$bin/measured_run.exe" "$(dos "$nsis_dest/uninst.exe")" /S '_?=C:\Program Files\VeltNsis' | tr -d '\r')
  removed "$nsis_dest" "the NSIS uninstaller" "$line" ! -name uninst.exe
}
removed() {
  local dest=$1 who=$2 line=$3; shift 3
  [ -n "$line" ] || { echo "bench-install: $who did not run" >&2; exit 1; }
  local left; left=$(find "$dest" -type f "$@" | head -3)
  [ -z "$left" ] || { echo "bench-install: $who left files:" >&2; echo "$left" >&2; exit 1; }
  set -- $line
  [ "$3" = 0 ] || echo "bench-install: note: $who ended with exit code $3" >&2
  echo "$1 $2"
}
# The floor: the same tree made by bench_floor in the same prefix; prints
# its seconds (the payload is checked on the warm-up run).
run_floor() {
  local profile=$1 checked=$2; shift 2
  retire "$floor_dest"
  local line; line=$(wine "$bin/bench_floor.exe" "$(payload_of "$profile")" 'C:\bench-floor' "$@" | tr -d '\r')
  [ -n "$line" ] || { echo "bench-install: bench_floor $profile $* did not run" >&2; exit 1; }
  set -- $line
  if [ "$checked" = check ]; then check "$profile" "$floor_dest" "bench_floor" "$1 0 0" >/dev/null; fi
  echo "$1"
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
mib() { awk -v b="$1" 'BEGIN {if (b > 0) printf "%.1f", b / 1048576; else printf "n/a"}'; }

# Every measure of every payload, "median min max" under "profile:measure";
# measures: batch, silent, logged, logcost (logged over silent, round by
# round), nsis, ubatch, usilent, unsis, floor,
# floorz (the floor with inflate), peak (of the batch runs), npeak.
declare -A m
has_inflate() { [ "$1" = big ] || [ "$1" = hugedata ]; }
is_huge() { [ "$1" = hugefiles ] || [ "$1" = hugedata ] || [ "$1" = hugeplain ]; }
# bench PROFILE COUNT [REFERENCE]: with a reference payload, each round
# also times REFERENCE's and "one"'s silent install, removal and floor
# (measures ref_silent, ref_usilent, ref_floor, one_silent, one_usilent),
# so that growth is measured on runs of the same minutes: the machine's
# speed drifts more within an hour than the growth looked for.
bench() {
  local profile=$1 count=$2 reference=${3:-} r k
  declare -A t=()
  echo "bench-install: $profile: warm-up and $count runs of each" >&2
  for ((n = 0; n <= count; n++)); do
    # The first round is the warm-up, not counted.
    r=($(run_ours "$profile" batch)); t[batch]+=" ${r[0]}"; t[peak]+=" ${r[1]}"
    r=($(remove_ours "$profile" batch)); t[ubatch]+=" ${r[0]}"
    # The silent runs without and with the verbose log take turns at
    # following the removal just timed (a run right after thousands of
    # files were deleted is slower); the removal after them takes off the
    # second one's installation.
    local mode modes=(silent)
    if ! is_huge "$profile"; then
      if ((n % 2)); then modes=(logged silent); else modes=(silent logged); fi
    fi
    for mode in "${modes[@]}"; do r=($(run_ours "$profile" "$mode")); t[$mode]+=" ${r[0]}"; done
    r=($(remove_ours "$profile" silent)); t[usilent]+=" ${r[0]}"
    if [ "$no_nsis" != 1 ] && ! is_plain "$profile"; then
      r=($(run_nsis "$profile")); t[nsis]+=" ${r[0]}"; t[npeak]+=" ${r[1]}"
      r=($(remove_nsis "$profile")); t[unsis]+=" ${r[0]}"
    fi
    local checked=; [ $n != 0 ] || checked=check
    t[floor]+=" $(run_floor "$profile" "$checked")"
    if has_inflate "$profile"; then t[floorz]+=" $(run_floor "$profile" "$checked" --inflate)"; fi
    if [ -n "$reference" ]; then
      for k in ref one; do
        local p=$reference; [ $k = ref ] || p=one
        r=($(run_ours "$p" silent)); t[${k}_silent]+=" ${r[0]}"
        r=($(remove_ours "$p" silent)); t[${k}_usilent]+=" ${r[0]}"
      done
      t[ref_floor]+=" $(run_floor "$reference" "")"
    fi
    if [ $n = 0 ]; then for k in "${!t[@]}"; do t[$k]=; done; fi
  done
  # The verbose log's cost round by round: the two silent runs of a round
  # are seconds apart, while the machine's speed drifts from round to round
  # by more than the cost looked for.
  if [ -n "${t[logged]:-}" ]; then
    t[logcost]=$(paste -d' ' <(printf '%s\n' ${t[silent]}) <(printf '%s\n' ${t[logged]}) |
      awk '$1 > 0 {printf " %.4f", $2 / $1}')
  fi
  for k in "${!t[@]}"; do
    [ -z "${t[$k]}" ] || m[$profile:$k]=$(stats ${t[$k]})
  done
}

# One silent run of the kit in KIT_DIR over the installation there is;
# prints "seconds peak".
run_over() {
  local line; line=$(wine "$bin/measured_run.exe" "$(dos "$work/$1/$2/DISK01/_setupx.exe")" /S | tr -d '\r')
  check "$1" "$ours_dest" "_setupx /S over an installation ($2)" "$line" --exclude=_setupx.exe
}
if [ -n "$against" ]; then
  for profile in big many; do
    echo "bench-install: preparing $profile (payload, a kit of each build)" >&2
    prepare "$profile"
  done
  for profile in big many; do
    echo "bench-install: $profile: an installation, then a warm-up and $runs runs of each over it" >&2
    run_ours "$profile" silent >/dev/null
    ours=; theirs=; ratios=
    for ((n = 0; n <= runs; n++)); do
      # Each takes the first turn of every other round.
      if ((n % 2)); then
        b=$(run_over "$profile" kit-against); a=$(run_over "$profile" kit)
      else
        a=$(run_over "$profile" kit); b=$(run_over "$profile" kit-against)
      fi
      [ $n = 0 ] && continue
      a=${a%% *}; b=${b%% *}
      ours+=" $a"; theirs+=" $b"; ratios+=" $(awk -v a="$a" -v b="$b" 'BEGIN {printf "%.4f", a / b}')"
    done
    set -- $(stats $ratios)
    printf '%s over an installation: this build %s s, the other %s s (medians); ratio %s (%s-%s), target at most 1.05\n' \
      "$profile" "$(stats $ours | cut -d' ' -f1)" "$(stats $theirs | cut -d' ' -f1)" "$1" "$2" "$3"
  done
  exit 0
fi

profiles=(big many manyplain medium one)
[ "$scale" = 1 ] && profiles+=(hugefiles hugedata hugeplain)
for profile in "${profiles[@]}"; do
  echo "bench-install: preparing $profile (payload, kit, NSIS installer)" >&2
  prepare "$profile"
done
bench big "$runs"
bench many "$runs"
bench manyplain "$runs"
bench medium 3
bench one "$runs"
if [ "$scale" = 1 ]; then
  bench hugefiles "$((runs < 3 ? runs : 3))" many
  bench hugedata "$((runs < 3 ? runs : 3))" big
  bench hugeplain "$((runs < 3 ? runs : 3))" manyplain
fi

# The median of a measure ("" when it was not taken), and "median (min-max)".
med() { local v=${m[$1:$2]:-}; echo "${v%% *}"; }
spread() { local v=${m[$1:$2]:-}; if [ -z "$v" ]; then echo n/a; else set -- $v; echo "$1 ($2-$3)"; fi; }
# Figures that are missing ("" or "n/a": NSIS did not run) give "n/a".
num='function num(x) { return x ~ /^-?[0-9.]+$/ }'
ratio() { awk -v a="$1" -v b="$2" "$num"' BEGIN {if (num(a) && num(b) && b > 0) printf "%.2f", a / b; else printf "n/a"}'; }
less() { awk -v a="$1" -v b="$2" "$num"' BEGIN {if (num(a) && num(b)) printf "%.3f", a - b; else printf "n/a"}'; }
# a / n * scale
per() { awk -v a="$1" -v n="$2" -v s="$3" "$num"' BEGIN {if (num(a) && n > 0) printf "%.3f", a / n * s; else printf "n/a"}'; }
verdict() { awk -v r="$1" -v lo="$2" -v hi="$3" 'BEGIN {if (r == "n/a") print "-"; else print (r + 0 >= lo && r + 0 <= hi ? "ok" : "OVER")}'; }
shown=(big many manyplain one); [ "$scale" = 1 ] && shown+=(hugefiles hugedata hugeplain)
status=0

echo
echo "Silent runs: _setupx /S (no splash) against NSIS /S, and _setupx /S with the verbose log /L, seconds"
echo "(log cost: /S /L over /S, the median of the rounds' ratios; target at most 1.05 on \"many\")"
printf '%-9s %-26s %-26s %-26s %-9s %s\n' payload '_setupx /S median (min-max)' '/S /L median (min-max)' 'NSIS median (min-max)' '/S: NSIS' 'log cost'
for p in "${shown[@]}"; do
  printf '%-9s %-26s %-26s %-26s %-9s %s\n' "$p" "$(spread $p silent)" "$(spread $p logged)" "$(spread $p nsis)" \
    "$(ratio "$(med $p silent)" "$(med $p nsis)")" "$(ratio "$(med $p logcost)" 1)"
done
echo
echo "Install benchmark: _setupx /B against NSIS (zlib, not solid, /S), $runs runs each after a warm-up, seconds"
echo "(ours less splash: the median less the fixed ${splash} s splash; target ratio at most 0.70)"
printf '%-9s %-26s %-14s %-26s %-7s %s\n' payload '_setupx /B median (min-max)' 'less splash' 'NSIS median (min-max)' ratio
for p in "${shown[@]}"; do
  [ "$p" != one ] || continue
  lessSplash=$(less "$(med $p batch)" "$splash")
  r=$(ratio "$lessSplash" "$(med $p nsis)")
  v=$(verdict "$r" 0 0.70); [ "$v" != OVER ] || status=1
  printf '%-9s %-26s %-14s %-26s %-7s %s\n' "$p" "$(spread $p batch)" "$lessSplash" "$(spread $p nsis)" "$r" "$v"
done
echo
# What each installer spends besides the files (a kit of one file), and
# what the files themselves take beyond that.
echo "one file (start, pages, end): _setupx /B less splash $(less "$(med one batch)" "$splash") s, /S $(med one silent) s," \
  "NSIS $(med one nsis | sed 's/^$/n\/a/') s; the payload beyond that (the files' part):"
for p in "${shown[@]}"; do
  [ "$p" != one ] || continue
  a=$(less "$(med $p batch)" "$(med one batch)") b=$(less "$(med $p nsis)" "$(med one nsis)")
  printf '  %-9s _setupx /B %s s, NSIS %s s, ratio %s\n' "$p" "$a" "$b" "$(ratio "$a" "$b")"
done

echo
echo "The machine's floor: bench_floor makes the same tree with CreateFileA, WriteFile (64 KiB blocks) and CloseHandle"
echo "alone, the bytes in memory (+inflate: each member inflated by zlib from memory first); its own time, no process start."
echo "Whole runs (_setupx /S, NSIS /S) against it, and their files' part (the run less the run of \"one\") against it:"
printf '%-15s %-8s %-8s %-8s %-9s %-10s %-12s %-11s %s\n' payload '/S' 'NSIS' floor 'ours:NSIS' 'ours:floor' 'files: ours' 'files: NSIS' 'ours:floor NSIS:floor'
for p in "${shown[@]}"; do
  [ "$p" != one ] || continue
  for f in floor floorz; do
    [ -n "$(med $p $f)" ] || continue
    label=$p; [ $f = floor ] || label="$p+inflate"
    fo=$(less "$(med $p silent)" "$(med one silent)") fn=$(less "$(med $p nsis)" "$(med one nsis)")
    printf '%-15s %-8s %-8s %-8s %-9s %-10s %-12s %-11s %s %s\n' "$label" "$(med $p silent)" "$(med $p nsis | sed 's/^$/n\/a/')" \
      "$(med $p $f)" "$(ratio "$(med $p silent)" "$(med $p nsis)")" "$(ratio "$(med $p silent)" "$(med $p $f)")" \
      "$fo" "$fn" "$(ratio "$fo" "$(med $p $f)")" "$(ratio "$fn" "$(med $p $f)")"
  done
done

echo
r=$(ratio "$(med manyplain silent)" "$(med many silent)")
echo "Plain files against one archive: _setupx /S on \"manyplain\" $(med manyplain silent) s, on \"many\" $(med many silent) s:" \
  "ratio $r (target at most 1.25) $(verdict "$r" 0 1.25)"
if [ "$scale" = 1 ]; then
  fo=$(less "$(med hugefiles silent)" "$(med one silent)")
  r=$(ratio "$fo" "$(med hugefiles floor)")
  echo "Our time on the files of \"hugefiles\" $fo s against the floor's $(med hugefiles floor) s: $r (target at most 1.30) $(verdict "$r" 0 1.30)"
fi

echo
echo "Removal: _setupx /U /B and /U /S of the installation just made, against the NSIS uninstaller (/S, in place), seconds"
echo "(target: /U /S at most 1.00 of NSIS; per file: the removal less that of \"one\", over the payload's files)"
printf '%-9s %-26s %-26s %-26s %-9s %s\n' payload '/U /B median (min-max)' '/U /S median (min-max)' 'NSIS median (min-max)' '/U /S:NSIS' 'per file /U /S'
declare -A files=([big]=200 [many]=2000 [manyplain]=2000 [one]=1 [hugefiles]=20000 [hugedata]=100 [hugeplain]=20000)
declare -A mebibytes=([big]=64 [hugedata]=512)
for p in "${shown[@]}"; do
  r=$(ratio "$(med $p usilent)" "$(med $p unsis)")
  printf '%-9s %-26s %-26s %-26s %-9s %s\n' "$p" "$(spread $p ubatch)" "$(spread $p usilent)" "$(spread $p unsis)" \
    "$r $(verdict "$r" 0 1.00)" "$(per "$(less "$(med $p usilent)" "$(med one usilent)")" "${files[$p]}" 1000) ms"
done

if [ "$scale" = 1 ]; then
  echo
  echo "Growth: the files' part per file from \"many\" (2,000 files) to \"hugefiles\" (20,000), and per MiB from \"big\""
  echo "(64 MiB) to \"hugedata\" (512 MiB), ms, each from the rounds of the huge payload (\"many\", \"big\" and \"one\""
  echo "run in each round beside it); targets: per file within 15 %, per MiB within 10 %"
  printf '%-22s %-10s %-10s %-7s %s\n' '' small large ratio verdict
  growth() {
    local label=$1 measure=$2 small=$3 large=$4 unit=$5 hi=$6 a b r
    if [ "$measure" = floor ]; then a=$(med $large ref_floor) b=$(med $large floor)
    else
      a=$(less "$(med $large ref_$measure)" "$(med $large one_$measure)")
      b=$(less "$(med $large $measure)" "$(med $large one_$measure)")
    fi
    if [ "$unit" = file ]; then a=$(per "$a" "${files[$small]}" 1000) b=$(per "$b" "${files[$large]}" 1000)
    else a=$(per "$a" "${mebibytes[$small]}" 1000) b=$(per "$b" "${mebibytes[$large]}" 1000); fi
    r=$(ratio "$b" "$a")
    printf '%-22s %-10s %-10s %-7s %s\n' "$label" "$a" "$b" "$r" "$(verdict "$r" 0 "$hi")"
  }
  growth '_setupx /S per file' silent many hugefiles file 1.15
  growth '/U /S per file' usilent many hugefiles file 1.15
  growth 'plain: /S per file' silent manyplain hugeplain file 1.15
  growth 'plain: /U /S per file' usilent manyplain hugeplain file 1.15
  growth 'floor per file' floor many hugefiles file 1.15
  growth '_setupx /S per MiB' silent big hugedata mib 1.10
  growth 'floor per MiB' floor big hugedata mib 1.10
fi

echo
wsratio=$(ratio "$(med big peak)" "$(med medium peak)")
echo "peak working set of _setupx /B: 64 MiB payload $(mib "$(med big peak)") MiB, 16 MiB payload $(mib "$(med medium peak)") MiB:" \
  "ratio $wsratio (target within 10 %) $(verdict "$wsratio" 0.90 1.10)"
echo "  (2,000 small files $(mib "$(med many peak)") MiB; NSIS: $(mib "$(med big npeak)"), $(mib "$(med medium npeak)"), $(mib "$(med many npeak)") MiB)"
if [ "$scale" = 1 ]; then
  for p in hugedata hugefiles hugeplain; do
    r=$(ratio "$(med $p peak)" "$(med big peak)")
    echo "  $p $(mib "$(med $p peak)") MiB, against big's: $r (target within 10 %) $(verdict "$r" 0.90 1.10)"
  done
fi
echo
rm -rf "$drive_c/bench-progress"
wine "$bin/progress_bench.exe" "$(dos "$work/big/kit/DISK01")" 'C:\bench-progress' | tr -d '\r' || status=1
rm -rf "$drive_c/bench-progress" "$drive_c/bench-progress.log"
exit $status
