#!/usr/bin/env bash
# The demo's walk through the sample product: builds the sample kit for a CD
# with mkkit, with the CD's menu in its root, opens the menu and presses
# Install Veltrane, which starts _setupx from the CD, walked by setupx_walk
# as a user who accepts every default; lists the installed files beside the install log's
# records and compares each with its source; then removes the product with
# its uninstall command and shows that nothing of it is left.
#
#   run-demo.sh BINDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
harness=$root/tools/wine/harness.sh
bin=$(cd "$1" && pwd)
for program in mkkit.exe _setupx.exe cdlaunch.exe setupx_walk.exe; do
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
# A kit folder of an older mkkit has no seal, and --clean refuses to empty
# a folder it cannot tell for its own output.
if [ -d "$kit" ] && [ -z "$(find "$kit" -name _kitseal.sha -print -quit)" ]; then
  rm -rf "$kit"
fi
echo "demo: building the sample kit in $kit"
"$harness" run "$bin/mkkit.exe" -D bin="$bin" -D cdmenu="$(dirname "$bin")/sample-cd-menu" --media=cd --clean \
  "$root/examples/product/kit.ini" "$kit"
# The CD's menu starts the setup program, as a user starts it from the CD.
echo "demo: starting the CD's menu, $kit/cdlaunch.exe; its Install button starts DISK01\\_setupx.exe, walked as a user walks it"
"$harness" run "$bin/setupx_walk.exe" --menu "$kit/cdlaunch.exe" "Install Veltrane"
windir=$("$harness" run cmd.exe /c 'echo %windir%' 2>/dev/null | tr -d '\r')
log=$demo_prefix/drive_c/windows/veltapp.log
if [ ! -f "$log" ]; then
  echo "demo: no install log in $windir; the product was not installed"
  exit 1
fi
echo "demo: the install log ($windir\\veltapp.log):"
sed 's/^/  /' "$log"
echo "demo: the installed files beside their records:"
status=0
python3 "$root/examples/check-install.py" installed "$demo_prefix" "$log" "$root/examples/product/kit.ini" "$bin" || status=1
cp "$log" "$(dirname "$bin")/demo-install.log"

# The removal, with the command that Windows' list of removable programs runs.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrane'
command=$("$harness" run reg.exe query "$uninstall_key" /v UninstallString 2>/dev/null |
  tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
if [ -z "$command" ]; then
  echo "demo: the product has no uninstall command"
  exit 1
fi
echo "demo: removing the product: $command"
"$harness" run "$bin/setupx_walk.exe" --command "$command"
echo "demo: what is left of the installation:"
python3 "$root/examples/check-install.py" removed "$demo_prefix" "$(dirname "$bin")/demo-install.log" || status=1
[ -f "$log" ] && { echo "demo: the install log is still there"; status=1; } || echo "  gone      $windir\\veltapp.log (to the Recycle Bin)"
if "$harness" run reg.exe query "$uninstall_key" >/dev/null 2>&1; then
  echo "demo: the uninstall entry is still there"; status=1
else
  echo "  gone      the uninstall entry, the App Paths entry and the product's other registry keys"
fi
echo "demo: restarting Windows (wineboot -r), which deletes the setup program and its directory:"
"$harness" run wineboot.exe -r >/dev/null 2>&1 || true
python3 "$root/examples/check-install.py" removed "$demo_prefix" "$(dirname "$bin")/demo-install.log" || status=1
exit $status
