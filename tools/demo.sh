#!/usr/bin/env bash
# The main job: build the sample kit and install the sample product with the
# setup program; show the CD menu when a display is present. Runs what exists
# and says plainly what does not yet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/$("$root/tools/wine/harness.sh" arch)}/bin
missing=()
for program in mkkit.exe _setupx.exe cdlaunch.exe; do
  [ -f "$bin/$program" ] || missing+=("$program")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "demo: not built yet: ${missing[*]}"
fi
if [ -x "$root/examples/run-demo.sh" ]; then
  exec "$root/examples/run-demo.sh" "$bin"
fi
echo "demo: the sample kit and its walk-through are not there yet; the framework layer and its tests are (make test)."
