#!/usr/bin/env bash
# Builds the Debian package in a release build directory, checks it with lintian, installs it
# with apt, checks what a desktop finds, starts the installed program on a virtual X server, ends
# it with Alt+Q and removes the package again (also when a step fails).
#   packaging/test-deb.sh BUILD_DIR
set -euo pipefail
build_dir=$(realpath "${1:?usage: packaging/test-deb.sh BUILD_DIR}")
app_id=org.example.Fuelix
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
fail() { echo "test-deb: FAILED: $*" >&2; exit 1; }
remove() { as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq fuelix >/dev/null; }

rm -f "$build_dir"/fuelix_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null) || fail "cpack"
deb=$(ls "$build_dir"/fuelix_*.deb)
lintian --allow-root --fail-on error "$deb"

trap remove EXIT
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
desktop-file-validate "/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net --pedantic "/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml"
for size in 16 32 48 64 128 256; do
    file "/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" | grep -q "$size x $size" ||
        fail "no $size-pixel icon"
done
zcat /usr/share/man/man1/fuelix.1.gz | grep -q '^\.TH FUELIX 1' || fail "manual page"

# The window must be the one the desktop entry claims, or docks show a second, iconless entry:
# by the desktop file name the program announces (Qt keeps it as UTF-16) and by its class.
strings -el /usr/bin/fuelix | grep -qx "$app_id" || fail "the program does not announce $app_id"
"$(dirname "$0")/../tools/with-xvfb" bash -c '
    /usr/bin/fuelix & pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Fuelix$" | head -n1)
    class=$(xprop -id "$window" WM_CLASS | sed "s/.*, \"\(.*\)\"/\1/")
    grep -qx "StartupWMClass=$class" "/usr/share/applications/'$app_id'.desktop" ||
        { echo "window class $class is not in the desktop entry" >&2; kill $pid; exit 1; }
    xdotool windowfocus --sync "$window" key --clearmodifiers alt+q
    timeout 10 tail --pid=$pid -f /dev/null && wait $pid' 2>/dev/null || fail "the installed program"
echo "test-deb: passed"
