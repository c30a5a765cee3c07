#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under the harness.
#
# A GoogleTest program must end with its summary ("[  PASSED  ]" or
# "[  FAILED  ]"). One that crashes inside a window procedure or a callback
# is ended by Wine's debugger after its backtrace, and the process may
# leave exit code 0 although the tests after the crash never ran: without
# the summary the entry fails.
harness="$(dirname "${BASH_SOURCE[0]}")/harness.sh"
gtest=
for arg; do
  case $arg in --gtest_*) gtest=1 ;; esac
done
[ -n "$gtest" ] || exec "$harness" run "$@"

output=$(mktemp)
trap 'rm -f "$output"' EXIT
"$harness" run "$@" | tee "$output"
status=${PIPESTATUS[0]}
if [ "$status" = 0 ] && ! grep -Eq '^\[  (PASSED|FAILED)  \]' "$output"; then
  echo "run-test.sh: $1 ended without GoogleTest's summary (it crashed or was ended): failed" >&2
  status=1
fi
exit "$status"
