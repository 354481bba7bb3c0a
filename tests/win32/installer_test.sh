#!/usr/bin/env bash
# The installer under Wine: it installs silently, the installed program starts and keeps
# running, and the uninstaller removes the program, its entry in the installed programs and its
# folder in the Start menu of all users; the entry gives the version as About does.
#   tests/win32/installer_test.sh SETUP.EXE
set -euo pipefail
run=$(dirname "$0")/../../tools/wine-run
setup=$(realpath "$1")
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fuelix'
folder='%ProgramData%\Microsoft\Windows\Start Menu\Programs\Fuelix'
fail() { echo "installer test: $*" >&2; exit 1; }

"$run" "$setup" /S '/D=C:\Fuelix'
version=$(basename "$setup" | sed 's/fuelix-\(.*\)-setup.exe/\1/')
"$run" reg query "$key" /v DisplayVersion | grep -q " $version" || fail "no entry for $version"
"$run" cmd /c dir /b "$folder\Fuelix.lnk" >/dev/null 2>&1 || fail "no shortcut in the Start menu"
"$run" 'C:\Fuelix\fuelix.exe' &
program=$!
sleep 5
kill -0 "$program" 2>/dev/null || fail "the installed program ended at once"
"$run" taskkill /f /im fuelix.exe >/dev/null # a Windows process outlives its killed loader
wait "$program" || true
"$run" 'C:\Fuelix\uninstall.exe' /S '_?=C:\Fuelix' # _? waits for it in place
"$run" cmd /c 'if exist C:\Fuelix\fuelix.exe exit 1' || fail "the program is still there"
"$run" cmd /c if exist "$folder" exit 1 || fail "the Start-menu folder is still there"
if "$run" reg query "$key" >/dev/null 2>&1; then fail "the entry is still there"; fi
echo "installer test: passed"
