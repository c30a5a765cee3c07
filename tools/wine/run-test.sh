#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under the harness.
exec "$(dirname "${BASH_SOURCE[0]}")/harness.sh" run "$@"
