#!/usr/bin/env bash
# The demo's walk through the sample product: builds the sample kit for a CD
# with mkkit and runs _setupx from it, walked by setupx_walk as a user who
# accepts every default (as far as the built pages go).
#
#   run-demo.sh BINDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
harness=$root/tools/wine/harness.sh
bin=$(cd "$1" && pwd)
for program in mkkit.exe _setupx.exe setupx_walk.exe; do
  if [ ! -f "$bin/$program" ]; then
    echo "demo: $program is not built; the sample kit cannot be walked"
    exit 0
  fi
done
kit=$(dirname "$bin")/demo-kit
# The demo installs into a copy of the suite's Wine prefix, a clean machine
# of its own, so that the suite never meets the demo's installation.
demo_prefix=$(dirname "$bin")/demo-prefix
"$harness" clone "$demo_prefix"
export WINEPREFIX_OVERRIDE=$demo_prefix
"$harness" start
trap '"$harness" stop' EXIT
echo "demo: building the sample kit in $kit"
"$harness" run "$bin/mkkit.exe" -D bin="$bin" --media=cd --clean --quiet "$root/examples/product/kit.ini" "$kit"
setup=$(find "$kit" -name _setupx.exe | sort | head -1)
echo "demo: walking $setup"
"$harness" run "$bin/setupx_walk.exe" "$setup"
log=$("$harness" run cmd.exe /c 'echo %windir%' 2>/dev/null | tr -d '\r')
echo "demo: the install log ($log\\veltapp.log):"
"$harness" run cmd.exe /c type "$log\\veltapp.log" 2>/dev/null || echo "demo: (no install log)"
