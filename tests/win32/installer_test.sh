#!/usr/bin/env bash
# The installer under Wine: it installs silently, the installed program starts and keeps
# running, and the uninstaller removes the program, its entry in the installed programs and its
# shortcut in the Start menu of all users.
#   tests/win32/installer_test.sh SETUP.EXE
set -euo pipefail
run=$(dirname "$0")/../../tools/wine-run
setup=$(realpath "$1")
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fuelix'
shortcut='%ProgramData%\Microsoft\Windows\Start Menu\Programs\Fuelix\Fuelix.lnk'
fail() { echo "installer test: $*" >&2; exit 1; }

"$run" "$setup" /S '/D=C:\Fuelix'
"$run" reg query "$key" /v DisplayVersion | grep -q 1.01.0001 || fail "no entry in the installed programs"
"$run" cmd /c dir /b "$shortcut" >/dev/null 2>&1 || fail "no shortcut in the all-users Start menu"
"$run" 'C:\Fuelix\fuelix.exe' &
program=$!
sleep 5
kill -0 "$program" 2>/dev/null || fail "the installed program ended at once"
"$run" taskkill /f /im fuelix.exe >/dev/null # a Windows process outlives its killed loader
wait "$program" || true
"$run" 'C:\Fuelix\uninstall.exe' /S '_?=C:\Fuelix' # _? waits for it in place
"$run" cmd /c 'if exist C:\Fuelix\fuelix.exe exit 1' || fail "the program is still there"
if "$run" cmd /c dir /b "$shortcut" >/dev/null 2>&1; then fail "the shortcut is still there"; fi
if "$run" reg query "$key" >/dev/null 2>&1; then fail "the entry is still there"; fi
echo "installer test: passed"
