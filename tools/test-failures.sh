#!/usr/bin/env bash
# Prints what the failed assertions of the last CTest run in each build tree
# said, as a short digest after the suite's whole output: a long run's log
# is often read only from its end, and there the tests' own messages are
# long gone by the time the list of failed tests comes.
#
#   tools/test-failures.sh BUILD_TREE...
set -uo pipefail

# Lines of each failure kept (the assertion and the values it compared),
# and of each build tree's digest.
readonly LINES_PER_FAILURE=30
readonly MAX_LINES=200

for tree in "$@"; do
  log="$tree/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || continue
  echo "---- failed assertions in $tree (from $log) ----"
  # GoogleTest writes "file:line: Failure" and then the assertion; a test
  # that timed out or crashed shows its last lines in the full output above.
  awk -v keep="$LINES_PER_FAILURE" '
    /^\[ RUN      \]/ { test = $0 }
    /^\[ / && !/^\[ RUN/ { left = 0 }
    /: Failure$/ { if (test != shown) print test; shown = test; left = keep }
    left > 0 { print "  " $0; left-- }
  ' "$log" | grep -v '^  mkkit: \|^  ALSA lib ' | head -n "$MAX_LINES"
done
exit 0
