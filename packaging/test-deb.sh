#!/usr/bin/env bash
# Builds the Debian package in a release build directory, checks it with lintian, installs it
# with apt, starts the installed program under a virtual X server, ends it with Alt+Q and removes
# the package again (also when a step fails).
#   packaging/test-deb.sh BUILD_DIR
set -euo pipefail

build_dir=$(realpath "${1:?usage: packaging/test-deb.sh BUILD_DIR}")

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

. "$(dirname "$0")/../tools/xvfb.sh"
work=$(mktemp -d)
xvfb_pid=
app_pid=
installed=
cleanup() {
    local status=$?
    set +e
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if [ -n "$installed" ]; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq fuelix >/dev/null ||
            status=1
    fi
    rm -rf "$work"
    if [ "$status" -eq 0 ]; then echo "test-deb: passed"; else echo "test-deb: FAILED" >&2; fi
    exit "$status"
}
trap cleanup EXIT

step() { echo "test-deb: $*"; }

step "building the package in $build_dir"
rm -f "$build_dir"/fuelix_*.deb
(cd "$build_dir" && cpack -G DEB >"$work/cpack.log") || {
    cat "$work/cpack.log"
    exit 1
}
debs=("$build_dir"/fuelix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || {
    echo "expected one fuelix_*.deb in $build_dir" >&2
    exit 1
}
deb=${debs[0]}
dpkg-deb --field "$deb" Package Version Depends

step "lintian (errors fail the test; warnings are listed)"
lintian --allow-root --fail-on error --display-info "$deb"

step "installing with apt"
installed=yes
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    exit 1
}
[ -x /usr/bin/fuelix ] || {
    echo "/usr/bin/fuelix is missing after installation" >&2
    exit 1
}

step "starting /usr/bin/fuelix under Xvfb"
start_xvfb "$work" 1024x768x24
env -u QT_QPA_PLATFORM -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$work/runtime" \
    /usr/bin/fuelix >"$work/fuelix.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Fuelix$' | head -n1) || true
[ -n "$window" ] || {
    echo "the window of the installed program did not map" >&2
    cat "$work/fuelix.log" >&2
    exit 1
}
step "window $window mapped; pressing Alt+Q"
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+q

for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    echo "Alt+Q did not end the program within 10 s" >&2
    exit 1
fi
app_status=0
wait "$app_pid" || app_status=$?
app_pid=
[ "$app_status" -eq 0 ] || {
    echo "the program ended with status $app_status" >&2
    cat "$work/fuelix.log" >&2
    exit 1
}
step "Alt+Q ended the program with status 0; removing the package"
