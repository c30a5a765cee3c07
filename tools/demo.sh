#!/usr/bin/env bash
# The main job: build the sample kit and install the sample product with the
# setup program; show the CD menu when a display is present. Runs what exists
# and says plainly what does not yet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
harness=$root/tools/wine/harness.sh
build=${1:-$root/build/$("$harness" arch)}
bin=$build/bin
missing=()
for program in mkkit.exe _setupx.exe cdlaunch.exe; do
  [ -f "$bin/$program" ] || missing+=("$program")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "demo: not built yet: ${missing[*]}"
fi

if [ -x "$root/examples/run-demo.sh" ]; then
  "$root/examples/run-demo.sh" "$bin"
else
  echo "demo: the sample kit and its walk-through are not there yet; the framework layer and its tests are (make test)."
fi

# The sample CD's menu, on the user's display: the root of the CD kit that
# the walk-through built.
cd_dir=$build/demo-kit
if [ ! -f "$cd_dir/cdlaunch.exe" ]; then
  echo "demo: the sample CD is not built"
elif [ -z "${DISPLAY:-}" ]; then
  echo "demo: no display to show the sample CD menu on; it is in $cd_dir (picture: docs/screenshots/cdlaunch-menu.png)"
else
  echo "demo: showing the sample CD menu on $DISPLAY; press Exit or close it to end"
  "$harness" start --display
  status=0
  "$harness" run "$cd_dir/cdlaunch.exe" || status=$?
  "$harness" stop
  exit $status
fi
