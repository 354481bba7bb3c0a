#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix with the system DPI set, as a user's display
# setting does; the prefix goes back to 96 dpi afterwards.
#   tests/win32/at_dpi.sh DPI PROGRAM [ARGS...]
set -euo pipefail
run=$(dirname "$0")/../../tools/wine-run
set_dpi() { # Wine reads this one first
    "$run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}
trap 'set_dpi 96' EXIT
set_dpi "$1"
shift
"$run" "$@"
